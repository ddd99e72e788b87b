#pragma once

#include "prompter.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class TOKBottomDlg;
}

// The question dialog: a yes/no question ("Default" page), the choice of report kind when a
// relation is already on record ("gomb" page), or the missing-date question ("kilep" page).
// Made once at start and reused; each use sets its page and texts afresh.
class TOKBottomDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TOKBottomDlg(QWidget *parent = nullptr);
    ~TOKBottomDlg() override;

    static constexpr int Igen = 6;
    static constexpr int Megse = 7;

    BottomAnswer ask(const BottomQuestion &question);

private:
    std::unique_ptr<Ui::TOKBottomDlg> ui;
};

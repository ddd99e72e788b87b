#pragma once

#include "bvopconfirmation.h"

#include <QDialog>

#include <memory>

struct AppContext;
namespace Ui
{
class Tfrm_bvop;
}

// Receiving the prison service's confirmation table: open, check, apply, each step writing its
// lines into the log, which can be saved as a text file.
class Tfrm_bvop : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_bvop(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_bvop() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void bbtn_megseClick();
    void sbtn_megnyitClick();
    void sbtn_ellenorizClick();
    void sbtn_beolvasClick();
    void sbtn_logClick();
    void write(const QStringList &lines);

    std::unique_ptr<Ui::Tfrm_bvop> ui;
    AppContext &m_context;
    BvopConfirmation m_confirmation;
    bool m_shown = false;
};

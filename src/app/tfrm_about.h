#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class Tfrm_about;
}

class Tfrm_about : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_about(const QString &version, QWidget *parent = nullptr);
    ~Tfrm_about() override;

    static QString changeHistory();

private:
    std::unique_ptr<Ui::Tfrm_about> ui;
};

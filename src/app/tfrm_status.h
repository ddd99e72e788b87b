#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class Tfrm_status;
}

// A small borderless box with one line of progress text.
class Tfrm_status : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_status(QWidget *parent = nullptr);
    ~Tfrm_status() override;

    void setText(const QString &text);

private:
    std::unique_ptr<Ui::Tfrm_status> ui;
};

#include "tfrm_status.h"
#include "ui_tfrm_status.h"

#include <QCoreApplication>

Tfrm_status::Tfrm_status(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::Tfrm_status>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

Tfrm_status::~Tfrm_status() = default;

void Tfrm_status::setText(const QString &text)
{
    ui->lbl_felirat->setText(text);
    // Shown during blocking work: paint it now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

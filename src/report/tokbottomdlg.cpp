#include "tokbottomdlg.h"
#include "ui_tokbottomdlg.h"

#include <QRadioButton>

TOKBottomDlg::TOKBottomDlg(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TOKBottomDlg>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint);
    connect(ui->OKBtn, &QPushButton::clicked, this, [this] { done(Igen); });
    connect(ui->CancelBtn, &QPushButton::clicked, this, [this] { done(Megse); });
}

TOKBottomDlg::~TOKBottomDlg() = default;

BottomAnswer TOKBottomDlg::ask(const BottomQuestion &question)
{
    QWidget *pages[] = {ui->Default, ui->gomb, ui->kilep};
    ui->ntb_oldalak->setCurrentWidget(pages[question.page]);
    if (question.page == BottomQuestion::Default) {
        ui->lbl_sor1->setText(question.line1);
        ui->lbl_sor2->setText(question.line2);
    } else if (question.page == BottomQuestion::Kilep) {
        ui->lbl_sor3->setText(question.line1);
        ui->lbl_sor4->setText(question.line2);
    }
    ui->cbx_nincstaj->setVisible(question.showNoTaj);
    ui->cbx_nincstaj->setChecked(false);
    // Each use starts with no kind chosen.
    for (QRadioButton *radio : ui->gomb->findChildren<QRadioButton *>()) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
        radio->setEnabled(!question.disabledChoices.contains(radio->objectName()));
        if (radio->objectName() == question.preselected) radio->setChecked(true);
    }
    ui->rbtn_eljog->setVisible(question.showLateAgency);
    ui->CancelBtn->setEnabled(question.cancelEnabled);
    adjustSize();

    BottomAnswer answer;
    // Closing the window counts as "Mégse".
    answer.result = exec() == Igen ? Igen : Megse;
    answer.noTaj = question.showNoTaj && ui->cbx_nincstaj->isChecked();
    for (QRadioButton *radio : ui->gomb->findChildren<QRadioButton *>())
        if (radio->isChecked()) answer.choice = radio->objectName();
    return answer;
}

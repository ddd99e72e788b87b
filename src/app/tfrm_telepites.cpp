#include "tfrm_telepites.h"
#include "ui_tfrm_telepites.h"

#include "prompter.h"

#include <QDir>

Tfrm_telepites::Tfrm_telepites(const QString &folder, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_telepites>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->lbl_mappa->setText(QStringLiteral("Új telepítés a mappában : ") +
                           QDir::toNativeSeparators(folder));
    connect(ui->bbtn_ok, &QPushButton::clicked, this, &Tfrm_telepites::bbtn_okClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrm_telepites::~Tfrm_telepites() = default;

bool Tfrm_telepites::takeOver() const
{
    return ui->cbx_atvetel->isChecked();
}

QString Tfrm_telepites::password() const
{
    return ui->ed_jelszo->text();
}

void Tfrm_telepites::bbtn_okClick()
{
    if (ui->ed_jelszo->text().isEmpty()) {
        Prompter::instance().message(this, QStringLiteral("A jelszót meg kell adni !"));
        ui->ed_jelszo->setFocus();
        return;
    }
    if (ui->ed_jelszo->text() != ui->ed_jelszo2->text()) {
        Prompter::instance().message(this,
                                     QStringLiteral("Nem egyezik a jelszó a megerősítéssel !!"));
        ui->ed_jelszo->setFocus();
        return;
    }
    accept();
}

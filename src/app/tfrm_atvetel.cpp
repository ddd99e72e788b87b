#include "tfrm_atvetel.h"
#include "ui_tfrm_atvetel.h"

#include "legacymigration.h"
#include "prompter.h"
#include "waitcursor.h"

#include <QDir>

Tfrm_atvetel::Tfrm_atvetel(DataModule &data, const Installation &installation, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_atvetel>()), m_data(data),
      m_installation(installation)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->sbtn_mappa, &QPushButton::clicked, this, &Tfrm_atvetel::sbtn_mappaClick);
    connect(ui->bbtn_atvetel, &QPushButton::clicked, this, &Tfrm_atvetel::bbtn_atvetelClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
}

Tfrm_atvetel::~Tfrm_atvetel() = default;

void Tfrm_atvetel::sbtn_mappaClick()
{
    const QString folder = Prompter::instance().chooseFolder(
        this, QStringLiteral("A régi telepítés adatok mappája"), m_folder);
    if (folder.isEmpty()) return;
    m_folder = folder;
    ui->lbl_mappa->setText(QDir::toNativeSeparators(folder));
    ui->bbtn_atvetel->setEnabled(true);
}

void Tfrm_atvetel::bbtn_atvetelClick()
{
    ui->bbtn_atvetel->setEnabled(false);
    ui->lb_statusz->appendPlainText(
        QStringLiteral(" A(z) %1 mappa átvétele...").arg(QDir::toNativeSeparators(m_folder)));
    LegacyMigration::Result r;
    {
        WaitCursor busy;
        r = LegacyMigration(m_data, m_installation).run(m_folder);
    }
    for (const QString &line : r.lines)
        ui->lb_statusz->appendPlainText(line);
    if (r.ok) {
        Prompter::instance().message(this, QStringLiteral("Az átvétel kész."));
        return;
    }
    ui->lb_statusz->appendPlainText(QStringLiteral("  ") + r.error);
    ui->lb_statusz->appendPlainText(
        QStringLiteral("  Az átvétel nem történt meg; a telepítés változatlan."));
    Prompter::instance().message(this, r.error, Prompter::Icon::Error);
    ui->bbtn_atvetel->setEnabled(true);
}

#include "tfrm_javitas.h"
#include "ui_tfrm_javitas.h"

#include "recordmodel.h"

#include <QHeaderView>

Tfrm_javitas::Tfrm_javitas(const QList<QSqlRecord> &completedLines, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_javitas>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_model =
        new RecordModel({{QStringLiteral("JEL_SZAM"), QStringLiteral("Jel.szám:")},
                         {QStringLiteral("JOGCIM"), QStringLiteral("Jogcím:")},
                         {QStringLiteral("JEL_TIP"), QStringLiteral("Jel.típ.:")},
                         {QStringLiteral("KEZDET"), QStringLiteral("Bizt.kezdete:")},
                         {QStringLiteral("VEGE"), QStringLiteral("Bizt.vége:")},
                         {QStringLiteral("SZUN_KEZD"), QStringLiteral("Szüneteltetés kezd.:")},
                         {QStringLiteral("SZUN_VEGE"), QStringLiteral("Szüneteltetés vége:")}},
                        this);
    m_model->setRows(completedLines);
    ui->dbg_javitas->setModel(m_model);
    ui->dbg_javitas->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->dbg_javitas->horizontalHeader()->setStretchLastSection(true);
    if (!completedLines.isEmpty()) ui->dbg_javitas->selectRow(0);
    connect(ui->bbtn_tovabb, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrm_javitas::~Tfrm_javitas() = default;

QVariantMap Tfrm_javitas::cancellingLine(int reportNumber, int itemNumber) const
{
    const QSqlRecord *chosen = m_model->row(ui->dbg_javitas->currentIndex().row());
    if (!chosen) return {};
    QVariantMap line{{QStringLiteral("JEL_SZAM"), reportNumber},
                     {QStringLiteral("JEL_TETE"), itemNumber},
                     {QStringLiteral("JAVITAS"), QStringLiteral("I")}};
    for (const char *field :
         {"TAJ", "NYILV_SZAM", "FOGLALK_ID", "VEZ_NEV", "UTO_NEV", "P_KOD", "O_KOD", "JOGCIM",
          "JEL_TIP", "KEZDET", "VEGE", "HORA", "FEOR", "ELL_KOD", "ELL_KEZD", "ELL_VEGE",
          "SZUN_KEZD", "SZUN_VEGE", "PAKEZD"})
        line.insert(QLatin1String(field), chosen->value(QLatin1String(field)));
    return line;
}

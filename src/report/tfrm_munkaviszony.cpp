#include "tfrm_munkaviszony.h"
#include "ui_tfrm_munkaviszony.h"

#include "recordmodel.h"

#include <QHeaderView>

Tfrm_munkaviszony::Tfrm_munkaviszony(const QList<QSqlRecord> &relations, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_munkaviszony>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_model = new RecordModel({{QStringLiteral("KEZDET"), QStringLiteral("Jogosultság kezdete")},
                               {QStringLiteral("VEGE"), QStringLiteral("Jogosultság vége")},
                               {QStringLiteral("SZUN_KEZD"), QStringLiteral("Szüneteltetés kezd.")},
                               {QStringLiteral("SZUN_VEGE"), QStringLiteral("Szün.vége")}},
                              this);
    m_model->setRows(relations);
    ui->dbg_munkaviszony->setModel(m_model);
    // Every caption whole; the last column takes what is left.
    ui->dbg_munkaviszony->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->dbg_munkaviszony->horizontalHeader()->setStretchLastSection(true);
    if (!relations.isEmpty()) ui->dbg_munkaviszony->selectRow(0);
    connect(ui->bbtn_tovabb, &QPushButton::clicked, this, &QDialog::accept);
}

Tfrm_munkaviszony::~Tfrm_munkaviszony() = default;

int Tfrm_munkaviszony::chosenRow() const
{
    const int row = ui->dbg_munkaviszony->currentIndex().row();
    return row < 0 ? 0 : row;
}

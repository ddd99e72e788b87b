#include "tfrm_ismetel.h"
#include "ui_tfrm_ismetel.h"

#include "appcontext.h"
#include "prompter.h"
#include "tfrm_valaszt.h"
#include "waitcursor.h"

#include <QHeaderView>
#include <QTimer>

namespace
{
const QString Caption = QStringLiteral(" Elkészült jelentések megtekintése ");
const QString ReadFailed = QStringLiteral("Hiba lépett fel az adatok olvasásánál !");

void setUpGrid(QTableWidget *grid, const QStringList &captions)
{
    grid->setColumnCount(int(captions.size()));
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(false);
    // Before the first rows come, the headings set the widths.
    grid->resizeColumnsToContents();
}

void fill(QTableWidget *grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(cells[c]));
}
} // namespace

Tfrm_ismetel::Tfrm_ismetel(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_ismetel>()), m_context(context),
      m_store(context.data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setUpGrid(ui->dbg_fej, {QStringLiteral("Jelentés szám:"), QStringLiteral("Készítés dátuma:"),
                            QStringLiteral("Tételek:"), QStringLiteral("Fájl név:")});
    setUpGrid(ui->dbg_tetel,
              {QStringLiteral("Tétel:"), QStringLiteral("TAJ:"), QStringLiteral("Jav.:"),
               QStringLiteral("Vezeték név:"), QStringLiteral("Utónév 1:"),
               QStringLiteral("Utónév 2:"), QStringLiteral("Jogcím:"), QStringLiteral("J.kezdete:"),
               QStringLiteral("J.vége:"), QStringLiteral("Szün.kezd.:"),
               QStringLiteral("Szün.vége:"), QStringLiteral("Ellátás kód::"),
               QStringLiteral("Ell.kezdete:"), QStringLiteral("Ell.vége:"),
               QStringLiteral("FEOR:")});
    connect(ui->cmb_fogl, &QComboBox::activated, this, &Tfrm_ismetel::cmb_foglChange);
    connect(ui->cmb_jelnev, &QComboBox::activated, this, &Tfrm_ismetel::cmb_jelnevChange);
    connect(ui->dbg_fej, &QTableWidget::currentCellChanged, this, [this](int row, int, int old) {
        if (!m_filling && row != old) showCurrentReport();
    });
    connect(ui->bbtn_ismetel, &QPushButton::clicked, this, &Tfrm_ismetel::bbtn_ismetelClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
}

Tfrm_ismetel::~Tfrm_ismetel() = default;

void Tfrm_ismetel::message(const QString &text)
{
    Prompter::instance().message(this, text);
}

void Tfrm_ismetel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void Tfrm_ismetel::FormShow()
{
    const auto names = m_store.employerNames();
    if (!names || names->isEmpty()) {
        message(names ? QStringLiteral("Nincs még a Foglalkoztató táblában adat !!") : ReadFailed);
        m_ready = false;
        QTimer::singleShot(10, this, &QDialog::reject);
        return;
    }
    ui->cmb_fogl->addItems(*names);
    ui->lbl_foglrec->setText(QString::number(names->size()));
    reset();
}

void Tfrm_ismetel::clearGrids()
{
    m_filling = true;
    m_reports.clear();
    ui->dbg_fej->setRowCount(0);
    ui->dbg_tetel->setRowCount(0);
    m_filling = false;
    ui->bbtn_ismetel->setEnabled(false);
}

void Tfrm_ismetel::reset()
{
    setWindowTitle(Caption);
    ui->cmb_fogl->setCurrentIndex(-1);
    ui->cmb_fogl->setFocus();
    for (QLineEdit *e : {ui->ed_isz, ui->ed_hely, ui->ed_utca})
        e->clear();
    ui->cmb_jelnev->clear();
    ui->cmb_jelnev->addItems({QStringLiteral("08 - Biztosítottak jelentése"),
                              QStringLiteral("09 - Eü. szolgáltatásra jogosultak jelentése")});
    ui->cmb_jelnev->setCurrentIndex(-1);
    ui->cmb_jelnev->setEnabled(false);
    ui->lbl_fej->setText(QStringLiteral("0"));
    ui->lbl_tetel->setText(QStringLiteral("0"));
    clearGrids();
    ui->gbx_fej->setEnabled(false);
    ui->gbx_tetel->setEnabled(false);
    // A query user may look but not repeat.
    ui->bbtn_ismetel->setVisible(m_context.run.rightsLevel != 1);
    m_seat = {};
}

void Tfrm_ismetel::cmb_foglChange()
{
    const auto seat = m_store.seatByName(ui->cmb_fogl->currentText());
    if (!seat) {
        message(ReadFailed);
        return;
    }
    m_seat = *seat;
    ui->ed_isz->setText(m_seat.postcode);
    ui->ed_hely->setText(m_seat.settlement);
    ui->ed_utca->setText(m_seat.street);
    ui->cmb_jelnev->setEnabled(true);
    ui->cmb_jelnev->setCurrentIndex(-1);
    ui->cmb_jelnev->setFocus();
    ui->lbl_fej->setText(QStringLiteral("0"));
    ui->lbl_tetel->setText(QStringLiteral("0"));
    clearGrids();
}

void Tfrm_ismetel::cmb_jelnevChange()
{
    std::optional<QList<QVariantMap>> reports;
    {
        WaitCursor busy;
        reports = m_store.reports(m_seat.id, ui->cmb_jelnev->currentText().left(2));
    }
    if (!reports) {
        message(ReadFailed);
        return;
    }
    ui->lbl_fej->setText(QString::number(reports->size()));
    if (reports->isEmpty()) {
        message(QStringLiteral("Nincs a foglalkoztatóhoz jelentés"));
        reset();
        return;
    }
    m_reports = *reports;
    ui->gbx_fej->setEnabled(true);
    ui->gbx_tetel->setEnabled(true);
    m_filling = true;
    ui->dbg_fej->setRowCount(int(m_reports.size()));
    for (int i = 0; i < m_reports.size(); ++i) {
        const QVariantMap &r = m_reports[i];
        fill(ui->dbg_fej, i,
             {r.value("JEL_SZAM").toString(), r.value("KESZ_DAT").toString(),
              r.value("JEL_TETE").toString(), r.value("FAJL_NEV").toString()});
    }
    ui->dbg_fej->resizeColumnsToContents();
    ui->dbg_fej->setCurrentCell(0, 0);
    m_filling = false;
    showCurrentReport();
    ui->bbtn_ismetel->setEnabled(true);
}

void Tfrm_ismetel::showCurrentReport()
{
    const int row = ui->dbg_fej->currentRow();
    ui->dbg_tetel->setRowCount(0);
    if (row < 0 || row >= m_reports.size()) return;
    const auto lines = m_store.lines(m_reports[row]);
    if (!lines) {
        message(ReadFailed);
        return;
    }
    using namespace ReportFile;
    ui->dbg_tetel->setRowCount(int(lines->size()));
    for (int i = 0; i < lines->size(); ++i) {
        const ReportLine &l = (*lines)[i];
        fill(ui->dbg_tetel, i,
             {l[JEL_TETE], l[TAJ], l[JAVITAS], l[VEZ_NEV], l[UTO_NEV], l[UTO_NEV_2], l[JOGCIM],
              l[KEZDET], l[VEGE], l[SZUN_KEZD], l[SZUN_VEGE], l[ELL_KOD], l[ELL_KEZD], l[ELL_VEGE],
              l[FEOR]});
    }
    ui->dbg_tetel->resizeColumnsToContents();
    ui->lbl_tetel->setText(QString::number(lines->size()));
}

void Tfrm_ismetel::bbtn_ismetelClick()
{
    const int row = ui->dbg_fej->currentRow();
    if (row < 0 || row >= m_reports.size()) return;
    std::optional<PrintedForms::CompletedReport> forms;
    {
        WaitCursor busy;
        forms = m_store.formsOf(m_reports[row], ui->cmb_fogl->currentText());
    }
    if (!forms) {
        message(ReadFailed);
        return;
    }
    // The sheet shows the address of this window's fields.
    forms->postcode = ui->ed_isz->text();
    forms->settlement = ui->ed_hely->text();
    forms->street = ui->ed_utca->text();
    Tfrm_valaszt choice(m_context, m_reports[row], *forms, this);
    Prompter::instance().runDialog(&choice);
}

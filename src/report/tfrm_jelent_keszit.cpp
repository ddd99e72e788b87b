// The making page of the report window: the pending reports, the lines of the chosen one, where
// the file goes and the run that makes it.
#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "appcontext.h"
#include "datetext.h"
#include "formprinter.h"
#include "printedforms.h"
#include "prompter.h"
#include "registrydatabase.h"
#include "waitcursor.h"

#include <QDir>
#include <QHeaderView>
#include <QStorageInfo>

namespace
{
// The special user who may leave the forms unprinted and write a plain report.
const QString SpecialUser = QStringLiteral("QVX");

QString typeText(const QString &type)
{
    if (type == u"08") return QStringLiteral("08 - Biztosítottak jelentése(csak ellátás)");
    if (type == u"09") return QStringLiteral("09 - Eü.szolgáltatásra jog. jelentése");
    return QStringLiteral("00");
}
} // namespace

void Tfrm_jelent::setUpMakingPage()
{
    ui->dbg_tempfej->setColumnCount(2);
    ui->dbg_tempfej->setHorizontalHeaderLabels(
        {QStringLiteral("Jelentés azon.:"), QStringLiteral("Bejelentő(k) neve:")});
    ui->DBGrid1->setColumnCount(7);
    ui->DBGrid1->setHorizontalHeaderLabels({QStringLiteral("Tétel"), QStringLiteral("Jav"),
                                            QStringLiteral("TAJ szám"), QStringLiteral("Név"),
                                            QStringLiteral("Jogcím"), QStringLiteral("Kezdete"),
                                            QStringLiteral("Vége")});
    for (QTableWidget *grid : {ui->dbg_tempfej, ui->DBGrid1}) {
        grid->verticalHeader()->setVisible(false);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    }
    // The employer's name takes the room left; the lines' columns are as wide as their values.
    ui->dbg_tempfej->horizontalHeader()->setStretchLastSection(true);
    ui->DBGrid1->horizontalHeader()->setStretchLastSection(false);
    ui->dbg_tempfej->setColumnWidth(0, 110);
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            ui->drv_lbox->addItem(QDir::toNativeSeparators(volume.rootPath()));
    ui->rbtn_floppy->setChecked(true);
    setFolderMode(true);
    ui->cbx_kodolt->setChecked(true);

    connect(ui->rbtn_floppy, &QRadioButton::toggled, this, [this](bool on) { setFolderMode(on); });
    connect(ui->drv_lbox, &QComboBox::activated, this,
            [this] { ui->dir_lbox->setText(ui->drv_lbox->currentText()); });
    // The drive list names the volume the folder is on, whoever set the folder.
    connect(ui->dir_lbox, &QLineEdit::textChanged, this, [this](const QString &folder) {
        const QString root = QDir::toNativeSeparators(QStorageInfo(folder).rootPath());
        if (root.isEmpty()) return;
        if (ui->drv_lbox->findText(root) < 0) ui->drv_lbox->addItem(root);
        ui->drv_lbox->setCurrentIndex(ui->drv_lbox->findText(root));
    });
    connect(ui->sbtn_mappa, &QPushButton::clicked, this, &Tfrm_jelent::chooseFolder);
    connect(ui->dbg_tempfej, &QTableWidget::currentCellChanged, this, [this] {
        if (!m_filling) showCurrentReport();
    });
    connect(ui->bbtn_keszites, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_keszitesClick);
    connect(ui->bbtn_bejelento, &QPushButton::clicked, this, &Tfrm_jelent::BejelentoClick);
    connect(ui->bbtn_nyilatkozat, &QPushButton::clicked, this, &Tfrm_jelent::NyilatkozatClick);
}

void Tfrm_jelent::setFolderMode(bool floppy)
{
    for (QWidget *w : {static_cast<QWidget *>(ui->drv_lbox), static_cast<QWidget *>(ui->dir_lbox),
                       static_cast<QWidget *>(ui->sbtn_mappa)})
        w->setEnabled(!floppy);
}

void Tfrm_jelent::chooseFolder()
{
    const QString folder = Prompter::instance().chooseFolder(
        this, QStringLiteral("A jelentés állomány helye"), ui->dir_lbox->text());
    if (!folder.isEmpty()) ui->dir_lbox->setText(QDir::toNativeSeparators(folder));
}

bool Tfrm_jelent::openMakingPage()
{
    const auto count = m_generator.pendingLineCount();
    if (!count) {
        message(QStringLiteral("Hiba az aktiváláskor"));
        return false;
    }
    if (*count == 0) {
        message(QStringLiteral("Nincs jelentés tétel rögzítve !!"));
        return false;
    }
    if (!loadPendingReports()) return false;
    ui->rbtn_megadott->setChecked(true);
    ui->dir_lbox->setText(
        QDir::toNativeSeparators(ReportGenerator::defaultFolder(m_context.installation)));
    const bool special = m_context.run.userName == SpecialUser;
    ui->cbx_kodolt->setVisible(special);
    ui->cbx_kodolt->setChecked(true);
    for (QCheckBox *print : {ui->cbx_bejelento, ui->cbx_nyilatkozat}) {
        print->setEnabled(special);
        print->setChecked(!special);
    }
    setWindowTitle(QStringLiteral(" Jelentés adatok  - jelentés készítése "));
    for (QPushButton *b : {ui->bbtn_rogzit, ui->bbtn_ujjel, ui->bbtn_megse})
        b->setVisible(false);
    ui->ntb_jelent->setCurrentWidget(ui->keszit);
    ui->bbtn_keszites->setFocus();
    return true;
}

bool Tfrm_jelent::loadPendingReports()
{
    const auto reports = m_generator.pendingReports();
    if (!reports) {
        message(QStringLiteral("Hiba az aktiváláskor"));
        return false;
    }
    if (reports->isEmpty() || reports->first().lines == 0) {
        message(QStringLiteral("Nincs több rögzítésre váró jelentés !"));
        return false;
    }
    m_reports = *reports;
    m_filling = true;
    ui->dbg_tempfej->setRowCount(int(m_reports.size()));
    for (int i = 0; i < m_reports.size(); ++i) {
        ui->dbg_tempfej->setItem(i, 0, new QTableWidgetItem(m_reports[i].identifier));
        ui->dbg_tempfej->setItem(i, 1, new QTableWidgetItem(m_reports[i].name));
    }
    ui->dbg_tempfej->setCurrentCell(0, 0);
    m_filling = false;
    ui->lbl_jelentok->setText(QString::number(m_reports.size()));
    showCurrentReport();
    return true;
}

void Tfrm_jelent::showCurrentReport()
{
    const int row = ui->dbg_tempfej->currentRow();
    if (row < 0 || row >= m_reports.size()) return;
    const PendingReport &report = m_reports[row];
    const auto lines = m_generator.lines(report.employerId, report.type, report.sequence);
    ui->DBGrid1->setRowCount(0);
    m_reportLines = lines.value_or(QList<ReportFile::ReportLine>());
    if (!lines || lines->isEmpty()) {
        ui->lbl_fajlnev->clear();
        ui->lbl_tetel->setText(QStringLiteral("0"));
        ui->bbtn_keszites->setEnabled(false);
        return;
    }
    ui->DBGrid1->setRowCount(int(lines->size()));
    for (int i = 0; i < lines->size(); ++i) {
        using namespace ReportFile;
        const ReportLine &l = (*lines)[i];
        const QStringList cells = {l[JEL_TETE], l[JAVITAS], l[TAJ], l[VEZ_NEV] + u' ' + l[UTO_NEV],
                                   l[JOGCIM],   l[KEZDET],  l[VEGE]};
        for (int c = 0; c < cells.size(); ++c)
            ui->DBGrid1->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    ui->DBGrid1->resizeColumnsToContents();
    ui->lbl_tetel->setText(QString::number(lines->size()));
    ui->lbl_jeltip->setText(typeText(report.type));
    ui->lbl_fajlnev->setText(ReportGenerator::fileNameOf(lines->first()));
    for (QPushButton *b : {ui->bbtn_keszites, ui->bbtn_bejelento, ui->bbtn_nyilatkozat})
        b->setEnabled(true);
}

std::optional<BandedForm> Tfrm_jelent::currentSheet() const
{
    const int row = ui->dbg_tempfej->currentRow();
    if (ui->lbl_fajlnev->text().isEmpty() || row < 0 || row >= m_reports.size()) return {};
    return PrintedForms::sheetOf(m_reports[row], m_reportLines, ui->lbl_fajlnev->text(),
                                 DateText::today())
        .form();
}

std::optional<BandedForm> Tfrm_jelent::currentDeclaration() const
{
    const int row = ui->dbg_tempfej->currentRow();
    if (ui->lbl_fajlnev->text().isEmpty() || row < 0 || row >= m_reports.size()) return {};
    return PrintedForms::declarationOf(m_reports[row], ui->lbl_tetel->text().toInt(),
                                       ui->lbl_fajlnev->text(), m_context.run.version,
                                       m_context.run.userName)
        .form();
}

void Tfrm_jelent::BejelentoClick()
{
    std::optional<BandedForm> form;
    {
        WaitCursor busy;
        form = currentSheet();
    }
    if (form) PrintedForms::preview(*form, this);
}

void Tfrm_jelent::NyilatkozatClick()
{
    if (const auto form = currentDeclaration()) PrintedForms::preview(*form, this);
}

bool Tfrm_jelent::printForms()
{
    const int row = ui->dbg_tempfej->currentRow();
    if (row < 0 || row >= m_reports.size()) return false;
    WaitCursor busy;
    if (ui->cbx_bejelento->isChecked()) {
        const auto sheet = currentSheet();
        if (!sheet || !PrintedForms::print(
                          *sheet, PrintedForms::copiesSetting(QStringLiteral("Bejelentolap db"))))
            return false;
    }
    if (ui->cbx_nyilatkozat->isChecked()) {
        const auto declaration = currentDeclaration();
        if (!declaration ||
            !PrintedForms::print(*declaration,
                                 PrintedForms::copiesSetting(QStringLiteral("Nyilatkozat db"))))
            return false;
    }
    return true;
}

void Tfrm_jelent::bbtn_keszitesClick()
{
    const bool floppy = ui->rbtn_floppy->isChecked();
    if (floppy) {
        // Offer the drive again until a disk is there or the clerk goes on without one.
        while (!QDir(ReportGenerator::floppyFolder()).exists() &&
               Prompter::instance().question(this, QStringLiteral("Nincs a meghajtóban lemez !"),
                                             true) == Prompter::Ok) {
        }
    }
    const QString folder =
        floppy ? ReportGenerator::floppyFolder() : QDir::fromNativeSeparators(ui->dir_lbox->text());
    // The forms go to the printer before the file is written. On the floppy path a printing
    // failure is reported and the making goes on; on the folder path it ends the making.
    if (!printForms()) {
        // Where the cause is that the system has no printer, the clerk is told so.
        const QString reason = PrintedForms::noPrinterReason();
        const QString why = reason.isEmpty() ? QString() : QStringLiteral("\n\r") + reason;
        if (!floppy) {
            message(ReportGenerator::failureMessage() + why);
            return;
        }
        message(QStringLiteral("Hiba lépett fel a nyomtatásnál !") + why);
    }
    const bool made = makeFile(folder);
    if (made && floppy) {
        Settings::write(QStringLiteral("Szem_adat"), DateText::today());
        Settings::write(QStringLiteral("Szem_jogcim"), DateText::today());
    }
    if (!loadPendingReports()) {
        m_ready = false;
        closeSoon();
    }
}

bool Tfrm_jelent::makeFile(const QString &folder)
{
    const int row = ui->dbg_tempfej->currentRow();
    if (row < 0 || row >= m_reports.size()) return false;
    for (QPushButton *b : {ui->bbtn_bejelento, ui->bbtn_nyilatkozat, ui->bbtn_keszites})
        b->setEnabled(false);
    ReportGenerator::Options options;
    options.folder = folder;
    options.coded = ui->cbx_kodolt->isChecked();
    options.version = m_context.run.version;
    options.today = DateText::today();
    ReportGenerator::Result result;
    {
        WaitCursor busy;
        result = m_generator.make(m_reports[row], options, [this](int done, int total) {
            ui->prb_folyamat->setMaximum(total);
            ui->prb_folyamat->setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    ui->prb_folyamat->setValue(0);
    ui->bbtn_keszites->setEnabled(true);
    if (!result.ok) message(result.message());
    return result.ok;
}

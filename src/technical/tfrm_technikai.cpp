#include "tfrm_technikai.h"
#include "ui_tfrm_technikai.h"

#include "appcontext.h"
#include "datasetgrid.h"
#include "persontransfer.h"
#include "prompter.h"
#include "referenceloader.h"
#include "registrydatabase.h"
#include "reportbackup.h"
#include "waitcursor.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

Tfrm_technikai::Tfrm_technikai(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_technikai>()), m_context(context)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->bbtn_beolvas, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_beolvasClick);
    connect(ui->bbtn_megszuntet, &QPushButton::clicked, this,
            &Tfrm_technikai::bbtn_megszuntetClick);
    connect(ui->bbtn_letrehoz, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_letrehozClick);
    connect(ui->bbtn_export, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_exportClick);
    connect(ui->bbtn_import, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_importClick);
    connect(ui->bbtn_evvalt, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_evvaltClick);
    connect(ui->bbtn_evment, &QPushButton::clicked, this, &Tfrm_technikai::bbtn_evmentClick);
    connect(ui->cmb_evvalt, &QComboBox::activated, this, &Tfrm_technikai::cmb_evvaltChange);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);
    setMode(Maintenance);
}

Tfrm_technikai::~Tfrm_technikai() = default;

void Tfrm_technikai::setReturnCaption(const QString &caption)
{
    ui->bbtn_vissza->setText(caption);
}

void Tfrm_technikai::setMode(int mode)
{
    m_mode = mode;
    static const char *captions[] = {
        "   Technikai feladatok - Törzsadatok karbantartása",
        "   Technikai feladatok - OEP törzsadatok frissítése",
        "   Technikai feladatok - Jelentés adatok mentés-visszatöltés",
        "   Technikai feladatok - Évváltás",
        "   Technikai feladatok - Jelentés törzsadatok export-import",
    };
    if (mode >= 0 && mode <= 4) setWindowTitle(QString::fromUtf8(captions[mode]));
    ui->ntb_lapok->setCurrentWidget(mode == YearChange ? ui->tab_evvaltas : ui->tab_tablak);
    const QList<QRadioButton *> radios = ui->gbx_adatok->findChildren<QRadioButton *>();
    for (QRadioButton *radio : radios)
        radio->setEnabled(true);
    // Each mode shows its own buttons only.
    const QList<QPair<QPushButton *, bool>> shown = {{ui->bbtn_karbantart, false},
                                                     {ui->bbtn_beolvas, mode == Refresh},
                                                     {ui->bbtn_megszuntet, mode == Backup},
                                                     {ui->bbtn_letrehoz, mode == Backup},
                                                     {ui->bbtn_export, mode == ExportImport},
                                                     {ui->bbtn_import, mode == ExportImport}};
    for (const auto &[button, visible] : shown) {
        button->setVisible(visible);
        button->setEnabled(visible);
    }
    // There is no way to restore from the window: the button is shown for what it is.
    ui->bbtn_letrehoz->setEnabled(false);
    auto only = [&](std::initializer_list<QRadioButton *> enabled, QRadioButton *selected) {
        for (QRadioButton *radio : radios)
            radio->setEnabled(std::find(enabled.begin(), enabled.end(), radio) != enabled.end());
        selected->setChecked(true);
    };
    switch (mode) {
    case Maintenance:
        ui->rbtn_a->setChecked(true);
        ui->rbtn_osszes->setEnabled(false);
        break;
    case Refresh:
        for (QRadioButton *radio :
             {ui->rbtn_a, ui->rbtn_d, ui->rbtn_e, ui->rbtn_k, ui->rbtn_osszes})
            radio->setEnabled(false);
        ui->rbtn_f->setChecked(true);
        break;
    case Backup:
        only({ui->rbtn_osszes}, ui->rbtn_osszes);
        break;
    case ExportImport:
        only({ui->rbtn_d, ui->rbtn_e}, ui->rbtn_d);
        break;
    case YearChange:
        openYearPage();
        break;
    default:
        break;
    }
}

void Tfrm_technikai::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_mode != YearChange) refreshGrid();
}

void Tfrm_technikai::refreshGrid()
{
    for (const DataSetGrid::Row &row : DataSetGrid::rows()) {
        const QString suffix = row.radio.mid(5);
        const DataSetGrid::Values v = DataSetGrid::read(m_context.data, row);
        findChild<QLabel *>(QStringLiteral("lbl_%1_allapot").arg(suffix))->setText(v.status);
        findChild<QLabel *>(QStringLiteral("lbl_%1_db").arg(suffix))->setText(v.count);
        findChild<QLabel *>(QStringLiteral("lbl_%1_datum").arg(suffix))->setText(v.date);
    }
}

QRadioButton *Tfrm_technikai::selectedRadio() const
{
    for (QRadioButton *radio : ui->gbx_adatok->findChildren<QRadioButton *>())
        if (radio->isChecked()) return radio;
    return nullptr;
}

void Tfrm_technikai::setWorking(bool working)
{
    ui->pnl_beolvas->setVisible(working);
    ui->gbx_adatok->setEnabled(!working);
    ui->pnl_vissza->setEnabled(!working);
    ui->pnl_gombok->setEnabled(!working);
    if (working) {
        ui->lbl_tetel->setText(QStringLiteral("0"));
        ui->prg_beolvas->setValue(0);
    }
}

void Tfrm_technikai::progress(int line, qint64 position, qint64 size)
{
    ui->lbl_tetel->setText(QString::number(line));
    // The bar counts in kilobytes so that large files stay within its int range.
    ui->prg_beolvas->setMaximum(int(qMax<qint64>(1, size / 1024)));
    ui->prg_beolvas->setValue(int(position / 1024));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool Tfrm_technikai::askYes(const QString &line1, const QString &line2)
{
    BottomQuestion question;
    question.line1 = line1;
    question.line2 = line2;
    return Prompter::instance().bottomQuestion(this, question).result == Prompter::Yes;
}

void Tfrm_technikai::bbtn_beolvasClick()
{
    QRadioButton *radio = selectedRadio();
    const ReferenceFile *ref = radio ? ReferenceFiles::byRadio(radio->objectName()) : nullptr;
    if (!ref) return;
    Prompter &prompter = Prompter::instance();
    const QString file = prompter.openFile(this, ref->dialogTitle, m_context.installation.home(),
                                           ref->fileName, {ref->filter});
    if (file.isEmpty()) return;

    setWorking(true);
    ReferenceLoader loader(m_context.data);
    const ReferenceLoader::Result r = loader.load(
        *ref, file, [this](int line, qint64 at, qint64 size) { progress(line, at, size); });
    if (r.emptyFailed)
        prompter.message(this, QStringLiteral("Hiba lépett fel a tábla ürítésnél!"),
                         Prompter::Icon::Error);
    if (!r.ok) prompter.message(this, r.error, Prompter::Icon::Error);
    setWorking(false);
    refreshGrid();
}

void Tfrm_technikai::bbtn_megszuntetClick()
{
    Prompter &prompter = Prompter::instance();
    ReportBackup backup(m_context.data, m_context.installation.backupFolder());
    if (const QString refusal = backup.backupRefusal(); !refusal.isEmpty()) {
        prompter.message(this, refusal, Prompter::Icon::Error);
        return;
    }
    ui->bbtn_megszuntet->setEnabled(false);
    ReportBackup::Result r;
    r.message = QStringLiteral("A mentés nem lett elvégezve .");
    if (askYes(ReportBackup::backupQuestion1(),
               ReportBackup::backupQuestion2(ui->lbl_osszes_datum->text()))) {
        WaitCursor busy;
        r = backup.backup();
        refreshGrid();
    }
    ui->bbtn_megszuntet->setEnabled(true);
    prompter.message(this, r.message, r.ok ? Prompter::Icon::Information : Prompter::Icon::Error);
    if (!r.error.isEmpty()) prompter.message(this, r.error, Prompter::Icon::Error);
}

void Tfrm_technikai::bbtn_letrehozClick()
{
    Prompter &prompter = Prompter::instance();
    ui->bbtn_letrehoz->setEnabled(false);
    ReportBackup backup(m_context.data, m_context.installation.backupFolder());
    const ReportBackup::Result refusal = backup.restoreRefusal();
    if (!refusal.ok) {
        prompter.message(this, refusal.message, Prompter::Icon::Error);
        return;
    }
    if (!askYes(ReportBackup::restoreQuestion1(ui->lbl_osszes_datum->text()),
                ReportBackup::restoreQuestion2()))
        return;
    ReportBackup::Result r;
    {
        WaitCursor busy;
        r = backup.restore();
    }
    refreshGrid();
    prompter.message(this, r.message, r.ok ? Prompter::Icon::Information : Prompter::Icon::Error);
}

void Tfrm_technikai::bbtn_exportClick()
{
    ui->bbtn_export->setEnabled(false);
    ui->bbtn_import->setEnabled(false);
    const auto kind =
        ui->rbtn_d->isChecked() ? PersonTransfer::Kind::Persons : PersonTransfer::Kind::Relations;
    PersonTransfer::Result r;
    {
        WaitCursor busy;
        // Into the program folder: c:\tarvik in a default Windows installation, wherever the
        // program lives otherwise.
        r = PersonTransfer::exportTable(m_context.data, kind,
                                        m_context.installation.programFolder());
    }
    Prompter &prompter = Prompter::instance();
    prompter.message(this, r.message, r.ok ? Prompter::Icon::Information : Prompter::Icon::Error);
    if (!r.ok) {
        // After a failure the two buttons wait for the window to be opened again.
        prompter.message(this, r.error, Prompter::Icon::Error);
        return;
    }
    ui->bbtn_export->setEnabled(true);
    ui->bbtn_import->setEnabled(true);
}

void Tfrm_technikai::bbtn_importClick()
{
    const bool persons = ui->rbtn_d->isChecked();
    Prompter &prompter = Prompter::instance();
    const QString file = prompter.openFile(
        this,
        persons ? QStringLiteral("Munkavállalói adatok importálása : TAJ.TXT")
                : QStringLiteral("Munkavállalói adatok importálása : TAJJ.TXT"),
        m_context.installation.programFolder(),
        persons ? QStringLiteral("taj.txt") : QStringLiteral("tajj.txt"),
        {persons ? QStringLiteral("Jelentett személyek adatai (taj.txt)|taj.txt")
                 : QStringLiteral("Jelentett személyek jogcímei (tajj.txt)|tajj.txt")});
    if (file.isEmpty()) return;
    setWorking(true);
    const PersonTransfer::Result r = PersonTransfer::importFile(
        m_context.data, persons ? PersonTransfer::Kind::Persons : PersonTransfer::Kind::Relations,
        file, [this](int line, qint64 at, qint64 size) { progress(line, at, size); });
    setWorking(false);
    refreshGrid();
    if (!r.ok)
        prompter.message(this, r.message + QStringLiteral("\n\r") + r.error, Prompter::Icon::Error);
}

void Tfrm_technikai::openYearPage()
{
    m_openingYear = m_context.run.year;
    ui->cmb_evvalt->clear();
    ui->cmb_evvalt->setEditable(true);
    ui->cmb_evvalt->lineEdit()->setMaxLength(4);
    ui->cmb_evvalt->setEditText(m_openingYear);
    ui->cmb_evvalt->setEnabled(false);
    ui->pnl_combo->setEnabled(false);
    ui->bbtn_evvalt->setText(QStringLiteral("Évváltás"));
    ui->bbtn_evvalt->setEnabled(true);
    ui->bbtn_evment->setEnabled(false);
}

void Tfrm_technikai::bbtn_evvaltClick()
{
    if (ui->bbtn_evvalt->text() == u"Mégse") {
        m_context.run.year = m_openingYear;
        Q_EMIT yearChanged();
        openYearPage();
        return;
    }
    ui->pnl_combo->setEnabled(true);
    ui->cmb_evvalt->setEnabled(true);
    ui->cmb_evvalt->setEditable(false);
    ui->cmb_evvalt->clear();
    // The years offered start from the year taken when the window opened, also after a saved
    // change.
    const int current = m_openingYear.toInt();
    for (int year = current; year > current - 5; --year)
        ui->cmb_evvalt->addItem(QString::number(year));
    ui->cmb_evvalt->setCurrentIndex(-1);
    ui->cmb_evvalt->setFocus();
}

void Tfrm_technikai::cmb_evvaltChange()
{
    ui->bbtn_evment->setEnabled(true);
    ui->bbtn_evvalt->setText(QStringLiteral("Mégse"));
}

void Tfrm_technikai::bbtn_evmentClick()
{
    const QString year = ui->cmb_evvalt->currentText();
    ui->bbtn_evment->setEnabled(false);
    ui->bbtn_evvalt->setText(QStringLiteral("Évváltás"));
    ui->pnl_combo->setEnabled(false);
    m_context.run.year = year;
    Q_EMIT yearChanged();
    ui->cmb_evvalt->setEditable(true);
    ui->cmb_evvalt->clear();
    ui->cmb_evvalt->lineEdit()->setMaxLength(4);
    ui->cmb_evvalt->setEditText(year);
}

#include "tfrm_kulso.h"
#include "ui_tfrm_kulso.h"

#include "appcontext.h"
#include "datetext.h"
#include "externalstore.h"
#include "formprinter.h"
#include "identifierchecks.h"
#include "printedforms.h"
#include "prompter.h"
#include "registrydatabase.h"
#include "reportgenerator.h"
#include "waitcursor.h"

#include <QDir>
#include <QMouseEvent>

namespace
{
// The colours the steps give the fields: the button face for empty, the tip colour for data
// read from the file, the window's base for what may be taken over.
void paint(QWidget *w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(role));
    w->setPalette(p);
}
} // namespace

Tfrm_kulso::Tfrm_kulso(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_kulso>()), m_context(context),
      m_receiver(context.data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->bbtn_print1->setVisible(false);
    ui->rbtn_floppy->setChecked(true);
    connect(ui->bbtn_megnyit, &QPushButton::clicked, this, &Tfrm_kulso::MegnyitClick);
    connect(ui->bbtn_szell, &QPushButton::clicked, this, &Tfrm_kulso::bbtn_szellClick);
    connect(ui->bbtn_jell, &QPushButton::clicked, this, &Tfrm_kulso::bbtn_jellClick);
    connect(ui->bbtn_keszit, &QPushButton::clicked, this, &Tfrm_kulso::KeszitClick);
    connect(ui->bbtn_frissit, &QPushButton::clicked, this, &Tfrm_kulso::bbtn_frissitClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_kulso::reset);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    for (QLineEdit *e : registerEdits())
        e->installEventFilter(this);
    reset();
}

Tfrm_kulso::~Tfrm_kulso() = default;

QList<QLineEdit *> Tfrm_kulso::headerEdits() const
{
    return {ui->ed_tipus, ui->ed_szam,   ui->ed_tetel, ui->ed_fajlnev, ui->ed_kdat, ui->ed_nev,
            ui->ed_ado,   ui->ed_irsz,   ui->ed_hely,  ui->ed_utca,    ui->ed_haz,  ui->ed_em,
            ui->ed_ajto,  ui->ed_epulet, ui->ed_lh,    ui->ed_telefon, ui->ed_fax,  ui->ed_bank,
            ui->ed_mail,  ui->ed_ugyv,   ui->ed_nytsz, ui->ed_alak};
}

QList<QLineEdit *> Tfrm_kulso::registerEdits() const
{
    return {ui->ed_fnev,  ui->ed_fado,  ui->ed_firsz,   ui->ed_fhely,  ui->ed_futca,    ui->ed_fhaz,
            ui->ed_fem,   ui->ed_fajto, ui->ed_fepulet, ui->ed_flh,    ui->ed_ftelefon, ui->ed_ffax,
            ui->ed_fbank, ui->ed_fmail, ui->ed_fugyv,   ui->ed_fnytsz, ui->ed_fkdat};
}

void Tfrm_kulso::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    reset();
}

void Tfrm_kulso::message(const QString &text, bool error)
{
    Prompter::instance().message(this, text,
                                 error ? Prompter::Icon::Error : Prompter::Icon::Information);
}

void Tfrm_kulso::write(const QList<MemoLine> &lines)
{
    for (const MemoLine &l : lines) {
        ui->lb_statusz->setTextColor(l.red ? QColor(Qt::red) : QColor(Qt::black));
        ui->lb_statusz->append(l.text);
    }
}

void Tfrm_kulso::reset()
{
    m_opened = {};
    ui->gbx_jelent->setEnabled(true);
    for (QLineEdit *e : headerEdits()) {
        e->clear();
        paint(e, QPalette::Button);
    }
    ui->cbx_kif->setChecked(false);
    ui->cbx_tah->setChecked(false);
    ui->gbx_fogl->setEnabled(false);
    for (QLineEdit *e : registerEdits()) {
        e->setReadOnly(true);
        e->clear();
        paint(e, QPalette::Button);
    }
    ui->cbx_fkif->setChecked(false);
    ui->cbx_ftah->setChecked(false);
    ui->lb_statusz->clear();
    paint(ui->lb_statusz, QPalette::Button);
    ui->bbtn_megnyit->setEnabled(true);
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->bbtn_frissit, ui->bbtn_szell, ui->bbtn_jell, ui->bbtn_print1, ui->bbtn_keszit,
             ui->rbtn_floppy, ui->rbtn_utvonal, ui->bbtn_megse, ui->cbx_bejelent})
        w->setEnabled(false);
    ui->cbx_bejelent->setChecked(false);
    ui->prb_folyamat->setValue(0);
}

QString Tfrm_kulso::folderSetting() const
{
    return Settings::read(QStringLiteral("Alap kulso")).trimmed();
}

void Tfrm_kulso::MegnyitClick()
{
    QString start = folderSetting();
    if (start.isEmpty()) {
#ifdef Q_OS_WIN
        start = QStringLiteral("C:\\");
#else
        start = QDir::homePath();
#endif
    }
    ui->rbtn_utvonal->setToolTip(start);
    const QString path = Prompter::instance().openFile(
        this, QStringLiteral("Külső jelentés megnyitása"), start, QString(),
        {QStringLiteral("OEP input jelentés fájl |J0**K*.*")});
    if (path.isEmpty()) return;
    ExternalReceiver::Opened opened;
    {
        WaitCursor busy;
        opened = m_receiver.open(path);
    }
    using O = ExternalReceiver::Opened;
    if (opened.outcome == O::OldStructure || opened.outcome == O::Message) {
        message(opened.message, opened.outcome == O::Message);
        return;
    }
    m_opened = opened;
    ui->lb_statusz->clear();
    if (opened.outcome == O::Refused) {
        paint(ui->lb_statusz, QPalette::Base);
        if (!opened.header.fileName.isEmpty()) showHeader(opened, false);
        write(opened.memo);
        ui->bbtn_megnyit->setEnabled(false);
        ui->bbtn_szell->setEnabled(false);
        ui->bbtn_megse->setEnabled(true);
        return;
    }
    ui->bbtn_megnyit->setEnabled(false);
    ui->bbtn_megse->setEnabled(true);
    ui->bbtn_szell->setEnabled(true);
    write({opened.memo.first()});
    showHeader(opened, true);
    ui->gbx_jelent->setEnabled(false);
    if (!opened.employer.isEmpty()) showRegister(opened);
    write(opened.memo.mid(1));
}

void Tfrm_kulso::showHeader(const ExternalReceiver::Opened &o, bool whole)
{
    const ExternalFile::HeaderView &h = o.header;
    const QList<QPair<QLineEdit *, QString>> first = {
        {ui->ed_tipus, h.type},       {ui->ed_szam, h.sequence}, {ui->ed_tetel, h.items},
        {ui->ed_fajlnev, h.fileName}, {ui->ed_kdat, h.madeOn},   {ui->ed_nev, h.name},
        {ui->ed_ado, h.tax},          {ui->ed_irsz, h.postcode}, {ui->ed_hely, o.settlement}};
    QList<QPair<QLineEdit *, QString>> values = first;
    if (whole)
        values +=
            {{ui->ed_utca, h.street},   {ui->ed_haz, h.house},       {ui->ed_em, h.floor},
             {ui->ed_ajto, h.door},     {ui->ed_epulet, h.building}, {ui->ed_lh, h.staircase},
             {ui->ed_telefon, h.phone}, {ui->ed_fax, h.fax},         {ui->ed_mail, h.email},
             {ui->ed_bank, h.bank},     {ui->ed_alak, h.founded},    {ui->ed_ugyv, h.director}};
    for (const auto &[edit, text] : values) {
        edit->setText(text);
        edit->setCursorPosition(0);
        paint(edit, QPalette::ToolTipBase);
    }
    if (!whole) return;
    ui->ed_nytsz->clear();
    ui->cbx_kif->setChecked(h.payingAgent);
    ui->cbx_tah->setChecked(h.treasury);
}

void Tfrm_kulso::showRegister(const ExternalReceiver::Opened &o)
{
    ui->bbtn_frissit->setEnabled(true);
    ui->gbx_fogl->setEnabled(true);
    auto v = [&](const char *field) { return o.employer.value(QLatin1String(field)).toString(); };
    const QString bank = v("BANKSZAM"), tax = v("ADO_SZAM");
    const QList<QPair<QLineEdit *, QString>> takeable = {
        {ui->ed_fnev, v("CEG_NEV")},
        {ui->ed_fkdat, v("CEG_INDUL")},
        {ui->ed_firsz, v("SZ_IRSZ")},
        {ui->ed_futca, v("SZ_UTCA")},
        {ui->ed_fhaz, v("SZ_HAZ")},
        {ui->ed_fem, v("SZ_EMELET")},
        {ui->ed_fajto, v("SZ_AJTO")},
        {ui->ed_fepulet, v("SZ_EPULET")},
        {ui->ed_flh, v("SZ_LH")},
        {ui->ed_ftelefon, v("TELEFON")},
        {ui->ed_ffax, v("FAX")},
        {ui->ed_fmail, v("EMAIL")},
        {ui->ed_fugyv, v("UGYVEZETO")},
        {ui->ed_fbank, bank.mid(0, 8) + u'-' + bank.mid(8, 8) + u'-' + bank.mid(16, 8)}};
    for (const auto &[edit, text] : takeable) {
        edit->setText(text);
        edit->setCursorPosition(0);
        paint(edit, QPalette::Base);
    }
    ui->ed_fado->setText(tax.mid(0, 8) + u'-' + tax.mid(8, 1) + u'-' + tax.mid(9, 2));
    paint(ui->ed_fado, QPalette::ToolTipBase);
    ui->ed_fnytsz->setText(ui->ed_nytsz->text());
    ui->cbx_fkif->setChecked(v("TBKIFH") == u"1");
    ui->cbx_ftah->setChecked(v("TAKISZ") == u"1");
    ui->ed_fhely->setText(o.employerSettlement);
}

void Tfrm_kulso::lockRegister()
{
    ui->bbtn_frissit->setEnabled(false);
    ui->gbx_fogl->setEnabled(false);
    for (QLineEdit *e : registerEdits()) {
        e->setReadOnly(true);
        paint(e, QPalette::ToolTipBase);
    }
}

bool Tfrm_kulso::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && ui->gbx_fogl->isEnabled())
        if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
            Atemel(edit);
            return true;
        }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_kulso::Atemel(QLineEdit *field)
{
    const QList<QPair<QLineEdit *, QLineEdit *>> partners = {
        {ui->ed_fnev, ui->ed_nev},         {ui->ed_firsz, ui->ed_irsz},
        {ui->ed_futca, ui->ed_utca},       {ui->ed_fhaz, ui->ed_haz},
        {ui->ed_fem, ui->ed_em},           {ui->ed_fajto, ui->ed_ajto},
        {ui->ed_fepulet, ui->ed_epulet},   {ui->ed_flh, ui->ed_lh},
        {ui->ed_ftelefon, ui->ed_telefon}, {ui->ed_ffax, ui->ed_fax},
        {ui->ed_fbank, ui->ed_bank},       {ui->ed_fmail, ui->ed_mail},
        {ui->ed_fkdat, ui->ed_alak},       {ui->ed_fugyv, ui->ed_ugyv}};
    for (const auto &[target, source] : partners)
        if (target == field) target->setText(source->text());
    if (field == ui->ed_firsz) ui->ed_fhely->setText(ui->ed_hely->text());
}

void Tfrm_kulso::bbtn_frissitClick()
{
    // An empty date is no date either: saving it would erase the register's founding date.
    const QString founded = ui->ed_fkdat->text().trimmed();
    if (!DateText::isValid(founded)) {
        message(QStringLiteral("'%1' nem érvényes dátum.").arg(founded), true);
        return;
    }
    ui->bbtn_frissit->setEnabled(false);
    QVariantMap values{{"CEG_NEV", ui->ed_fnev->text()},
                       {"CEG_INDUL", founded},
                       {"SZ_IRSZ", ui->ed_firsz->text()},
                       {"SZ_UTCA", ui->ed_futca->text()},
                       {"SZ_HAZ", ui->ed_fhaz->text()},
                       {"SZ_EMELET", ui->ed_fem->text()},
                       {"SZ_AJTO", ui->ed_fajto->text()},
                       {"SZ_EPULET", ui->ed_fepulet->text()},
                       {"SZ_LH", ui->ed_flh->text()},
                       {"TELEFON", ui->ed_ftelefon->text()},
                       {"FAX", ui->ed_ffax->text()},
                       {"EMAIL", ui->ed_fmail->text()},
                       {"BANKSZAM", BankszamOsszevon(ui->ed_fbank->text())},
                       {"TBKIFH", ui->cbx_fkif->isChecked() ? "1" : "0"},
                       {"TAKISZ", ui->cbx_ftah->isChecked() ? "1" : "0"},
                       {"UGYVEZETO", ui->ed_fugyv->text()}};
    QString error;
    bool saved = false;
    {
        WaitCursor busy(Qt::BusyCursor);
        saved = ExternalStore(m_context.data).updateEmployer(m_opened.employerId(), values, &error);
    }
    if (saved)
        message(QStringLiteral("A módosítás sikeresen megtörtént !\n\rEgyéb adatait a "
                               "\"Foglalkozató törzsadatai\"-ban módosíthatja"));
    else
        message(error, true);
    lockRegister();
    if (saved)
        write({{ExternalReceiver::separator()},
               {QStringLiteral("  A foglalkoztatói törzsadatok frissítése megtörtént. ")}});
}

void Tfrm_kulso::bbtn_szellClick()
{
    lockRegister();
    ui->bbtn_szell->setEnabled(false);
    ExternalReceiver::Step step;
    {
        WaitCursor busy;
        step = m_receiver.syntax(m_opened, &m_prisonService);
    }
    m_context.run.prisonService = m_prisonService;
    write(step.memo);
    if (!step.message.isEmpty()) message(step.message, true);
    ui->bbtn_jell->setEnabled(step.ok);
    ui->bbtn_print1->setEnabled(false);
}

void Tfrm_kulso::bbtn_jellClick()
{
    ui->bbtn_jell->setEnabled(false);
    ExternalReceiver::Step step;
    {
        WaitCursor busy;
        step = m_receiver.content(m_opened, m_prisonService);
    }
    write(step.memo);
    if (!step.message.isEmpty()) message(step.message, true);
    for (QWidget *w : std::initializer_list<QWidget *>{ui->bbtn_keszit, ui->rbtn_floppy,
                                                       ui->rbtn_utvonal, ui->cbx_bejelent})
        w->setEnabled(step.ok);
    ui->cbx_bejelent->setChecked(step.ok);
}

void Tfrm_kulso::KeszitClick()
{
    QString folder;
    Prompter &prompter = Prompter::instance();
    if (ui->rbtn_floppy->isChecked()) {
        folder = ReportGenerator::floppyFolder();
        while (!QDir(folder).exists() &&
               prompter.question(this, QStringLiteral("Nincs a meghajtóban lemez !"), true) ==
                   Prompter::Ok) {
        }
    } else if (ui->rbtn_utvonal->isChecked()) {
        folder = folderSetting();
        if (folder.isEmpty()) folder = m_context.installation.programFolder();
    } else {
        return;
    }
    // A report is made at most once per open.
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui->bbtn_keszit, ui->rbtn_floppy, ui->rbtn_utvonal})
        w->setEnabled(false);
    ExternalReceiver::Options options;
    options.folder = QDir::fromNativeSeparators(folder);
    options.version = m_context.run.version;
    options.userName = m_context.run.userName;
    options.today = DateText::today();
    options.forms = ui->cbx_bejelent->isChecked();
    ExternalReceiver::Made made;
    {
        WaitCursor busy;
        made = m_receiver.make(m_opened, m_prisonService, options, [this](int done, int total) {
            ui->prb_folyamat->setMaximum(qMax(total, 1));
            ui->prb_folyamat->setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    ui->prb_folyamat->setValue(0);
    if (!made.ok) {
        write(made.memo);
        message(made.message, true);
        message(made.error, true);
        return;
    }
    // The forms are shown while the memo says so.
    const int formsAt = options.forms ? int(made.memo.size()) - 3 : int(made.memo.size()) - 1;
    write(made.memo.mid(0, formsAt));
    if (options.forms) {
        write({made.memo[formsAt]});
        PrintedForms::preview(made.sheet->form(), this);
        write({made.memo[formsAt + 1]});
        PrintedForms::preview(made.declaration->form(), this);
    }
    write({made.memo.last()});
}

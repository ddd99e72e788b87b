#include "tfrm_foglalk.h"
#include "ui_tfrm_foglalk.h"

#include "appcontext.h"
#include "datetext.h"
#include "employerrules.h"
#include "fieldkeys.h"
#include "formprinter.h"
#include "identifierchecks.h"
#include "printedforms.h"
#include "prompter.h"
#include "registrydatabase.h"
#include "waitcursor.h"

#include <QHeaderView>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace
{
const QString Caption = QStringLiteral(" Bejelentő(k) adatai ;  ");
const QString JelNev = QStringLiteral("09 - Eü.szolg. jogosultak jelentése");
const QString NoHelyseg = QStringLiteral("Nincs ilyen helység !!");
const QString CountyMismatch =
    QStringLiteral("A kiválasztott TH megyekódja nem egyezik\n\ra beállított járási hivatal "
                   "megyekódjával!");
const QString PendingLines = QStringLiteral("Van előkészített jelentése a bejelentőnek!\n\r");

QString field(const QSqlRecord &r, const char *name)
{
    return Query::rightTrimmed(r.value(QLatin1String(name)).toString());
}

void setComboText(QComboBox *combo, const QString &text)
{
    const int i = combo->findText(text);
    if (combo->isEditable()) {
        combo->setCurrentIndex(i);
        combo->setEditText(text);
    } else {
        combo->setCurrentIndex(i);
    }
}
} // namespace

Tfrm_foglalk::Tfrm_foglalk(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_foglalk>()), m_context(context),
      m_store(context.data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_exit = new FieldExit(this);
    m_exit->setObjectName(QStringLiteral("fieldExit"));
    // Computed parts are shown, never typed into.
    for (QLineEdit *shown : {ui->ed_ado, ui->ed_ado2, ui->ed_ado3, ui->dbed_ado})
        shown->setFocusPolicy(Qt::NoFocus);
    auto *keys = new FieldKeys(this);
    keys->installAll(this);
    for (QLineEdit *digits :
         {ui->ed_azon, ui->ed_szisz, ui->ed_tisz, ui->ed_modszisz, ui->ed_modtisz, ui->dbed_ado3})
        keys->install(digits, FieldKeys::Szam);
    keys->install(ui->dbed_ado2, FieldKeys::AfaKod);

    // Names and the signatory are kept in upper case, as typed.
    for (QLineEdit *upper : {ui->ed_cegnev, ui->ed_ugyv}) {
        connect(upper, &QLineEdit::textEdited, this, [upper](const QString &text) {
            const int cursor = upper->cursorPosition();
            upper->setText(text.toUpper());
            upper->setCursorPosition(cursor);
        });
    }

    const Address newSz{ui->ed_szisz, ui->cmb_szhely, ui->cmb_szkter, &m_sulySz,
                        &m_kterSz,    nullptr,        nullptr};
    const Address newT{ui->ed_tisz, ui->cmb_thely, ui->cmb_tkter, &m_sulyT,
                       &m_kterT,    nullptr,       nullptr};
    const Address modSz{ui->ed_modszisz, ui->cmb_modszhely, ui->cmb_mszkter, &m_modSulySz,
                        &m_modKterSz,    &m_chSzIrsz,       &m_chSzKter};
    const Address modT{ui->ed_modtisz, ui->cmb_modthely, ui->cmb_mtkter, &m_modSulyT,
                       &m_modKterT,    &m_chTIrsz,       &m_chTKter};

    m_exit->watch(ui->ed_cegnev, [this] { return ed_cegnevExit(); });
    m_exit->watch(ui->ed_azon, [this] { return AzonositoExit(); });
    m_exit->watch(ui->med_bank, [this] { return bankExit(ui->med_bank, true); });
    m_exit->watch(ui->dbed_bank, [this] { return bankExit(ui->dbed_bank, false); });
    m_exit->watch(ui->ed_email, [this] { return ed_emailExit(ui->ed_email); });
    m_exit->watch(ui->med_alakul, [this] { return med_alakulExit(); });
    m_exit->watch(ui->med_vege, [this] { return med_vegeExit(); });
    m_exit->watch(ui->dbed_ado2, [this] { return dbed_ado2Exit(); });
    m_exit->watch(ui->dbed_ado3, [this] { return dbed_ado3Exit(); });
    for (const Address &a : {newSz, newT, modSz, modT}) {
        m_exit->watch(a.postcode, [this, a] { return postcodeExit(a); });
        connect(a.settlement, &QComboBox::textActivated, this, [this, a] { settlementChange(a); });
        m_exit->watch(a.settlement, [this, a] {
            // A settlement typed rather than chosen is checked when the list is left.
            if (a.settlement->findText(a.settlement->currentText()) < 0 &&
                !a.settlement->currentText().isEmpty())
                settlementChange(a);
            return false;
        });
        connect(a.streetType, &QComboBox::activated, this, [this, a] { streetTypeChange(a); });
    }
    connect(ui->cmb_mep, &QComboBox::activated, this,
            [this] { fundChange(ui->cmb_mep, &m_megye, nullptr); });
    connect(ui->cmb_modmep, &QComboBox::activated, this,
            [this] { fundChange(ui->cmb_modmep, &m_modMegye, &m_chMep); });
    connect(ui->cbx_ugyanaz, &QCheckBox::clicked, this, &Tfrm_foglalk::UgyanazClick);
    connect(ui->spn_kezdo, &QSpinBox::valueChanged, this, &Tfrm_foglalk::spn_kezdoChange);
    connect(ui->cmb_mazontip, &QComboBox::activated, this, &Tfrm_foglalk::cmb_mazontipChange);
    connect(ui->dbed_ado3, &QLineEdit::textEdited, this, &Tfrm_foglalk::dbed_ado3Change);
    connect(ui->med_vege, &QLineEdit::textEdited, this, [this] { m_chVege = true; });

    for (QLineEdit *e : {ui->ed_cegnev, ui->ed_azon, ui->med_alakul, ui->ed_ado})
        connect(e, &QLineEdit::textChanged, this, &Tfrm_foglalk::Mentheto);
    connect(ui->cmb_jarasok, &QComboBox::currentIndexChanged, this, &Tfrm_foglalk::Mentheto);
    connect(ui->cmb_mep, &QComboBox::currentIndexChanged, this, &Tfrm_foglalk::Mentheto);

    connect(ui->dbg_fogl, &QTableWidget::currentCellChanged, this, [this] {
        if (!m_filling) showCurrent();
    });
    connect(ui->bbtn_uj, &QPushButton::clicked, this, &Tfrm_foglalk::UjClick);
    connect(ui->bbtn_modosit, &QPushButton::clicked, this, &Tfrm_foglalk::ModositClick);
    connect(ui->bbtn_torol, &QPushButton::clicked, this, &Tfrm_foglalk::TorolClick);
    connect(ui->bbtn_ment, &QPushButton::clicked, this, &Tfrm_foglalk::MentClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_foglalk::MegseClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &Tfrm_foglalk::bbtn_visszaClick);
    connect(ui->bbtn_nyomtat, &QPushButton::clicked, this, &Tfrm_foglalk::NyomtatClick);
    ui->cmb_azontip->setEnabled(false);
    ui->dbg_fogl->horizontalHeader()->setStretchLastSection(true);
    // A long name wraps onto as many lines as the list's final width asks for.
    connect(ui->dbg_fogl->horizontalHeader(), &QHeaderView::sectionResized, this,
            &Tfrm_foglalk::fitNameRows);
}

Tfrm_foglalk::~Tfrm_foglalk() = default;

QString Tfrm_foglalk::maskedText(const QLineEdit *edit)
{
    QString text = edit->displayText();
    text.replace(u'_', u' ');
    return text;
}

void Tfrm_foglalk::message(const QString &text)
{
    Prompter::instance().message(this, text);
}

void Tfrm_foglalk::closeSoon()
{
    QTimer::singleShot(10, this, &QDialog::reject);
}

void Tfrm_foglalk::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

// ---------------------------------------------------------------- opening and modes

void Tfrm_foglalk::FormShow()
{
    const auto districts = m_store.districts();
    if (districts) m_districts = *districts;
    fillDistricts(ui->cmb_jarasok);
    fillDistricts(ui->cmb_mjarasok);
    loadEmployers();
    if (!m_rows.isEmpty()) {
        loadLists(false);
        showCurrent();
        enterView();
        return;
    }
    if (m_context.run.rightsLevel == 1) {
        message(QStringLiteral("Nincs joga bejelentő felvitelére !!"));
        closeSoon();
        return;
    }
    message(QStringLiteral("Nincs még bejelentő felvéve !!"));
    ui->lbl_foglrec->setText(QStringLiteral("0"));
    if (!enterNew()) closeSoon();
}

void Tfrm_foglalk::fillDistricts(QComboBox *combo)
{
    combo->clear();
    combo->addItem(QStringLiteral("Nem járási hivatal"), QStringLiteral("000"));
    for (const auto &[code, name] : m_districts)
        combo->addItem(name, code);
}

void Tfrm_foglalk::selectDistrict(QComboBox *combo, const QString &code)
{
    const int i = combo->findData(code.isEmpty() ? QStringLiteral("000") : code);
    combo->setCurrentIndex(i < 0 ? 0 : i);
}

QString Tfrm_foglalk::districtCode(const QComboBox *combo) const
{
    const QString code = combo->currentData().toString();
    return code.isEmpty() ? QStringLiteral("000") : code;
}

bool Tfrm_foglalk::loadLists(bool newMode)
{
    const auto funds = m_store.funds();
    const auto streetTypes = m_store.streetTypes();
    const auto districts = m_store.districts();
    if (!streetTypes) {
        message(QStringLiteral("Hiba a KOZ_TER táblában!"));
        return false;
    }
    if (!funds || funds->isEmpty()) {
        message(QStringLiteral("Nincs a MEP tábla feltöltve!!"));
        return false;
    }
    if (!districts || districts->isEmpty()) {
        message(QStringLiteral("Nincs a Járások tábla feltöltve!!"));
        return false;
    }
    if (streetTypes->isEmpty()) {
        message(QStringLiteral("Nincs még a Közterület tábla feltöltve !!"));
        return false;
    }
    m_funds = *funds;
    m_streetTypes = *streetTypes;
    m_districts = *districts;
    const bool wasFilling = m_filling;
    m_filling = true;
    for (QComboBox *c : {ui->cmb_szkter, ui->cmb_tkter, ui->cmb_mszkter, ui->cmb_mtkter}) {
        c->clear();
        for (const auto &st : m_streetTypes)
            c->addItem(st.second, st.first);
    }
    for (QComboBox *c : {ui->cmb_mep, ui->cmb_modmep}) {
        c->clear();
        for (const auto &f : m_funds)
            c->addItem(f.second, f.first);
    }
    if (newMode) {
        fillDistricts(ui->cmb_jarasok);
        ui->cmb_jarasok->setCurrentIndex(0);
        ui->cmb_szkter->setCurrentIndex(0);
        m_kterSz = QStringLiteral("001");
        ui->cmb_tkter->setCurrentIndex(-1);
        m_kterT.clear();
        ui->cmb_mep->setCurrentIndex(-1);
    } else {
        fillDistricts(ui->cmb_mjarasok);
    }
    m_filling = wasFilling;
    return true;
}

void Tfrm_foglalk::loadEmployers(int selectId)
{
    const auto rows = m_store.employers();
    m_rows = rows ? *rows : QList<QSqlRecord>();
    m_filling = true;
    ui->dbg_fogl->clearContents();
    ui->dbg_fogl->setRowCount(int(m_rows.size()));
    int select = 0;
    for (int i = 0; i < m_rows.size(); ++i) {
        auto *name = new QTableWidgetItem(field(m_rows[i], "CEG_NEV"));
        name->setToolTip(name->text());
        ui->dbg_fogl->setItem(i, 0, name);
        if (m_rows[i].value(QStringLiteral("ID")).toInt() == selectId) select = i;
    }
    fitNameRows();
    if (!m_rows.isEmpty()) ui->dbg_fogl->setCurrentCell(select, 0);
    m_filling = false;
    ui->lbl_foglrec->setText(QString::number(m_rows.size()));
}

const QSqlRecord *Tfrm_foglalk::current() const
{
    const int row = ui->dbg_fogl->currentRow();
    return row >= 0 && row < m_rows.size() ? &m_rows[row] : nullptr;
}

int Tfrm_foglalk::currentId() const
{
    const QSqlRecord *r = current();
    return r ? r->value(QStringLiteral("ID")).toInt() : -1;
}

void Tfrm_foglalk::fitNameRows()
{
    // A name of several lines gets the height of all of them, accents included. The lines are
    // counted a little narrower than the cell, as the cell paints its text inside a margin.
    QTableWidget *list = ui->dbg_fogl;
    const QFontMetrics metrics = list->fontMetrics();
    // The stretched column may still be wider than what the list shows.
    const int width = std::min(list->columnWidth(0), list->viewport()->width()) -
                      2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) - 8;
    if (width <= 0) return;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem *item = list->item(row, 0);
        if (!item) continue;
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, width, 0), Qt::TextWordWrap, item->text());
        list->setRowHeight(row, needed.height() + 6);
    }
}

void Tfrm_foglalk::showCurrent()
{
    const QSqlRecord *r = current();
    const QSqlRecord empty;
    const QSqlRecord &rec = r ? *r : empty;
    const bool rulesOn = m_exit->isEnabled();
    m_exit->setEnabled(false);
    const bool wasFilling = m_filling;
    m_filling = true;
    const QString tax = field(rec, "ADO_SZAM");
    ui->dbed_nev->setText(field(rec, "CEG_NEV"));
    ui->dbed_nev->setCursorPosition(0); // a long name shows its beginning
    ui->dbed_ado->setText(tax.mid(0, 8));
    ui->dbed_ado2->setText(tax.mid(8, 1));
    ui->dbed_ado3->setText(tax.mid(9, 2));
    ui->dbed_bank->setText(field(rec, "BANKSZAM"));
    ui->cmb_mazontip->setCurrentIndex(qBound(0, field(rec, "AZON_TIP").toInt(), 2));
    selectDistrict(ui->cmb_mjarasok, field(rec, "JARAS_KOD"));
    ui->dbed_ugyv->setText(field(rec, "UGYVEZETO"));
    ui->dbed_email->setText(field(rec, "EMAIL"));
    ui->dbed_telefon->setText(field(rec, "TELEFON"));
    ui->dbed_fax->setText(field(rec, "FAX"));
    ui->dbed_alakul->setText(field(rec, "CEG_INDUL"));
    ui->med_vege->setText(field(rec, "CEG_VEGE"));
    ui->ed_modszisz->setText(field(rec, "SZ_IRSZ"));
    ui->ed_modtisz->setText(field(rec, "T_IRSZ"));
    ui->dbed_szutca->setText(field(rec, "SZ_UTCA"));
    ui->dbed_szhsz->setText(field(rec, "SZ_HAZ"));
    ui->dbed_szem->setText(field(rec, "SZ_EMELET"));
    ui->dbed_szajto->setText(field(rec, "SZ_AJTO"));
    ui->dbed_szepulet->setText(field(rec, "SZ_EPULET"));
    ui->dbed_szlhaz->setText(field(rec, "SZ_LH"));
    ui->dbed_tutca->setText(field(rec, "T_UTCA"));
    ui->dbed_thsz->setText(field(rec, "T_HAZ"));
    ui->dbed_tem->setText(field(rec, "T_EMELET"));
    ui->dbed_tajto->setText(field(rec, "T_AJTO"));
    ui->dbed_tepulet->setText(field(rec, "T_EPULET"));
    ui->dbed_tlhaz->setText(field(rec, "T_LH"));
    const DataModule::EmployerFields calc =
        r ? m_context.data.employerFields(rec) : DataModule::EmployerFields{};
    // The stored settlement is the one item until the postcode is typed again.
    const QList<std::tuple<QComboBox *, QString, QString>> settlements = {
        {ui->cmb_modszhely, calc.szTelepules, field(rec, "SZ_IRSZ_S")},
        {ui->cmb_modthely, calc.tTelepules, field(rec, "T_IRSZ_S")}};
    for (const auto &[combo, name, weight] : settlements) {
        combo->clear();
        if (!name.isEmpty()) combo->addItem(name, weight);
        setComboText(combo, name);
    }
    setComboText(ui->cmb_mszkter, calc.szKozter);
    setComboText(ui->cmb_mtkter, calc.tKozter);
    setComboText(ui->cmb_modmep, calc.mep);
    m_filling = wasFilling;
    m_exit->setEnabled(rulesOn);
}

void Tfrm_foglalk::setEditable(bool modify)
{
    // The view page is read-only in view mode; modify mode opens what it may change.
    const QList<QLineEdit *> edits = {
        ui->dbed_nev,    ui->dbed_ado2,     ui->dbed_ado3,    ui->dbed_bank,   ui->dbed_ugyv,
        ui->dbed_email,  ui->dbed_telefon,  ui->dbed_fax,     ui->dbed_alakul, ui->med_vege,
        ui->ed_modszisz, ui->ed_modtisz,    ui->dbed_szutca,  ui->dbed_szhsz,  ui->dbed_szem,
        ui->dbed_szajto, ui->dbed_szepulet, ui->dbed_szlhaz,  ui->dbed_tutca,  ui->dbed_thsz,
        ui->dbed_tem,    ui->dbed_tajto,    ui->dbed_tepulet, ui->dbed_tlhaz};
    for (QLineEdit *e : edits)
        e->setReadOnly(!modify);
    ui->dbed_ado->setReadOnly(true);
    for (QComboBox *c : {ui->cmb_modszhely, ui->cmb_modthely, ui->cmb_mszkter, ui->cmb_mtkter,
                         ui->cmb_modmep, ui->cmb_mjarasok})
        c->setEnabled(modify);
    const QString azonTip = current() ? field(*current(), "AZON_TIP") : QString();
    ui->cmb_mazontip->setEnabled(modify && (azonTip == u"1" || azonTip == u"2"));
}

void Tfrm_foglalk::enterView()
{
    m_mode = Mode::View;
    m_modifyMark = false;
    m_exit->setEnabled(false); // nothing is typed in view mode
    setWindowTitle(Caption + QStringLiteral("\"Megtekintés\"-mód"));
    ui->ntb_adatok->setCurrentWidget(ui->pg_adatok);
    setEditable(false);
    const bool mayChange = m_context.run.rightsLevel >= 2;
    ui->bbtn_uj->setVisible(mayChange);
    ui->bbtn_modosit->setVisible(mayChange);
    ui->bbtn_torol->setVisible(mayChange);
    ui->bbtn_ment->setVisible(false);
    ui->bbtn_megse->setVisible(false);
    ui->bbtn_nyomtat->setVisible(true);
    ui->bbtn_vissza->setVisible(true);
    ui->dbg_fogl->setEnabled(true);
    if (ui->dbg_fogl->currentRow() >= 0) ui->dbg_fogl->selectRow(ui->dbg_fogl->currentRow());
    ui->dbg_fogl->setFocus();
}

bool Tfrm_foglalk::enterNew()
{
    m_mode = Mode::New;
    message(QStringLiteral("Kérem figyelmesen adja meg az adatokat !!"));
    setWindowTitle(Caption + QStringLiteral("Felvitel-mód"));
    m_exit->setEnabled(false);
    m_filling = true;
    ui->ntb_adatok->setCurrentWidget(ui->pg_felvitel);
    for (QLineEdit *e : ui->pg_felvitel->findChildren<QLineEdit *>())
        if (!qobject_cast<QComboBox *>(e->parentWidget())) e->clear();
    for (QComboBox *c : {ui->cmb_szhely, ui->cmb_thely})
        c->clear();
    ui->cbx_ugyanaz->setChecked(false);
    ui->cmb_azontip->setCurrentIndex(0);
    ui->ed_azon->setMaxLength(11);
    ui->spn_kezdo->setValue(1);
    ui->cmb_jelnev->clear();
    ui->cmb_jelnev->setEnabled(false);
    m_startWarned = false;
    m_sulySz.clear();
    m_sulyT.clear();
    m_megye.clear();
    // The greyed list shows no employer as chosen while a new one is recorded.
    ui->dbg_fogl->setEnabled(false);
    ui->dbg_fogl->clearSelection();
    const bool listsOk = loadLists(true);
    m_filling = false;
    ui->bbtn_ment->setVisible(true);
    ui->bbtn_ment->setEnabled(false);
    ui->bbtn_megse->setVisible(true);
    // "Vissza" stays: with no employer yet, new mode is the only way on and must not trap the user.
    for (QPushButton *b : {ui->bbtn_uj, ui->bbtn_modosit, ui->bbtn_torol, ui->bbtn_nyomtat})
        b->setVisible(false);
    ui->bbtn_vissza->setVisible(true);
    ui->ed_cegnev->setFocus();
    m_exit->setEnabled(true);
    return listsOk;
}

void Tfrm_foglalk::UjClick()
{
    enterNew();
}

void Tfrm_foglalk::ModositClick()
{
    const int id = currentId();
    if (id < 0) return;
    const auto pending = m_store.hasPendingLines(id);
    if (!pending) {
        message(QStringLiteral("Hiba a módosításkor !!"));
        return;
    }
    if (*pending) {
        message(PendingLines + QStringLiteral("Nem lehet módosítani az adatokat !!"));
        return;
    }
    if (!loadLists(false)) {
        message(QStringLiteral("Hiba a módosításkor !!"));
        return;
    }
    showCurrent();
    const QSqlRecord &rec = *current();
    m_mode = Mode::Modify;
    m_modifyMark = true;
    setWindowTitle(Caption + QStringLiteral("\" Módosítás-mód \""));
    m_modSulySz = field(rec, "SZ_IRSZ_S");
    m_modSulyT = field(rec, "T_IRSZ_S");
    m_modKterSz = field(rec, "SZ_CIM_JELL");
    m_modKterT = field(rec, "T_CIM_JELL");
    m_modMegye = field(rec, "MEGYE");
    m_megyeBefore = m_modMegye;
    m_chSzIrsz = m_chSzKter = m_chTIrsz = m_chTKter = m_chMep = m_chVege = false;
    setEditable(true);
    ui->dbg_fogl->setEnabled(false);
    for (QPushButton *b :
         {ui->bbtn_uj, ui->bbtn_modosit, ui->bbtn_torol, ui->bbtn_nyomtat, ui->bbtn_vissza})
        b->setVisible(false);
    ui->bbtn_ment->setVisible(true);
    ui->bbtn_ment->setEnabled(true);
    ui->bbtn_megse->setVisible(true);
    ui->dbed_nev->setFocus();
    m_exit->setEnabled(true);
}

void Tfrm_foglalk::MegseClick()
{
    if (m_mode == Mode::Modify) {
        m_modifyMark = false;
        showCurrent();
    }
    if (m_rows.isEmpty()) {
        enterNew();
        return;
    }
    showCurrent();
    enterView();
    ui->bbtn_vissza->setVisible(true);
}

void Tfrm_foglalk::TorolClick()
{
    const int id = currentId();
    if (id < 0) return;
    const QString failed = QStringLiteral("Hiba történt a törlésnél !");
    const auto pending = m_store.hasPendingLines(id);
    if (!pending) return message(failed);
    if (*pending)
        return message(PendingLines +
                       QStringLiteral("Vissza kell ezeket vonni, csak utána törölhető !"));
    const auto filed = m_store.hasFiledReports(id);
    if (!filed) return message(failed);
    if (*filed)
        return message(
            QStringLiteral("Ezt a bejelentőt nem lehet törölni !\n\rMár adott le jelentést."));
    BottomQuestion question;
    question.line1 = QStringLiteral("Figyelem !");
    question.line2 = QStringLiteral("Valóban törli a bejelentőt ?!");
    if (Prompter::instance().bottomQuestion(this, question).result != 6) return;
    // Torol
    if (!m_store.remove(id)) {
        message(QStringLiteral("Hiba lépett fel a törlésnél !"));
        return;
    }
    loadEmployers();
    showCurrent();
    message(QStringLiteral("A bejelentő törölve lett !!"));
    enterView();
}

void Tfrm_foglalk::bbtn_visszaClick()
{
    refreshPrisonService();
    accept();
}

void Tfrm_foglalk::refreshPrisonService()
{
    if (const auto active = m_store.prisonServiceActive()) m_context.run.prisonService = *active;
}

// ---------------------------------------------------------------- field rules

void Tfrm_foglalk::Mentheto()
{
    if (m_mode != Mode::New || m_filling) return;
    ui->bbtn_ment->setEnabled(!ui->ed_cegnev->text().isEmpty() && !ui->ed_azon->text().isEmpty() &&
                              maskedText(ui->med_alakul) != DateText::EmptyMask &&
                              !ui->cmb_mep->currentText().isEmpty() &&
                              !ui->ed_ado->text().isEmpty());
}

bool Tfrm_foglalk::ed_cegnevExit()
{
    const QString name = ui->ed_cegnev->text().trimmed();
    if (name.isEmpty()) {
        message(QStringLiteral("A cég/szervezet neve nem lehet üres!\n\rEnnek hiányában nem lehet "
                               "menteni az adatokat!"));
        ui->ed_cegnev->clear();
        return false;
    }
    const auto exists = m_store.nameExists(name);
    if (exists && *exists) {
        message(QStringLiteral("Ez a név már szerepel az adatbázisban !\n\rAdjon meg másikat, vagy "
                               "egészítse ki !"));
        return true;
    }
    return false;
}

bool Tfrm_foglalk::AzonositoExit()
{
    const QString tax = ui->ed_azon->text().trimmed();
    auto refuse = [this](const QString &text, bool clear) {
        message(text);
        if (clear) {
            ui->ed_azon->clear();
            for (QLineEdit *e : {ui->ed_ado, ui->ed_ado2, ui->ed_ado3})
                e->clear();
        }
        return true;
    };
    if (tax.isEmpty())
        return refuse(QStringLiteral("Az azonosító szám mezőt kötelező kitölteni.\n\rEnnek "
                                     "hiányában nem lehet jelentést feladni !"),
                      false);
    if (tax.size() != 11)
        return refuse(QStringLiteral("Az adószámot 11 hosszan kell beírni !"), true);
    bool numeric = false;
    const qint64 value = tax.toLongLong(&numeric);
    if (!numeric || !AdoszamEllenor(value))
        return refuse(QStringLiteral("Az adószám érvénytelen !"), true);
    const auto exists = m_store.taxNumberExists(tax, ui->ed_cegnev->text().trimmed());
    if (exists && *exists) return refuse(QStringLiteral("Ez az adó szám már szerepel !!"), true);
    ui->ed_ado->setText(tax.mid(0, 8));
    ui->ed_ado2->setText(tax.mid(8, 1));
    ui->ed_ado3->setText(tax.mid(9, 2));
    return false;
}

bool Tfrm_foglalk::bankExit(QLineEdit *edit, bool grouped)
{
    QString text = maskedText(edit);
    if (!grouped) text.remove(u'-'); // the modify field is read without its separators
    const int step = grouped ? 9 : 8;
    const QString joined =
        text.mid(0, 8).trimmed() + text.mid(step, 8).trimmed() + text.mid(2 * step, 8).trimmed();
    if (joined.isEmpty()) {
        message(QStringLiteral("A bankszámlaszám hiányzik !"));
        return false;
    }
    if (joined.size() == 16 || joined.size() == 24) {
        if (!BankszamlaEllenor(joined)) {
            message(QStringLiteral("NEM jó a számla szám !!"));
            return true;
        }
        return false;
    }
    message(QStringLiteral("Nem jó bankszám hossza !!"));
    return true;
}

bool Tfrm_foglalk::ed_emailExit(QLineEdit *edit)
{
    if (!EmailEllenor(edit->text()))
        message(
            QStringLiteral("A beírt e-mail cím valószínű, hogy nem jó !\n\rKérem ellenőrizze !!"));
    return false;
}

bool Tfrm_foglalk::med_alakulExit()
{
    const QString text = maskedText(ui->med_alakul);
    if (DateText::isEmpty(text)) {
        message(QStringLiteral("Kötelező megadni az alakulás időpontját !"));
        return true;
    }
    const QDate date = DateText::parse(text);
    if (!date.isValid()) {
        message(QStringLiteral("Nem helyes időpont megadás !"));
        ui->med_alakul->clear();
        return true;
    }
    if (date >= QDate::currentDate()) {
        message(
            QStringLiteral("Nem lehet nagyobb az alakulás ideje \r\nmint az aktuális dátum  !"));
        ui->med_alakul->clear();
        return true;
    }
    return false;
}

bool Tfrm_foglalk::med_vegeExit()
{
    const QString text = maskedText(ui->med_vege);
    if (DateText::isEmpty(text)) return false;
    const QDate date = DateText::parse(text);
    if (!date.isValid()) {
        message(QStringLiteral("Nem helyes időpont megadás !"));
        return true;
    }
    const QDate founded = DateText::parse(maskedText(ui->dbed_alakul));
    if (founded.isValid() && date <= founded) {
        message(QStringLiteral("Nem lehet kisebb/egyenlő a megszünés \r\ndátuma mint az alakulás "
                               "dátuma  !"));
        ui->med_vege->clear();
        return true;
    }
    return false;
}

bool Tfrm_foglalk::postcodeExit(const Address &a)
{
    const QString postcode = a.postcode->text().trimmed();
    if (postcode.isEmpty()) return false;
    const auto rows = m_store.settlements(postcode);
    if (!rows || rows->isEmpty()) {
        message(NoHelyseg);
        a.postcode->clear();
        if (a.postcodeMark) *a.postcodeMark = false;
        return true;
    }
    *a.weight = rows->first().first;
    m_filling = true;
    a.settlement->clear();
    a.settlement->setEnabled(true);
    for (const auto &[weight, name] : *rows)
        a.settlement->addItem(name, weight);
    a.settlement->setCurrentIndex(0);
    a.settlement->setEditText(rows->first().second);
    m_filling = false;
    if (a.postcodeMark) *a.postcodeMark = true;
    a.settlement->setFocus();
    return false;
}

void Tfrm_foglalk::settlementChange(const Address &a)
{
    if (m_filling) return;
    // A variant of this postcode chosen from the list keeps the postcode.
    const int index = a.settlement->currentIndex();
    if (index >= 0 && a.settlement->itemText(index) == a.settlement->currentText() &&
        !a.settlement->itemData(index).toString().isEmpty()) {
        *a.weight = a.settlement->itemData(index).toString();
        if (a.postcodeMark) *a.postcodeMark = true;
        return;
    }
    const auto found = m_store.settlementByName(a.settlement->currentText());
    if (!found || found->first.isEmpty()) {
        message(NoHelyseg);
        a.settlement->clear();
        if (a.postcodeMark) *a.postcodeMark = false;
        return;
    }
    a.postcode->setText(found->first);
    *a.weight = found->second;
    if (a.postcodeMark) *a.postcodeMark = true;
}

void Tfrm_foglalk::streetTypeChange(const Address &a)
{
    const auto code = m_store.streetTypeCode(a.streetType->currentText());
    if (!code) {
        message(QStringLiteral("Hiba lépett fel a keresésnél ! "));
        return;
    }
    *a.streetCode = *code;
    if (a.streetMark) *a.streetMark = true;
}

void Tfrm_foglalk::fundChange(QComboBox *combo, QString *code, bool *mark)
{
    const auto found = m_store.fundCode(combo->currentText());
    if (!found || found->isEmpty()) {
        message(QStringLiteral("Nincs ilyen MEP !!"));
        combo->setCurrentIndex(-1);
        return;
    }
    *code = *found;
    if (mark) *mark = true;
    Mentheto();
}

void Tfrm_foglalk::UgyanazClick(bool checked)
{
    m_filling = true;
    if (checked) {
        ui->ed_tisz->setText(ui->ed_szisz->text());
        ui->cmb_thely->clear();
        for (int i = 0; i < ui->cmb_szhely->count(); ++i)
            ui->cmb_thely->addItem(ui->cmb_szhely->itemText(i), ui->cmb_szhely->itemData(i));
        ui->cmb_thely->setCurrentIndex(ui->cmb_szhely->currentIndex());
        ui->cmb_thely->setEditText(ui->cmb_szhely->currentText());
        ui->ed_tutca->setText(ui->ed_szutca->text());
        ui->cmb_tkter->setCurrentIndex(ui->cmb_szkter->currentIndex());
        ui->ed_thsz->setText(ui->ed_szhsz->text());
        ui->ed_tem->setText(ui->ed_szem->text());
        ui->ed_tajto->setText(ui->ed_szajto->text());
        ui->ed_tepulet->setText(ui->ed_szepulet->text());
        ui->ed_tlhaz->setText(ui->ed_szlhaz->text());
        m_sulyT = m_sulySz;
        m_kterT = m_kterSz;
        m_filling = false;
        ui->cmb_mep->setFocus();
        return;
    }
    for (QLineEdit *e : {ui->ed_tisz, ui->ed_tutca, ui->ed_thsz, ui->ed_tem, ui->ed_tajto,
                         ui->ed_tepulet, ui->ed_tlhaz})
        e->clear();
    ui->cmb_thely->clear();
    ui->cmb_tkter->setCurrentIndex(-1);
    m_sulyT.clear();
    m_kterT.clear();
    m_filling = false;
}

void Tfrm_foglalk::spn_kezdoChange(int value)
{
    if (value >= 2 && !m_startWarned) {
        m_startWarned = true;
        message(
            QStringLiteral("Csak abban az esetben adjon meg nagyobbat mint 1,\n\ramennyiben már "
                           "volt leadott jelentése az OEP felé!\n\r( beállítása : az utolsó "
                           "jelentés + 1 )"));
        ui->cmb_jelnev->clear();
        ui->cmb_jelnev->addItem(JelNev);
        ui->cmb_jelnev->setCurrentIndex(0);
        ui->cmb_jelnev->setEnabled(true);
    } else if (value == 1) {
        ui->cmb_jelnev->clear();
        ui->cmb_jelnev->setEnabled(false);
        m_startWarned = false;
    }
}

void Tfrm_foglalk::cmb_mazontipChange(int index)
{
    if (index == 1 || index == 2) {
        message(QStringLiteral("Csak adószámon lehet jelentést leadni !!"));
        ui->cmb_mazontip->setCurrentIndex(0);
    }
}

bool Tfrm_foglalk::dbed_ado2Exit()
{
    if (m_mode == Mode::Modify && ui->dbed_ado2->text().trimmed().isEmpty()) {
        message(QStringLiteral("Az áfakör nem lehet üres !"));
        ui->dbed_ado2->setText(QStringLiteral("1"));
    }
    return false;
}

bool Tfrm_foglalk::dbed_ado3Exit()
{
    if (m_mode == Mode::Modify && ui->dbed_ado3->text().trimmed().size() < 2) {
        message(QStringLiteral("Nem helyes megyekód !"));
        ui->dbed_ado3->setText(QStringLiteral("11"));
    }
    return false;
}

void Tfrm_foglalk::dbed_ado3Change(const QString &text)
{
    if (m_modifyMark && text.size() == 2) {
        message(
            QStringLiteral("Amennyiben megváltozott a megyekód, \n\rmegváltozhatott az illetékes "
                           "megye is.\n\rKérem ellenőrizze !"));
        ui->cmb_modmep->setFocus();
    }
}

// ---------------------------------------------------------------- saving

void Tfrm_foglalk::MentClick()
{
    if (m_mode == Mode::New)
        saveNew();
    else if (m_mode == Mode::Modify)
        saveModify();
}

QVariantMap Tfrm_foglalk::newFields() const
{
    const QString bank = BankszamOsszevon(maskedText(ui->med_bank)).remove(u' ');
    return {
        {QStringLiteral("CEG_NEV"), ui->ed_cegnev->text().trimmed().toUpper()},
        {QStringLiteral("ADO_SZAM"),
         ui->ed_ado->text() + ui->ed_ado2->text() + ui->ed_ado3->text()},
        {QStringLiteral("AZON_TIP"), QStringLiteral("0")},
        {QStringLiteral("TBKIFH"), QStringLiteral("0")},
        {QStringLiteral("TAKISZ"), QStringLiteral("0")},
        {QStringLiteral("BANKSZAM"), bank},
        {QStringLiteral("JARAS_KOD"), districtCode(ui->cmb_jarasok)},
        {QStringLiteral("MEGYE"), m_megye},
        {QStringLiteral("SZ_IRSZ"), ui->ed_szisz->text()},
        {QStringLiteral("SZ_IRSZ_S"), m_sulySz},
        {QStringLiteral("SZ_CIM_JELL"), m_kterSz},
        {QStringLiteral("SZ_UTCA"), ui->ed_szutca->text()},
        {QStringLiteral("SZ_HAZ"), ui->ed_szhsz->text()},
        {QStringLiteral("SZ_EMELET"), ui->ed_szem->text()},
        {QStringLiteral("SZ_AJTO"), ui->ed_szajto->text()},
        {QStringLiteral("SZ_EPULET"), ui->ed_szepulet->text()},
        {QStringLiteral("SZ_LH"), ui->ed_szlhaz->text()},
        {QStringLiteral("T_IRSZ"), ui->ed_tisz->text()},
        {QStringLiteral("T_IRSZ_S"), m_sulyT},
        {QStringLiteral("T_CIM_JELL"), m_kterT},
        {QStringLiteral("T_UTCA"), ui->ed_tutca->text()},
        {QStringLiteral("T_HAZ"), ui->ed_thsz->text()},
        {QStringLiteral("T_EMELET"), ui->ed_tem->text()},
        {QStringLiteral("T_AJTO"), ui->ed_tajto->text()},
        {QStringLiteral("T_EPULET"), ui->ed_tepulet->text()},
        {QStringLiteral("T_LH"), ui->ed_tlhaz->text()},
        {QStringLiteral("TELEFON"), ui->ed_telefon->text()},
        {QStringLiteral("FAX"), ui->ed_fax->text()},
        {QStringLiteral("EMAIL"), ui->ed_email->text()},
        {QStringLiteral("UGYVEZETO"), ui->ed_ugyv->text()},
        {QStringLiteral("CEG_INDUL"), maskedText(ui->med_alakul)},
    };
}

void Tfrm_foglalk::saveNew()
{
    ui->bbtn_ment->setEnabled(false);
    const QString district = districtCode(ui->cmb_jarasok);
    if (district != u"000") {
        const auto county = m_store.districtCounty(district);
        if (!county) {
            message(QStringLiteral("Hiba lépett fel a rögzítésnél !!"));
            ui->bbtn_ment->setEnabled(true);
            return;
        }
        if (*county != m_megye) {
            message(CountyMismatch);
            ui->bbtn_ment->setEnabled(true);
            ui->cmb_jarasok->setFocus();
            return;
        }
    }
    Rogzit();
}

void Tfrm_foglalk::Rogzit()
{
    const QVariantMap fields = newFields();
    const QString reportType = ui->cmb_jelnev->currentText().left(2);
    const auto result = m_store.insert(fields, ui->spn_kezdo->value(), reportType);
    Settings::write(QStringLiteral("Fogl"), DateText::today());
    if (result != EmployerStore::InsertResult::Ok) {
        // Nothing was written; the typed data stays for another try.
        message(result == EmployerStore::InsertResult::EmployerFailed
                    ? QStringLiteral("Hiba lépett fel a felvitelnél !")
                    : QStringLiteral("Hiba lépett fel a rögzítésnél !!"));
        ui->bbtn_ment->setEnabled(true);
        return;
    }
    loadEmployers();
    showCurrent();
    enterView();
}

void Tfrm_foglalk::saveModify()
{
    const QSqlRecord *rec = current();
    if (!rec) return;
    const int id = currentId();
    ui->bbtn_ment->setEnabled(false);
    m_modifyMark = false;
    if (ui->cmb_mazontip->currentIndex() != 0) {
        message(QStringLiteral("Jelentést csak adószámon lehet leadni !"));
        ui->cmb_mazontip->setFocus();
        ui->bbtn_ment->setEnabled(true);
        m_modifyMark = true;
        return;
    }
    EmployerChange change;
    change.id = id;
    // The fields bound to the row.
    change.posted = {
        {QStringLiteral("CEG_NEV"), ui->dbed_nev->text()},
        {QStringLiteral("TELEFON"), ui->dbed_telefon->text()},
        {QStringLiteral("FAX"), ui->dbed_fax->text()},
        {QStringLiteral("UGYVEZETO"), ui->dbed_ugyv->text()},
        {QStringLiteral("EMAIL"), ui->dbed_email->text()},
        {QStringLiteral("CEG_INDUL"),
         DateText::isEmpty(maskedText(ui->dbed_alakul)) ? QString() : maskedText(ui->dbed_alakul)},
        {QStringLiteral("SZ_UTCA"), ui->dbed_szutca->text()},
        {QStringLiteral("SZ_HAZ"), ui->dbed_szhsz->text()},
        {QStringLiteral("SZ_EMELET"), ui->dbed_szem->text()},
        {QStringLiteral("SZ_AJTO"), ui->dbed_szajto->text()},
        {QStringLiteral("SZ_EPULET"), ui->dbed_szepulet->text()},
        {QStringLiteral("SZ_LH"), ui->dbed_szlhaz->text()},
        {QStringLiteral("T_UTCA"), ui->dbed_tutca->text()},
        {QStringLiteral("T_HAZ"), ui->dbed_thsz->text()},
        {QStringLiteral("T_EMELET"), ui->dbed_tem->text()},
        {QStringLiteral("T_AJTO"), ui->dbed_tajto->text()},
        {QStringLiteral("T_EPULET"), ui->dbed_tepulet->text()},
        {QStringLiteral("T_LH"), ui->dbed_tlhaz->text()},
    };
    if (m_chSzIrsz) change.seatPostcode = {ui->ed_modszisz->text(), m_modSulySz};
    if (m_chSzKter) change.seatStreetType = m_modKterSz;
    if (m_chTIrsz) change.sitePostcode = {ui->ed_modtisz->text(), m_modSulyT};
    if (m_chTKter) change.siteStreetType = m_modKterT;
    if (m_chMep) change.fund = m_modMegye;
    if (m_chVege) {
        const QString vege = maskedText(ui->med_vege);
        change.endDate = DateText::isEmpty(vege) ? Query::null() : QVariant(vege);
    }
    change.azonTip = QString::number(ui->cmb_mazontip->currentIndex());
    change.taxNumber = ui->dbed_ado->text() + ui->dbed_ado2->text() + ui->dbed_ado3->text();
    change.bank = maskedText(ui->dbed_bank).remove(u'-').remove(u' ');
    change.district = districtCode(ui->cmb_mjarasok);
    change.fundBefore = m_megyeBefore;

    const EmployerRules::Result result = EmployerRules(m_store).saveChange(change);
    for (const QString &text : result.messages)
        message(text);
    if (!result.posted) {
        ui->bbtn_ment->setEnabled(true);
        m_modifyMark = true;
        return;
    }
    loadEmployers(id);
    Settings::write(QStringLiteral("Fogl"), DateText::today());
    showCurrent();
    enterView();
}

void Tfrm_foglalk::NyomtatClick()
{
    std::optional<QList<QVariantMap>> rows;
    {
        WaitCursor busy;
        rows = m_store.sheetRows();
    }
    if (!rows) {
        // The list could not be read: say so and leave the register as it is.
        message(QStringLiteral("Hiba lépett fel a nyomtatásnál !"));
        return;
    }
    if (rows->isEmpty()) {
        message(QStringLiteral("Nincs bejelentő rögzítve !"));
        closeSoon();
        return;
    }
    PrintedForms::preview(Tqrp_foglriport(*rows).form(), this);
}

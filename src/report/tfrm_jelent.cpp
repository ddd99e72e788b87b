#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "appcontext.h"
#include "datetext.h"
#include "fieldkeys.h"
#include "pagedquerymodel.h"
#include "prompter.h"
#include "recordmodel.h"
#include "waitcursor.h"
#include "windowkeys.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>

namespace
{
const QString Caption = QStringLiteral(" Jelentés adatok  - új jelentés rögzítése ");
const QString ActivationFailed = QStringLiteral("Hiba az aktiváláskor");
const QString OpenFailed = QStringLiteral("Hiba az adatbázis megnyitásánál!");
const QStringList ReportTypes = {QStringLiteral("-- Válasszon jelentés típust ! --"),
                                 QStringLiteral("08 - Biztosítottak jelentése(csak ellátás)"),
                                 QStringLiteral("09 - Eü.szolgáltatásra jog. jelentése")};
// The highest sequence number the three digits of a report file name can hold.
constexpr int MaxReportNumber = 999;
} // namespace

Tfrm_jelent::Tfrm_jelent(AppContext &context, Page page, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_jelent>()), m_context(context),
      m_store(context.data), m_startPage(page), m_generator(context.data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_persons = new PagedQueryModel({{QStringLiteral("VEZ_NEV"), QStringLiteral("Családi név")},
                                     {QStringLiteral("UTO_NEV"), QStringLiteral("Utónév")},
                                     {QStringLiteral("TAJ"), QStringLiteral("TAJ szám")},
                                     {QStringLiteral("UTO_NEV_2"), QStringLiteral("2. utónév")}},
                                    this);
    m_lines = new RecordModel({{QStringLiteral("JAVITAS"), QStringLiteral("Jav")},
                               {QStringLiteral("JEL_TETE"), QStringLiteral("Tétel")},
                               {QStringLiteral("VEZ_NEV"), QStringLiteral("Családi név")},
                               {QStringLiteral("UTO_NEV"), QStringLiteral("Utónév")},
                               {QStringLiteral("KEZDET"), QStringLiteral("Kezdete")},
                               {QStringLiteral("VEGE"), QStringLiteral("Vége")},
                               {QStringLiteral("JOGCIM"), QStringLiteral("Jogcím")},
                               {QStringLiteral("SZUN_KEZD"), QStringLiteral("Szün. kezdete")},
                               {QStringLiteral("SZUN_VEGE"), QStringLiteral("Szün. vége")},
                               {QStringLiteral("ELL_KOD"), QStringLiteral("Ellátás")},
                               {QStringLiteral("ELL_KEZD"), QStringLiteral("Ell. kezdete")},
                               {QStringLiteral("ELL_VEGE"), QStringLiteral("Ell. vége")},
                               {QStringLiteral("SZUL_DAT"), QStringLiteral("Szül. dátum")}},
                              this);
    ui->dbg_taj->setModel(m_persons);
    // A new list resets the columns: names and the TAJ number side by side, and the list wide
    // enough to show them without scrolling sideways.
    static const std::pair<int, const char *> PersonColumns[] = {
        {0, "KOVÁCSNÉ"}, {1, "ERZSÉBET"}, {2, "000000000"}, {3, "2. utónév"}};
    // A column is as wide as its sample value or its heading, whichever is wider.
    auto columnWidth = [this](int column, const char *sample) {
        const QString heading = m_persons->headerData(column, Qt::Horizontal).toString();
        return qMax(ui->dbg_taj->fontMetrics().horizontalAdvance(QString::fromUtf8(sample)),
                    ui->dbg_taj->horizontalHeader()->fontMetrics().horizontalAdvance(heading)) +
               12;
    };
    connect(m_persons, &QAbstractItemModel::modelReset, this, [this, columnWidth] {
        for (const auto &[column, sample] : PersonColumns)
            ui->dbg_taj->setColumnWidth(column, columnWidth(column, sample));
    });
    int shown = 2 * ui->dbg_taj->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                2 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    for (int i = 0; i < 3; ++i)
        shown += columnWidth(PersonColumns[i].first, PersonColumns[i].second);
    ui->gbx_dolg->setMinimumWidth(qMax(ui->gbx_dolg->minimumWidth(), shown));
    ui->dbg_temp->setModel(m_lines);
    for (QTableView *grid : {ui->dbg_taj, ui->dbg_temp}) {
        grid->verticalHeader()->setVisible(false);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        grid->horizontalHeader()->setStretchLastSection(true);
    }
    ui->dbg_taj->setColumnWidth(0, 120);
    ui->dbg_taj->setColumnWidth(1, 90);
    ui->dbg_taj->setColumnWidth(2, 80);
    ui->dbg_temp->resizeColumnsToContents();
    // The employer's data are shown, never typed into.
    for (QLineEdit *shown : {ui->ed_nytsz, ui->ed_adoszam, ui->ed_isz, ui->ed_hely, ui->ed_utca})
        shown->setFocusPolicy(Qt::NoFocus);
    ui->cbx_rendez->addItems(
        {QStringLiteral("TAJ-szám szerint"), QStringLiteral("Vezetéknév szerint")});
    ui->cbx_rendez->setCurrentIndex(1);
    m_yearLength = ReportLineRules::yearLength(QDate::currentDate());

    connect(ui->cmb_fogl, &QComboBox::activated, this, &Tfrm_jelent::cmb_foglChange);
    connect(ui->cmb_jelnev, &QComboBox::activated, this, &Tfrm_jelent::cmb_jelnevChange);
    connect(ui->cbx_rendez, &QComboBox::activated, this, &Tfrm_jelent::cbx_rendezChange);
    // Choosing the employer or the type moves the focus on: the arrows only look through them.
    WindowKeys::chooseOnLeave(ui->cmb_fogl);
    WindowKeys::chooseOnLeave(ui->cmb_jelnev);
    connect(ui->dbg_taj, &QTableView::doubleClicked, this, &Tfrm_jelent::takePerson);
    connect(ui->dbg_taj, &QTableView::clicked, this, [this] {
        if (!m_fromList) clearPersonFields();
    });
    connect(ui->dbg_temp, &QTableView::clicked, this, [this] {
        const bool rows = m_lines->rowCount() > 0;
        ui->bbtn_torol->setEnabled(rows);
        ui->bbtn_visszavon->setEnabled(rows);
    });
    connect(ui->bbtn_ujjog, &QPushButton::clicked, this, [this] { newPerson(true); });
    connect(ui->btn_ad, &QPushButton::clicked, this, &Tfrm_jelent::btn_adClick);
    connect(ui->bbtn_torol, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_torolClick);
    connect(ui->bbtn_visszavon, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_visszavonClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_megseClick);
    connect(ui->bbtn_ujjel, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_ujjelClick);
    connect(ui->bbtn_rogzit, &QPushButton::clicked, this, &Tfrm_jelent::bbtn_rogzitClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::reject);
    setUpFields();
    setUpMakingPage();

    for (const char *table : {"orszag", "nyugdij", "taj", "jogcim", "feor"})
        if (!m_context.data.hasTable(QLatin1String(table))) {
            message(OpenFailed);
            break;
        }
}

Tfrm_jelent::~Tfrm_jelent() = default;

QString Tfrm_jelent::maskText(const QLineEdit *edit)
{
    QString text = edit->displayText();
    text.replace(u'_', u' ');
    return text;
}

void Tfrm_jelent::message(const QString &text)
{
    ++m_messagesShown;
    Prompter::instance().message(this, text);
}

bool Tfrm_jelent::ask(const QString &line1, const QString &line2, bool noTajBox, bool *noTaj)
{
    BottomQuestion q;
    q.line1 = line1;
    q.line2 = line2;
    q.showNoTaj = noTajBox;
    const BottomAnswer a = Prompter::instance().bottomQuestion(this, q);
    if (noTaj) *noTaj = a.result == 6 && a.noTaj;
    if (a.result == 6) return true;
    // "Mégse" of the question dialog leaves the person and shows the list again.
    clearPersonFields();
    loadPersons();
    return false;
}

void Tfrm_jelent::closeSoon()
{
    QTimer::singleShot(10, this, [this] {
        if (!m_ready) reject();
    });
}

void Tfrm_jelent::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
    FormActivate();
}

// ---------------------------------------------------------------- the page and its states

void Tfrm_jelent::FormShow()
{
    WaitCursor busy;
    const auto places = m_store.settlementNames();
    const auto count = m_store.activeEmployerCount();
    const auto names = m_store.activeEmployerNames();
    const auto pending = m_generator.pendingLineCount();
    if (!places || !count || !names || !pending) {
        message(ActivationFailed);
        m_ready = false;
        return;
    }
    ui->cmb_szulhely->clear();
    ui->cmb_szulhely->addItems(*places);
    if (*count == 0) {
        message(
            QStringLiteral("Nincs olyan aktív bejelentő \r\nakire jelentést lehet rögzíteni !"));
        m_ready = false;
        return;
    }
    m_ready = true;
    ui->lbl_foglrec->setText(QString::number(*count));
    ui->cmb_fogl->clear();
    ui->cmb_fogl->addItems(*names);
    ui->bbtn_ujjel->setEnabled(*pending > 0);
    clearPersonFields();
}

void Tfrm_jelent::FormActivate()
{
    if (m_ready) {
        if (m_startPage == Page::Keszit)
            m_ready = openMakingPage();
        else
            resetEntryPage();
    }
    if (!m_ready) closeSoon();
}

void Tfrm_jelent::resetEntryPage()
{
    m_exit->setEnabled(false);
    setWindowTitle(Caption);
    ui->ntb_jelent->setCurrentWidget(ui->rogzit);
    ui->gbx_fogl->setEnabled(true);
    ui->cmb_fogl->setCurrentIndex(-1);
    for (QLineEdit *e : {ui->ed_nytsz, ui->ed_adoszam, ui->ed_isz, ui->ed_hely, ui->ed_utca})
        e->clear();
    m_employer = {};
    clearPersonFields();
    for (QPushButton *b : {ui->bbtn_rogzit, ui->bbtn_torol, ui->bbtn_visszavon, ui->bbtn_ujjel,
                           ui->bbtn_megse, ui->bbtn_ujjog})
        b->setEnabled(false);
    ui->bbtn_rogzit->setVisible(true);
    ui->bbtn_ujjel->setVisible(true);
    m_type08 = false;
    m_type.clear();
    m_persons->clear();
    ui->dbg_taj->setEnabled(false);
    ui->gbx_dolg->setEnabled(false);
    ui->cmb_jelnev->clear();
    ui->cmb_jelnev->addItems(ReportTypes);
    ui->cmb_jelnev->setEditable(true);
    ui->cmb_jelnev->setEnabled(true);

    const auto countries = m_store.countries();
    const auto funds = m_store.pensionFunds();
    const auto occupations = m_store.occupations();
    if (!countries || !funds || !occupations) {
        message(ActivationFailed);
    } else {
        m_countries = *countries;
        m_funds = *funds;
        m_occupations = *occupations;
    }
    const QList<QPair<QComboBox *, const QList<ReportStore::CodeName> *>> lists = {
        {ui->cmb_allamp, &m_countries}, {ui->cmb_pkod, &m_funds}, {ui->cmb_feor, &m_occupations}};
    for (const auto &[combo, list] : lists) {
        combo->clear();
        for (const auto &[code, name] : *list)
            combo->addItem(name, code);
        combo->setCurrentIndex(-1);
    }
    ui->lbl_fo->setText(QStringLiteral("0"));
    ui->lbl_sorszam->setText(QStringLiteral("0"));
    ui->lbl_dolgrec->setText(QStringLiteral("0"));
    m_lines->setRows({});
    m_exit->setEnabled(true);
    ui->cmb_fogl->setFocus();
    if (ui->cmb_fogl->count() == 1) {
        ui->cmb_fogl->setCurrentIndex(0);
        cmb_foglChange();
    }
}

void Tfrm_jelent::cmb_foglChange()
{
    const auto employer = m_store.employerByName(ui->cmb_fogl->currentText());
    if (!employer || employer->id < 0) {
        message(ActivationFailed);
        return;
    }
    m_employer = *employer;
    ui->ed_nytsz->setText(m_employer.registration);
    ui->ed_adoszam->setText(m_employer.taxNumber);
    ui->ed_isz->setText(m_employer.postcode);
    ui->ed_hely->setText(m_employer.settlement);
    ui->ed_utca->setText(m_employer.streetLine);
    ui->ed_utca->setCursorPosition(0);
    const bool prison = m_employer.taxNumber.startsWith(RunState::PrisonServiceBase);
    ui->cmb_jogcim->setMinimumWidth(prison ? 200 : 220);
    if (m_employer.azonTip != u"0") {
        message(QStringLiteral("A bejelentőnek nem az adószám a jelentés azonosítója.\n\rJelenteni "
                               "csak adószámon lehet !\n\rMódosítsa a \"Bejelentő "
                               "törzsadatai\"-ban."));
        ui->cmb_jelnev->setEnabled(false);
        m_ready = false;
        closeSoon();
        return;
    }
    ui->cbx_rendez->setCurrentIndex(1);
    loadPersons();
    // The list's own line editor goes later; as the combo box's focus proxy it would take the
    // focus with it (and the clerk's next key would go nowhere).
    if (QLineEdit *edit = ui->cmb_jelnev->lineEdit()) edit->setFocusProxy(nullptr);
    ui->cmb_jelnev->setEditable(false);
    ui->cmb_jelnev->setCurrentIndex(0);
    ui->cmb_jelnev->setFocus();
}

void Tfrm_jelent::cmb_jelnevChange()
{
    if (ui->cmb_jelnev->currentIndex() <= 0) ui->cmb_jelnev->setCurrentIndex(1);
    m_type = ui->cmb_jelnev->currentText().left(2);
    m_type08 = m_type == u"08";
    ui->cmb_jelnev->setEnabled(false);
    refreshLines();
    if (ui->lbl_sorszam->text().toInt() > MaxReportNumber) {
        message(QStringLiteral("A bejelentő %1-s típusú jelentésének sorszáma (%2) nem fér el a "
                               "jelentés állomány nevében (legfeljebb %3).\n\rÚj jelentés nem "
                               "rögzíthető.")
                    .arg(m_type, ui->lbl_sorszam->text())
                    .arg(MaxReportNumber));
        resetEntryPage();
        return;
    }
    m_checksOn = true;
    ui->gbx_dolg->setEnabled(true);
    ui->gbx_fogl->setEnabled(false);
    ui->bbtn_ujjel->setEnabled(true);
    ui->bbtn_ujjog->setEnabled(true);

    const auto titles = m_store.titlesOfType(m_type);
    const auto texts = m_store.titleTexts(m_type, m_employer.taxNumber);
    const auto benefits =
        m_type08 ? m_store.benefits(m_type)
                 : std::optional<QList<ReportStore::Title>>(QList<ReportStore::Title>());
    if (!titles || !texts || !benefits) {
        message(OpenFailed);
        return;
    }
    m_titles = *titles;
    m_benefits = *benefits;
    ui->cmb_jogcim->clear();
    ui->cmb_jogcim->addItems(*texts);
    ui->cmb_jogcim->setCurrentIndex(-1);
    ui->cmb_ellatas->clear();
    for (const ReportStore::Title &b : m_benefits)
        ui->cmb_ellatas->addItem(b.text, b.code);
    ui->cmb_ellatas->setCurrentIndex(-1);

    ui->ed_keres->clear();
    ui->cbx_rendez->setCurrentIndex(1);
    ui->dbg_taj->setEnabled(true);
    loadPersons();
    ui->dbg_taj->setFocus();
}

void Tfrm_jelent::refreshLines()
{
    const auto lines = m_store.pendingLines(m_employer.id, m_type);
    if (!lines) {
        message(ActivationFailed);
        return;
    }
    m_lines->setRows(*lines);
    ui->dbg_temp->resizeColumnsToContents();
    if (!lines->isEmpty()) {
        ui->lbl_fo->setText(QString::number(lines->size()));
        ui->lbl_sorszam->setText(m_lines->text(0, QStringLiteral("JEL_SZAM")));
        ui->bbtn_torol->setEnabled(true);
        ui->bbtn_visszavon->setEnabled(true);
        return;
    }
    ui->lbl_fo->setText(QStringLiteral("0"));
    const auto last = m_store.lastReportNumber(m_employer.id, m_type);
    ui->lbl_sorszam->setText(QString::number(last.value_or(0) + 1));
}

void Tfrm_jelent::loadPersons(const ReportStore::PersonFilter &filter)
{
    if (m_employer.id < 0) return;
    const bool byTaj = ui->cbx_rendez->currentIndex() == 0;
    if (!m_store.showPersons(*m_persons, m_employer.id,
                             byTaj && filter.familyName.isEmpty() ? ReportStore::PersonOrder::Taj
                                                                  : ReportStore::PersonOrder::Name,
                             filter))
        m_persons->clear();
    ui->lbl_dolgrec->setText(QString::number(m_persons->rowCount()));
    if (m_persons->rowCount() > 0) ui->dbg_taj->selectRow(0);
}

void Tfrm_jelent::cbx_rendezChange()
{
    const bool byTaj = ui->cbx_rendez->currentIndex() == 0;
    m_keys->install(ui->ed_keres, byTaj ? FieldKeys::Kod : FieldKeys::Tovabb);
    ui->ed_keres->setMaxLength(byTaj ? 9 : 40);
    loadPersons();
    if (ui->dbg_taj->isEnabled()) ui->dbg_taj->setFocus();
}

void Tfrm_jelent::ed_keresEnter()
{
    const QString text = ui->ed_keres->text().trimmed();
    if (text.isEmpty()) {
        newPerson(false);
        return;
    }
    ReportStore::PersonFilter filter;
    if (ui->cbx_rendez->currentIndex() == 0)
        filter.taj = text;
    else
        filter.familyName = text;
    loadPersons(filter);
    if (m_persons->rowCount() == 1) {
        takePerson();
    } else if (m_persons->rowCount() > 1) {
        ui->dbg_taj->setFocus();
    } else if (ask(QStringLiteral("A megadott feltételre nincs találat !"),
                   QStringLiteral("Rögzít egy új munkavállalót ?!"))) {
        openNewPersonFields(false);
    }
}

void Tfrm_jelent::takePerson()
{
    const int row = ui->dbg_taj->currentIndex().row() < 0 ? 0 : ui->dbg_taj->currentIndex().row();
    if (m_persons->rowCount() == 0) {
        ui->ed_keres->setFocus();
        return;
    }
    m_exit->setEnabled(false);
    clearPersonFields();
    auto text = [&](const char *field) { return m_persons->text(row, QLatin1String(field)); };
    ui->ed_taj->setText(text("TAJ"));
    const QList<QPair<QLineEdit *, const char *>> fields = {{ui->ed_vnev, "VEZ_NEV"},
                                                            {ui->ed_knev, "UTO_NEV"},
                                                            {ui->ed_knev2, "UTO_NEV_2"},
                                                            {ui->ed_szvnev, "SZ_VEZ_NEV"},
                                                            {ui->ed_szunev1, "SZ_UTO_NEV_1"},
                                                            {ui->ed_szunev2, "SZ_UTO_NEV_2"},
                                                            {ui->ed_avnev, "A_VEZ_NEV"},
                                                            {ui->ed_aunev1, "A_UTO_NEV_1"},
                                                            {ui->ed_aunev2, "A_UTO_NEV_2"},
                                                            {ui->ed_okod, "O_KOD"},
                                                            {ui->ed_pkod, "P_KOD"}};
    for (const auto &[edit, field] : fields) {
        edit->setText(text(field));
        setOpen(edit, true);
    }
    ui->med_szuldat->setText(text("SZUL_DAT"));
    setOpen(ui->med_szuldat, true);
    ui->cmb_szulhely->setEditText(text("SZUL_HELY"));
    for (QWidget *w :
         {static_cast<QWidget *>(ui->cmb_szulhely), static_cast<QWidget *>(ui->cmb_allamp),
          static_cast<QWidget *>(ui->cmb_pkod), static_cast<QWidget *>(ui->cbx_egyezik)})
        setOpen(w, true);
    pairCode(ui->ed_okod, ui->cmb_allamp, m_countries);
    pairCode(ui->ed_pkod, ui->cmb_pkod, m_funds);
    setRelationFieldsByType();
    if (m_type08) {
        setDisabledCleared(ui->ed_jkod);
        setDisabledCleared(ui->cmb_jogcim);
    }
    ui->bbtn_megse->setEnabled(true);
    ui->ed_vnev->setFocus();
    m_exit->setEnabled(true);
    m_fromList = true;
}

void Tfrm_jelent::newPerson(bool fromButton)
{
    const bool prison = m_employer.taxNumber.startsWith(RunState::PrisonServiceBase);
    if (fromButton) m_context.run.prisonService = prison;
    bool noTaj = false;
    if (!ask(QStringLiteral("Nem adott meg azonosítót !"),
             QStringLiteral("Rögzít egy új jogosultat ?!"), m_context.run.prisonService, &noTaj))
        return;
    openNewPersonFields(m_context.run.prisonService && noTaj);
}

void Tfrm_jelent::openNewPersonFields(bool withProvisional)
{
    QString provisional;
    if (withProvisional) {
        const auto next = nextProvisionalTaj();
        if (!next) return;
        provisional = *next;
    }
    m_exit->setEnabled(false);
    clearPersonFields();
    m_provisional = provisional.isEmpty() ? m_provisional : provisional;
    ui->ed_taj->setText(provisional);
    setOpen(ui->ed_taj, true);
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->ed_vnev, ui->ed_knev, ui->ed_knev2, ui->ed_szvnev, ui->ed_szunev1, ui->ed_szunev2,
             ui->ed_avnev, ui->ed_aunev1, ui->ed_aunev2, ui->med_szuldat, ui->cmb_szulhely,
             ui->ed_okod, ui->cmb_allamp, ui->ed_pkod, ui->cmb_pkod, ui->ed_jkod, ui->cmb_jogcim,
             ui->cbx_egyezik})
        setOpen(w, true);
    setRelationFieldsByType();
    ui->bbtn_ujjog->setEnabled(false);
    ui->bbtn_megse->setEnabled(true);
    ui->ed_taj->setFocus();
    m_exit->setEnabled(true);
}

std::optional<QString> Tfrm_jelent::nextProvisionalTaj()
{
    const auto highest = m_store.highestProvisionalTaj();
    if (!highest) {
        message(ActivationFailed);
        return std::nullopt;
    }
    const QString taj =
        ReportLineRules::provisionalTaj(ReportLineRules::nextProvisionalBase(*highest));
    if (taj.isEmpty()) {
        message(QStringLiteral("Nem képezhető több ideiglenes TAJ szám:\n\ra 99999999 feletti "
                               "alapszám nem fér el 8 számjegyen !"));
        return std::nullopt;
    }
    return taj;
}

void Tfrm_jelent::setRelationFieldsByType()
{
    const bool prison = m_employer.taxNumber.startsWith(RunState::PrisonServiceBase);
    for (QWidget *sex : {ui->rbtn_ferfi, ui->rbtn_no})
        sex->setEnabled(!m_type08 && prison);
    setOpen(ui->cbx_pakez, true);
    if (!m_type08) {
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui->ed_jkod, ui->cmb_jogcim, ui->med_bkezd, ui->med_bvege, ui->med_szkezd,
                 ui->med_szvege, ui->ed_mido, ui->ed_fkod, ui->cmb_feor})
            setOpen(w, true);
        for (QWidget *w :
             {static_cast<QWidget *>(ui->ed_ekod), static_cast<QWidget *>(ui->cmb_ellatas),
              static_cast<QWidget *>(ui->med_ekezd), static_cast<QWidget *>(ui->med_evege)})
            setDisabledCleared(w);
        return;
    }
    for (QWidget *w : {ui->med_bkezd, ui->med_bvege, ui->med_szkezd, ui->med_szvege})
        setDisabledCleared(w);
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui->ed_ekod, ui->cmb_ellatas, ui->med_ekezd,
                                          ui->med_evege, ui->ed_mido, ui->ed_fkod, ui->cmb_feor})
        setOpen(w, true);
}

void Tfrm_jelent::clearPersonFields()
{
    const bool rulesOn = m_exit->isEnabled();
    m_exit->setEnabled(false);
    ui->ed_keres->clear();
    for (QLineEdit *e : ui->rogzit->findChildren<QLineEdit *>()) {
        if (e->parentWidget() == ui->gbx_szemely || e->parentWidget() == ui->gbx_jogviszony) {
            e->clear();
            setOpen(e, false);
        }
    }
    for (QComboBox *c :
         {static_cast<QComboBox *>(ui->cmb_szulhely), static_cast<QComboBox *>(ui->cmb_allamp),
          static_cast<QComboBox *>(ui->cmb_pkod), static_cast<QComboBox *>(ui->cmb_jogcim),
          static_cast<QComboBox *>(ui->cmb_feor), static_cast<QComboBox *>(ui->cmb_ellatas)}) {
        c->setCurrentIndex(-1);
        c->setEditText(QString());
        c->setEnabled(false);
    }
    for (QCheckBox *b : {ui->cbx_pakez, ui->cbx_javit, ui->cbx_torles, ui->cbx_egyezik}) {
        b->setChecked(false);
        b->setEnabled(false);
    }
    for (QRadioButton *r : {ui->rbtn_ferfi, ui->rbtn_no}) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
        r->setEnabled(false);
    }
    ui->bbtn_megse->setEnabled(false);
    ui->btn_ad->setEnabled(false);
    ui->bbtn_torol->setEnabled(false);
    ui->bbtn_ujjog->setEnabled(!m_type.isEmpty());
    m_checksOn = true;
    m_dialogCancelled = false;
    m_late = false;
    m_javitLocked = m_torlesLocked = false;
    m_earlierStart.clear();
    m_earlierEnd.clear();
    m_earlierSuspensionEnd.clear();
    m_benefitValidFrom.clear();
    m_fromList = false;
    if (ui->dbg_taj->isEnabled()) ui->dbg_taj->setFocus();
    m_exit->setEnabled(rulesOn);
}

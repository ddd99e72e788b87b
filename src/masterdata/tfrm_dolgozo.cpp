#include "tfrm_dolgozo.h"
#include "ui_tfrm_dolgozo.h"

#include "appcontext.h"
#include "fieldkeys.h"
#include "pagedquerymodel.h"
#include "personregister.h"
#include "personrules.h"
#include "prompter.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTimer>

namespace
{
const QString Caption = QStringLiteral(" Munkavállalói adatok  ");
const QString ReadFailed = QStringLiteral("Hiba lépett fel az adatok olvasásánál !");
} // namespace

Tfrm_dolgozo::Tfrm_dolgozo(AppContext &context, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_dolgozo>()), m_context(context),
      m_persons(new PagedQueryModel({{QStringLiteral("TAJ"), QStringLiteral("TAJ-szám :")},
                                     {QStringLiteral("NEV"), QStringLiteral("Név :")}},
                                    this)),
      m_titles(new QStandardItemModel(this)), m_exit(new FieldExit(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->dbg_dolgozo->setModel(m_persons);
    ui->dbg_dolgozo->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->dbg_dolgozo->verticalHeader()->setDefaultSectionSize(
        ui->dbg_dolgozo->fontMetrics().height() + 6);
    // The TAJ column fits nine digits in bold, the key column's font in TAJ order.
    QFont bold = ui->dbg_dolgozo->font();
    bold.setBold(true);
    ui->dbg_dolgozo->setColumnWidth(
        0, QFontMetrics(bold).horizontalAdvance(QStringLiteral("000000000")) + 16);
    m_titles->setHorizontalHeaderLabels({QStringLiteral("Jogcím"), QStringLiteral("FEOR"),
                                         QStringLiteral("H.mi."), QStringLiteral("J.tip."),
                                         QStringLiteral("J.kezdete"), QStringLiteral("J.vége")});
    ui->dbg_jogcim->setModel(m_titles);
    ui->dbg_jogcim->horizontalHeader()->setStretchLastSection(false);

    connect(ui->cbx_rendez, &QComboBox::currentIndexChanged, this, &Tfrm_dolgozo::cbx_rendezChange);
    connect(ui->ed_keres, &QLineEdit::textChanged, this, &Tfrm_dolgozo::ed_keresChange);
    connect(ui->dbg_dolgozo->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tfrm_dolgozo::personMoved);
    connect(ui->dbg_jogcim->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tfrm_dolgozo::titleMoved);
    connect(ui->dbg_jogcim, &QTableView::clicked, this, &Tfrm_dolgozo::titleMoved);
    connect(ui->bbtn_modosit, &QPushButton::clicked, this, &Tfrm_dolgozo::bbtn_modositClick);
    connect(ui->bbtn_ment, &QPushButton::clicked, this, &Tfrm_dolgozo::bbtn_mentClick);
    connect(ui->bbtn_megse, &QPushButton::clicked, this, &Tfrm_dolgozo::bbtn_megseClick);
    connect(ui->bbtn_vissza, &QPushButton::clicked, this, &QDialog::accept);

    auto *keys = new FieldKeys(this);
    for (QWidget *w : std::initializer_list<QWidget *>{ui->dbed_veznev, ui->dbed_utonev,
                                                       ui->dbed_utonev2, ui->dbed_szuldat})
        keys->install(w);
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui->dbed_veznev, ui->dbed_utonev, ui->dbed_szuldat})
        m_exit->watch(w, [this, w] { return m_modify && !checkField(w); });
    m_exit->setEnabled(false);
}

Tfrm_dolgozo::~Tfrm_dolgozo() = default;

void Tfrm_dolgozo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void Tfrm_dolgozo::message(const QString &text, bool error)
{
    Prompter::instance().message(this, text,
                                 error ? Prompter::Icon::Error : Prompter::Icon::Information);
}

void Tfrm_dolgozo::FormShow()
{
    PersonRegister store(m_context.data);
    {
        const QSignalBlocker quiet(ui->cbx_rendez);
        ui->cbx_rendez->setCurrentIndex(0);
    }
    if (!store.showPersons(*m_persons, PersonRegister::Order::Name)) message(ReadFailed, true);
    m_persons->setBoldField(QStringLiteral("NEV"));
    ui->ed_keres->setMaxLength(40);
    ui->lbl_dolgozo->setText(QString::number(m_persons->rowCount()));
    if (m_persons->rowCount() == 0) message(QStringLiteral("Nincs még munkavállaló felvéve !!"));

    ui->cmb_foglalk->clear();
    ui->cmb_foglalk->addItem(QStringLiteral(" Összes foglalkoztató"));
    const auto employers = store.employerNames();
    if (employers && employers->isEmpty())
        message(QStringLiteral("Nincs még a Foglalkoztató táblában adat !!"));
    ui->cmb_foglalk->addItems(employers.value_or(QStringList()));
    ui->cmb_foglalk->setCurrentIndex(0);

    goToRow(0);
    // The lists follow each other only once the window is up.
    QTimer::singleShot(10, this, [this] { m_following = true; });
    viewMode();
}

void Tfrm_dolgozo::viewMode()
{
    m_modify = false;
    m_exit->setEnabled(false);
    setWindowTitle(Caption + QStringLiteral("\" Megtekintés \"-mód"));
    ui->gbx_munkavallalo->setEnabled(false);
    ui->gbx_dolgozok->setEnabled(true);
    for (QLineEdit *e : ui->gbx_munkavallalo->findChildren<QLineEdit *>())
        e->setReadOnly(true);
    const int level = m_context.run.rightsLevel;
    for (QPushButton *b : {ui->bbtn_ment, ui->bbtn_modosit, ui->bbtn_megse}) {
        b->setVisible(level != 1);
        b->setEnabled(false);
    }
    ui->bbtn_modosit->setEnabled(level == 3 && m_persons->rowCount() > 0);
    ui->ed_keres->setFocus();
}

void Tfrm_dolgozo::cbx_rendezChange()
{
    const bool byName = ui->cbx_rendez->currentIndex() == 0;
    PersonRegister store(m_context.data);
    if (!store.showPersons(*m_persons,
                           byName ? PersonRegister::Order::Name : PersonRegister::Order::Taj))
        message(ReadFailed, true);
    m_persons->setBoldField(byName ? QStringLiteral("NEV") : QStringLiteral("TAJ"));
    {
        const QSignalBlocker quiet(ui->ed_keres);
        ui->ed_keres->clear();
    }
    ui->ed_keres->setMaxLength(byName ? 40 : 9);
    goToRow(0);
    ui->ed_keres->setFocus();
}

void Tfrm_dolgozo::ed_keresChange()
{
    const QString text = ui->ed_keres->text();
    if (text.isEmpty()) return;
    PersonRegister store(m_context.data);
    const bool byName = ui->cbx_rendez->currentIndex() == 0;
    const auto row = byName ? store.rowForName(text) : store.rowForTaj(text.toUpper());
    if (!row) {
        message(ReadFailed, true);
        return;
    }
    // A TAJ number that names nobody leaves the list where it was.
    if (*row >= 0) goToRow(*row);
}

void Tfrm_dolgozo::goToRow(int row)
{
    if (row < 0 || row >= m_persons->rowCount()) {
        showPerson(-1);
        return;
    }
    const QModelIndex index = m_persons->index(row, 0);
    ui->dbg_dolgozo->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
    ui->dbg_dolgozo->scrollTo(index, QAbstractItemView::PositionAtCenter);
    // Moved by the program: the person and the titles follow at once.
    showPerson(row);
}

void Tfrm_dolgozo::personMoved()
{
    if (m_following && !m_modify) showPerson(ui->dbg_dolgozo->currentIndex().row());
}

QString Tfrm_dolgozo::currentTaj() const
{
    return ui->dbed_taj->text();
}

void Tfrm_dolgozo::showPerson(int row)
{
    const QSqlRecord r = m_persons->record(row);
    auto text = [&](const char *field) { return m_persons->text(row, QLatin1String(field)); };
    const QList<QPair<QLineEdit *, const char *>> fields = {{ui->dbed_taj, "TAJ"},
                                                            {ui->dbed_veznev, "VEZ_NEV"},
                                                            {ui->dbed_utonev, "UTO_NEV"},
                                                            {ui->dbed_utonev2, "UTO_NEV_2"},
                                                            {ui->dbed_szveznev, "SZ_VEZ_NEV"},
                                                            {ui->dbed_szutonev1, "SZ_UTO_NEV_1"},
                                                            {ui->dbed_szutonev2, "SZ_UTO_NEV_2"},
                                                            {ui->dbed_aveznev, "A_VEZ_NEV"},
                                                            {ui->dbed_autonev1, "A_UTO_NEV_1"},
                                                            {ui->dbed_autonev2, "A_UTO_NEV_2"},
                                                            {ui->dbed_szuldat, "SZUL_DAT"},
                                                            {ui->dbed_szulhely, "SZUL_HELY"}};
    for (const auto &[edit, field] : fields) {
        edit->setText(text(field));
        edit->setCursorPosition(0);
    }
    ui->dbed_nyugdij->setText(r.isEmpty() ? QString() : m_context.data.nyugdijNev(text("P_KOD")));
    ui->dbed_orszag->setText(r.isEmpty() ? QString() : m_context.data.orszagNev(text("O_KOD")));

    m_titles->removeRows(0, m_titles->rowCount());
    m_titleRows.clear();
    if (!r.isEmpty()) {
        const auto titles = PersonRegister(m_context.data).relations(text("TAJ"));
        if (!titles) message(ReadFailed, true);
        m_titleRows = titles.value_or(QList<QVariantMap>());
    }
    for (const QVariantMap &t : std::as_const(m_titleRows)) {
        QList<QStandardItem *> cells;
        for (const char *field : {"JOGCIM", "FEOR", "HORA", "JEL_TIP", "KEZDET", "VEGE"})
            cells << new QStandardItem(t.value(QLatin1String(field)).toString());
        m_titles->appendRow(cells);
    }
    ui->dbg_jogcim->resizeColumnsToContents();
    ui->lbl_jogrec->setText(QString::number(m_titleRows.size()));
    if (!m_titleRows.isEmpty()) ui->dbg_jogcim->selectRow(0);
    titleMoved();
}

void Tfrm_dolgozo::titleMoved()
{
    const int row = ui->dbg_jogcim->currentIndex().row();
    const QVariantMap t = row >= 0 && row < m_titleRows.size() ? m_titleRows[row] : QVariantMap();
    auto v = [&](const char *field) { return t.value(QLatin1String(field)).toString(); };
    PersonRegister store(m_context.data);
    QVariantMap employer;
    QString title, occupation;
    if (!t.isEmpty()) {
        employer = store.employer(v("FOGLALK_ID")).value_or(QVariantMap());
        title = store.titleName(v("JOGCIM")).value_or(QString());
        occupation = store.occupationName(v("FEOR")).value_or(QString());
    }
    ui->dbed_adoszam->setText(employer.value(QStringLiteral("ADO_SZAM")).toString());
    ui->dbed_nyilvszam->setText(employer.value(QStringLiteral("NYILV_SZAM")).toString());
    ui->dbed_cegnev->setText(employer.value(QStringLiteral("CEG_NEV")).toString());
    ui->dbed_jogcim->setText(title);
    ui->dbed_feor->setText(occupation);
    const QList<QPair<QLineEdit *, const char *>> fields = {
        {ui->dbed_kezdet, "KEZDET"},      {ui->dbed_vege, "VEGE"},
        {ui->dbed_hora, "HORA"},          {ui->dbed_jeltip, "JEL_TIP"},
        {ui->dbed_pakez, "PAKEZ"},        {ui->dbed_szunkezd, "SZUN_KEZD"},
        {ui->dbed_szunvege, "SZUN_VEGE"}, {ui->dbed_ellkezd, "ELL_KEZD"},
        {ui->dbed_ellvege, "ELL_VEGE"}};
    for (const auto &[edit, field] : fields)
        edit->setText(v(field));
    for (QLineEdit *e :
         {ui->dbed_adoszam, ui->dbed_nyilvszam, ui->dbed_cegnev, ui->dbed_jogcim, ui->dbed_feor})
        e->setCursorPosition(0);
}

void Tfrm_dolgozo::bbtn_modositClick()
{
    if (currentTaj().isEmpty()) return;
    message(QStringLiteral("Csak a viselt nevet és a születési\n\rdátumot lehet módosítani !"));
    m_modify = true;
    setWindowTitle(Caption + QStringLiteral("\" Módosítás \"-mód"));
    ui->gbx_dolgozok->setEnabled(false);
    ui->gbx_munkavallalo->setEnabled(true);
    ui->bbtn_modosit->setEnabled(false);
    ui->bbtn_ment->setEnabled(true);
    ui->bbtn_megse->setEnabled(true);
    for (QLineEdit *e : {ui->dbed_veznev, ui->dbed_utonev, ui->dbed_utonev2, ui->dbed_szuldat})
        e->setReadOnly(false);
    ui->dbed_veznev->setFocus();
    m_exit->setEnabled(true);
}

bool Tfrm_dolgozo::checkField(QWidget *field)
{
    QString refusal;
    if (field == ui->dbed_veznev) refusal = PersonRules::requiredName(ui->dbed_veznev->text());
    if (field == ui->dbed_utonev) refusal = PersonRules::requiredName(ui->dbed_utonev->text());
    if (field == ui->dbed_szuldat)
        refusal = PersonRules::requiredBirthDate(ui->dbed_szuldat->text(), QDate::currentDate());
    if (refusal.isEmpty()) return true;
    message(refusal);
    field->setFocus();
    return false;
}

void Tfrm_dolgozo::bbtn_mentClick()
{
    if (!m_modify) return;
    m_exit->setEnabled(false);
    // What the field rules let through is checked once more before anything is stored.
    for (QWidget *field :
         std::initializer_list<QWidget *>{ui->dbed_veznev, ui->dbed_utonev, ui->dbed_szuldat}) {
        if (!checkField(field)) {
            m_exit->setEnabled(true);
            return;
        }
    }
    const PersonRegister::Correction c{
        currentTaj(), ui->dbed_veznev->text().trimmed(), ui->dbed_utonev->text().trimmed(),
        ui->dbed_utonev2->text().trimmed(), ui->dbed_szuldat->text().trimmed()};
    PersonRegister store(m_context.data);
    QString error;
    if (!store.correct(c, &error)) {
        message(QStringLiteral("Hiba lépett fel a módosításnál !\n\r") + error, true);
        m_exit->setEnabled(true);
        return;
    }
    message(QStringLiteral("A módosítás megtörtént !"));
    // The list again, on the person as now named.
    const bool byName = ui->cbx_rendez->currentIndex() == 0;
    m_persons->refresh();
    int row = 0;
    if (const auto start = byName ? store.rowForName(c.familyName) : store.rowForTaj(c.taj)) {
        row = qMax(0, *start);
        for (int i = row; byName && i < qMin(m_persons->rowCount(), row + 1000); ++i)
            if (m_persons->text(i, QStringLiteral("TAJ")) == c.taj) {
                row = i;
                break;
            }
    }
    m_modify = false;
    goToRow(row);
    viewMode();
}

void Tfrm_dolgozo::bbtn_megseClick()
{
    m_exit->setEnabled(false);
    m_modify = false;
    showPerson(ui->dbg_dolgozo->currentIndex().row());
    viewMode();
}

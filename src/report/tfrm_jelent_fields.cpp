// The field rules of the entry page, first part: key filters, Enter moves, code and text pairs,
// and the person fields' rules that run when a field is left. The legal title, the dates and the
// codes of the relation follow in tfrm_jelent_relation.cpp. The decisions are ReportLineRules';
// these files move values between the controls and the rules.
#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "appcontext.h"
#include "datetext.h"
#include "fieldkeys.h"
#include "identifierchecks.h"
#include "personrules.h"
#include "prompter.h"
#include "tfrm_jelent_p.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

using namespace JelentFields;

namespace
{
const QString &NameRequired = PersonRules::NameRequired;
const QString Hungary = QStringLiteral("348");
} // namespace

void Tfrm_jelent::onEnter(QWidget *field, std::function<bool()> handler)
{
    m_enter.insert(field, std::move(handler));
    field->installEventFilter(this);
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit()) {
        m_enter.insert(combo->lineEdit(), m_enter.value(field));
        combo->lineEdit()->installEventFilter(this);
    }
}

bool Tfrm_jelent::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto it = m_enter.find(watched);
            if (it != m_enter.end() && it.value()()) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_jelent::setOpen(QWidget *field, bool open)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field)) {
        edit->setEnabled(true);
        edit->setReadOnly(!open);
    } else {
        field->setEnabled(open);
    }
}

void Tfrm_jelent::setDisabledCleared(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field)) edit->clear();
    if (auto *combo = qobject_cast<QComboBox *>(field)) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    field->setEnabled(false);
}

void Tfrm_jelent::applyField(KindEffect::Field state, std::initializer_list<QWidget *> fields)
{
    for (QWidget *f : fields) {
        switch (state) {
        case KindEffect::Field::Keep:
            break;
        case KindEffect::Field::ReadOnly:
            setOpen(f, false);
            break;
        case KindEffect::Field::OpenCleared:
            if (auto *edit = qobject_cast<QLineEdit *>(f)) edit->clear();
            if (auto *combo = qobject_cast<QComboBox *>(f)) setComboText(combo, QString());
            setOpen(f, true);
            break;
        case KindEffect::Field::Open:
            setOpen(f, true);
            break;
        }
    }
}

void Tfrm_jelent::pairCode(QLineEdit *code, QComboBox *names,
                           const QList<ReportStore::CodeName> &list)
{
    const QString c = code->text().trimmed();
    QString name;
    for (const auto &[k, n] : list)
        if (!c.isEmpty() && k.trimmed() == c) {
            name = n;
            break;
        }
    setComboText(names, name);
}

void Tfrm_jelent::pairName(QComboBox *names, QLineEdit *code,
                           const QList<ReportStore::CodeName> &list)
{
    QString c;
    for (const auto &[k, n] : list)
        if (n == names->currentText()) {
            c = k.trimmed();
            break;
        }
    code->setText(c);
}

bool Tfrm_jelent::hasTaj() const
{
    return !ui->ed_taj->text().trimmed().isEmpty();
}

bool Tfrm_jelent::provisionalTaj() const
{
    return ui->ed_taj->text().trimmed().startsWith(u'9');
}

const ReportStore::Title *Tfrm_jelent::currentTitle() const
{
    const QString code = ui->ed_jkod->text().trimmed();
    for (const ReportStore::Title &t : m_titles)
        if (t.code == code) return &t;
    return nullptr;
}

bool Tfrm_jelent::suspensionEnabled() const
{
    return ui->med_szkezd->isEnabled();
}

LineContext Tfrm_jelent::lineContext() const
{
    LineContext c;
    c.today = QDate::currentDate();
    c.yearLength = m_yearLength;
    c.foundation = DateText::parse(m_employer.founded);
    c.titleCode = ui->ed_jkod->text().trimmed();
    if (const ReportStore::Title *t = currentTitle()) {
        c.titleValidFrom = t->validFrom;
        c.titleValidTo = t->validTo;
    }
    c.earlierStart = m_earlierStart;
    c.earlierEnd = m_earlierEnd;
    c.earlierSuspensionEnd = m_earlierSuspensionEnd;
    c.lateMarking = m_late;
    c.provisionalTaj = provisionalTaj();
    c.startEditable = !ui->med_bkezd->isReadOnly();
    c.type08 = m_type08;
    return c;
}

LineDates Tfrm_jelent::lineDates() const
{
    LineDates d;
    d.start = maskText(ui->med_bkezd);
    d.end = maskText(ui->med_bvege);
    d.suspensionStart = maskText(ui->med_szkezd);
    d.suspensionEnd = maskText(ui->med_szvege);
    d.benefitCode = ui->ed_ekod->text();
    d.benefitStart = maskText(ui->med_ekezd);
    d.benefitEnd = maskText(ui->med_evege);
    d.benefitValidFrom = m_benefitValidFrom;
    d.birth = maskText(ui->med_szuldat);
    return d;
}

bool Tfrm_jelent::askToRetype(const QString &line1, const QString &line2)
{
    BottomQuestion q;
    q.page = BottomQuestion::Kilep;
    q.line1 = line1;
    q.line2 = line2;
    ++m_messagesShown;
    if (Prompter::instance().bottomQuestion(this, q).result == 6) return true;
    // The clerk gives up this person: the fields are cleared and the list is back.
    clearPersonFields();
    loadPersons();
    return false;
}

bool Tfrm_jelent::applyVerdict(const Verdict &v, QLineEdit *field)
{
    for (const QString &m : v.messages)
        message(m);
    if (v.clear) field->clear();
    if (v.enableAdd) ui->btn_ad->setEnabled(true);
    return v.refocus;
}

// ---------------------------------------------------------------- set-up

void Tfrm_jelent::setUpFields()
{
    m_exit = new FieldExit(this);
    m_exit->setObjectName(QStringLiteral("fieldExit"));
    m_keys = new FieldKeys(this);
    m_keys->installAll(this);
    for (QLineEdit *code :
         {ui->ed_taj, ui->ed_jkod, ui->ed_ekod, ui->ed_fkod, ui->ed_okod, ui->ed_pkod, ui->ed_mido})
        m_keys->install(code, FieldKeys::Kod);
    for (QLineEdit *family : {ui->ed_vnev, ui->ed_szvnev, ui->ed_avnev})
        m_keys->install(family, FieldKeys::CsaladiNev);
    for (QLineEdit *given :
         {ui->ed_knev, ui->ed_knev2, ui->ed_szunev1, ui->ed_szunev2, ui->ed_aunev1, ui->ed_aunev2})
        m_keys->install(given, FieldKeys::Utonev);

    // Enter: handlers that answer true have moved the focus themselves.
    onEnter(ui->cmb_jelnev, [this] {
        if (ui->cmb_jelnev->isEnabled() && !ui->cmb_jelnev->isEditable()) cmb_jelnevChange();
        return true;
    });
    onEnter(ui->ed_keres, [this] {
        ed_keresEnter();
        return true;
    });
    onEnter(ui->dbg_taj, [this] {
        takePerson();
        return true;
    });
    onEnter(ui->ed_vnev, [this] {
        if (!ui->ed_vnev->text().trimmed().isEmpty()) return false;
        message(QStringLiteral("A mező kitöltése kötelező !!"));
        return true;
    });
    for (QLineEdit *given :
         {ui->ed_knev, ui->ed_knev2, ui->ed_szunev1, ui->ed_szunev2, ui->ed_aunev1, ui->ed_aunev2})
        onEnter(given, [this] {
            if (ui->ed_knev->text().trimmed().isEmpty()) {
                message(NameRequired);
                return true;
            }
            if (ui->ed_okod->text().trimmed().isEmpty()) {
                ui->ed_okod->setText(Hungary);
                pairCode(ui->ed_okod, ui->cmb_allamp, m_countries);
            }
            return false;
        });
    onEnter(ui->ed_okod, [this] { return ed_okodEnter(); });
    onEnter(ui->cmb_allamp, [this] {
        ui->ed_pkod->setFocus();
        return true;
    });
    onEnter(ui->ed_pkod, [this] { return ed_pkodEnter(); });
    onEnter(ui->cmb_pkod, [this] {
        ui->bbtn_megse->setEnabled(true);
        (ui->ed_jkod->isEnabled() ? ui->ed_jkod : ui->ed_ekod)->setFocus();
        return true;
    });
    onEnter(ui->ed_jkod, [this] { return ed_jkodEnter(); });
    for (QComboBox *list :
         {static_cast<QComboBox *>(ui->cmb_jogcim), static_cast<QComboBox *>(ui->cmb_feor)})
        onEnter(list, [this] {
            if (!ui->med_bkezd->isEnabled()) return false;
            ui->med_bkezd->setFocus();
            return true;
        });
    onEnter(ui->med_szkezd, [this] { return med_szkezdEnter(); });
    onEnter(ui->ed_ekod, [this] { return ed_ekodEnter(); });
    onEnter(ui->ed_fkod, [this] {
        const ReportStore::Title *t = currentTitle();
        if (t && t->workTime == u"I" && ui->ed_fkod->text().trimmed().isEmpty() &&
            ui->cmb_feor->currentText().isEmpty()) {
            message(QStringLiteral("Kötelező megadni a FEOR-t"));
            return true;
        }
        return false;
    });

    // Leaving fields.
    m_exit->watch(ui->ed_keres, [this] {
        ui->ed_keres->clear();
        return false;
    });
    m_exit->watch(ui->dbg_taj, [this] {
        m_fromList = false;
        return false;
    });
    m_exit->watch(ui->ed_taj, [this] { return ed_tajExit(); });
    for (QLineEdit *family : {ui->ed_vnev, ui->ed_szvnev, ui->ed_avnev})
        m_exit->watch(family, [this] { return familyNameExit(); });
    for (QLineEdit *given :
         {ui->ed_knev, ui->ed_knev2, ui->ed_szunev1, ui->ed_szunev2, ui->ed_aunev1, ui->ed_aunev2})
        m_exit->watch(given, [this] { return givenNameExit(); });
    m_exit->watch(ui->cmb_szulhely, [this] {
        ui->cmb_szulhely->setEditText(ui->cmb_szulhely->currentText().toUpper());
        return false;
    });
    m_exit->watch(ui->ed_jkod, [this] { return titleExit(); });
    m_exit->watch(ui->cmb_jogcim, [this] { return titleExit(); });
    m_exit->watch(ui->med_bkezd, [this] { return med_bkezdExit(); });
    m_exit->watch(ui->med_bvege, [this] { return med_bvegeExit(); });
    m_exit->watch(ui->med_szkezd, [this] { return med_szkezdExit(); });
    m_exit->watch(ui->med_szvege, [this] { return med_szvegeExit(); });
    m_exit->watch(ui->med_ekezd, [this] { return med_ekezdExit(); });
    m_exit->watch(ui->med_evege, [this] { return med_evegeExit(); });
    m_exit->watch(ui->med_szuldat, [this] { return med_szuldatExit(); });
    m_exit->watch(ui->ed_ekod, [this] { return ed_ekodExit(); });
    m_exit->watch(ui->ed_mido, [this] { return ed_midoExit(); });
    m_exit->watch(ui->cmb_feor, [this] { return ed_fkodCheck(); });

    // Changes.
    connect(ui->ed_taj, &QLineEdit::textEdited, this, &Tfrm_jelent::ed_tajChange);
    connect(ui->ed_okod, &QLineEdit::textEdited, this,
            [this] { pairCode(ui->ed_okod, ui->cmb_allamp, m_countries); });
    connect(ui->cmb_allamp, &TIncCombo::changed, this,
            [this] { pairName(ui->cmb_allamp, ui->ed_okod, m_countries); });
    connect(ui->cmb_allamp, &QComboBox::activated, this,
            [this] { pairName(ui->cmb_allamp, ui->ed_okod, m_countries); });
    connect(ui->ed_pkod, &QLineEdit::textEdited, this,
            [this] { pairCode(ui->ed_pkod, ui->cmb_pkod, m_funds); });
    connect(ui->cmb_pkod, &TIncCombo::changed, this,
            [this] { pairName(ui->cmb_pkod, ui->ed_pkod, m_funds); });
    connect(ui->cmb_pkod, &QComboBox::activated, this,
            [this] { pairName(ui->cmb_pkod, ui->ed_pkod, m_funds); });
    connect(ui->ed_fkod, &QLineEdit::textEdited, this, [this] {
        if (ui->ed_fkod->text().trimmed().size() == 4)
            pairCode(ui->ed_fkod, ui->cmb_feor, m_occupations);
        else
            setComboText(ui->cmb_feor, QString());
    });
    auto feorChosen = [this] { pairName(ui->cmb_feor, ui->ed_fkod, m_occupations); };
    connect(ui->cmb_feor, &TIncCombo::changed, this, feorChosen);
    connect(ui->cmb_feor, &QComboBox::activated, this, feorChosen);
    connect(ui->ed_jkod, &QLineEdit::textEdited, this, &Tfrm_jelent::ed_jkodChange);
    auto titleChosen = [this] {
        for (const ReportStore::Title &t : m_titles)
            if (t.text == ui->cmb_jogcim->currentText()) {
                if (ui->ed_jkod->text().trimmed() == t.code) return;
                ui->ed_jkod->setText(t.code);
                ed_jkodChange();
                return;
            }
    };
    connect(ui->cmb_jogcim, &QComboBox::activated, this, titleChosen);
    connect(ui->cmb_jogcim, &TIncCombo::changed, this, titleChosen);
    connect(ui->ed_ekod, &QLineEdit::textEdited, this, &Tfrm_jelent::ed_ekodChange);
    auto benefitChosen = [this] {
        for (const ReportStore::Title &b : m_benefits)
            if (b.text == ui->cmb_ellatas->currentText()) {
                ui->ed_ekod->setText(b.code);
                m_benefitValidFrom = b.validFrom;
                return;
            }
    };
    connect(ui->cmb_ellatas, &QComboBox::activated, this, benefitChosen);
    connect(ui->cmb_ellatas, &TIncCombo::changed, this, benefitChosen);
    connect(ui->ed_mido, &QLineEdit::textEdited, this, &Tfrm_jelent::ed_midoChange);
    connect(ui->cbx_pakez, &QCheckBox::clicked, this, &Tfrm_jelent::cbx_pakezClick);
    for (QCheckBox *mark : {ui->cbx_javit, ui->cbx_torles})
        connect(mark, &QCheckBox::clicked, this, [this](bool on) {
            if (on) ui->btn_ad->setEnabled(true);
        });
    connect(ui->cbx_egyezik, &QCheckBox::clicked, this, [this](bool on) {
        if (!on) return;
        ui->ed_szvnev->setText(ui->ed_vnev->text());
        ui->ed_szunev1->setText(ui->ed_knev->text());
        ui->ed_szunev2->setText(ui->ed_knev2->text());
    });
}

// ---------------------------------------------------------------- person

void Tfrm_jelent::ed_tajChange()
{
    const auto person = m_store.person(ui->ed_taj->text().trimmed());
    const QSqlRecord r = person.value_or(QSqlRecord());
    ui->ed_vnev->setText(Query::rightTrimmed(r.value(QStringLiteral("VEZ_NEV")).toString()));
    ui->ed_knev->setText(Query::rightTrimmed(r.value(QStringLiteral("UTO_NEV")).toString()));
}

bool Tfrm_jelent::ed_tajExit()
{
    if (ui->ed_taj->isReadOnly() || !ui->ed_taj->isEnabled()) return false;
    const QString taj = ui->ed_taj->text().trimmed();
    if (taj.isEmpty()) {
        return askToRetype(QStringLiteral("A TAJ szám mezőt kötelező kitölteni !!"),
                           QStringLiteral("Kíván új számot megadni ?!"));
    }
    if (!TajEllenor(taj) || taj.toLongLong() == 0) {
        message(QStringLiteral("Nem jó a TAJ-szám"));
        ui->ed_taj->clear();
        return true;
    }
    if (!ui->ed_vnev->text().trimmed().isEmpty()) {
        const QSqlRecord r = m_store.person(taj).value_or(QSqlRecord());
        if (!r.isEmpty()) {
            ui->ed_okod->setText(Query::rightTrimmed(r.value(QStringLiteral("O_KOD")).toString()));
            ui->ed_pkod->setText(Query::rightTrimmed(r.value(QStringLiteral("P_KOD")).toString()));
            pairCode(ui->ed_okod, ui->cmb_allamp, m_countries);
            pairCode(ui->ed_pkod, ui->cmb_pkod, m_funds);
        }
    }
    return false;
}

bool Tfrm_jelent::familyNameExit()
{
    if (!hasTaj() || !ui->ed_vnev->text().trimmed().isEmpty()) return false;
    message(NameRequired);
    focusLater(m_exit, ui->ed_vnev);
    return false;
}

bool Tfrm_jelent::givenNameExit()
{
    if (!hasTaj()) return false;
    if (ui->ed_knev->text().trimmed().isEmpty() || ui->ed_vnev->text().trimmed().isEmpty()) {
        message(NameRequired);
        focusLater(m_exit, ui->ed_knev);
        return false;
    }
    if (ui->ed_okod->text().trimmed().isEmpty()) {
        ui->ed_okod->setText(Hungary);
        pairCode(ui->ed_okod, ui->cmb_allamp, m_countries);
    }
    return false;
}

bool Tfrm_jelent::ed_okodEnter()
{
    pairCode(ui->ed_okod, ui->cmb_allamp, m_countries);
    if (!ui->ed_okod->text().trimmed().isEmpty() && !ui->cmb_allamp->currentText().isEmpty())
        return false;
    message(QStringLiteral("Kötelező az állampolgárság megadása"));
    ui->ed_okod->clear();
    return true;
}

bool Tfrm_jelent::ed_pkodEnter()
{
    pairCode(ui->ed_pkod, ui->cmb_pkod, m_funds);
    QWidget *next = ui->ed_jkod->isEnabled() ? ui->ed_jkod : ui->ed_ekod;
    if (!ui->cmb_pkod->currentText().isEmpty() || ui->ed_okod->text().trimmed().isEmpty()) {
        next->setFocus();
        return true;
    }
    ui->ed_pkod->clear();
    if (ui->cbx_pakez->isChecked()) {
        message(QStringLiteral("Kötelező a nyugdíjpénztár megadása"));
        return true;
    }
    next->setFocus();
    return true;
}

void Tfrm_jelent::cbx_pakezClick()
{
    if (!ui->cbx_pakez->isChecked() || !ui->ed_pkod->text().trimmed().isEmpty()) return;
    message(QStringLiteral("Pályakezdőnek kötelező nyugdíjénztárt megadni ! "));
    focusLater(m_exit, ui->ed_pkod);
}

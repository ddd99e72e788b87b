// The field rules of the entry page: key filters, Enter moves, code and text pairs, and the
// rules that run when a field is left. The decisions are ReportLineRules'; this file moves
// values between the controls and the rules.
#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "appcontext.h"
#include "datetext.h"
#include "fieldkeys.h"
#include "identifierchecks.h"
#include "prompter.h"
#include "tfrm_munkaviszony.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace
{
const QString T1101 = QStringLiteral("1101");
const QString NameRequired = QStringLiteral("A nevet kötelező kitölteni !");
const QString Hungary = QStringLiteral("348");

void setComboText(QComboBox *combo, const QString &text)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(combo->findText(text));
    if (combo->isEditable()) combo->setEditText(text);
}
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
    for (QWidget *w : findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget()))
            m_keys->install(w);
        else if (qobject_cast<QComboBox *>(w) || qobject_cast<QCheckBox *>(w) ||
                 qobject_cast<QRadioButton *>(w))
            m_keys->install(w);
    }
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

namespace
{
// Puts the focus into a field once the current focus move has finished, without running the
// rules of the field it passes through.
void focusLater(FieldExit *exits, QWidget *field)
{
    QPointer<QWidget> target(field);
    QTimer::singleShot(0, field, [exits, target] {
        if (!target) return;
        const bool on = exits->isEnabled();
        exits->setEnabled(false);
        target->setFocus(Qt::OtherFocusReason);
        exits->setEnabled(on);
    });
}
} // namespace

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

// ---------------------------------------------------------------- legal title

void Tfrm_jelent::ed_jkodChange()
{
    const QString code = ui->ed_jkod->text().trimmed();
    if (code.isEmpty()) return;
    const ReportStore::Title *title = currentTitle();
    if (!title) {
        setComboText(ui->cmb_jogcim, QString());
        return;
    }
    setComboText(ui->cmb_jogcim, title->text);
    const auto earlier =
        m_store.earlierRelations(ui->ed_taj->text().trimmed(), m_employer.id, m_type, code);
    const bool suspensionAllowed = title->suspension == u"I";
    if (!earlier || earlier->isEmpty() || provisionalTaj()) {
        m_earlierStart.clear();
        m_earlierEnd.clear();
        applyField(KindEffect::Field::OpenCleared,
                   {ui->ed_fkod, ui->cmb_feor, ui->med_bkezd, ui->med_bvege, ui->ed_mido});
        if (m_type08)
            applyField(KindEffect::Field::Open,
                       {ui->ed_ekod, ui->cmb_ellatas, ui->med_ekezd, ui->med_evege});
        else
            for (QWidget *w :
                 {static_cast<QWidget *>(ui->ed_ekod), static_cast<QWidget *>(ui->cmb_ellatas),
                  static_cast<QWidget *>(ui->med_ekezd), static_cast<QWidget *>(ui->med_evege)})
                setDisabledCleared(w);
        if (suspensionAllowed)
            applyField(KindEffect::Field::Open, {ui->med_szkezd, ui->med_szvege});
        else
            for (QWidget *w : {ui->med_szkezd, ui->med_szvege})
                setDisabledCleared(w);
        setOpen(ui->cbx_pakez, true);
        return;
    }
    int chosen = 0;
    if (code == T1101 && earlier->size() > 1) {
        message(QStringLiteral("Több munkaviszonya is van.\n\rVálassza ki a kívánt sort!"));
        Tfrm_munkaviszony choice(*earlier, this);
        Prompter::instance().runDialog(&choice);
        chosen = qBound(0, choice.chosenRow(), int(earlier->size()) - 1);
    }
    const QSqlRecord &relation = (*earlier)[chosen];
    m_earlierStart = Query::rightTrimmed(relation.value(QStringLiteral("KEZDET")).toString());
    fillFromRelation(
        relation,
        !Query::rightTrimmed(relation.value(QStringLiteral("VEGE")).toString()).isEmpty());
}

void Tfrm_jelent::fillFromRelation(const QSqlRecord &relation, bool ended)
{
    auto value = [&](const char *f) {
        return Query::rightTrimmed(relation.value(QLatin1String(f)).toString());
    };
    m_earlierEnd = ended && ui->ed_jkod->text().trimmed() != T1101 ? value("VEGE") : QString();
    const QList<QPair<QLineEdit *, const char *>> fields = {
        {ui->med_bkezd, "KEZDET"},     {ui->med_bvege, "VEGE"},     {ui->med_szkezd, "SZUN_KEZD"},
        {ui->med_szvege, "SZUN_VEGE"}, {ui->ed_fkod, "FEOR"},       {ui->ed_ekod, "ELL_KOD"},
        {ui->med_ekezd, "ELL_KEZD"},   {ui->med_evege, "ELL_VEGE"}, {ui->ed_mido, "HORA"}};
    for (const auto &[edit, field] : fields) {
        edit->setText(value(field));
        edit->setEnabled(true);
        edit->setReadOnly(!value(field).isEmpty());
    }
    pairCode(ui->ed_fkod, ui->cmb_feor, m_occupations);
    ui->cmb_feor->setEnabled(ui->ed_fkod->text().isEmpty());
    m_benefitValidFrom.clear();
    for (const ReportStore::Title &b : m_benefits)
        if (b.code == ui->ed_ekod->text().trimmed()) {
            setComboText(ui->cmb_ellatas, b.text);
            m_benefitValidFrom = b.validFrom;
        }
    ui->cmb_ellatas->setEnabled(ui->ed_ekod->text().isEmpty());
    const ReportStore::Title *title = currentTitle();
    if (ended) {
        setOpen(ui->cbx_pakez, true);
        if (!title || title->suspension != u"I")
            for (QWidget *w : {ui->med_szkezd, ui->med_szvege})
                setDisabledCleared(w);
    } else {
        // Recorded suspension dates are shown; a title without suspension offers none.
        if ((!title || title->suspension != u"I") && value("SZUN_KEZD").isEmpty() &&
            value("SZUN_VEGE").isEmpty())
            for (QWidget *w : {ui->med_szkezd, ui->med_szvege})
                setDisabledCleared(w);
        setOpen(ui->cbx_pakez, value("PAKEZ") != u"X");
        setOpen(ui->cbx_javit, true);
    }
    if (!m_type08)
        for (QWidget *w :
             {static_cast<QWidget *>(ui->ed_ekod), static_cast<QWidget *>(ui->cmb_ellatas),
              static_cast<QWidget *>(ui->med_ekezd), static_cast<QWidget *>(ui->med_evege)})
            setDisabledCleared(w);
}

bool Tfrm_jelent::ed_jkodEnter()
{
    if (!ui->ed_jkod->text().trimmed().isEmpty() && !ui->cmb_jogcim->currentText().isEmpty()) {
        // The title text follows the code; the next field to fill is the relation start.
        QWidget *next = ui->med_bkezd->isEnabled() ? ui->med_bkezd : nullptr;
        if (!next) return false;
        next->setFocus();
        return true;
    }
    message(QStringLiteral("Hibás jogcím megadás !"));
    return true;
}

bool Tfrm_jelent::titleExit()
{
    // Moving between the code and its text is not leaving the title.
    QWidget *to = QApplication::focusWidget();
    for (QWidget *half :
         {static_cast<QWidget *>(ui->ed_jkod), static_cast<QWidget *>(ui->cmb_jogcim)})
        if (to && (to == half || half->isAncestorOf(to))) return false;
    if (!ui->ed_jkod->isEnabled() || ui->ed_jkod->isReadOnly()) return false;
    m_late = false;
    if (m_dialogCancelled) return false;
    const QString code = ui->ed_jkod->text().trimmed();
    if (code.isEmpty() || (DateText::isEmpty(maskText(ui->med_bkezd)) &&
                           DateText::isEmpty(maskText(ui->med_bvege)))) {
        if (provisionalTaj() && code != u"2771" && code != u"2772") {
            message(QStringLiteral("Képzett TAJ esetén csak 2771, és 2772 adható le !"));
            ui->ed_jkod->clear();
            setComboText(ui->cmb_jogcim, QString());
            focusLater(m_exit, ui->ed_jkod);
        }
        return false;
    }
    const KindChoices choices =
        ReportLineRules::kindChoices(code, !m_earlierEnd.isEmpty(), suspensionEnabled());
    if (suspensionEnabled() && !DateText::isEmpty(maskText(ui->med_szvege)))
        m_earlierSuspensionEnd = maskText(ui->med_szvege).trimmed();
    BottomQuestion q;
    q.page = BottomQuestion::Gomb;
    q.preselected = QStringLiteral("rbtn_valtozas");
    q.disabledChoices = choices.disabled;
    q.showLateAgency = choices.showLateAgency;
    const BottomAnswer a = Prompter::instance().bottomQuestion(this, q);
    if (a.result == 6) {
        applyKind(a.choice);
        if (ui->cbx_javit->isChecked() || ui->cbx_torles->isChecked())
            focusLater(m_exit, ui->btn_ad);
    } else {
        m_dialogCancelled = true;
        m_checksOn = false;
        focusLater(m_exit, ui->ed_jkod);
    }
    if (DateText::isEmpty(maskText(ui->med_bkezd))) setOpen(ui->med_bkezd, true);
    return false;
}

void Tfrm_jelent::applyKind(const QString &choice)
{
    const KindEffect k = ReportLineRules::kindEffect(choice, ui->ed_jkod->text().trimmed());
    if (k.lockJavitas) {
        ui->cbx_javit->setChecked(k.javitas);
        ui->cbx_javit->setEnabled(false);
        m_javitLocked = true;
    }
    if (k.torles) {
        ui->cbx_torles->setChecked(true);
        ui->cbx_torles->setEnabled(false);
        m_torlesLocked = true;
    }
    if (k.clearEarlierEnd) m_earlierEnd.clear();
    if (k.clearEarlierSuspensionEnd) m_earlierSuspensionEnd.clear();
    applyField(k.start, {ui->med_bkezd});
    applyField(k.end, {ui->med_bvege});
    applyField(k.suspension, {ui->med_szkezd, ui->med_szvege});
    applyField(k.benefitCode, {ui->ed_ekod, ui->cmb_ellatas});
    applyField(k.benefitDates, {ui->med_ekezd, ui->med_evege});
    applyField(k.hours, {ui->ed_mido});
    applyField(k.occupation, {ui->ed_fkod, ui->cmb_feor});
    if (k.untickCareerStarter) ui->cbx_pakez->setChecked(false);
    if (k.lateMarking) m_late = true;
    if (k.checksOff) m_checksOn = false;
    if (k.enableAdd) ui->btn_ad->setEnabled(true);
    if (!m_type08)
        for (QWidget *w :
             {static_cast<QWidget *>(ui->ed_ekod), static_cast<QWidget *>(ui->cmb_ellatas),
              static_cast<QWidget *>(ui->med_ekezd), static_cast<QWidget *>(ui->med_evege)})
            setDisabledCleared(w);
    if (!k.message.isEmpty()) message(k.message);
    if (k.focusSuspension) focusLater(m_exit, ui->med_szkezd);
}

// ---------------------------------------------------------------- dates

bool Tfrm_jelent::med_bkezdExit()
{
    if (!hasTaj() || !m_checksOn || ui->med_bkezd->isReadOnly() || !ui->med_bkezd->isEnabled())
        return false;
    LineContext c = lineContext();
    const LineDates d = lineDates();
    const MaskDate start = MaskDate::read(d.start);
    if (start.isValid())
        c.pendingDuplicate = m_store
                                 .pendingLineExists(ui->ed_taj->text().trimmed(), m_employer.id,
                                                    m_type, c.titleCode, d.start.trimmed())
                                 .value_or(false);
    const Verdict v = ReportLineRules::relationStart(c, d);
    if (v.askRequired) {
        return askToRetype(QStringLiteral("A jogviszony kezdetét kötelező kitölteni !!"),
                           QStringLiteral("Kíván új dátumot megadni ?!"));
    }
    return applyVerdict(v, ui->med_bkezd);
}

bool Tfrm_jelent::med_bvegeExit()
{
    if (ui->med_bvege->isReadOnly() || !ui->med_bvege->isEnabled()) return false;
    const Verdict v = ReportLineRules::relationEnd(lineContext(), lineDates());
    if (v.clearEnd) ui->med_bvege->clear();
    if (v.closeSuspension) ui->med_szvege->setText(maskText(ui->med_bvege));
    return applyVerdict(v, ui->med_bvege);
}

bool Tfrm_jelent::med_szkezdExit()
{
    if (!m_checksOn || ui->med_szkezd->isReadOnly() || !ui->med_szkezd->isEnabled()) return false;
    return applyVerdict(ReportLineRules::suspensionStart(lineContext(), lineDates()),
                        ui->med_szkezd);
}

bool Tfrm_jelent::med_szkezdEnter()
{
    if (!DateText::isEmpty(maskText(ui->med_szkezd))) return false;
    const bool rulesOn = m_exit->isEnabled();
    m_exit->setEnabled(false);
    setOpen(ui->med_szkezd, false);
    setOpen(ui->med_szvege, false);
    if (m_type08) {
        ui->ed_ekod->setFocus();
    } else {
        for (QWidget *w : {ui->med_ekezd, ui->med_evege})
            setDisabledCleared(w);
        ui->ed_mido->setFocus();
    }
    m_exit->setEnabled(rulesOn);
    return true;
}

void Tfrm_jelent::openBenefitCode()
{
    ui->ed_ekod->clear();
    setComboText(ui->cmb_ellatas, QString());
    setOpen(ui->ed_ekod, true);
    setOpen(ui->cmb_ellatas, true);
    setOpen(ui->med_ekezd, false);
    setOpen(ui->med_evege, false);
    focusLater(m_exit, ui->ed_ekod);
}

void Tfrm_jelent::skipBenefit()
{
    for (QWidget *w :
         {static_cast<QWidget *>(ui->ed_ekod), static_cast<QWidget *>(ui->cmb_ellatas),
          static_cast<QWidget *>(ui->med_ekezd), static_cast<QWidget *>(ui->med_evege)})
        setDisabledCleared(w);
    focusLater(m_exit, ui->ed_mido);
}

bool Tfrm_jelent::med_szvegeExit()
{
    if (ui->med_szvege->isReadOnly() || !ui->med_szvege->isEnabled()) return false;
    const Verdict v = ReportLineRules::suspensionEnd(lineContext(), lineDates());
    if (applyVerdict(v, ui->med_szvege)) return true;
    // Benefits belong to type "08" lines only.
    if (v.benefit == Verdict::Benefit::Open && m_type08)
        openBenefitCode();
    else if (v.benefit != Verdict::Benefit::Keep)
        skipBenefit();
    return false;
}

bool Tfrm_jelent::med_ekezdExit()
{
    if (ui->med_ekezd->isReadOnly() || !ui->med_ekezd->isEnabled()) return false;
    const Verdict v = ReportLineRules::benefitStart(lineContext(), lineDates());
    if (v.enableAdd) ui->cbx_javit->setEnabled(!m_javitLocked);
    return applyVerdict(v, ui->med_ekezd);
}

bool Tfrm_jelent::med_evegeExit()
{
    if (ui->med_evege->isReadOnly() || !ui->med_evege->isEnabled()) return false;
    return applyVerdict(ReportLineRules::benefitEnd(lineContext(), lineDates()), ui->med_evege);
}

bool Tfrm_jelent::med_szuldatExit()
{
    if (ui->med_szuldat->isReadOnly()) return false;
    return applyVerdict(ReportLineRules::birthDate(lineContext(), lineDates()), ui->med_szuldat);
}

// ---------------------------------------------------------------- occupation, hours, benefit

bool Tfrm_jelent::ed_fkodCheck()
{
    const ReportStore::Title *t = currentTitle();
    if (!t || t->workTime != u"I" || !ui->cmb_feor->currentText().isEmpty()) return false;
    message(QStringLiteral("Kötelező megadni a FEOR-t"));
    focusLater(m_exit, ui->ed_fkod);
    return false;
}

void Tfrm_jelent::ed_midoChange()
{
    ui->btn_ad->setEnabled(ReportLineRules::hoursAllowAdd(ui->ed_mido->text()));
}

bool Tfrm_jelent::ed_midoExit()
{
    if (!ui->ed_jkod->text().trimmed().isEmpty() &&
        ReportLineRules::hoursAllowAdd(ui->ed_mido->text()))
        ui->btn_ad->setEnabled(true);
    return false;
}

void Tfrm_jelent::ed_ekodChange()
{
    const QString code = ui->ed_ekod->text().trimmed();
    if (code.size() != 4) {
        setComboText(ui->cmb_ellatas, QString());
        return;
    }
    for (const ReportStore::Title &b : m_benefits)
        if (b.code == code) {
            setComboText(ui->cmb_ellatas, b.text);
            m_benefitValidFrom = b.validFrom;
            setOpen(ui->med_ekezd, true);
            setOpen(ui->med_evege, true);
            return;
        }
    message(QStringLiteral("Nincs ilyen ellátás"));
    ui->ed_ekod->clear();
    setComboText(ui->cmb_ellatas, QString());
    m_benefitValidFrom.clear();
    setOpen(ui->med_ekezd, false);
    setOpen(ui->med_evege, false);
}

bool Tfrm_jelent::ed_ekodEnter()
{
    const bool both =
        !ui->ed_ekod->text().trimmed().isEmpty() && !ui->cmb_ellatas->currentText().isEmpty();
    QWidget *next =
        both ? static_cast<QWidget *>(ui->med_ekezd) : static_cast<QWidget *>(ui->ed_mido);
    if (both) {
        setOpen(ui->med_ekezd, true);
        setOpen(ui->med_evege, true);
    }
    next->setFocus();
    return true;
}

bool Tfrm_jelent::ed_ekodExit()
{
    if (!ui->ed_ekod->isEnabled() || ui->ed_ekod->isReadOnly()) return false;
    if (QApplication::focusWidget() == ui->cmb_ellatas ||
        ui->cmb_ellatas->isAncestorOf(QApplication::focusWidget()))
        return false;
    if (ui->ed_ekod->text().trimmed().isEmpty() || ui->cmb_ellatas->currentText().isEmpty()) {
        ui->ed_ekod->clear();
        for (QWidget *w : {ui->med_ekezd, ui->med_evege}) {
            static_cast<QLineEdit *>(w)->clear();
            setOpen(w, false);
        }
    } else {
        setOpen(ui->med_ekezd, true);
        setOpen(ui->med_evege, true);
    }
    return false;
}

// The field rules of the entry page, second part: the legal title and the report kind it leads
// to, the relation's dates, occupation, weekly hours and benefit.
#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "datetext.h"
#include "fieldkeys.h"
#include "prompter.h"
#include "query.h"
#include "tfrm_jelent_p.h"
#include "tfrm_munkaviszony.h"

using namespace JelentFields;

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

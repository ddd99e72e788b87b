// The pending lines of the entry page: a line from the fields, adding it (with the line that
// cancels a filed one), deleting lines, undoing the report, and the bottom buttons.
#include "tfrm_jelent.h"
#include "ui_tfrm_jelent.h"

#include "appcontext.h"
#include "datetext.h"
#include "fieldkeys.h"
#include "prompter.h"
#include "recordmodel.h"
#include "tfrm_javitas.h"
#include "waitcursor.h"

namespace
{
const QString DeleteFailed = QStringLiteral("Hiba lépett fel a törlésnél !");
} // namespace

// ---------------------------------------------------------------- lines

QVariantMap Tfrm_jelent::lineValues() const
{
    auto text = [](const QLineEdit *e) { return QVariant(e->text()); };
    auto date = [](const QLineEdit *e) {
        const QString t = maskText(e);
        return DateText::isEmpty(t) ? Query::null() : QVariant(t.trimmed());
    };
    const bool prison = m_employer.taxNumber.startsWith(RunState::PrisonServiceBase);
    QString javitas = QStringLiteral("N");
    if (m_late)
        javitas = QStringLiteral("E");
    else if ((ui->cbx_javit->isChecked() && m_type08) || ui->cbx_torles->isChecked())
        javitas = QStringLiteral("I");
    QString image;
    if (!m_type08 && prison)
        image = ui->rbtn_ferfi->isChecked() ? QStringLiteral("1") : QStringLiteral("2");
    return {{QStringLiteral("JEL_SZAM"), ui->lbl_sorszam->text().toInt()},
            {QStringLiteral("JEL_TETE"), ui->lbl_fo->text().toInt()},
            {QStringLiteral("JAVITAS"), javitas},
            {QStringLiteral("TAJ"), text(ui->ed_taj)},
            {QStringLiteral("FOGLALK_ID"), m_employer.id},
            {QStringLiteral("NYILV_SZAM"), m_employer.identifier()},
            {QStringLiteral("VEZ_NEV"), text(ui->ed_vnev)},
            {QStringLiteral("UTO_NEV"), text(ui->ed_knev)},
            {QStringLiteral("UTO_NEV_2"), text(ui->ed_knev2)},
            {QStringLiteral("SZ_VEZ_NEV"), text(ui->ed_szvnev)},
            {QStringLiteral("SZ_UTO_NEV_1"), text(ui->ed_szunev1)},
            {QStringLiteral("SZ_UTO_NEV_2"), text(ui->ed_szunev2)},
            {QStringLiteral("A_VEZ_NEV"), text(ui->ed_avnev)},
            {QStringLiteral("A_UTO_NEV_1"), text(ui->ed_aunev1)},
            {QStringLiteral("A_UTO_NEV_2"), text(ui->ed_aunev2)},
            {QStringLiteral("SZUL_DAT"), date(ui->med_szuldat)},
            {QStringLiteral("SZUL_HELY"), ui->cmb_szulhely->currentText()},
            {QStringLiteral("P_KOD"), text(ui->ed_pkod)},
            {QStringLiteral("O_KOD"), text(ui->ed_okod)},
            {QStringLiteral("JOGCIM"), text(ui->ed_jkod)},
            {QStringLiteral("JEL_TIP"), ui->cmb_jelnev->currentText().left(2)},
            {QStringLiteral("KEZDET"), date(ui->med_bkezd)},
            {QStringLiteral("VEGE"), date(ui->med_bvege)},
            {QStringLiteral("ELL_KEZD"), date(ui->med_ekezd)},
            {QStringLiteral("ELL_VEGE"), date(ui->med_evege)},
            {QStringLiteral("SZUN_KEZD"), date(ui->med_szkezd)},
            {QStringLiteral("SZUN_VEGE"), date(ui->med_szvege)},
            {QStringLiteral("HORA"), text(ui->ed_mido).toString().trimmed()},
            {QStringLiteral("FEOR"), text(ui->ed_fkod)},
            {QStringLiteral("ELL_KOD"), text(ui->ed_ekod)},
            {QStringLiteral("PAKEZD"),
             ui->cbx_pakez->isChecked() ? QStringLiteral("I") : QStringLiteral("N")},
            {QStringLiteral("IMAGE"), image}};
}

bool Tfrm_jelent::lineStillValid()
{
    // The TAJ number and the required fields once more, as if each were left now: a field typed
    // last and never left is checked too. Only rules that belong to this line run: a field that
    // is closed or read-only was never the clerk's to fill, and the occupation code is carried
    // by type "08" lines only. The first rule that has something to say stops the line, with its
    // message and its focus.
    const int shownBefore = m_messagesShown;
    std::vector<QWidget *> fields{ui->ed_taj, ui->ed_vnev, ui->ed_knev, ui->med_szuldat,
                                  ui->med_bkezd};
    if (m_type08) fields.push_back(ui->cmb_feor);
    for (QWidget *field : fields) {
        if (!field->isEnabled()) continue;
        if (auto *edit = qobject_cast<QLineEdit *>(field); edit && edit->isReadOnly()) continue;
        const bool refocus = m_exit->leave(field);
        if (refocus || m_messagesShown != shownBefore) {
            if (!refocus) field->setFocus();
            return false;
        }
    }
    return true;
}

void Tfrm_jelent::btn_adClick()
{
    // The window's own refusals come first, each with its own message; then the second look.
    const bool prison = m_employer.taxNumber.startsWith(RunState::PrisonServiceBase);
    if (ui->ed_jkod->text().trimmed() == u"2771" && ui->ed_okod->text().trimmed() != u"348") {
        message(QStringLiteral("Külföldit nem lehet ezen a jogcímen (2771) jelenteni !"));
        return;
    }
    if (!m_type08 && prison && !ui->rbtn_ferfi->isChecked() && !ui->rbtn_no->isChecked()) {
        message(QStringLiteral("Nem lehet rögzíthéshez előkészíteni a jelentést,\n\rmert BVOP "
                               "jelentés esetén a fogvatartott nemét\n\rmeg kell adni 09-es "
                               "típusnál!"));
        return;
    }
    if (ui->ed_taj->text().trimmed().isEmpty() ||
        maskText(ui->med_szuldat) == DateText::EmptyMask ||
        ui->ed_szvnev->text().trimmed().isEmpty()) {
        Prompter::instance().question(
            this,
            QStringLiteral(
                "HIBA !\n\rNem lehet rögzíthéshez előkészíteni a jelentést !\n\rHiányzik "
                "valamelyik kötelező adat :\n\rszületési/viselt név vagy szül.dátum vagy "
                "taj"),
            true);
        return;
    }
    if (!lineStillValid()) return;
    int item = ui->lbl_fo->text().toInt() + 1;
    QVariantMap cancelling;
    if (ui->cbx_javit->isChecked() && m_javitLocked) {
        std::unique_ptr<Tfrm_javitas> correction;
        {
            WaitCursor busy;
            const auto lines = m_store.completedNewLines(ui->ed_taj->text().trimmed());
            correction = std::make_unique<Tfrm_javitas>(lines.value_or(QList<QSqlRecord>()), this);
        }
        if (Prompter::instance().runDialog(correction.get()) == QDialog::Accepted) {
            cancelling = correction->cancellingLine(ui->lbl_sorszam->text().toInt(), item);
            if (!cancelling.isEmpty()) ++item;
        }
    }
    ui->lbl_fo->setText(QString::number(item));
    QVariantMap line = lineValues();
    const ReportStore::AddResult added = m_store.addLine(line, cancelling);
    if (added != ReportStore::AddResult::Ok) {
        // Nothing was written: the counts come back from the table, the line stays to retry.
        refreshLines();
        message(added == ReportStore::AddResult::CancellingFailed
                    ? QStringLiteral("Hiba lépett fel a rögzítésnél !!")
                    : QStringLiteral("Hiba lépett fel a jelentés előkészítésénél !!"));
        ui->btn_ad->setEnabled(true);
        return;
    }
    ui->bbtn_rogzit->setEnabled(true);
    ui->bbtn_ujjel->setEnabled(true);
    refreshLines();
    loadPersons();
    clearPersonFields();
    ui->bbtn_torol->setEnabled(true);
}

void Tfrm_jelent::bbtn_torolClick()
{
    const int row = ui->dbg_temp->currentIndex().row();
    if (row < 0 || m_lines->rowCount() == 0) return;
    const QString family = m_lines->text(row, QStringLiteral("VEZ_NEV"));
    const QString given = m_lines->text(row, QStringLiteral("UTO_NEV"));
    if (!ask(QStringLiteral("Figyelem !"), QStringLiteral("Valóban törli a kijelölt sort ?!")))
        return;
    if (!m_store.deleteLines(m_employer.id, ui->lbl_sorszam->text().toInt(), m_type, family,
                             given)) {
        message(DeleteFailed);
        return;
    }
    refreshLines();
    if (m_lines->rowCount() == 0) {
        message(QStringLiteral("Nincs több tétel !"));
        ui->bbtn_torol->setEnabled(false);
        resetEntryPage();
    }
}

void Tfrm_jelent::bbtn_visszavonClick()
{
    if (!ask(QStringLiteral("Figyelem !"),
             QStringLiteral("Valóban visszavonja az összes jelentéssort ?!")))
        return;
    if (!m_store.undoReport(m_employer.id, m_type)) message(DeleteFailed);
    bbtn_ujjelClick();
}

void Tfrm_jelent::bbtn_megseClick()
{
    clearPersonFields();
    loadPersons();
}

void Tfrm_jelent::bbtn_ujjelClick()
{
    m_lines->setRows({});
    ui->gbx_fogl->setEnabled(true);
    resetEntryPage();
}

void Tfrm_jelent::bbtn_rogzitClick()
{
    ui->bbtn_rogzit->setVisible(false);
    ui->bbtn_ujjel->setVisible(false);
    if (!openMakingPage()) {
        m_ready = false;
        closeSoon();
    }
}

#pragma once

#include "bandedform.h"
#include "reportgenerator.h"
#include "reportlinerules.h"
#include "reportstore.h"

#include <QDialog>
#include <QHash>
#include <QSqlRecord>

#include <functional>
#include <memory>

struct AppContext;
class FieldExit;
class FieldKeys;
class QComboBox;
class QLineEdit;
class PagedQueryModel;
class RecordModel;
namespace Ui
{
class Tfrm_jelent;
}

// The report entry window: choose the employer and the report type, find or type the person,
// fill in the relation and put the line among the pending lines of the next report. Its second
// page turns pending reports into files.
class Tfrm_jelent : public QDialog
{
    Q_OBJECT
public:
    enum class Page { Rogzit, Keszit };

    Tfrm_jelent(AppContext &context, Page page, QWidget *parent = nullptr);
    ~Tfrm_jelent() override;

    bool isReady() const { return m_ready; }
    // The text of a masked field with its blanks as spaces ("    .  .  " when empty).
    static QString maskText(const QLineEdit *edit);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Page set-up and states (tfrm_jelent.cpp).
    void FormShow();
    void FormActivate();
    void resetEntryPage();
    void cmb_foglChange();
    void cmb_jelnevChange();
    void refreshLines();
    void loadPersons(const ReportStore::PersonFilter &filter = {});
    void cbx_rendezChange();
    void ed_keresEnter();
    void takePerson();
    void newPerson(bool fromButton);
    void openNewPersonFields(bool withProvisional);
    void setRelationFieldsByType();
    void clearPersonFields();
    void btn_adClick();
    bool lineStillValid();
    void bbtn_torolClick();
    void bbtn_visszavonClick();
    void bbtn_megseClick();
    void bbtn_ujjelClick();
    void bbtn_rogzitClick();
    QVariantMap lineValues() const;
    std::optional<QString> nextProvisionalTaj();
    void closeSoon();
    void message(const QString &text);
    bool ask(const QString &line1, const QString &line2, bool noTajBox = false,
             bool *noTaj = nullptr);

    // The making page (tfrm_jelent_keszit.cpp).
    void setUpMakingPage();
    bool openMakingPage();
    bool loadPendingReports();
    void showCurrentReport();
    void bbtn_keszitesClick();
    bool makeFile(const QString &folder);
    void setFolderMode(bool floppy);
    void chooseFolder();
    void BejelentoClick();
    void NyilatkozatClick();
    // The notification sheet and the declaration of the current report, as the making page
    // shows them; nothing when no report is current.
    std::optional<BandedForm> currentSheet() const;
    std::optional<BandedForm> currentDeclaration() const;
    // Prints the ticked forms of the current report; false when printing failed.
    bool printForms();

    // Field rules (tfrm_jelent_fields.cpp).
    void setUpFields();
    void ed_tajChange();
    bool ed_tajExit();
    bool familyNameExit();
    bool givenNameExit();
    bool ed_okodEnter();
    bool ed_pkodEnter();
    void cbx_pakezClick();
    void ed_jkodChange();
    void fillFromRelation(const QSqlRecord &relation, bool ended);
    bool titleExit();
    void applyKind(const QString &choice);
    bool med_bkezdExit();
    bool med_bvegeExit();
    bool med_szkezdExit();
    bool med_szkezdEnter();
    bool med_szvegeExit();
    bool med_ekezdExit();
    bool med_evegeExit();
    bool med_szuldatExit();
    bool ed_fkodCheck();
    void ed_midoChange();
    bool ed_midoExit();
    bool ed_jkodEnter();
    bool ed_ekodEnter();
    bool ed_ekodExit();
    void ed_ekodChange();
    void openBenefitCode();
    void skipBenefit();
    bool applyVerdict(const Verdict &v, QLineEdit *field);
    // A required field left empty: true when the clerk types it again ("kilep" page).
    bool askToRetype(const QString &line1, const QString &line2);
    LineContext lineContext() const;
    LineDates lineDates() const;
    const ReportStore::Title *currentTitle() const;
    bool suspensionEnabled() const;
    bool provisionalTaj() const;
    bool hasTaj() const;
    void setOpen(QWidget *field, bool open);
    void setDisabledCleared(QWidget *field);
    void applyField(KindEffect::Field state, std::initializer_list<QWidget *> fields);
    void pairCode(QLineEdit *code, QComboBox *names, const QList<ReportStore::CodeName> &list);
    void pairName(QComboBox *names, QLineEdit *code, const QList<ReportStore::CodeName> &list);
    void onEnter(QWidget *field, std::function<bool()> handler);

    std::unique_ptr<Ui::Tfrm_jelent> ui;
    AppContext &m_context;
    ReportStore m_store;
    FieldExit *m_exit = nullptr;
    FieldKeys *m_keys = nullptr;
    PagedQueryModel *m_persons = nullptr;
    int m_messagesShown = 0; // counts the field rules' messages and questions
    RecordModel *m_lines = nullptr;
    QHash<QObject *, std::function<bool()>> m_enter;
    Page m_startPage;
    bool m_shown = false;
    bool m_filling = false;

    // The making page.
    ReportGenerator m_generator;
    QList<PendingReport> m_reports;
    QList<ReportFile::ReportLine> m_reportLines; // of the current pending report

    // The chosen employer.
    ReportStore::Employer m_employer;
    int m_yearLength = 365;
    bool m_ready = false;
    bool m_type08 = false;
    QString m_type;

    // Lists of the page.
    QList<ReportStore::CodeName> m_countries, m_funds, m_occupations;
    QList<ReportStore::Title> m_titles, m_benefits;

    // The line being entered.
    bool m_late = false;
    bool m_checksOn = true;
    bool m_dialogCancelled = false;
    bool m_fromList = false;
    bool m_javitLocked = false;
    bool m_torlesLocked = false;
    QString m_earlierStart, m_earlierEnd, m_earlierSuspensionEnd;
    QString m_benefitValidFrom;
    QString m_provisional;
};

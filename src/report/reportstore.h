#pragma once

#include <QList>
#include <QPair>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class DataModule;
class PagedQueryModel;

// The report entry's work on the tables, without the window. Every operation reports failure
// by an empty optional or false; the window chooses the message.
class ReportStore
{
public:
    explicit ReportStore(DataModule &data) : m_data(data) {}

    using CodeName = QPair<QString, QString>; // code, name

    struct Employer {
        int id = -1;
        QString azonTip, taxNumber, fszla, registration;
        QString postcode, settlement, streetLine;
        QString founded; // date text
        // The identifier the employer reports under (AZON_TIP 0, 1, 2).
        QString identifier() const;
    };
    struct Title {
        QString code, text, validFrom, validTo, suspension, workTime;
    };
    enum class PersonOrder { Taj, Name };
    struct PersonFilter {
        QString taj;        // exact TAJ, or
        QString familyName; // beginning of the family name
    };

    std::optional<QStringList> settlementNames();
    std::optional<int> activeEmployerCount();
    std::optional<QStringList> activeEmployerNames();
    // An employer with id -1 when the name is not found.
    std::optional<Employer> employerByName(const QString &name);

    // The employer's persons into the grid's model; false when the query fails.
    bool showPersons(PagedQueryModel &model, int employerId, PersonOrder order,
                     const PersonFilter &filter = {});
    // A person of the person table; an empty record when unknown.
    std::optional<QSqlRecord> person(const QString &taj);

    std::optional<QList<CodeName>> countries();    // ISO_SZAM, NEV in name order
    std::optional<QList<CodeName>> pensionFunds(); // PKOD, PKODMEGN in name order
    std::optional<QList<CodeName>> occupations();  // four-digit FEOR codes, in name order
    // The legal-title table of a report type (the code lookup of the entry page).
    std::optional<QList<Title>> titlesOfType(const QString &type);
    // The texts of the title list: non-benefit titles of the type, narrowed for the two special
    // employers (base "15752026" or "15329729").
    std::optional<QStringList> titleTexts(const QString &type, const QString &taxNumber);
    // Benefit titles of the type (code, text, validFrom).
    std::optional<QList<Title>> benefits(const QString &type);

    std::optional<QList<QSqlRecord>> pendingLines(int employerId, const QString &type);
    // The highest report number filed for the employer and type; 0 when none.
    std::optional<int> lastReportNumber(int employerId, const QString &type);
    std::optional<QList<QSqlRecord>> earlierRelations(const QString &taj, int employerId,
                                                      const QString &type, const QString &title);
    std::optional<bool> pendingLineExists(const QString &taj, int employerId, const QString &type,
                                          const QString &title, const QString &start);
    // The highest provisional TAJ number (nine digits, "9" first) anywhere: persons, relations,
    // pending lines and the report history, so that a number once given is never given again.
    // Values that are not nine digits are passed over; empty when there is none.
    std::optional<QString> highestProvisionalTaj();
    // Lines of completed reports of a person that were filed as new, of any employer.
    std::optional<QList<QSqlRecord>> completedNewLines(const QString &taj);

    // Appends a pending line, and before it the line that cancels an earlier one, in one
    // transaction: both or neither.
    enum class AddResult { Ok, CancellingFailed, LineFailed };
    // The store gives the line (and the cancelling line before it) the number of the report in
    // preparation and the next item numbers of it, whatever the window counted.
    AddResult addLine(const QVariantMap &line, const QVariantMap &cancelling = {});
    // Deletes the pending lines of a report with the given family and first given name and
    // numbers the remaining lines 1..n in their order; one transaction.
    bool deleteLines(int employerId, int reportNumber, const QString &type,
                     const QString &familyName, const QString &givenName);
    bool undoReport(int employerId, const QString &type);

    QString lastError() const { return m_error; }

private:
    AddResult addLineOnce(const QVariantMap &line, const QVariantMap &cancelling);
    DataModule &m_data;
    QString m_error;
};

#pragma once

#include "bandedform.h"
#include "reportfile.h"
#include "reportgenerator.h"

#include <QList>
#include <QString>
#include <QVariantMap>

// The party obliged to report, as the forms show it.
struct FormParty {
    QString name, identifier, address, phone, fax;
};

// The notification sheet: every line of a report in readable form.
class Tqrp_bejelento
{
public:
    struct Data {
        FormParty party;
        QString type; // "08" or "09"
        QString fileName;
        int lineCount = 0;
        QList<ReportFile::ReportLine> lines;
        QString printDate;
    };
    explicit Tqrp_bejelento(Data data) : m_data(std::move(data)) {}
    virtual ~Tqrp_bejelento() = default;
    BandedForm form() const;

    // The captions and fields of the type-dependent pairs of the detail band.
    struct TypePair {
        QString caption;
        ReportFile::Field field;
    };
    static QList<TypePair> typePairs(const QString &type);

protected:
    bool m_completed = false;

private:
    Data m_data;
};

// The notification sheet of a completed report: also shows the pension fund code.
class Tqrp_bejelentoi : public Tqrp_bejelento
{
public:
    explicit Tqrp_bejelentoi(Data data) : Tqrp_bejelento(std::move(data)) { m_completed = true; }
};

// The declaration that certifies the file and its number of lines.
class Tqrp_nyilatkozat
{
public:
    struct Data {
        FormParty party;
        QString fileName;
        int lineCount = 0;
        QString version, userName, printDate, printTime;
    };
    explicit Tqrp_nyilatkozat(Data data) : m_data(std::move(data)) {}
    BandedForm form() const;

private:
    Data m_data;
};

// The list of recorded employers.
class Tqrp_foglriport
{
public:
    explicit Tqrp_foglriport(QList<QVariantMap> employers) : m_employers(std::move(employers)) {}
    BandedForm form() const;

private:
    QList<QVariantMap> m_employers;
};

namespace PrintedForms
{
// The two forms of a pending report as report making prints them.
FormParty partyOf(const PendingReport &report);
Tqrp_bejelento sheetOf(const PendingReport &report, const QList<ReportFile::ReportLine> &lines,
                       const QString &fileName, const QString &today);
Tqrp_nyilatkozat declarationOf(const PendingReport &report, int lineCount, const QString &fileName,
                               const QString &version, const QString &userName);

// A completed report as the completed-reports window hands it over.
struct CompletedReport {
    QString fileName; // FAJL_NEV
    QString name;     // the employer name to show
    QString postcode, settlement, street, phone, fax;
    QString type; // the type chosen there: its first two characters count
    QList<ReportFile::ReportLine> lines;
    QString declarationName; // the name in the report's header row; empty: `name`
};
// The 11-digit identifier inside a report file name (its characters 7 to 17), which is what
// the report was sent under even when the employer's data have changed since.
QString identifierFromFileName(const QString &fileName);
Tqrp_bejelentoi completedSheetOf(const CompletedReport &report, const QString &today);
Tqrp_nyilatkozat completedDeclarationOf(const CompletedReport &report, int lineCount,
                                        const QString &version, const QString &userName);

// Copies from a setting's text: its first two characters as a number; 1 when that is no number.
// An empty text also gives 1, and *repair tells that "1" should be stored.
int copies(const QString &setting, bool *repair = nullptr);
// The copies of the setting ("Bejelentolap db", "Nyilatkozat db"), repairing an empty value.
int copiesSetting(const QString &name);
// Replaces a file of the same name.
bool exportPdf(const BandedForm &form, const QString &path);
enum class Form { Sheet, Declaration };
// Exports the form to "Text/bejelentolap_" or "Text/nyilatkozat_" + file name + ".pdf" under the
// program folder (Text/ must exist) and returns the message telling where it went; an empty
// text when the export failed.
QString savePdf(const BandedForm &form, const QString &programFolder, Form kind,
                const QString &fileName);
} // namespace PrintedForms

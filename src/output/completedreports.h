#pragma once

#include "printedforms.h"
#include "reportfile.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

class DataModule;
class Installation;

// The completed reports: their employers, headers and lines, and the report file made again
// from what was stored. Reads only: repeating a report changes no table.
class CompletedReports
{
public:
    explicit CompletedReports(DataModule &data) : m_data(data) {}

    // Every employer's name, ended employers included, in name order.
    std::optional<QStringList> employerNames();

    // The employer's seat as the repetition window shows it; id -1 when the employer has no
    // seat address with its reference rows (it then has no reports to show either).
    struct Seat {
        int id = -1;
        QString postcode, settlement, street;
    };
    std::optional<Seat> seatByName(const QString &name);
    std::optional<Seat> seatById(int employerId);

    // The employer's reports of the type, newest first; start-number rows are never listed.
    std::optional<QList<QVariantMap>> reports(int employerId, const QString &type);
    // The report whose FAJL_NEV is the name; an empty map when there is none.
    std::optional<QVariantMap> reportByFileName(const QString &fileName);
    // The item lines of a report, in family and given name order, with the fund's name.
    std::optional<QList<ReportFile::ReportLine>> lines(const QVariantMap &report);

    // The report as the two printed forms need it; the sheet shows `shownName`.
    std::optional<PrintedForms::CompletedReport> formsOf(const QVariantMap &report,
                                                         const QString &shownName = {});

    // "Alap ismet", else Text/ under the program folder; made when missing.
    static QString repeatFolder(const Installation &installation);
    // What the choice window shows after "Jelenleg :".
    static QString pathLabel(const Installation &installation);

    struct Result {
        bool ok = false;
        QString path;
        QString message; // what the clerk is told, success or failure
        QString error;   // the technical reason
    };
    // Writes the report file again into the folder: the current employer row in the header,
    // the first making date, the stored number and count, every line coded.
    Result remake(const QVariantMap &report, const QString &folder, const QString &version);

    // "A jelentés fájl elkészült!\n\rHelye: " and the path.
    static QString madeMessage(const QString &path);

private:
    std::optional<Seat> seat(const QString &where, const QVariant &value);

    DataModule &m_data;
};

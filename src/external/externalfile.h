#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The OEP input layout other payroll programs write: the file name, the header line and the
// item lines, and the syntax and content rules a file must pass before it is taken in. Pure
// functions of the file and of the answers of the store; they return the memo lines the window
// and the command line both print.
namespace ExternalFile
{

// A file as read: its bare name, the header and the item lines as raw bytes (without CR LF).
struct Report {
    QString path, name;
    QByteArray header;
    QList<QByteArray> items;
};

// Reads the whole file; a last line without CR LF is still a line. False when it cannot be read.
bool read(const QString &path, Report *report, QString *error);

// Columns from..from+width-1 (1-based) of a raw line in Windows-1250; missing columns are blank.
QString column(const QByteArray &line, int from, int width);
QString trimmed(const QByteArray &line, int from, int width);

// Pieces of the 28-character file name.
inline QString nameType(const QString &name)
{
    return name.mid(1, 2);
}
inline QString nameCounty(const QString &name)
{
    return name.mid(3, 2);
}
inline QString nameTax(const QString &name)
{
    return name.mid(6, 11);
}
inline QString nameSequence(const QString &name)
{
    return name.mid(17, 3);
}
inline QString nameDistrict(const QString &name)
{
    return name.mid(21, 3);
}
// The name of the report this program makes from the file, and its short form for the header.
QString madeFileName(const QString &name);
QString madeShortName(const QString &name);

// The bare name of a path: after the last separator, at most 50 characters.
QString bareName(const QString &path);

// The header as the window shows it.
struct HeaderView {
    QString type, sequence, items, fileName, madeOn, name, tax, postcode;
    QString street, house, floor, door, building, staircase, phone, fax, email, bank, founded,
        director;
    bool payingAgent = false, treasury = false;
};
HeaderView headerView(const Report &report);
// 12345678-1-12 → 12345678112.
QString taxDigits(const QString &shown);

// The answers of the store the checks need; an empty optional is a failed lookup, which stops
// the check.
struct Lookups {
    std::function<std::optional<QString>(const QString &district)> districtCounty;
    std::function<std::optional<bool>(const QString &county)> countyExists;
    std::function<std::optional<bool>(const QString &title)> titleExists;
    // The registered birth date of a person; empty when none.
    std::function<std::optional<QString>(const QString &taj)> birthDate;
};

struct Findings {
    QStringList lines;
    int errors = 0;
    bool failed = false; // a lookup failed: the check stopped
    bool clean() const { return errors == 0 && !failed; }
};

// Open: the name rules that refuse a file before it is read. Empty when the name passes;
// otherwise the refusal lines. A name whose identifier is no number is `conversion`.
QStringList nameRefusal(const QString &name, bool *conversion = nullptr);
// The identifier of the name against the header's.
bool identifierMatches(const Report &report);

// "Szintaktikai ellenőrzés": the header rules and the item rules, every finding listed.
Findings syntaxCheck(const Report &report, bool prisonService, const QDate &today,
                     const Lookups &lookups);
// The prison service reports under a tax number beginning with these digits.
bool isPrisonService(const QString &taxNumber);

// "Tartalmi ellenőrzés", without its summary.
struct ContentContext {
    QString sequence; // as shown, without leading zeros
    QString items;    // the header's item count as shown
    QString tax;      // the file's 11-digit tax number
    QString founded;  // the founding date as shown
    bool prisonService = false;
    QDate today;
    QString type; // the header's report type
};
Findings contentCheck(const Report &report, const ContentContext &context, const Lookups &lookups);

} // namespace ExternalFile

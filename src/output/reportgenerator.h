#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QVariantMap>

#include "reportfile.h"

#include <functional>
#include <optional>

class DataModule;
class Transaction;
class Installation;
class StagedFile;

// One report waiting to be made: the pending lines of an employer, a report type and a
// sequence number.
struct PendingReport {
    int employerId = -1;
    QString identifier, name, type;
    int sequence = 0;
    int lines = 0;
    // For the printed forms: the seat address as one line, phone and fax.
    QString address, phone, fax;
};

// Turns a pending report into its file and files it: the completed report and its lines, the
// persons and their relations, the pending lines removed. All or nothing: the tables change in
// one transaction, and the file takes its name only when every row is in.
class ReportGenerator
{
public:
    explicit ReportGenerator(DataModule &data) : m_data(data) {}

    std::optional<int> pendingLineCount();
    // In employer name order.
    std::optional<QList<PendingReport>> pendingReports();
    // The lines of a report in file order (family name, first given name, start), each with
    // the employer's MEGYE, AZON_TIP and JARAS_KOD.
    std::optional<QList<ReportFile::ReportLine>> lines(int employerId, const QString &type,
                                                       int sequence);

    // The lines of a report in file order: the Hungarian order of the family and first given
    // names, then the start date, then the item number. Making and repeating use it alike.
    static void sortInFileOrder(QList<ReportFile::ReportLine> &lines);

    // The report lines a select returns (the line's fields first, then the employer's MEGYE,
    // AZON_TIP, JARAS_KOD and the fund's MEP_NEV where the select has them).
    static std::optional<QList<ReportFile::ReportLine>>
    readLines(DataModule &data, const QStringList &sql, const QList<QVariant> &params);

    // The folder of the setting "Floppy", else the floppy drive of this system ("A:\", or
    // /media/floppy).
    static QString floppyFolder();

    // The folder of the setting "Alap jelent", else jelentesek under the program folder
    // (made when missing).
    static QString defaultFolder(const Installation &installation);

    struct Options {
        QString folder;
        bool coded = true;
        QString version;
        QString today; // date text
        // Every line filed by the line-by-line path, as the registers were first kept; the
        // tables come out the same (the tests hold the two side by side).
        bool lineByLine = false;
    };
    struct Result {
        bool ok = false;
        QString path, fileName;
        // When a value cannot be written: which employer or person and which field. Empty for
        // a failure of the store or the file.
        QString refusal;
        QString error; // the technical reason, for the log
        // What the clerk is told: the refusal, else the fixed failure sentence.
        QString message() const { return refusal.isEmpty() ? failureMessage() : refusal; }
    };
    // "Hiba lépett fel a jelentés készítésénél !": every failure of a run says this.
    static QString failureMessage()
    {
        return QStringLiteral("Hiba lépett fel a jelentés készítésénél !");
    }
    using Progress = std::function<void(int done, int total)>;
    // Makes and files the report in one transaction that holds the lock of the employer's
    // reports of the type; tried again when the store gives it up for another clerk's.
    Result make(const PendingReport &report, const Options &options, const Progress &progress = {});

    // The file name of a report from its first line (with the employer's fields).
    static QString fileNameOf(const ReportFile::ReportLine &firstLine);

    // The whole file, header and items, as written (coded with the key when one is given), or
    // the refusal that names the value that does not fit.
    struct Content {
        QByteArray bytes;
        QString refusal;
    };
    static Content buildContent(const QList<ReportFile::Slot> &header, const QString &employerName,
                                const QList<ReportFile::ReportLine> &lines, int sequence,
                                std::optional<int> key);

    // What filing a made report writes: its lines into jel_tete, the persons and their
    // relations brought up to date, its row in jel_fej. Runs inside the caller's transaction;
    // the caller removes the pending lines it made the report from.
    struct Filing {
        int employerId = -1;
        QString type;
        int sequence = 0, items = 0;
        QString fileName, today;
        QVariantMap employer; // the foglalk row, copied into jel_fej
        // An external report's lines: an employment is matched on its occupation code only when
        // the line carries one (external "09" lines never do).
        bool external = false;
        // The person register's values of the lines filed one by one, where they differ from
        // those lines (an external report's); null: the lines themselves.
        const QList<ReportFile::ReportLine> *persons = nullptr;
        // The persons and relations of every line come in `oneByOne`.
        bool lineByLine = false;
        // Every pending line of the report is as the program writes one (right-trimmed, empty
        // texts null, each value within its column): the values are filed as they are,
        // without being trimmed or tested again.
        bool linesAsWritten = false;
    };
    // The report's lines are its pending lines (employer, type, number); the store files them
    // in one statement per table, except the lines of persons reported more than once (and
    // lines without a TAJ number), which come in `oneByOne` in file order, so that the later
    // line wins as it would line by line.
    bool fileReport(const Filing &filing, const QList<ReportFile::ReportLine> &oneByOne,
                    const Progress &progress, QString *error);
    // Moves the pending lines of an employer and type whose number a completed report already
    // has to the next free number, so that a report number is filed once. Runs inside the
    // caller's transaction.
    static bool movePendingAboveCompleted(DataModule &data, int employerId, const QString &type,
                                          QString *error);
    // Writes the file under a temporary name, gives it its name and commits; on any failure the
    // transaction rolls back and the folder is as it was. A file of that name already in the
    // folder is never replaced when a completed report has it or when nothing says whose it is:
    // the making is refused. Only the file a making left behind when it was cut off between
    // naming its file and filing its report (marked as such beside it) is made again.
    static bool commitWithFile(DataModule &data, Transaction &transaction, const QString &folder,
                               const QString &fileName, const QByteArray &content, QString *path,
                               QString *error);
    // The same in two steps, for a file written in parts: open it under its temporary name
    // (refused as above), then place it and commit.
    static bool openReportFile(DataModule &data, StagedFile &file, const QString &folder,
                               const QString &fileName, QString *error);
    static bool commitWithFile(Transaction &transaction, StagedFile &file, QString *path,
                               QString *error);
    // For the tests: asked once the file has its name and before the commit; true ends the
    // making there as a program that is killed at that moment would, leaving the folder so.
    static std::function<bool()> s_endsBeforeCommit;

    // Reads the lines a select returns, one at a time. `asWritten`, when given, is cleared when
    // a line's own value is one no write of this program leaves (see RowReader::text) or does
    // not fit its column.
    static bool forEachLine(DataModule &data, const QStringList &sql, const QList<QVariant> &params,
                            const std::function<void(ReportFile::ReportLine &&)> &take,
                            bool *asWritten = nullptr);
    // A line's place in the file order.
    static QByteArray fileOrderKey(const ReportFile::ReportLine &line);
    // Every value of the line fits its column of the pending and filed lines.
    static bool fitsItsColumns(const ReportFile::ReportLine &line);

private:
    Result makeIn(Transaction &transaction, const PendingReport &report, const Options &options,
                  const Progress &progress);
    // False, with the reason, when a completed report of the employer and type has the number.
    bool numberFree(int employerId, const QString &type, int sequence, QString *error);
    bool fileTogether(const Filing &filing, bool everyPersonOnce, QString *error);
    bool fileOneByOne(const Filing &filing, const QList<ReportFile::ReportLine> &lines,
                      QString *error);

    DataModule &m_data;
};

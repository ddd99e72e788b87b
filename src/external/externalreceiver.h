#pragma once

#include "externalfile.h"
#include "printedforms.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>

class DataModule;

// One line of the memo the steps write; refusals and failed summaries are red.
struct MemoLine {
    QString text;
    bool red = false;
};

// The four steps of taking in an external report: open, syntax check, content check (with the
// recording of a new employer) and report making. The window and the command line both run
// them and print what they return.
class Transaction;

class ExternalReceiver
{
public:
    explicit ExternalReceiver(DataModule &data) : m_data(data) {}

    struct Opened {
        enum Outcome { Refused, OldStructure, Message, Accepted } outcome = Refused;
        QList<MemoLine> memo; // a refusal replaces what the memo held
        QString message;      // a message box instead (old structure, conversion, failure)
        ExternalFile::Report report;
        ExternalFile::HeaderView header;
        QString settlement;
        QVariantMap employer; // the register's row; empty when the employer is not recorded
        QString employerSettlement;
        bool postcodeFound = false;
        int employerId() const;
    };
    Opened open(const QString &path);

    struct Step {
        QList<MemoLine> memo;
        bool ok = false;
        QString message; // a failure for the message box
        QString error;   // its own reason, shown after it
    };
    // Also tells the prison-service mode the next steps work in.
    Step syntax(const Opened &opened, bool *prisonService);
    // Records the employer from the header after a clean check when the register lacks it.
    Step content(const Opened &opened, bool prisonService);

    struct Options {
        QString folder, version, userName, today;
        bool forms = false; // the sheet and the declaration are wanted
    };
    struct Made : Step {
        QString path, fileName;
        std::optional<Tqrp_bejelento> sheet;
        std::optional<Tqrp_nyilatkozat> declaration;
    };
    using Progress = std::function<void(int done, int total)>;
    // All or nothing: the import, the filing and the removal run in one transaction and the
    // file takes its name only when every row is in.
    Made make(const Opened &opened, bool prisonService, const Options &options,
              const Progress &progress = {});

    static QString separator() { return QStringLiteral("--------------------------------"); }

private:
    Made makeIn(Transaction &transaction, const Opened &opened, bool prisonService,
                const Options &options, const Progress &progress);

    DataModule &m_data;
};

#pragma once

#include "detaineestore.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class DataModule;

// The prison service's confirmation table: opened, checked against the person register and
// applied, each step returning the log lines it writes. The window and the command line both
// run the steps and show what they return.
class BvopConfirmation
{
public:
    explicit BvopConfirmation(DataModule &data) : m_data(data) {}

    struct Record {
        DetaineeStore::Person person; // eredeti_taj, csaladi_nev, utonev, szuletes_datumk,
                                      // szuletesi_helye
        QString realTaj;              // taj_szam
    };
    struct Step {
        QStringList log;
        bool ok = false;
        QString message; // a failure for the message box, with its own reason
    };

    // Reads the table, its records in the order of eredeti_taj; ok when it holds records.
    Step open(const QString &path);
    // Every record that cannot be applied is logged with its reason; ok when the check ran to
    // its end, whatever it found.
    Step check();
    // All or nothing: every applicable record gets its real number in one transaction.
    Step apply();

    int recordCount() const { return int(m_records.size()); }
    int errorCount() const { return m_errors; }
    int appliedCount() const { return m_applied; }

    // The log written to a text file; false when it cannot be written.
    static bool saveLog(const QString &path, const QStringList &lines);

    static QString updateFailed() { return QStringLiteral("Hiba az állomány frissítése közben !"); }

private:
    enum class Verdict { Apply, NotFound, InvalidTaj, TakenTaj, Repeated, Failed };
    // What happens to a record, given the records judged before it in this run.
    Verdict judge(const Record &record, QSet<QString> &provisional, QSet<QString> &real,
                  QString *error);

    DataModule &m_data;
    QList<Record> m_records;
    int m_errors = 0;
    int m_applied = 0;
};

#pragma once

#include <QString>

class DataModule;

// Backup and restore of the five report tables (foglalk, taj_jogcim, taj, jel_fej, jel_tete)
// between the live database and the backup database in adatok/Ment. Neither ever leaves half a
// copy: the backup is built beside the old one and takes its place when complete, the restore
// replaces the live rows in one transaction.
class ReportBackup
{
public:
    ReportBackup(DataModule &data, const QString &backupFolder)
        : m_data(data), m_folder(backupFolder)
    {
    }

    struct Result {
        bool ok = false;
        QString message; // the sentence to show
        QString error;   // the store's own reason, shown after it
    };

    // The missing-folder refusal of the backup; empty when the folder is there.
    QString backupRefusal() const;
    // The two lines of the backup question; the second only when a backup date is on record.
    static QString backupQuestion1();
    static QString backupQuestion2(const QString &lastBackup);
    // Copies the five tables; writes "Mentes" after success.
    Result backup();

    // Why a restore cannot start (no folder, a pending line, no backup, a backup that lacks a
    // table or a column); an empty message when it can.
    Result restoreRefusal();
    static QString restoreQuestion1(const QString &lastBackup);
    static QString restoreQuestion2();
    // Replaces the five tables' rows; writes "Fogl", "Szem_adat", "Szem_jogcim" after success.
    Result restore();

private:
    bool copyOnServer(QString *error);
    bool copyInto(const QString &file, QString *error);

    DataModule &m_data;
    QString m_folder;
};

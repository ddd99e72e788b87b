#pragma once

#include "query.h"

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>

#include <optional>

// One per run: the connection of the alias TARVIK, the connection of the backup folder, the query
// objects and the client-side calculated and lookup fields.
class DataModule
{
public:
    static inline const QString Alias = QStringLiteral("TARVIK");
    static inline const QString Driver = QStringLiteral("STANDARD");
    static inline const QString DatabaseFile = QStringLiteral("tarvik.sqlite");
    static inline const QString BackupFile = QStringLiteral("ment.sqlite");
    // In the data folder of an installation whose register lives on a PostgreSQL server: the
    // server's address (a libpq URI), in place of the database file.
    static inline const QString ServerFile = QStringLiteral("tarvik.server");

    // The server address the data folder names; empty for a local database.
    static QString serverAddress(const QString &dataFolder);
    // Why an address with a password is refused: the program never keeps one.
    static QString passwordRefusal();
    // Opens a connection to the server of the address (the backup schema first on its path when
    // backup is set). A password is never part of the address: libpq reads it from ~/.pgpass,
    // PGPASSFILE or PGPASSWORD.
    static bool openServer(const QString &connection, const QString &address, bool backup,
                           QString *error);
    // Whether the register lives on a server.
    bool onServer() const;
    // The reason of a failed step: the fallback, unless the server dropped the connection.
    QString failureReason(const QString &fallback) const;

    DataModule();
    ~DataModule();
    DataModule(const DataModule &) = delete;
    DataModule &operator=(const DataModule &) = delete;

    // Opens the database of the data folder. A missing folder or file, or a file that is not a
    // database, fails with nothing created.
    bool connect(const QString &dataFolder, QString *error = nullptr);
    // Opens the backup database of the folder; it must hold the named tables.
    // What a backup interrupted by a crash can leave in the folder is put right first: an older
    // copy set aside without a ment.sqlite is put back, temporary files are removed.
    static void recoverBackupFolder(const QString &backupFolder);
    bool connectBackup(const QString &backupFolder, const QStringList &requiredTables,
                       QString *error = nullptr);
    // Lets go of the backup database, so that its file can be replaced.
    void closeBackup();
    void disconnect();
    bool isConnected() const;
    QString dataFolder() const { return m_dataFolder; }

    QSqlDatabase db() const;
    QSqlDatabase backupDb() const;
    Query query() const { return Query(db()); }
    Query backupQuery() const { return Query(backupDb()); }

    // Empty when the table cannot be read.
    std::optional<bool> hasField(const QString &table, const QString &field) const;
    bool hasTable(const QString &table) const;

    // Calculated fields.
    static QString tajNev(const QString &vezNev, const QString &utoNev, const QString &utoNev2);
    static QString jelszoNev(const QString &vezNev, const QString &utoNev);
    static QString jogSzint(int jog);

    // Lookup fields; empty when nothing matches.
    QString orszagNev(const QString &isoSzam) const;
    QString nyugdijNev(const QString &pkod) const;
    QString mepNev(const QString &megyeKod) const;
    QString kozterNev(const QString &kod) const;
    QString telepules(const QString &irsz, const QString &suly) const;

    struct EmployerFields {
        QString szTelepules, tTelepules, mep, szKozter, tKozter;
    };
    // The calculated and lookup fields of a foglalk row.
    EmployerFields employerFields(const QSqlRecord &foglalk) const;

private:
    QString lookup(const QString &sql, const QStringList &params, const QString &field) const;
    static bool openSqlite(const QString &connection, const QString &file, QString *error);

    QString m_connection;
    QString m_backupConnection;
    QString m_dataFolder;
};

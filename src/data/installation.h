#pragma once

#include <QString>

#include <functional>

// The program folder and what lives under it.
class Installation
{
public:
    // homeGiven: the folder was named for this run (--home or TARVIK_HOME); its adatok/ is then
    // the data folder whatever the alias says, and the run leaves the alias alone.
    explicit Installation(const QString &home = {}, bool homeGiven = false);

    // --home DIR, else TARVIK_HOME, else (Windows) the executable's folder, else the per-user
    // data folder.
    static QString resolveHome(const QString &commandLineHome);
    static bool isHomeGiven(const QString &commandLineHome);
    bool homeGiven() const { return m_homeGiven; }

    QString home() const { return m_home; }
    // The program folder with a trailing separator, as messages and settings show it.
    QString programFolder() const;
    QString path(const QString &relative) const;
    QString dataFolder() const { return path(QStringLiteral("adatok")); }
    QString backupFolder() const { return path(QStringLiteral("adatok/Ment")); }
    QString helpFolder() const { return path(QStringLiteral("Sugo")); }
    QString urlFile() const { return path(UrlFileName); }

    bool isInstalled() const;

    // Creates the folders, the tables, the backup tables, the URL file and the users (the hidden
    // row and ADMIN with rights 3), registers the alias TARVIK and the install location.
    // The database is built under a temporary name and put in place only when complete.
    bool create(const QString &adminPassword, QString *error);
    // The same for a register on a PostgreSQL server (address: a libpq URI without password): the
    // tables, the backup schema and the users are made there in one transaction when the database
    // holds no installation yet; one that is already there is only pointed at, unchanged.
    // *existed tells which.
    bool createOnServer(const QString &address, const std::function<QString()> &adminPassword,
                        bool *existed, QString *error);

    static inline const QString UrlFileName = QStringLiteral("oep_tarvik.url");
    static inline const QString AdminName = QStringLiteral("ADMIN");
    static constexpr int MaxPasswordLength = 8;

private:
    bool makeFolders(QString *error);
    bool registerAlias(QString *error);

    QString m_home;
    bool m_homeGiven = false;
};

#include "installation.h"

#include "aliasconfig.h"
#include "datamodule.h"
#include "passworddigest.h"
#include "query.h"
#include "registrydatabase.h"
#include "schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>

#include <functional>

Installation::Installation(const QString &home, bool homeGiven)
    : m_home(home.isEmpty() ? QString() : QDir::cleanPath(QDir(home).absolutePath())),
      m_homeGiven(homeGiven)
{
}

bool Installation::isHomeGiven(const QString &commandLineHome)
{
    return !commandLineHome.isEmpty() || !qEnvironmentVariableIsEmpty("TARVIK_HOME");
}

QString Installation::resolveHome(const QString &commandLineHome)
{
    if (!commandLineHome.isEmpty()) return commandLineHome;
    const QString env = qEnvironmentVariable("TARVIK_HOME");
    if (!env.isEmpty()) return env;
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath();
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#endif
}

QString Installation::programFolder() const
{
    return QDir::toNativeSeparators(m_home + u'/');
}

QString Installation::path(const QString &relative) const
{
    return QDir::cleanPath(m_home + u'/' + relative);
}

bool Installation::isInstalled() const
{
    return QFileInfo(QDir(dataFolder()).filePath(DataModule::DatabaseFile)).isFile();
}

namespace
{

bool buildDatabase(const QString &file, const QStringList &tables,
                   const std::function<bool(QSqlDatabase, QString *)> &fill, QString *error)
{
    const QString connection = QStringLiteral("tarvik_init_") + QFileInfo(file).baseName();
    const QString temporary = file + QStringLiteral(".new");
    QFile::remove(temporary);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temporary);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            db.transaction();
            ok = Schema::create(db, tables, error) && (!fill || fill(db, error));
            ok = ok && db.commit();
            if (!ok) db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (ok && !QFile::rename(temporary, file)) {
        *error = QStringLiteral("Nem írható: %1").arg(QDir::toNativeSeparators(file));
        ok = false;
    }
    if (!ok) QFile::remove(temporary);
    return ok;
}

bool addUsers(QSqlDatabase db, const QString &password, QString *error)
{
    Query q(db);
    q.add(QStringLiteral("insert into jelszo (USER_ID, USER_NAME, VEZ_NEV, UTO_NEV, PASS, JOG)"));
    q.add(QStringLiteral("values (:id, :un, :vn, :un2, :pw, :jog)"));
    // The hidden row: it cannot log in and never shows in the user list.
    q.setParams({1, QStringLiteral("TARVIK"), QStringLiteral("Rendszer"), QString(), QString(), 0});
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    q.setParams({2, Installation::AdminName, QStringLiteral("Rendszergazda"), QString(),
                 PasswordDigest::make(password), 3});
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

} // namespace

bool Installation::create(const QString &adminPassword, QString *error)
{
    QString dummy;
    if (!error) error = &dummy;
    if (adminPassword.isEmpty() || adminPassword.size() > MaxPasswordLength) {
        *error = QStringLiteral("A jelszó 1 - %1 karakter hosszú lehet.").arg(MaxPasswordLength);
        return false;
    }
    for (const char *folder : {"adatok/Ment", "Text", "text", "jelentesek", "Sugo"}) {
        if (!QDir().mkpath(path(QLatin1String(folder)))) {
            *error = QStringLiteral("A mappa nem hozható létre: %1")
                         .arg(QDir::toNativeSeparators(path(QLatin1String(folder))));
            return false;
        }
    }
    // Help pages travel inside the program; an installation gets its own copy.
    QDirIterator pages(QStringLiteral(":/help"), QDir::Files);
    while (pages.hasNext()) {
        const QString page = pages.next();
        const QString target = QDir(helpFolder()).filePath(QFileInfo(page).fileName());
        QFile::remove(target);
        QFile::copy(page, target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    if (!QFileInfo::exists(urlFile())) {
        QFile url(urlFile());
        if (!url.open(QIODevice::WriteOnly)) {
            *error = url.errorString();
            return false;
        }
        url.write("[InternetShortcut]\r\nURL=https://frissites.tarvik.example/\r\n");
    }
    if (!buildDatabase(QDir(backupFolder()).filePath(DataModule::BackupFile),
                       Schema::backupTables(), {}, error))
        return false;
    if (!buildDatabase(
            QDir(dataFolder()).filePath(DataModule::DatabaseFile), {},
            [&](QSqlDatabase db, QString *e) { return addUsers(db, adminPassword, e); }, error))
        return false;

    // Registered as the installation of this user only when no folder was named for the run:
    // a run on a named folder does not redirect the others.
    if (m_homeGiven) return true;
    AliasConfig aliases;
    aliases.create(DataModule::Alias, DataModule::Driver, QDir::toNativeSeparators(dataFolder()));
    if (!aliases.save()) {
        *error = QStringLiteral("Az alias nem menthető: %1").arg(SettingsLocation::aliasFile());
        return false;
    }
    Settings::writeMachine(Settings::AppPathsKey, QStringLiteral("Path"), programFolder());
    Settings::write(QStringLiteral("InstallDir"), QDir::toNativeSeparators(m_home));
    return true;
}

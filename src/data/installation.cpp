#include "installation.h"

#include "aliasconfig.h"
#include "datamodule.h"
#include "dialect.h"
#include "passworddigest.h"
#include "query.h"
#include "registrydatabase.h"
#include "schema.h"
#include "storefailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

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
    // The program folder holds the data, as it always has; the installer makes it one every
    // clerk can write. A program found where the clerk cannot write (under Program Files, say)
    // keeps its data in c:\tarvik.
    const QString own = QCoreApplication::applicationDirPath();
    QTemporaryFile probe(own + QStringLiteral("/.tarvik-XXXXXX"));
    if (probe.open()) return own;
    return QStringLiteral("C:/tarvik");
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
    return QFileInfo(QDir(dataFolder()).filePath(DataModule::DatabaseFile)).isFile() ||
           !DataModule::serverAddress(dataFolder()).isEmpty();
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
            *error = StoreFailure::text(db.lastError());
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

namespace
{
bool passwordFits(const QString &adminPassword, QString *error)
{
    if (!adminPassword.isEmpty() && adminPassword.size() <= Installation::MaxPasswordLength)
        return true;
    *error = QStringLiteral("A jelszó 1 - %1 karakter hosszú lehet.")
                 .arg(Installation::MaxPasswordLength);
    return false;
}
} // namespace

bool Installation::makeFolders(QString *error)
{
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
    return true;
}

bool Installation::create(const QString &adminPassword, QString *error)
{
    QString dummy;
    if (!error) error = &dummy;
    if (!passwordFits(adminPassword, error) || !makeFolders(error)) return false;
    if (!buildDatabase(QDir(backupFolder()).filePath(DataModule::BackupFile),
                       Schema::backupTables(), {}, error))
        return false;
    if (!buildDatabase(
            QDir(dataFolder()).filePath(DataModule::DatabaseFile), {},
            [&](QSqlDatabase db, QString *e) { return addUsers(db, adminPassword, e); }, error))
        return false;
    return registerAlias(error);
}

namespace
{
// What the role of a server connection may do with the register: read and write its tables
// when there is one, create them when there is none.
QString missingRights(QSqlDatabase db, bool registerThere)
{
    QSqlQuery q(db);
    const QString sql =
        registerThere
            ? QStringLiteral("select coalesce(bool_and(has_table_privilege(c.oid, "
                             "'SELECT,INSERT,UPDATE,DELETE')), false) from pg_class c join "
                             "pg_namespace n on n.oid = c.relnamespace where n.nspname in "
                             "('public', '%1') and c.relkind = 'r'")
                  .arg(Dialect::BackupSchema)
            : QStringLiteral("select has_schema_privilege('public', 'CREATE') and "
                             "has_database_privilege(current_database(), 'CREATE')");
    if (!q.exec(sql) || !q.next()) return StoreFailure::text(q.lastError());
    if (q.value(0).toBool()) return {};
    const QString role =
        db.userName().isEmpty() ? QStringLiteral("a bejelentkezett") : db.userName();
    return registerThere
               ? QStringLiteral(
                     "A(z) %1 felhasználónak nincs joga a kiszolgálón lévő nyilvántartás "
                     "tábláinak olvasására és írására; a kiszolgáló gazdája adhat "
                     "jogot.")
                     .arg(role)
               : QStringLiteral("A(z) %1 felhasználónak nincs joga táblákat létrehozni az "
                                "adatbázisban; a kiszolgáló gazdája adhat jogot (az adatbázis "
                                "tulajdonosa legyen).")
                     .arg(role);
}
} // namespace

bool Installation::createOnServer(const QString &address,
                                  const std::function<QString()> &adminPassword, bool *existed,
                                  QString *error)
{
    QString dummy;
    if (!error) error = &dummy;
    *existed = false;
    if (StoreFailure::hasPassword(address)) {
        *error = DataModule::passwordRefusal();
        return false;
    }
    // Whatever this run makes on the disk goes again when it fails.
    QStringList made;
    for (const QString &folder :
         {m_home, dataFolder(), backupFolder(), path(QStringLiteral("Text")),
          path(QStringLiteral("text")), path(QStringLiteral("jelentesek")), helpFolder()})
        if (!QFileInfo::exists(folder)) made << folder;
    const bool hadUrlFile = QFileInfo::exists(urlFile());
    auto undo = [&] {
        if (!hadUrlFile) QFile::remove(urlFile());
        QFile::remove(QDir(dataFolder()).filePath(DataModule::ServerFile));
        // The deepest first; only what this run made, and only when nothing else is in it.
        for (auto folder = made.crbegin(); folder != made.crend(); ++folder) {
            if (*folder == helpFolder()) QDir(*folder).removeRecursively();
            QDir().rmdir(*folder);
        }
        return false;
    };
    const QString connection = QStringLiteral("tarvik_init_server");
    bool ok = false;
    {
        if (!DataModule::openServer(connection, address, false, error)) return false;
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        // The catalogue names every table, also one the role may not read.
        QSqlQuery probe(db);
        const bool asked =
            probe.exec(QStringLiteral("select to_regclass('public.jelszo') is not null")) &&
            probe.next();
        *existed = asked && probe.value(0).toBool();
        *error = asked ? missingRights(db, *existed) : StoreFailure::text(probe.lastError());
        probe = QSqlQuery();
        if (!error->isEmpty()) {
            ok = false;
        } else if (*existed) {
            ok = true;
        } else if (const QString password = adminPassword();
                   !passwordFits(password, error) || !makeFolders(error)) {
            ok = false;
        } else if (db.transaction()) {
            // Tables, backup schema and users come together or not at all.
            QSqlQuery q(db);
            auto run = [&](const QString &sql) {
                if (q.exec(sql)) return true;
                *error = StoreFailure::text(q.lastError());
                return false;
            };
            ok = Schema::create(db, {}, error) && addUsers(db, password, error) &&
                 run(QStringLiteral("create schema ") + Dialect::BackupSchema) &&
                 run(QStringLiteral("set local search_path to ") + Dialect::BackupSchema) &&
                 Schema::create(db, Schema::backupTables(), error) && db.commit();
            if (!ok) {
                if (error->isEmpty()) *error = StoreFailure::text(db.lastError());
                db.rollback();
            }
            q.finish();
        } else {
            *error = StoreFailure::text(db.lastError());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) return undo();
    if (*existed && !makeFolders(error)) return undo();
    QFile pointer(QDir(dataFolder()).filePath(DataModule::ServerFile));
    if (!pointer.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        pointer.write(address.toUtf8() + '\n') < 0 || !pointer.flush()) {
        *error = QStringLiteral("Nem írható: %1").arg(QDir::toNativeSeparators(pointer.fileName()));
        pointer.close();
        return undo();
    }
    pointer.close();
    return registerAlias(error) || undo();
}

bool Installation::registerAlias(QString *error)
{
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

#include "datamodule.h"

#include "codepage.h"
#include "dialect.h"
#include "namekeys.h"
#include "runstate.h"
#include "schema.h"
#include "sqlitenative.h"
#include "storefailure.h"
#include "waitcursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>

#include <atomic>

namespace
{
std::atomic<int> instances{0};
}

DataModule::DataModule()
{
    // Tests make several modules in one process; the first one carries the alias's own name.
    const int n = instances++;
    m_connection = n == 0 ? Alias : Alias + u'#' + QString::number(n);
    m_backupConnection = m_connection + QStringLiteral("_MENT");
}

DataModule::~DataModule()
{
    disconnect();
}

namespace
{
// upper() of SQLite knows ASCII letters only; the program's SQL means every letter, as a server's
// upper() does. Letter by letter, so that a value keeps its length. Only this program's
// connection has it: the file stays an ordinary SQLite file.
void unicodeUpper(sqlite3_context *context, int, sqlite3_value **values)
{
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    const int size = sqlite3_value_bytes(values[0]);
    // Plain ASCII, as most names are, byte by byte; any other letter through Unicode. Most
    // names are upper case already: the copy is made at the first letter that changes.
    QByteArray upper;
    auto change = [&](int at, char c) {
        if (upper.isNull()) upper = QByteArray(text, size);
        upper[at] = c;
    };
    for (int i = 0; i < size; ++i) {
        const quint8 c = quint8(text[i]);
        if (c < 0x80) {
            if (c >= 'a' && c <= 'z') change(i, char(c - 'a' + 'A'));
            continue;
        }
        // The Hungarian letters with accents, two bytes each: the small á é í ó ö ú ü (and the
        // rest of Latin-1's) one block up from the capitals, ő and ű one code point up from Ő
        // and Ű.
        const quint8 next = i + 1 < size ? quint8(text[i + 1]) : 0;
        if (c == 0xC3 && next >= 0x80 && next <= 0xBE && next != 0xB7) {
            if (next >= 0xA0) change(i + 1, char(next - 0x20));
            ++i;
            continue;
        }
        if (c == 0xC5 && (next == 0x90 || next == 0x91 || next == 0xB0 || next == 0xB1)) {
            if (next & 1) change(i + 1, char(next - 1));
            ++i;
            continue;
        }
        upper = CodePage::upperSameLength(QString::fromUtf8(text, size)).toUtf8();
        break;
    }
    if (upper.isNull())
        sqlite3_result_text(context, text, size, SQLITE_TRANSIENT);
    else
        sqlite3_result_text(context, upper.constData(), int(upper.size()), SQLITE_TRANSIENT);
}

void useUnicodeUpper(const QSqlDatabase &db)
{
    if (sqlite3 *native = sqliteHandle(db))
        sqlite3_create_function_v2(native, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   unicodeUpper, nullptr, nullptr, nullptr);
}
} // namespace

bool DataModule::openSqlite(const QString &connection, const QString &file, QString *error)
{
    QString failure;
    if (!QFileInfo(file).isFile()) {
        failure = QStringLiteral("Nem található: %1").arg(QDir::toNativeSeparators(file));
    } else {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            useUnicodeUpper(db);
            // A report or a reference table of tens of thousands of rows changes more pages than
            // the default cache holds; spilled pages would be written twice.
            QSqlQuery(db).exec(QStringLiteral("pragma cache_size = -32768"));
            // Opening is lazy in SQLite: reading the catalogue tells a database from other files.
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
                failure = probe.lastError().text();
        }
        if (!failure.isEmpty()) db.close();
    }
    if (failure.isEmpty()) return true;
    if (error) *error = failure;
    QSqlDatabase::removeDatabase(connection);
    return false;
}

QString DataModule::serverAddress(const QString &dataFolder)
{
    QFile file(QDir(dataFolder).filePath(ServerFile));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readLine(4096)).trimmed();
}

QString DataModule::passwordRefusal()
{
    return QStringLiteral("A címben ne legyen jelszó: a ~/.pgpass fájl, a PGPASSFILE vagy a "
                          "PGPASSWORD adja meg.");
}

bool DataModule::openServer(const QString &connection, const QString &address, bool backup,
                            QString *error)
{
    const QUrl url(address, QUrl::StrictMode);
    auto fail = [&](const QString &failure) {
        if (error) *error = failure;
        if (QSqlDatabase::contains(connection)) {
            QSqlDatabase::database(connection, false).close();
            QSqlDatabase::removeDatabase(connection);
        }
        return false;
    };
    if (StoreFailure::hasPassword(address)) return fail(passwordRefusal());
    if (!url.isValid() || (url.scheme() != u"postgresql" && url.scheme() != u"postgres") ||
        url.path().size() < 2)
        return fail(
            QStringLiteral("Nem PostgreSQL adatbázis címe: %1").arg(StoreFailure::shown(address)));
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return fail(QStringLiteral("A PostgreSQL meghajtó (libqt6sql6-psql) nincs telepítve."));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    db.setHostName(url.host());
    if (url.port() > 0) db.setPort(url.port());
    db.setUserName(url.userName());
    db.setDatabaseName(url.path().mid(1));
    // Further parameters of the address (host=/socket/folder, sslmode=...) as libpq takes them;
    // a server that does not answer is given up after a few seconds.
    QStringList options;
    bool timeout = false;
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &[key, value] : items) {
        timeout = timeout || key == u"connect_timeout";
        QString quoted = value;
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        options << key + QStringLiteral("='") + quoted + u'\'';
    }
    if (!timeout) options << QStringLiteral("connect_timeout=5");
    // A server that stops answering mid-way is given up too, not waited for.
    options << QStringLiteral("keepalives_idle=5") << QStringLiteral("keepalives_interval=2")
            << QStringLiteral("keepalives_count=3") << QStringLiteral("tcp_user_timeout=10000");
    db.setConnectOptions(options.join(u';'));
    if (!db.open()) {
        const QString reason = StoreFailure::connectText(db.lastError().text());
        db = QSqlDatabase();
        return fail(QStringLiteral("A(z) %1 adatbázis nem érhető el: %2")
                        .arg(StoreFailure::shown(address), reason));
    }
    bool set = false;
    QString failure;
    {
        QSqlQuery q(db);
        const QString path = backup ? Dialect::BackupSchema : QStringLiteral("public");
        // Another clerk's lock is waited for a while, never for ever.
        set =
            q.exec(QStringLiteral("set search_path to ") + path) &&
            q.exec(QStringLiteral("set client_min_messages to warning")) &&
            q.exec(QStringLiteral("set lock_timeout to '%1s'").arg(StoreFailure::LockWaitSeconds));
        if (!set) failure = StoreFailure::text(q.lastError());
    }
    if (!set) {
        db = QSqlDatabase();
        return fail(failure);
    }
    return true;
}

QString DataModule::failureReason(const QString &fallback) const
{
    return db().isOpen() ? fallback : StoreFailure::lostText();
}

bool DataModule::onServer() const
{
    return Dialect::isServer(db());
}

bool DataModule::connect(const QString &dataFolder, QString *error)
{
    disconnect();
    if (!QFileInfo(dataFolder).isDir()) {
        if (error)
            *error = QStringLiteral("Nem található: %1").arg(QDir::toNativeSeparators(dataFolder));
        return false;
    }
    StoreFailure::setLogFolder(dataFolder);
    const QString server = serverAddress(dataFolder);
    if (!server.isEmpty()
            ? !openServer(m_connection, server, false, error)
            : !openSqlite(m_connection, QDir(dataFolder).filePath(DatabaseFile), error))
        return false;
    m_dataFolder = dataFolder;
    // A database of the current structure gets the persons' name keys here; one of the older
    // structure gets them with the rest of its upgrade.
    QSqlDatabase database = db();
    if (database.record(QStringLiteral("taj")).contains(QStringLiteral("VEZ_NEV")) &&
        database.record(QStringLiteral("foglalk")).contains(QStringLiteral("JARAS_KOD"))) {
        if (database.transaction()) {
            if (NameKeys::ensure(database) && Schema::addMissingIndexes(database))
                database.commit();
            else
                database.rollback();
        }
        NameKeys::refresh(database);
    }
    // A password kept as typed (an older database, a row another tool wrote) becomes its digest
    // at every open, so that no command leaves one readable after it ran.
    if (database.record(QStringLiteral("jelszo")).contains(QStringLiteral("PASS")) &&
        database.transaction()) {
        if (Schema::digestPlainPasswords(database, nullptr))
            database.commit();
        else
            database.rollback();
    }
    return true;
}

void DataModule::recoverBackupFolder(const QString &backupFolder)
{
    const QString file = QDir(backupFolder).filePath(BackupFile);
    const QString old = file + QStringLiteral(".elozo");
    if (!QFileInfo::exists(file) && QFileInfo::exists(old)) QFile::rename(old, file);
    if (QFileInfo::exists(file)) QFile::remove(old);
    QFile::remove(file + QStringLiteral(".uj"));
}

bool DataModule::connectBackup(const QString &backupFolder, const QStringList &requiredTables,
                               QString *error)
{
    closeBackup();
    if (onServer()) {
        // The backup lives on the server beside the register, in a schema of its own.
        if (!openServer(m_backupConnection, serverAddress(m_dataFolder), true, error)) return false;
    } else {
        recoverBackupFolder(backupFolder);
        if (!openSqlite(m_backupConnection, QDir(backupFolder).filePath(BackupFile), error))
            return false;
    }
    const QStringList present = Dialect::tableNames(backupDb());
    for (const QString &t : requiredTables) {
        if (!present.contains(t, Qt::CaseInsensitive)) {
            if (error) *error = QStringLiteral("Hiányzó tábla: %1").arg(t);
            return false;
        }
    }
    return true;
}

void DataModule::closeBackup()
{
    if (!QSqlDatabase::contains(m_backupConnection)) return;
    QSqlDatabase::database(m_backupConnection, false).close();
    QSqlDatabase::removeDatabase(m_backupConnection);
}

void DataModule::disconnect()
{
    for (const QString &name : {m_connection, m_backupConnection}) {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    m_dataFolder.clear();
}

bool DataModule::isConnected() const
{
    return QSqlDatabase::contains(m_connection) && db().isOpen();
}

QSqlDatabase DataModule::db() const
{
    return QSqlDatabase::database(m_connection, false);
}

QSqlDatabase DataModule::backupDb() const
{
    return QSqlDatabase::database(m_backupConnection, false);
}

std::optional<bool> DataModule::hasField(const QString &table, const QString &field) const
{
    const QSqlRecord record = db().record(table);
    if (record.isEmpty()) return std::nullopt; // no such table
    return record.contains(field);
}

bool DataModule::hasTable(const QString &table) const
{
    return Dialect::tableNames(db()).contains(table.toLower());
}

QString DataModule::tajNev(const QString &vezNev, const QString &utoNev, const QString &utoNev2)
{
    return vezNev.trimmed() + QStringLiteral("  ") + utoNev.trimmed() + u' ' + utoNev2;
}

QString DataModule::jelszoNev(const QString &vezNev, const QString &utoNev)
{
    return vezNev + u' ' + utoNev;
}

QString DataModule::jogSzint(int jog)
{
    return RunState::rightsLevelName(jog);
}

QString DataModule::lookup(const QString &sql, const QStringList &params,
                           const QString &field) const
{
    Query q = query();
    q.add(sql);
    for (int i = 0; i < params.size(); ++i)
        q.setParam(i, params[i]);
    if (!q.open() || !q.next()) return {};
    const QString value = q.text(field);
    q.close();
    return value;
}

QString DataModule::orszagNev(const QString &isoSzam) const
{
    return lookup(QStringLiteral("select nev from orszag where iso_szam = :k"), {isoSzam},
                  QStringLiteral("nev"));
}

QString DataModule::nyugdijNev(const QString &pkod) const
{
    return lookup(QStringLiteral("select pkodmegn from nyugdij where pkod = :k"), {pkod},
                  QStringLiteral("pkodmegn"));
}

QString DataModule::mepNev(const QString &megyeKod) const
{
    return lookup(QStringLiteral("select mep_nev from mep where megyekod = :k"), {megyeKod},
                  QStringLiteral("mep_nev"));
}

QString DataModule::kozterNev(const QString &kod) const
{
    return lookup(QStringLiteral("select kozternev from koz_ter where kod = :k"), {kod},
                  QStringLiteral("kozternev"));
}

QString DataModule::telepules(const QString &irsz, const QString &suly) const
{
    Query q = query();
    q.add(QStringLiteral("select telepules from irsz "));
    q.add(QStringLiteral("where irsz = :i and suly = :s"));
    q.setParams({irsz, suly});
    if (!q.open() || !q.next()) return {};
    return q.text(QStringLiteral("telepules")).left(20);
}

DataModule::EmployerFields DataModule::employerFields(const QSqlRecord &f) const
{
    WaitCursor busy(Qt::BusyCursor);
    auto v = [&](const char *name) {
        return Query::rightTrimmed(f.value(QLatin1String(name)).toString());
    };
    EmployerFields out;
    out.szTelepules = telepules(v("SZ_IRSZ"), v("SZ_IRSZ_S"));
    out.tTelepules = telepules(v("T_IRSZ"), v("T_IRSZ_S"));
    out.mep = mepNev(v("MEGYE"));
    out.szKozter = kozterNev(v("SZ_CIM_JELL"));
    out.tKozter = kozterNev(v("T_CIM_JELL"));
    return out;
}

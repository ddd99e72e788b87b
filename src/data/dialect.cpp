#include "dialect.h"

#include "storefailure.h"

#include <QSqlDriver>
#include <QSqlQuery>

#include <atomic>

namespace Dialect
{

Store of(const QSqlDatabase &db)
{
    return db.driverName() == u"QPSQL" ? Store::Server : Store::Sqlite;
}

QStringList tableNames(QSqlDatabase db)
{
    QStringList names;
    if (isServer(db)) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("select table_name from information_schema.tables where "
                                  "table_schema = current_schema()")))
            while (q.next())
                names << q.value(0).toString().toLower();
        return names;
    }
    for (const QString &t : db.tables())
        names << t.toLower();
    return names;
}

bool beginIfOutside(QSqlDatabase db)
{
    // A connection the server dropped begins nothing (and the driver would only warn).
    if (!db.isOpen()) return false;
    if (isServer(db)) {
        // A server that is asked to begin inside a transaction only warns, and the caller would
        // then commit the outer one: a savepoint tells, as it is refused outside a transaction.
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("savepoint tarvik_probe"))) {
            probe.exec(QStringLiteral("release savepoint tarvik_probe"));
            return false;
        }
    }
    return db.transaction();
}

bool isConflict(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    return state == u"40001" || state == u"40P01" || state == u"23505";
}

namespace
{
std::atomic<int> conflicts{0};
}

void noteFailure(const QSqlError &error)
{
    if (isConflict(error)) ++conflicts;
}

int conflictsSeen()
{
    return conflicts;
}

bool lock(QSqlDatabase db, const QString &space, int number, QString *error)
{
    if (!isServer(db)) return true;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select pg_advisory_xact_lock(hashtext(?), ?)"));
    q.addBindValue(space);
    q.addBindValue(number);
    if (q.exec()) return true;
    noteFailure(q.lastError());
    if (error) *error = StoreFailure::text(q.lastError());
    return false;
}

bool lockReports(QSqlDatabase db, int employerId, const QString &type, QString *error)
{
    return lock(db, QStringLiteral("jelentes/") + type, employerId, error);
}

bool followKeys(QSqlDatabase db, const QString &table, const QString &column, QString *error)
{
    if (!isServer(db)) return true;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("select setval(pg_get_serial_sequence('%1', '%2'), "
                              "coalesce(max(%2), 0) + 1, false) from %1")
                   .arg(table.toLower(), column.toLower())))
        return true;
    if (error) *error = StoreFailure::text(q.lastError());
    return false;
}

} // namespace Dialect

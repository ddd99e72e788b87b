#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <chrono>
#include <random>
#include <thread>

// The two stores the register can live in: a SQLite file on one PC, or a PostgreSQL database that
// a payroll office's clerks share. What their SQL must say differently is said here.
namespace Dialect
{

enum class Store { Sqlite, Server };

Store of(const QSqlDatabase &db);
inline bool isServer(const QSqlDatabase &db)
{
    return of(db) == Store::Server;
}

// The column that names a row of a table without a key of its own, for as long as the
// transaction that read it runs.
inline QString rowKey(const QSqlDatabase &db)
{
    return isServer(db) ? QStringLiteral("ctid") : QStringLiteral("rowid");
}

// The tables of a connection, in lower case, without those of other schemas.
QStringList tableNames(QSqlDatabase db);

// Begins a transaction unless one is already open on the connection; true when it began one
// (the caller then commits or rolls it back). A statement of a transaction already open runs in
// it, on either store.
bool beginIfOutside(QSqlDatabase db);

// Whether the store gave up the transaction because of another one (a deadlock, a
// serialization failure, or a row another clerk had just added with the same key): the whole
// step can be tried again.
bool isConflict(const QSqlError &error);
// Counts the conflicts the store reports, so that a step can tell whether it met one.
void noteFailure(const QSqlError &error);
int conflictsSeen();
// How many times a step that met a conflict is tried in all.
constexpr int ConflictAttempts = 5;

// Runs the step (a whole transaction) again while the store gave it up because of another one,
// at most ConflictAttempts times in all, and returns the last attempt's result (with its ok).
template <typename Step> auto retryOnConflict(Step step)
{
    static thread_local std::minstd_rand jitter{std::random_device{}()};
    for (int attempt = 1;; ++attempt) {
        const int before = conflictsSeen();
        auto result = step();
        if (result.ok || attempt >= ConflictAttempts || conflictsSeen() == before) return result;
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt + jitter() % 20));
    }
}

// The lock of one employer's reports of one type (making one, receiving one, adding a line to
// the one in preparation), held until the transaction ends: two clerks' steps on the same reports
// run one after the other. Nothing to do on SQLite, whose writers are one at a time anyway.
bool lockReports(QSqlDatabase db, int employerId, const QString &type, QString *error = nullptr);
// The same for any named thing and number (an employer's identifiers while it is recorded). A
// lock another clerk holds for longer than the session's lock_timeout fails with the busy text.
bool lock(QSqlDatabase db, const QString &space, int number, QString *error = nullptr);

// After rows were written with their own keys (a restore, a take-over), the store's next
// automatic key goes above them.
bool followKeys(QSqlDatabase db, const QString &table, const QString &column,
                QString *error = nullptr);

// The tables of the backup on the server live in a schema of this name beside the register.
inline const QString BackupSchema = QStringLiteral("ment");

} // namespace Dialect

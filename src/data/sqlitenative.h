#pragma once

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

// The engine's own handle of a SQLite connection, for the few paths that talk to it directly
// (thousands of rows, where the generic path costs more than the store); null for any other
// store.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// While it lives, statements prepared on a SQLite connection leave out its CHECK constraints:
// for copies between tables whose every value is known to pass them (the engine copies each
// value once more to test it). The connection checks again once it goes; statements prepared
// meanwhile are prepared anew when next run. Does nothing on any other store, or when `skip`
// is false.
class UncheckedCopy
{
public:
    UncheckedCopy(const QSqlDatabase &db, bool skip);
    ~UncheckedCopy();
    UncheckedCopy(const UncheckedCopy &) = delete;
    UncheckedCopy &operator=(const UncheckedCopy &) = delete;

private:
    sqlite3 *m_handle = nullptr;
};

// One statement prepared on the engine itself, finalized when it goes.
struct NativeStatement {
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    NativeStatement() = default;
    NativeStatement(const NativeStatement &) = delete;
    NativeStatement &operator=(const NativeStatement &) = delete;
    ~NativeStatement();

    bool prepare(sqlite3 *handle, const QString &sql, QString *error);
    // Binds the values by position with the rules of Query (text right-trimmed, empty text as
    // NULL, dates as date text), after clearing what the last run bound.
    void bind(const QList<QVariant> &values);
    QString error() const;

private:
    // The bound texts, one after the other in UTF-8; they live until the next bind, and the
    // buffer keeps its room from row to row.
    QByteArray m_texts;
};

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

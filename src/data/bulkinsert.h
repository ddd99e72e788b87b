#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <memory>

// One insert statement prepared once and run for many rows, with the same value rules as Query
// (text right-trimmed, empty text as NULL, dates as date text). On SQLite it talks to the engine
// directly: a reference load inserts tens of thousands of rows and the generic path costs more
// than the insert itself. On a server the rows go ten thousand to a statement, one array per
// column where the statement is a plain column list (else as rows of values), as a round trip
// per row would cost more than the rows; a failing batch is run again row by row to name the
// row.
// Inside a transaction only; finish() sends what is left.
class BulkInsert
{
public:
    BulkInsert(QSqlDatabase db, const QStringList &sqlLines);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // tag: the caller's name for the row (its line number, say), given back by failedTag().
    bool insert(const QList<QVariant> &values, qint64 tag = 0);
    bool finish();
    QString lastError() const { return m_error; }
    // The tag of the row that failed.
    qint64 failedTag() const { return m_failedTag; }

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    std::unique_ptr<class Query> m_fallback;
    QString m_error;
    qint64 m_failedTag = 0;

    // The server's batches.
    void serverColumns();
    QString batchSql() const;
    bool flush();
    bool runOne(const QList<QVariant> &values, qint64 tag);
    QSqlDatabase m_db;
    QString m_head, m_tuple; // "insert into t (...)", "(?, ?, ...)"
    QStringList m_casts;     // per column, when the rows go as arrays: its cast from text
    QList<QPair<QList<QVariant>, qint64>> m_rows;
};

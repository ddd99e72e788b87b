#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <memory>

// One insert statement prepared once and run for many rows, with the same value rules as Query
// (text right-trimmed, empty text as NULL, dates as date text). On SQLite it talks to the engine
// directly: a reference load inserts tens of thousands of rows and the generic path costs more
// than the insert itself.
class BulkInsert
{
public:
    BulkInsert(QSqlDatabase db, const QStringList &sqlLines);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    bool insert(const QList<QVariant> &values);
    QString lastError() const { return m_error; }

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    std::unique_ptr<class Query> m_fallback;
    QString m_error;
};

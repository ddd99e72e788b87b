#include "bulkinsert.h"

#include "localsql.h"
#include "query.h"
#include "sqlitenative.h"

struct BulkInsert::Native : NativeStatement {
};

BulkInsert::BulkInsert(QSqlDatabase db, const QStringList &sqlLines)
{
    const QStringList statements = LocalSql::translate(sqlLines.join(u'\n'));
    sqlite3 *handle = sqliteHandle(db);
    if (handle && statements.size() == 1) {
        m_native = std::make_unique<Native>();
        if (!m_native->prepare(handle, statements.first(), &m_error)) m_native.reset();
        return;
    }
    m_fallback = std::make_unique<Query>(db);
    for (const QString &line : sqlLines)
        m_fallback->add(line);
}

BulkInsert::~BulkInsert() = default;

bool BulkInsert::insert(const QList<QVariant> &values)
{
    if (m_fallback) {
        for (int i = 0; i < values.size(); ++i)
            m_fallback->setParam(i, values[i]);
        if (m_fallback->exec()) return true;
        m_error = m_fallback->lastError();
        return false;
    }
    if (!m_native) return false;
    sqlite3_stmt *st = m_native->statement;
    m_native->bind(values);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) {
        m_error = m_native->error();
        sqlite3_reset(st);
        return false;
    }
    return true;
}

#include "bulkinsert.h"

#include "dialect.h"
#include "localsql.h"
#include "query.h"
#include "sqlitenative.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>

struct BulkInsert::Native : NativeStatement {
};

namespace
{
constexpr int BatchRows = 1000;
}

BulkInsert::BulkInsert(QSqlDatabase db, const QStringList &sqlLines) : m_db(db)
{
    const QStringList statements = LocalSql::translate(sqlLines.join(u'\n'));
    if (Dialect::isServer(db) && statements.size() == 1) {
        const QString &sql = statements.first();
        const qsizetype values = sql.lastIndexOf(QStringLiteral("values"), -1, Qt::CaseInsensitive);
        if (values > 0) {
            m_head = sql.left(values + 6);
            m_tuple = sql.mid(values + 6).trimmed();
        }
    }
    sqlite3 *handle = sqliteHandle(db);
    if (handle && statements.size() == 1) {
        m_native = std::make_unique<Native>();
        if (!m_native->prepare(handle, statements.first(), &m_error)) m_native.reset();
        return;
    }
    if (!m_head.isEmpty()) return;
    m_fallback = std::make_unique<Query>(db);
    for (const QString &line : sqlLines)
        m_fallback->add(line);
}

BulkInsert::~BulkInsert() = default;

bool BulkInsert::insert(const QList<QVariant> &values, qint64 tag)
{
    if (!m_head.isEmpty()) {
        // The tuple with each mark replaced by its value, written by the driver.
        QString tuple;
        tuple.reserve(m_tuple.size() + values.size() * 12);
        int next = 0;
        for (const QChar c : m_tuple) {
            if (c != u'?') {
                tuple += c;
                continue;
            }
            const QVariant v = Query::storedValue(values.value(next++));
            QSqlField field(QString(), v.metaType());
            field.setValue(v);
            tuple += m_db.driver()->formatValue(field);
        }
        m_batch += m_rows.isEmpty() ? u' ' : u',';
        m_batch += tuple;
        m_rows.append({values, tag});
        return m_rows.size() < BatchRows || flush();
    }
    return runOne(values, tag);
}

bool BulkInsert::finish()
{
    return m_head.isEmpty() || m_rows.isEmpty() || flush();
}

bool BulkInsert::flush()
{
    QSqlQuery q(m_db);
    const bool savepoint = q.exec(QStringLiteral("savepoint tarvik_bulk"));
    const bool ok = q.exec(m_head + m_batch);
    const QSqlError failure = q.lastError();
    const auto rows = std::move(m_rows);
    m_rows.clear();
    m_batch.clear();
    if (ok) {
        if (savepoint) q.exec(QStringLiteral("release savepoint tarvik_bulk"));
        return true;
    }
    Dialect::noteFailure(failure);
    m_error = failure.text();
    m_failedTag = rows.isEmpty() ? 0 : rows.first().second;
    if (!savepoint || !q.exec(QStringLiteral("rollback to savepoint tarvik_bulk"))) return false;
    // The same rows one by one, to name the one the store refuses.
    for (const auto &[values, tag] : rows)
        if (!runOne(values, tag)) return false;
    return false;
}

bool BulkInsert::runOne(const QList<QVariant> &values, qint64 tag)
{
    m_failedTag = tag;
    if (!m_fallback && !m_native && !m_head.isEmpty()) {
        m_fallback = std::make_unique<Query>(m_db);
        m_fallback->add(m_head + u' ' + m_tuple);
    }
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

#include "bulkinsert.h"

#include "dialect.h"
#include "localsql.h"
#include "query.h"
#include "sqlitenative.h"
#include "storefailure.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

struct BulkInsert::Native : NativeStatement {
};

namespace
{
constexpr int BatchRows = 10000;
}

BulkInsert::BulkInsert(QSqlDatabase db, const QStringList &sqlLines) : m_db(db)
{
    const QStringList statements = LocalSql::translate(sqlLines.join(u'\n'));
    if (Dialect::isServer(db) && statements.size() == 1) {
        const QString &sql = statements.first();
        const qsizetype values = sql.lastIndexOf(QStringLiteral("values"), -1, Qt::CaseInsensitive);
        if (values > 0) {
            m_head = sql.left(values).trimmed();
            m_tuple = sql.mid(values + 6).trimmed();
            serverColumns();
            return;
        }
    }
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

void BulkInsert::serverColumns()
{
    // "insert into TABLE (A, B, ...)" with a mark for each column: the rows can go as one array
    // per column, which the server takes apart far faster than as many rows of values.
    static const QRegularExpression head(
        QStringLiteral("^insert\\s+into\\s+(\\w+)\\s*\\(([^()]*)\\)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(m_head.simplified());
    if (!m.hasMatch()) return;
    const QStringList names = m.captured(2).split(u',');
    QString rest = m_tuple;
    rest.remove(QRegularExpression(QStringLiteral("[?,()\\s]")));
    if (!rest.isEmpty() || m_tuple.count(u'?') != names.size()) return;
    // The server folds a name without quotes to lower case.
    const QSqlRecord record = m_db.record(m.captured(1).toLower());
    for (const QString &name : names) {
        const QSqlField field = record.field(name.trimmed());
        if (!field.isValid()) {
            m_casts.clear();
            return;
        }
        const int type = field.metaType().id();
        m_casts << (type == QMetaType::Int || type == QMetaType::LongLong ||
                            type == QMetaType::Short
                        ? QStringLiteral("::bigint")
                        : QString());
    }
}

bool BulkInsert::insert(const QList<QVariant> &values, qint64 tag)
{
    if (m_head.isEmpty()) return runOne(values, tag);
    m_rows.append({values, tag});
    return m_rows.size() < BatchRows || flush();
}

bool BulkInsert::finish()
{
    return m_head.isEmpty() || m_rows.isEmpty() || flush();
}

QString BulkInsert::batchSql() const
{
    auto literal = [&](const QVariant &v) {
        QSqlField field(QString(), v.metaType());
        field.setValue(v);
        return m_db.driver()->formatValue(field);
    };
    if (!m_casts.isEmpty()) {
        QStringList arrays, columns;
        for (int c = 0; c < m_casts.size(); ++c) {
            QString array = QStringLiteral("{");
            for (int r = 0; r < m_rows.size(); ++r) {
                if (r > 0) array += u',';
                const QVariant v = Query::storedValue(m_rows[r].first.value(c));
                if (v.isNull()) {
                    array += QStringLiteral("NULL");
                    continue;
                }
                QString text = v.toString();
                text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
                array += u'"' + text + u'"';
            }
            array += u'}';
            arrays << literal(array) + QStringLiteral("::text[]");
            columns << QStringLiteral("c%1").arg(c);
        }
        QStringList selected;
        for (int c = 0; c < m_casts.size(); ++c)
            selected << columns[c] + m_casts[c];
        return QStringLiteral("%1 select %2 from unnest(%3) as u(%4)")
            .arg(m_head, selected.join(u", "), arrays.join(u", "), columns.join(u", "));
    }
    // Otherwise the rows as values: the tuple with each mark replaced by its value.
    QString sql = m_head + QStringLiteral(" values ");
    for (int r = 0; r < m_rows.size(); ++r) {
        if (r > 0) sql += u',';
        int next = 0;
        for (const QChar c : m_tuple)
            sql +=
                c == u'?' ? literal(Query::storedValue(m_rows[r].first.value(next++))) : QString(c);
    }
    return sql;
}

bool BulkInsert::flush()
{
    QSqlQuery q(m_db);
    const bool savepoint = q.exec(QStringLiteral("savepoint tarvik_bulk"));
    const bool ok = q.exec(batchSql());
    const QSqlError failure = q.lastError();
    const auto rows = std::move(m_rows);
    m_rows.clear();
    if (ok) {
        if (savepoint) q.exec(QStringLiteral("release savepoint tarvik_bulk"));
        return true;
    }
    Dialect::noteFailure(failure);
    m_error = StoreFailure::text(failure);
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
        m_fallback->add(m_head + QStringLiteral(" values ") + m_tuple);
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

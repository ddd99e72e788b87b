#include "query.h"

#include "storefailure.h"

#include "dialect.h"
#include "localsql.h"

#include <QDate>
#include <QSqlError>

#include "datetext.h"

Query::Query(QSqlDatabase db) : m_server(Dialect::isServer(db)), m_query(db) {}

void Query::clear()
{
    close();
    m_sql.clear();
    m_params.clear();
}

Query &Query::add(const QString &line)
{
    if (!m_sql.isEmpty()) m_sql += u'\n';
    m_sql += line;
    return *this;
}

void Query::setParam(int position, const QVariant &value)
{
    if (m_params.size() <= position) m_params.resize(position + 1);
    m_params[position] = value;
}

void Query::setParams(std::initializer_list<QVariant> values)
{
    int i = 0;
    for (const QVariant &v : values)
        setParam(i++, v);
}

QString Query::rightTrimmed(const QString &text)
{
    int end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

QVariant Query::storedValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().isValid() ? QVariant(DateText::format(value.toDate()))
                                        : Query::null();
    if (value.typeId() == QMetaType::QString) {
        const QString text = Query::rightTrimmed(value.toString());
        return text.isEmpty() ? Query::null() : QVariant(text);
    }
    return value;
}

bool Query::run()
{
    m_error.clear();
    // Loops run the same text many times: translate it once.
    const QString source = sql();
    if (source != m_translatedSource) {
        m_translated = LocalSql::translate(source);
        m_translatedSource = source;
    }
    const QStringList &statements = m_translated;
    int paramIndex = 0;
    for (const QString &statement : statements) {
        // A server prepares only queries, not statements that change the structure: a statement
        // without parameters runs as it is there.
        if (m_server && !statement.contains(u'?')) {
            m_query.finish();
            m_query.setForwardOnly(true);
            m_preparedSql.clear();
            if (!m_query.exec(statement)) return failed();
            m_rowsAffected = m_query.numRowsAffected();
            continue;
        }
        // The same text again reuses the prepared statement (reference loads insert many rows).
        if (statement != m_preparedSql) {
            m_query.finish();
            m_query.setForwardOnly(true);
            if (!m_query.prepare(statement)) {
                m_preparedSql.clear();
                return failed();
            }
            m_preparedSql = statement;
        }
        const int count = int(statement.count(u'?'));
        for (int i = 0; i < count; ++i) {
            const QVariant v = paramIndex < m_params.size() ? m_params[paramIndex] : null();
            m_query.bindValue(i, storedValue(v));
            ++paramIndex;
        }
        if (!m_query.exec()) return failed();
        m_rowsAffected = m_query.numRowsAffected();
    }
    return true;
}

bool Query::failed()
{
    m_error = StoreFailure::text(m_query.lastError());
    Dialect::noteFailure(m_query.lastError());
    return false;
}

bool Query::open()
{
    return run();
}

bool Query::exec()
{
    const bool ok = run();
    if (ok) m_query.finish();
    return ok;
}

bool Query::next()
{
    return m_query.next();
}

QVariant Query::value(const QString &field) const
{
    const QVariant v = m_query.value(field);
    if (v.typeId() == QMetaType::QString) return rightTrimmed(v.toString());
    return v;
}

QVariant Query::value(int index) const
{
    const QVariant v = m_query.value(index);
    if (v.typeId() == QMetaType::QString) return rightTrimmed(v.toString());
    return v;
}

QString Query::text(const QString &field) const
{
    return value(field).toString();
}

int Query::integer(const QString &field) const
{
    return value(field).toInt();
}

void Query::close()
{
    m_query.finish();
}

#include "rowreader.h"

#include "localsql.h"
#include "query.h"
#include "sqlitenative.h"

#include <QSqlRecord>

struct RowReader::Native : NativeStatement {
};

RowReader::RowReader(QSqlDatabase db, const QStringList &sqlLines, const QList<QVariant> &params)
{
    const QStringList statements = LocalSql::translate(sqlLines.join(u'\n'));
    sqlite3 *handle = sqliteHandle(db);
    if (!handle || statements.size() != 1) {
        m_fallback = std::make_unique<Query>(db);
        for (const QString &line : sqlLines)
            m_fallback->add(line);
        for (int i = 0; i < params.size(); ++i)
            m_fallback->setParam(i, params[i]);
        if (!m_fallback->open()) m_error = m_fallback->lastError();
        return;
    }
    m_native = std::make_unique<Native>();
    if (!m_native->prepare(handle, statements.first(), &m_error)) {
        m_native.reset();
        return;
    }
    m_native->bind(params);
}

RowReader::~RowReader() = default;

bool RowReader::next()
{
    if (m_fallback) return m_error.isEmpty() && m_fallback->next();
    if (!m_native) return false;
    const int rc = sqlite3_step(m_native->statement);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) m_error = m_native->error();
    return false;
}

int RowReader::columnCount() const
{
    if (m_fallback) return m_fallback->record().count();
    return m_native ? sqlite3_column_count(m_native->statement) : 0;
}

QString RowReader::columnName(int column) const
{
    if (m_fallback) return m_fallback->record().fieldName(column);
    return m_native ? QString::fromUtf16(static_cast<const char16_t *>(
                          sqlite3_column_name16(m_native->statement, column)))
                    : QString();
}

QString RowReader::text(int column, bool *asWritten) const
{
    if (m_fallback) {
        if (asWritten) *asWritten = false;
        return m_fallback->value(column).toString();
    }
    // The store keeps UTF-8: read as it is, without the engine's own conversion.
    sqlite3_stmt *st = m_native->statement;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    if (!bytes) return {};
    qsizetype size = sqlite3_column_bytes(st, column);
    if (asWritten && (size == 0 || bytes[size - 1] == ' ')) *asWritten = false;
    while (size > 0 && bytes[size - 1] == ' ')
        --size;
    return QString::fromUtf8(bytes, size);
}

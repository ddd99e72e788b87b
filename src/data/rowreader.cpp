#include "rowreader.h"

#include "localsql.h"
#include "query.h"
#include "sqlitehandle.h"

#include <QSqlRecord>

struct RowReader::Native {
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    QStringList texts; // the bound texts live until the statement is done
    ~Native()
    {
        if (statement) sqlite3_finalize(statement);
    }
};

namespace
{
QString errorOf(sqlite3 *db)
{
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(db)));
}
} // namespace

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
    m_native->db = handle;
    const QString &sql = statements.first();
    if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(QChar)),
                             &m_native->statement, nullptr) != SQLITE_OK) {
        m_error = errorOf(handle);
        m_native.reset();
        return;
    }
    sqlite3_stmt *st = m_native->statement;
    for (int i = 0; i < params.size() && i < sqlite3_bind_parameter_count(st); ++i) {
        const QVariant stored = Query::storedValue(params[i]);
        if (stored.isNull()) continue;
        switch (stored.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
            sqlite3_bind_int64(st, i + 1, stored.toLongLong());
            break;
        default:
            m_native->texts << stored.toString();
            sqlite3_bind_text16(st, i + 1, m_native->texts.last().utf16(),
                                int(m_native->texts.last().size() * sizeof(QChar)),
                                SQLITE_STATIC);
        }
    }
}

RowReader::~RowReader() = default;

bool RowReader::next()
{
    if (m_fallback) return m_error.isEmpty() && m_fallback->next();
    if (!m_native) return false;
    const int rc = sqlite3_step(m_native->statement);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) m_error = errorOf(m_native->db);
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

QString RowReader::text(int column) const
{
    if (m_fallback) return m_fallback->value(column).toString();
    // The store keeps UTF-8: read as it is, without the engine's own conversion.
    sqlite3_stmt *st = m_native->statement;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    if (!bytes) return {};
    qsizetype size = sqlite3_column_bytes(st, column);
    while (size > 0 && bytes[size - 1] == ' ')
        --size;
    return QString::fromUtf8(bytes, size);
}

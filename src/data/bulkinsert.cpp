#include "bulkinsert.h"

#include "localsql.h"
#include "query.h"
#include "sqlitehandle.h"

struct BulkInsert::Native {
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    ~Native()
    {
        if (statement) sqlite3_finalize(statement);
    }
};

namespace
{
QString errorText(sqlite3 *db)
{
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(db)));
}
} // namespace

BulkInsert::BulkInsert(QSqlDatabase db, const QStringList &sqlLines)
{
    const QStringList statements = LocalSql::translate(sqlLines.join(u'\n'));
    sqlite3 *handle = sqliteHandle(db);
    if (handle && statements.size() == 1) {
        m_native = std::make_unique<Native>();
        m_native->db = handle;
        const QString &sql = statements.first();
        if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(QChar)),
                                 &m_native->statement, nullptr) != SQLITE_OK) {
            m_error = errorText(handle);
            m_native.reset();
        }
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
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    const int count = sqlite3_bind_parameter_count(st);
    // Texts are converted into this list so that they live until the step; the store keeps
    // UTF-8, so they are handed over in it.
    QList<QByteArray> texts;
    texts.reserve(count);
    for (int i = 0; i < count && i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            const QString text = Query::rightTrimmed(values[i].toString());
            if (text.isEmpty()) continue; // cleared bindings are NULL
            texts << text.toUtf8();
            sqlite3_bind_text(st, i + 1, texts.last().constData(), int(texts.last().size()),
                              SQLITE_STATIC);
            continue;
        }
        const QVariant stored = Query::storedValue(values[i]);
        if (stored.isNull()) continue; // cleared bindings are NULL
        switch (stored.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
            sqlite3_bind_int64(st, i + 1, stored.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(st, i + 1, stored.toDouble());
            break;
        default:
            texts << stored.toString().toUtf8();
            sqlite3_bind_text(st, i + 1, texts.last().constData(), int(texts.last().size()),
                              SQLITE_STATIC);
        }
    }
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) {
        m_error = errorText(m_native->db);
        sqlite3_reset(st);
        return false;
    }
    return true;
}

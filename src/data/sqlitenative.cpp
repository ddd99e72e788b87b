#include "sqlitenative.h"

#include "query.h"

#include <QSqlDriver>

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (db.driverName() != u"QSQLITE" || !db.driver()) return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

NativeStatement::~NativeStatement()
{
    if (statement) sqlite3_finalize(statement);
}

bool NativeStatement::prepare(sqlite3 *handle, const QString &sql, QString *error)
{
    db = handle;
    if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(QChar)), &statement,
                             nullptr) == SQLITE_OK)
        return true;
    *error = this->error();
    return false;
}

QString NativeStatement::error() const
{
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(db)));
}

void NativeStatement::bind(const QList<QVariant> &values)
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const int count = sqlite3_bind_parameter_count(statement);
    // The store keeps UTF-8: texts are handed over in it.
    m_texts.clear();
    m_texts.reserve(count);
    auto text = [&](int i, const QString &value) {
        m_texts << value.toUtf8();
        sqlite3_bind_text(statement, i + 1, m_texts.last().constData(), int(m_texts.last().size()),
                          SQLITE_STATIC);
    };
    for (int i = 0; i < count && i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            const QString value = Query::rightTrimmed(values[i].toString());
            if (!value.isEmpty()) text(i, value); // cleared bindings are NULL
            continue;
        }
        const QVariant stored = Query::storedValue(values[i]);
        if (stored.isNull()) continue;
        switch (stored.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
            sqlite3_bind_int64(statement, i + 1, stored.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(statement, i + 1, stored.toDouble());
            break;
        default:
            text(i, stored.toString());
        }
    }
}

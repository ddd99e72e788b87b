#include "sqlitenative.h"

#include "query.h"

#include <QSqlDriver>
#include <QStringEncoder>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

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

UncheckedCopy::UncheckedCopy(const QSqlDatabase &db, bool skip)
    : m_handle(skip ? sqliteHandle(db) : nullptr)
{
    if (m_handle && sqlite3_exec(m_handle, "pragma ignore_check_constraints = on", nullptr, nullptr,
                                 nullptr) != SQLITE_OK) {
        sqlite3_exec(m_handle, "pragma ignore_check_constraints = off", nullptr, nullptr, nullptr);
        m_handle = nullptr;
    }
}

UncheckedCopy::~UncheckedCopy()
{
    if (m_handle)
        sqlite3_exec(m_handle, "pragma ignore_check_constraints = off", nullptr, nullptr, nullptr);
}

QString NativeStatement::error() const
{
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(db)));
}

void NativeStatement::bind(const QList<QVariant> &values)
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const int count = std::min(sqlite3_bind_parameter_count(statement), int(values.size()));
    // The store keeps UTF-8. The texts are first gathered (right-trimmed, empty ones left
    // NULL), then encoded into one buffer sized for the worst case, so that the pointers handed
    // to the engine stay where they are.
    struct Text {
        int parameter;
        QString value;
        qsizetype at = 0, size = 0;
    };
    QVarLengthArray<Text, 16> texts;
    qsizetype room = 0;
    for (int i = 0; i < count; ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            QString value = Query::rightTrimmed(values[i].toString());
            if (value.isEmpty()) continue; // cleared bindings are NULL
            room += value.size() * 3 + 1;
            texts.append({i + 1, std::move(value)});
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
            texts.append({i + 1, stored.toString()});
            room += texts.last().value.size() * 3 + 1;
        }
    }
    if (m_texts.size() < room) m_texts.resize(room);
    QStringEncoder utf8(QStringEncoder::Utf8);
    char *const begin = m_texts.data();
    char *end = begin;
    for (Text &t : texts) {
        t.at = end - begin;
        end = utf8.appendToBuffer(end, t.value);
        t.size = end - begin - t.at;
        *end++ = '\0';
    }
    // A text handed over with its terminator is one the engine need not copy to end it (as a
    // length check does); one with a NUL of its own inside goes by its length.
    for (const Text &t : texts) {
        const char *text = begin + t.at;
        sqlite3_bind_text(statement, t.parameter, text,
                          std::memchr(text, 0, size_t(t.size)) ? int(t.size) : -1, SQLITE_STATIC);
    }
}

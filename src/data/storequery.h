#pragma once

#include "datamodule.h"
#include "query.h"

#include <QStringList>
#include <QVariantMap>

#include <optional>

// The small patterns every store repeats: run a select and read its rows, ask whether any row
// exists, read one field, run a statement, insert a row given as field → value.
namespace StoreQuery
{

inline void fill(Query &q, const QStringList &lines, const QList<QVariant> &params)
{
    for (const QString &line : lines)
        q.add(line);
    for (int i = 0; i < params.size(); ++i)
        q.setParam(i, params[i]);
}

// Hands every row to the reader; false (and the store's reason) when the query fails.
template <typename Reader>
bool select(DataModule &data, const QStringList &lines, const QList<QVariant> &params, Reader read,
            QString *error = nullptr)
{
    Query q = data.query();
    fill(q, lines, params);
    if (!q.open()) {
        if (error) *error = q.lastError();
        return false;
    }
    while (q.next())
        read(q);
    q.close();
    return true;
}

// Whether the select finds any row; empty when it fails.
inline std::optional<bool> any(DataModule &data, const QStringList &lines,
                               const QList<QVariant> &params, QString *error = nullptr)
{
    bool found = false;
    if (!select(
            data, lines, params, [&](Query &) { found = true; }, error))
        return std::nullopt;
    return found;
}

// One field of the first row the select finds (empty when none); empty optional when it fails.
inline std::optional<QString> firstText(DataModule &data, const QStringList &lines,
                                        const QList<QVariant> &params, const QString &field)
{
    std::optional<QString> first;
    if (!select(data, lines, params, [&](Query &q) {
            if (!first) first = q.text(field);
        }))
        return std::nullopt;
    return first.value_or(QString());
}

// The rows of a select; empty optional when it fails.
inline std::optional<QList<QSqlRecord>> records(DataModule &data, const QStringList &lines,
                                                const QList<QVariant> &params = {})
{
    QList<QSqlRecord> rows;
    if (!select(data, lines, params, [&](Query &q) { rows << q.record(); })) return std::nullopt;
    return rows;
}

// A row by its field names in upper case, text without trailing blanks; of two fields of the
// same name (a join) the first keeps the name.
inline QVariantMap toMap(const QSqlRecord &record)
{
    QVariantMap map;
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i).toUpper();
        if (map.contains(name)) continue;
        QVariant v = record.value(i);
        if (v.typeId() == QMetaType::QString) v = Query::rightTrimmed(v.toString());
        map.insert(name, v);
    }
    return map;
}

// The rows of a select as field → value maps; empty optional when it fails.
inline std::optional<QList<QVariantMap>> maps(DataModule &data, const QStringList &lines,
                                              const QList<QVariant> &params = {})
{
    QList<QVariantMap> rows;
    if (!select(data, lines, params, [&](Query &q) { rows << toMap(q.record()); }))
        return std::nullopt;
    return rows;
}

inline bool execute(DataModule &data, const QStringList &lines, const QList<QVariant> &params,
                    QString *error = nullptr)
{
    Query q = data.query();
    fill(q, lines, params);
    if (q.exec()) return true;
    if (error) *error = q.lastError();
    return false;
}

inline bool insert(DataModule &data, const QString &table, const QVariantMap &fields,
                   QString *error = nullptr)
{
    QStringList names, marks;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        names << it.key();
        marks << QStringLiteral(":p") + QString::number(marks.size());
    }
    return execute(data,
                   {QStringLiteral("insert into %1 (%2)").arg(table, names.join(u", ")),
                    QStringLiteral("values (%1)").arg(marks.join(u", "))},
                   fields.values(), error);
}

} // namespace StoreQuery

#pragma once

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

// The engine's own handle of a SQLite connection, for the few paths that talk to it directly;
// null for any other store.
inline sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (db.driverName() != u"QSQLITE" || !db.driver()) return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

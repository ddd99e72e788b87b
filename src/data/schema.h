#pragma once

#include "dialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Every table and field of the database, in one place.
namespace Schema
{

enum class Kind {
    Text,    // character field of at most `width` characters
    Int16,   // 16-bit signed integer
    Integer, // whole number
    AutoInc, // key assigned by the store
    Date,    // date text "yyyy.mm.dd"
    Key,     // bytes kept by the program beside a text, e.g. a sort key
};

struct Field {
    QString name;
    Kind kind;
    int width = 0;
};

struct Index {
    QString name;
    QString columns;
    bool unique = false;
    // Only the rows this condition holds for are in the index.
    QString where = {};
    // Made on a server only: a local database of an older version may hold rows against it.
    bool serverOnly = false;
};

struct Table {
    QString name;
    std::vector<Field> fields;
    std::vector<Index> indexes;
    QString primaryKey = {};
    std::vector<QString> triggers = {};
    QStringList serverTriggers = {};
};

const std::vector<Table> &tables();
const Table *table(const QString &name);
// The tables that have a copy in the backup folder.
const QStringList &backupTables();

// Column definition with its width and date rules, e.g. "CEG_NEV VARCHAR(50) CHECK(...)".
QString columnDefinition(const QString &name, Kind kind, int width, Dialect::Store store);
QString createTableSql(const Table &table, Dialect::Store store);
QStringList createIndexSql(const Table &table, Dialect::Store store);
QStringList createTriggerSql(const Table &table, Dialect::Store store);
// Creates the indexes of the schema that an existing database of an earlier version lacks.
bool addMissingIndexes(QSqlDatabase db, QString *error = nullptr);

// Creates the listed tables (all when empty) with their indexes; false and an error text on
// failure.
bool create(QSqlDatabase db, const QStringList &names, QString *error);

// Whether the user table still has the password column of eight characters that older
// installations made; empty when the catalogue cannot be read.
std::optional<bool> passwordsNarrow(QSqlDatabase db);
// Rebuilds the user table with the wide password column, keeping every row; runs inside the
// caller's transaction.
bool widenPasswords(QSqlDatabase db, QString *error);
// Every password still kept as typed becomes its digest (the column widened first when it is of
// the older width), and the old text is overwritten in the file, not only unlinked. Runs inside
// the caller's transaction.
bool digestPlainPasswords(QSqlDatabase db, QString *error);

} // namespace Schema

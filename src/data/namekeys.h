#pragma once

#include <QSqlDatabase>
#include <QString>

// The persons' name keys (column NEV_KULCS of taj): the byte order of the Hungarian alphabet,
// served by an index, so that the register lists and searches names in that order a page at a
// time. Rows written by another program come without a key, and a name changed anywhere loses
// its key; the program makes the missing keys before it lists or searches.
namespace NameKeys
{

// Gives a database of an earlier version of this program the key column, its index and the
// trigger; runs inside the caller's transaction. Nothing to do when they are there.
bool ensure(QSqlDatabase db, QString *error = nullptr);
// Makes every missing key, in one transaction of its own unless the caller has one open.
bool refresh(QSqlDatabase db, QString *error = nullptr);

} // namespace NameKeys

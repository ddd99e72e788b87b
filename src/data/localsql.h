#pragma once

#include <QString>
#include <QStringList>

// Turns the SQL forms the program writes (the dialect of its original desktop engine) into
// SQLite statements:
//   substring(x FROM a FOR b)      -> substr(x, a, b)
//   "text" string literals         -> 'text'
//   + next to a string literal     -> ||
//   update T t1 set ...            -> update T as t1 set ...
//   alter table T add A CHAR(n), add B CHAR(m)   -> one alter table per column, with its width rule
//   alter table T drop NAME        -> alter table T drop column NAME
//   :name parameters               -> ? (bound by position)
// One input statement may become several (the alter table form).
namespace LocalSql
{

QStringList translate(const QString &sql);

} // namespace LocalSql

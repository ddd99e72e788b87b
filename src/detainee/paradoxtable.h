#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads a Paradox table (.db) with pxlib: the named fields of every record as text, alpha fields
// decoded from the table's code page. A file that is not a table, or is cut short, is an error
// with its reason, never a crash.
namespace ParadoxTable
{

struct Result {
    bool ok = false;
    QString error;
    QList<QStringList> records; // the values in the order of the fields asked for
};

// Field names match without regard to case; a missing field is an error.
Result read(const QString &path, const QStringList &fields);

// The decoder name of a table's DOS code page; Windows-1250 when the table names none.
QByteArray codecName(int codePage);

} // namespace ParadoxTable

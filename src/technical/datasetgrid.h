#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class DataModule;

// The rows of the technical window's table grid: each data set's count and last change.
namespace DataSetGrid
{

struct Row {
    QString radio; // rbtn_a ... rbtn_osszes; the labels are named after it
    QString caption;
    QStringList countSql; // empty: no count
    QList<QVariant> params;
    QString settingsName;
};

struct Values {
    QString status, count, date;
};

const QList<Row> &rows();
// An empty count when the query fails.
Values read(DataModule &data, const Row &row);

} // namespace DataSetGrid

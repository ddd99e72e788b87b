#include "recordmodel.h"

#include "query.h"

RecordModel::RecordModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void RecordModel::setRows(QList<QSqlRecord> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const QSqlRecord *RecordModel::row(int index) const
{
    return index >= 0 && index < m_rows.size() ? &m_rows[index] : nullptr;
}

QString RecordModel::text(int row, const QString &field) const
{
    const QSqlRecord *r = this->row(row);
    return r ? Query::rightTrimmed(r->value(field).toString()) : QString();
}

int RecordModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return text(index.row(), m_columns[index.column()].field);
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section < m_columns.size() ? QVariant(m_columns[section].header) : QVariant();
}

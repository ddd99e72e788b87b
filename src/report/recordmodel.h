#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSqlRecord>
#include <QStringList>

// Read-only rows of a query for a grid: the columns name their fields and headers. Holding the
// records keeps a list of tens of thousands of persons quick to fill and to scroll.
class RecordModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString field, header;
    };
    RecordModel(QList<Column> columns, QObject *parent = nullptr);

    void setRows(QList<QSqlRecord> rows);
    const QList<QSqlRecord> &rows() const { return m_rows; }
    const QSqlRecord *row(int index) const;
    // The field of a row, right-trimmed; empty for a row out of range.
    QString text(int row, const QString &field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<Column> m_columns;
    QList<QSqlRecord> m_rows;
};

#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

// Read-only rows of a query for a grid, fetched a page at a time as the grid shows them: a list
// of a hundred thousand persons opens at once and scrolls anywhere. The row count comes from a
// count query, the rows from the select with LIMIT and OFFSET, in the select's own order.
class PagedQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString field, header;
    };
    explicit PagedQueryModel(QList<Column> columns, QObject *parent = nullptr);

    // select: the whole query with its ORDER BY; count: "select count(*) ..." over the same rows.
    // False when either fails; the model is then empty.
    bool setQuery(QSqlDatabase db, const QString &select, const QString &count,
                  const QList<QVariant> &params = {});
    // The same query again, as after a change of the rows.
    bool refresh();
    void clear();

    // The row's record, fetched with its page when needed; empty for a row out of range.
    QSqlRecord record(int row) const;
    QString text(int row, const QString &field) const;
    // Which column shows the field in bold.
    void setBoldField(const QString &field);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static constexpr int PageSize = 200;

private:
    const QList<QSqlRecord> *page(int index) const;
    // The model's parameters, then the extra ones, bound to the prepared query, and run.
    bool bindAndRun(QSqlQuery &q, const QList<QVariant> &more = {}) const;

    QList<Column> m_columns;
    QSqlDatabase m_db;
    QString m_select, m_count, m_bold;
    QList<QVariant> m_params;
    int m_rows = 0;
    mutable QHash<int, QList<QSqlRecord>> m_pages;
};

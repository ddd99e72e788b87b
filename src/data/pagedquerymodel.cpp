#include "pagedquerymodel.h"

#include "query.h"

#include <QFont>
#include <QSqlQuery>

namespace
{
// Pages kept before the cache starts over: enough for a few screens back and forth.
constexpr int KeptPages = 64;
} // namespace

PagedQueryModel::PagedQueryModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

bool PagedQueryModel::setQuery(QSqlDatabase db, const QString &select, const QString &count,
                               const QList<QVariant> &params)
{
    m_db = db;
    m_select = select;
    m_count = count;
    m_params = params;
    return refresh();
}

bool PagedQueryModel::bindAndRun(QSqlQuery &q, const QList<QVariant> &more) const
{
    for (const QVariant &p : m_params)
        q.addBindValue(Query::storedValue(p));
    for (const QVariant &p : more)
        q.addBindValue(p);
    return q.exec();
}

bool PagedQueryModel::refresh()
{
    beginResetModel();
    m_pages.clear();
    m_rows = 0;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    const bool ok = !m_count.isEmpty() && q.prepare(m_count) && bindAndRun(q) && q.next();
    if (ok) m_rows = q.value(0).toInt();
    endResetModel();
    return ok;
}

void PagedQueryModel::clear()
{
    beginResetModel();
    m_select.clear();
    m_count.clear();
    m_pages.clear();
    m_rows = 0;
    endResetModel();
}

const QList<QSqlRecord> *PagedQueryModel::page(int index) const
{
    if (const auto it = m_pages.constFind(index); it != m_pages.cend()) return &*it;
    if (m_pages.size() >= KeptPages) m_pages.clear();
    QList<QSqlRecord> rows;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (q.prepare(m_select + QStringLiteral(" limit ? offset ?")) &&
        bindAndRun(q, {PageSize, index * PageSize})) {
        rows.reserve(PageSize);
        while (q.next())
            rows << q.record();
    }
    return &*m_pages.insert(index, rows);
}

QSqlRecord PagedQueryModel::record(int row) const
{
    if (row < 0 || row >= m_rows) return {};
    const QList<QSqlRecord> *rows = page(row / PageSize);
    const int at = row % PageSize;
    return at < rows->size() ? rows->at(at) : QSqlRecord();
}

QString PagedQueryModel::text(int row, const QString &field) const
{
    return Query::rightTrimmed(record(row).value(field).toString());
}

void PagedQueryModel::setBoldField(const QString &field)
{
    m_bold = field;
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1), {Qt::FontRole});
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int PagedQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int PagedQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant PagedQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size()) return {};
    const QString &field = m_columns[index.column()].field;
    if (role == Qt::DisplayRole) return text(index.row(), field);
    if (role == Qt::FontRole && !m_bold.isEmpty() && field == m_bold) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant PagedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole) return m_columns[section].header;
        if (role == Qt::FontRole && m_columns[section].field == m_bold) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
    }
    return {};
}

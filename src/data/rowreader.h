#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// A select read row by row with each value as text (right-trimmed, a missing value empty): the
// form the report lines are read in. On SQLite it reads from the engine directly, ten thousand
// lines of forty values being more work for the generic path than for the store.
class RowReader
{
public:
    RowReader(QSqlDatabase db, const QStringList &sqlLines, const QList<QVariant> &params);
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // False at the end and on failure; lastError() tells the two apart.
    bool next();
    int columnCount() const;
    QString columnName(int column) const;
    // `asWritten`, when given, is cleared for a value no write of this program leaves: an empty
    // text or one with trailing blanks (on a server nothing tells, so it is always cleared).
    QString text(int column, bool *asWritten = nullptr) const;
    QString lastError() const { return m_error; }

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    std::unique_ptr<class Query> m_fallback;
    QString m_error;
};

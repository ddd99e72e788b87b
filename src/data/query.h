#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <optional>

// The query object every window uses: the SQL text is added line by line, parameters are set
// by their position in the text, then the query is opened (select) or executed (anything else)
// and closed before the next use.
//
// Text values are written without trailing blanks and an empty text as NULL; text read back
// has no trailing blanks.
class Query
{
public:
    explicit Query(QSqlDatabase db);

    void clear();
    Query &add(const QString &line);
    // Position counts from 0 in order of appearance in the text.
    void setParam(int position, const QVariant &value);
    void setParams(std::initializer_list<QVariant> values);
    // A typed null (as a date or text parameter set to nothing).
    static QVariant null() { return QVariant(QMetaType::fromType<QString>()); }

    bool open();
    bool exec();
    bool next();
    bool isActive() const { return m_query.isActive(); }
    QVariant value(const QString &field) const;
    // By position in the result, for loops over many rows.
    QVariant value(int index) const;
    QString text(const QString &field) const;
    int integer(const QString &field) const;
    QSqlRecord record() const { return m_query.record(); }
    // Rows the last statement changed (kept past the close that follows an exec).
    int rowsAffected() const { return m_rowsAffected; }
    void close();

    QString sql() const { return m_sql; }
    QString lastError() const { return m_error; }

    static QString rightTrimmed(const QString &text);
    // A value as the store keeps it: text right-trimmed, empty text as NULL, dates as date text.
    static QVariant storedValue(const QVariant &value);

private:
    bool run();
    bool failed();

    bool m_server; // the store prepares only queries, not structure changes
    QSqlQuery m_query;
    QString m_sql; // the lines joined, kept as they are added: loops run the same text often
    QList<QVariant> m_params;
    QString m_error;
    int m_rowsAffected = -1;
    QString m_preparedSql;
    QString m_translatedSource;
    QStringList m_translated;
};

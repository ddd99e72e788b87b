#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

// Another SQLite file attached to a connection under a name for as long as this lives, so that
// one transaction can span both files.
class AttachedDatabase
{
public:
    AttachedDatabase(QSqlDatabase db, const QString &file, const QString &name, QString *error)
        : m_db(db), m_name(name)
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("attach database ? as ") + name);
        q.addBindValue(file);
        m_ok = q.exec();
        if (!m_ok) *error = q.lastError().text();
    }
    ~AttachedDatabase()
    {
        if (m_ok) QSqlQuery(m_db).exec(QStringLiteral("detach database ") + m_name);
    }
    AttachedDatabase(const AttachedDatabase &) = delete;
    AttachedDatabase &operator=(const AttachedDatabase &) = delete;
    bool ok() const { return m_ok; }

private:
    QSqlDatabase m_db;
    QString m_name;
    bool m_ok = false;
};

#pragma once

#include "dialect.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <optional>

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

// The backup's tables reachable from the register's connection as "ment.<table>" for as long as
// this lives, so that one transaction spans the register and its backup: the backup file
// attached here, the schema of that name beside the register on a server.
class BackupTables
{
public:
    BackupTables(QSqlDatabase db, const QString &backupFile, QString *error)
    {
        if (!Dialect::isServer(db))
            m_attached.emplace(db, backupFile, Dialect::BackupSchema, error);
    }
    bool ok() const { return !m_attached || m_attached->ok(); }
    static QString table(const QString &name) { return Dialect::BackupSchema + u'.' + name; }

private:
    std::optional<AttachedDatabase> m_attached;
};

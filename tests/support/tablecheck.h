#pragma once

#include "reportfile.h"
#include "testinstallation.h"

#include <QDebug>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Checks on the tables and the report files a test leaves behind.
namespace TableCheck
{

// A value as text; a truth as 1 or 0, as SQLite gives it.
inline QString text(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return v.toString();
}

inline bool exec(TestInstallation &t, const QString &sql)
{
    QSqlQuery q(t.data().db());
    if (q.exec(sql)) return true;
    qWarning() << sql << q.lastError().text();
    return false;
}

// Makes the store refuse a row of the table from now on, as a failing disk or a lost server
// would: "insert" or "update", when the condition on new./old. holds (always when empty).
inline bool failOn(TestInstallation &t, const QString &table, const QString &event,
                   const QString &condition = {})
{
    const QString message = QStringLiteral("kényszerített hiba");
    if (t.onServer())
        return exec(t, QStringLiteral("create or replace function fail_%1() returns trigger "
                                      "language plpgsql as $$ begin if %2 then raise exception "
                                      "'%3'; end if; return new; end $$")
                           .arg(table, condition.isEmpty() ? QStringLiteral("true") : condition,
                                message)) &&
               exec(t, QStringLiteral("create trigger fail_%1 before %2 on %1 for each row "
                                      "execute function fail_%1()")
                           .arg(table, event));
    return exec(t, QStringLiteral("create trigger fail_%1 before %2 on %1 %3 begin select "
                                  "raise(abort, '%4'); end")
                       .arg(table, event,
                            condition.isEmpty() ? QString() : QStringLiteral("when ") + condition,
                            message));
}

// Every row of the tables (in sorted order), to compare before and after a run that must change
// nothing.
inline QString snapshot(TestInstallation &t,
                        const QStringList &tables = {"jel_temp", "jel_tete", "jel_fej", "taj",
                                                     "taj_jogcim", "foglalk"})
{
    QStringList parts;
    for (const QString &table : tables) {
        QSqlQuery q(t.data().db());
        q.exec(QString("select * from %1").arg(table));
        while (q.next()) {
            QStringList row;
            // The name keys are the program's own, made again whenever missing.
            for (int i = 0; i < q.record().count(); ++i)
                if (q.record().fieldName(i).compare("NEV_KULCS", Qt::CaseInsensitive) != 0)
                    row << q.value(i).toString();
            parts << table + ':' + row.join(u'|');
        }
    }
    parts.sort();
    return parts.join(u'\n');
}

// The rows a select returns, one text per row, the values joined by "|".
inline QStringList rows(TestInstallation &t, const QString &sql)
{
    QSqlQuery q(t.data().db());
    q.exec(sql);
    QStringList out;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << text(q.value(i));
        out << values.join(u'|');
    }
    return out;
}

// The lines of a report file, decoded with the key when one is given; a line without CR LF
// turns the whole answer into a complaint.
inline QStringList fileLines(const QString &path, int key = -1)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = f.readAll();
    QStringList out;
    for (QByteArray line : all.split('\n')) {
        if (line.isEmpty()) continue;
        if (!line.endsWith('\r')) return {QStringLiteral("line without CR LF")};
        line.chop(1);
        out << ReportFile::decodeText(key >= 0 ? ReportFile::decode(line, key) : line);
    }
    return out;
}

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace TableCheck

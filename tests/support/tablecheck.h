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

inline bool exec(TestInstallation &t, const QString &sql)
{
    QSqlQuery q(t.data().db());
    if (q.exec(sql)) return true;
    qWarning() << sql << q.lastError().text();
    return false;
}

// Every row of the tables, to compare before and after a run that must change nothing.
inline QString snapshot(TestInstallation &t,
                        const QStringList &tables = {"jel_temp", "jel_tete", "jel_fej", "taj",
                                                     "taj_jogcim", "foglalk"})
{
    QStringList parts;
    for (const QString &table : tables) {
        QSqlQuery q(t.data().db());
        q.exec(QString("select * from %1 order by rowid").arg(table));
        while (q.next()) {
            QStringList row;
            // The name keys are the program's own, made again whenever missing.
            for (int i = 0; i < q.record().count(); ++i)
                if (q.record().fieldName(i).compare("NEV_KULCS", Qt::CaseInsensitive) != 0)
                    row << q.value(i).toString();
            parts << table + ':' + row.join(u'|');
        }
    }
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
            values << q.value(i).toString();
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

#include "referenceloader.h"
#include "storefailure.h"

#include "bulkinsert.h"
#include "codepage.h"
#include "datamodule.h"
#include "datetext.h"
#include "dialect.h"
#include "registrydatabase.h"
#include "schema.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QSqlError>

ReferenceLoader::Result ReferenceLoader::load(const ReferenceFile &ref, const QString &path,
                                              const Progress &progress)
{
    Result r;
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        r.error =
            QStringLiteral("A fájl nem nyitható meg : %1\n\r%2").arg(shownPath, in.errorString());
        return r;
    }
    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) {
        r.error = QStringLiteral("Az adatbázis nem írható : %1")
                      .arg(StoreFailure::text(m_data.db().lastError()));
        return r;
    }
    // A table filled anew is indexed after its rows: one build instead of ninety thousand
    // updates, and the emptying has no index to keep. The transaction covers the indexes too.
    const Schema::Table *table = Schema::table(ref.table);
    if (table) {
        Query drop = m_data.query();
        for (const Schema::Index &i : table->indexes) {
            drop.clear();
            drop.add(QStringLiteral("drop index if exists ") + i.name);
            if (!drop.exec()) {
                r.error = QStringLiteral("Az adatbázis nem írható : %1").arg(drop.lastError());
                return r;
            }
        }
    }
    Query empty = m_data.query();
    empty.add(ref.deleteSql);
    if (!empty.exec())
        r.emptyFailed = true; // the load goes on and appends, as the window tells the user

    BulkInsert insert(m_data.db(), ref.insertSql);
    auto fail = [&](int line, const QString &reason) {
        r.failedLine = line;
        r.error = QStringLiteral("Hiba a(z) %1 fájl %2. sorában :\n\r%3")
                      .arg(shownPath)
                      .arg(line)
                      .arg(reason);
        return r;
    };

    // Reference files are small: decode once, then walk the lines.
    const QString content = CodePage::fromWin1250(in.readAll());
    in.close();
    const qint64 size = content.size();
    qsizetype start = 0;
    int lineNo = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0) end = content.size();
        if (end > start && content[end - 1] == u'\r') --end;
        const QStringView line = QStringView(content).mid(start, end - start);
        start = next;
        ++lineNo;
        const QStringList fields = ReferenceFiles::splitLine(line, ref.separator);
        if (fields.size() < ref.fieldsNeeded)
            return fail(lineNo, fields.isEmpty()
                                    ? QStringLiteral("Üres sor.")
                                    : QStringLiteral("Kevés mező van a sorban (%1, kell %2).")
                                          .arg(fields.size())
                                          .arg(ref.fieldsNeeded));
        QString reason;
        const QList<QVariant> values = ref.parameters(fields, &reason);
        if (!reason.isEmpty()) return fail(lineNo, reason);
        if (!insert.insert(values, lineNo))
            return fail(int(insert.failedTag()), insert.lastError());
        r.lines = lineNo;
        if (progress) progress(lineNo, start, size);
    }
    if (!insert.finish()) return fail(int(insert.failedTag()), insert.lastError());
    if (table) {
        Query create = m_data.query();
        for (const QString &sql : Schema::createIndexSql(*table, Dialect::of(m_data.db()))) {
            create.clear();
            create.add(sql);
            if (!create.exec()) {
                r.error = QStringLiteral("Az adatbázis nem írható : %1").arg(create.lastError());
                r.lines = 0;
                return r;
            }
        }
    }
    if (!transaction.commit()) {
        r.error = QStringLiteral("Az adatbázis nem írható : %1")
                      .arg(StoreFailure::text(m_data.db().lastError()));
        r.lines = 0;
        return r;
    }
    Settings::write(ref.settingsName, DateText::today());
    r.ok = true;
    return r;
}

ReferenceLoader::Result
ReferenceLoader::loadBundled(const std::function<void(const QString &file, int lines)> &report)
{
    Result r;
    r.ok = true;
    for (const ReferenceFile &ref : ReferenceFiles::all()) {
        r = load(ref, QStringLiteral(":/refdata/") + ref.fileName);
        if (!r.ok) return r;
        if (report) report(ref.fileName, r.lines);
    }
    return r;
}

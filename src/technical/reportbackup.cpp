#include "reportbackup.h"

#include "nativepath.h"
#include "storefailure.h"

#include "attacheddatabase.h"
#include "datamodule.h"
#include "datetext.h"
#include "dialect.h"
#include "namekeys.h"
#include "registrydatabase.h"
#include "schema.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <filesystem>

namespace
{
// The order the tables are copied in.
const QStringList Tables = {"foglalk", "taj_jogcim", "taj", "jel_fej", "jel_tete"};
const QString NewBackupConnection = QStringLiteral("TARVIK_MENT_UJ");

QString lastBackupDate()
{
    return Settings::read(QStringLiteral("Mentes")).trimmed();
}

// The columns of a table that a backup carries: the persons' name keys are the program's own and
// are made again after a restore, so a backup of an earlier version without them is whole.
QStringList columns(QSqlDatabase db, const QString &table)
{
    QStringList names;
    const QSqlRecord record = db.record(table);
    for (int i = 0; i < record.count(); ++i)
        if (record.fieldName(i).compare(QStringLiteral("NEV_KULCS"), Qt::CaseInsensitive) != 0)
            names << record.fieldName(i).toUpper();
    return names;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql)) return true;
    *error = StoreFailure::text(q.lastError());
    return false;
}

// The live database with another file attached under a name for as long as it lives.
} // namespace

QString ReportBackup::backupRefusal() const
{
    if (QFileInfo(m_folder).isDir()) return {};
    return QStringLiteral(
        "A mentést nem lehet elvégezni !\n\rA ..\\adatok\\ment könyvtár nem létezik");
}

QString ReportBackup::backupQuestion1()
{
    return QStringLiteral("Valóban menti az adatbázist ?!");
}

QString ReportBackup::backupQuestion2(const QString &lastBackup)
{
    return lastBackup.trimmed().isEmpty() ? QString()
                                          : QStringLiteral("Az eddigi mentett adat felülíródik !");
}

bool ReportBackup::copyOnServer(QString *error)
{
    // The backup schema is beside the register on the same server: the copy, made again in the
    // register's structure, replaces the old one in one transaction, so that the backup is
    // always the whole old or the whole new one.
    QSqlDatabase live = m_data.db();
    Transaction transaction(live);
    if (!transaction.isOpen()) {
        *error = StoreFailure::text(live.lastError());
        return false;
    }
    QSqlQuery q(live);
    for (const QString &table : Tables) {
        const QString names = columns(live, table).join(u", ");
        const QString saved = BackupTables::table(table);
        if (!run(q, QStringLiteral("drop table if exists %1").arg(saved), error) ||
            !run(q,
                 QStringLiteral("create table %1 (like public.%2 including all)").arg(saved, table),
                 error) ||
            !run(q,
                 QStringLiteral("insert into %1 (%2) select %2 from public.%3")
                     .arg(saved, names, table),
                 error))
            return false;
    }
    if (!transaction.commit()) {
        *error = StoreFailure::text(live.lastError());
        return false;
    }
    return true;
}

bool ReportBackup::copyInto(const QString &file, QString *error)
{
    QSqlDatabase live = m_data.db();
    // The structure first: each table and its indexes as the live database defines them.
    {
        QSqlQuery structure(live);
        if (!structure.exec(QStringLiteral(
                "select sql from sqlite_master where type in ('table', 'index') and sql is not "
                "null and lower(tbl_name) in ('foglalk', 'taj_jogcim', 'taj', 'jel_fej', "
                "'jel_tete') order by type desc, rowid"))) {
            *error = StoreFailure::text(structure.lastError());
            return false;
        }
        QStringList statements;
        while (structure.next())
            statements << structure.value(0).toString();
        bool built = false;
        {
            QSqlDatabase target =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NewBackupConnection);
            target.setDatabaseName(file);
            if (target.open()) {
                QSqlQuery q(target);
                built = true;
                for (const QString &sql : statements)
                    if (built && !run(q, sql, error)) built = false;
                target.close();
            } else {
                *error = StoreFailure::text(target.lastError());
            }
        }
        QSqlDatabase::removeDatabase(NewBackupConnection);
        if (!built) return false;
    }
    // Then the rows, read in one transaction so that the copy is of one moment.
    AttachedDatabase target(live, file, QStringLiteral("uj"), error);
    if (!target.ok()) return false;
    Transaction transaction(live);
    if (!transaction.isOpen()) {
        *error = StoreFailure::text(live.lastError());
        return false;
    }
    QSqlQuery q(live);
    for (const QString &table : Tables)
        if (!run(q, QStringLiteral("insert into uj.%1 select * from main.%1").arg(table), error))
            return false;
    if (!transaction.commit()) {
        *error = StoreFailure::text(live.lastError());
        return false;
    }
    return true;
}

ReportBackup::Result ReportBackup::backup()
{
    Result r;
    auto fail = [&](const QString &error) {
        r.message = QStringLiteral("A mentés nem lett elvégezve .");
        r.error = error;
        return r;
    };
    if (const QString refusal = backupRefusal(); !refusal.isEmpty()) {
        r.message = refusal;
        return r;
    }
    QString error;
    if (m_data.onServer()) {
        if (!copyOnServer(&error)) return fail(error);
        Settings::write(QStringLiteral("Mentes"), DateText::today());
        r.ok = true;
        r.message = QStringLiteral("A mentés kész !");
        return r;
    }
    const QString file = QDir(m_folder).filePath(DataModule::BackupFile);
    const QString fresh = file + QStringLiteral(".uj");
    QFile::remove(fresh);
    if (QFileInfo::exists(fresh)) return fail(QStringLiteral("nem törölhető: ") + fresh);
    if (!copyInto(fresh, &error)) {
        QFile::remove(fresh);
        return fail(error);
    }
    // The new copy is complete: it takes the place of the old one in one rename, which the file
    // system makes atomic, so that at every instant the backup is the whole old or the whole
    // new one.
    m_data.closeBackup();
    std::error_code renamed;
    std::filesystem::rename(NativePath::of(fresh), NativePath::of(file), renamed);
    const bool placed = !renamed;
    QFile::remove(fresh);
    m_data.connectBackup(m_folder, {});
    if (!placed) return fail(QStringLiteral("a mentés nem kaphatja meg a nevét: ") + file);
    Settings::write(QStringLiteral("Mentes"), DateText::today());
    r.ok = true;
    r.message = QStringLiteral("A mentés kész !");
    return r;
}

ReportBackup::Result ReportBackup::restoreRefusal()
{
    Result r;
    auto refuse = [&](const QString &message) {
        r.message = message;
        return r;
    };
    if (!QFileInfo(m_folder).isDir())
        return refuse(QStringLiteral("A visszatöltést nem lehet elvégezni !\n\rA "
                                     "..\\adatok\\ment könyvtár nem létezik"));
    const QString cannot = QStringLiteral("\n\rA visszatöltés nem végezhető el.");
    QSqlQuery pending(m_data.db());
    if (!pending.exec(QStringLiteral("select * from jel_temp")))
        return refuse(StoreFailure::text(pending.lastError()));
    if (pending.next()) return refuse(QStringLiteral("Van előkészített jelentés !") + cannot);
    pending.finish();

    QString error;
    if (!m_data.connectBackup(m_folder, {}, &error)) return refuse(error);
    QSqlDatabase saved = m_data.backupDb();
    const QStringList present = Dialect::tableNames(saved);
    for (const QString &table : Tables) {
        if (!present.contains(table, Qt::CaseInsensitive))
            return refuse(QStringLiteral("A mentésből hiányzik a(z) %1 tábla !").arg(table) +
                          cannot);
        const QStringList have = columns(saved, table);
        for (const QString &column : columns(m_data.db(), table))
            if (!have.contains(column))
                return refuse(QStringLiteral("A mentésből hiányzik a(z) %1 tábla %2 mezője !")
                                  .arg(table, column) +
                              cannot);
    }
    QSqlQuery employers(saved);
    if (!employers.exec(QStringLiteral("select * from foglalk")))
        return refuse(StoreFailure::text(employers.lastError()));
    if (!employers.next()) return refuse(QStringLiteral("Nincs még mentett állomány !") + cannot);
    r.ok = true;
    return r;
}

QString ReportBackup::restoreQuestion1(const QString &lastBackup)
{
    return lastBackup.trimmed().isEmpty()
               ? QStringLiteral("Valóban visszatölti a ..\\mentes adatokat ?!")
               : QStringLiteral("Visszatölti a ") + lastBackup.trimmed() +
                     QStringLiteral("-i állapotot ?!");
}

QString ReportBackup::restoreQuestion2()
{
    return QStringLiteral("Az összes jelenlegi adat felülíródik !");
}

ReportBackup::Result ReportBackup::restore()
{
    Result r = restoreRefusal();
    if (!r.ok) return r;
    r.ok = false;
    auto fail = [&](const QString &error) {
        r.message = error;
        r.error.clear();
        return r;
    };
    QSqlDatabase live = m_data.db();
    QString error;
    const QString register_ = m_data.onServer() ? QStringLiteral("public") : QStringLiteral("main");
    const BackupTables saved(live, QDir(m_folder).filePath(DataModule::BackupFile), &error);
    if (!saved.ok()) return fail(error);
    {
        Transaction transaction(live);
        if (!transaction.isOpen()) return fail(StoreFailure::text(live.lastError()));
        QSqlQuery q(live);
        for (const QString &table : Tables) {
            const QString names = columns(live, table).join(u", ");
            if (!run(q, QStringLiteral("delete from %1.%2").arg(register_, table), &error) ||
                !run(q,
                     QStringLiteral("insert into %1.%2 (%3) select %3 from %4")
                         .arg(register_, table, names, BackupTables::table(table)),
                     &error))
                return fail(error);
        }
        if (!Dialect::followKeys(live, QStringLiteral("foglalk"), QStringLiteral("ID"), &error))
            return fail(error);
        if (!transaction.commit()) return fail(StoreFailure::text(live.lastError()));
    }
    NameKeys::refresh(live);
    const QString last = lastBackupDate();
    const QString date = last.isEmpty() ? DateText::today() : last;
    for (const char *name : {"Fogl", "Szem_adat", "Szem_jogcim"})
        Settings::write(QLatin1String(name), date);
    r.ok = true;
    r.message = QStringLiteral("A visszatöltés kész !");
    return r;
}

#include "legacymigration.h"

#include "attacheddatabase.h"
#include "bulkinsert.h"
#include "datamodule.h"
#include "dialect.h"
#include "installation.h"
#include "namekeys.h"
#include "paradoxtable.h"
#include "passworddigest.h"
#include "schema.h"
#include "storequery.h"
#include "transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <memory>

namespace
{
// The tables of the alias, references first; the five backup tables follow from Ment.
const char *const Tables[] = {"jogcim", "mep",        "orszag",   "irsz",     "koz_ter",
                              "feor",   "nyugdij",    "jarasok",  "jelszo",   "foglalk",
                              "taj",    "taj_jogcim", "jel_temp", "jel_tete", "jel_fej"};
const char *const References[] = {"jogcim",  "mep",  "orszag",  "irsz",
                                  "koz_ter", "feor", "nyugdij", "jarasok"};

// The fields without which a table's rows mean nothing: what other tables refer to them by.
const QStringList &keyFields(const QString &table)
{
    static const QHash<QString, QStringList> keys = {
        {QStringLiteral("foglalk"), {QStringLiteral("ID")}},
        {QStringLiteral("taj"), {QStringLiteral("TAJ")}},
        {QStringLiteral("taj_jogcim"),
         {QStringLiteral("TAJ"), QStringLiteral("FOGLALK_ID"), QStringLiteral("JOGCIM"),
          QStringLiteral("JEL_TIP")}},
        {QStringLiteral("jel_temp"),
         {QStringLiteral("JEL_SZAM"), QStringLiteral("TAJ"), QStringLiteral("FOGLALK_ID"),
          QStringLiteral("JEL_TIP")}},
        {QStringLiteral("jel_tete"),
         {QStringLiteral("JEL_SZAM"), QStringLiteral("TAJ"), QStringLiteral("FOGLALK_ID"),
          QStringLiteral("JEL_TIP")}},
        {QStringLiteral("jel_fej"),
         {QStringLiteral("JEL_SZAM"), QStringLiteral("JEL_TIP"), QStringLiteral("FOGLALK_ID")}},
        {QStringLiteral("jelszo"), {QStringLiteral("USER_NAME")}},
        {QStringLiteral("jogcim"), {QStringLiteral("JOGCIMKOD")}},
        {QStringLiteral("mep"), {QStringLiteral("MEGYEKOD")}},
        {QStringLiteral("orszag"), {QStringLiteral("ISO_SZAM")}},
        {QStringLiteral("irsz"), {QStringLiteral("IRSZ")}},
        {QStringLiteral("koz_ter"), {QStringLiteral("KOD")}},
        {QStringLiteral("feor"), {QStringLiteral("FEOR_SZAM")}},
        {QStringLiteral("nyugdij"), {QStringLiteral("PKOD")}},
        {QStringLiteral("jarasok"), {QStringLiteral("JARAS_KOD")}}};
    static const QStringList none;
    const auto found = keys.find(table);
    return found == keys.end() ? none : *found;
}

// The file of a table in a folder, its name in any case; empty when there is none. Two files
// of one table (TAJ.DB beside taj.db) leave no way to tell which is the table: refused.
QString tableFile(const QString &folder, const QString &table, QString *error)
{
    const QStringList found = QDir(folder).entryList({table + QStringLiteral(".db")}, QDir::Files);
    if (found.size() > 1) {
        *error = QStringLiteral("A(z) %1 táblának több fájlja van a(z) %2 mappában (%3): nem "
                                "dönthető el, melyik az igazi. Hagyjon meg egyet, és indítsa "
                                "újra az átvételt.")
                     .arg(table, QDir::toNativeSeparators(folder), found.join(u", "));
        return {};
    }
    return found.isEmpty() ? QString() : QDir(folder).filePath(found.first());
}

bool isReference(const QString &table)
{
    for (const char *r : References)
        if (table == QLatin1String(r)) return true;
    return false;
}

struct Moved {
    int read = 0, written = 0;
    QStringList skipped; // fields the current structure does not know
};
} // namespace

LegacyMigration::Result LegacyMigration::run(const QString &oldFolder)
{
    Result r;
    auto refuse = [&](const QString &why) {
        r.ok = false;
        r.error = why;
        return r;
    };
    if (!QFileInfo(oldFolder).isDir())
        return refuse(QStringLiteral("A régi adatok mappája nem található: %1")
                          .arg(QDir::toNativeSeparators(oldFolder)));
    // Only a new installation takes an older one over: nothing of its own is ever mixed in.
    for (const char *table : {"foglalk", "taj", "jel_temp", "jel_tete", "jel_fej"}) {
        const auto any = StoreQuery::any(m_data, {QStringLiteral("select 1 from ") + table}, {});
        if (!any) return refuse(QStringLiteral("A cél adatbázis nem olvasható."));
        if (*any)
            return refuse(QStringLiteral("A cél telepítésben már vannak bejelentők, személyek "
                                         "vagy jelentések: régi adatot csak új telepítés vehet "
                                         "át (--init)."));
    }

    QString error;
    m_data.closeBackup();
    const BackupTables backup(
        m_data.db(), QDir(m_installation.backupFolder()).filePath(DataModule::BackupFile), &error);
    if (!backup.ok()) return refuse(QStringLiteral("A mentés adatbázisa nem nyitható: ") + error);
    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) return refuse(QStringLiteral("A tranzakció nem indítható."));

    bool olderStructure = false;
    auto move = [&](const QString &file, const QString &table, const QString &target,
                    Moved *moved) -> bool {
        const Schema::Table *schema = Schema::table(table);
        // A reference or user table replaces the installation's own, once it brings a row: an
        // empty one leaves the installation's own.
        bool replaced = !(isReference(table) || table == u"jelszo");
        QList<int> at; // the old field of each column taken over
        QList<const Schema::Field *> columns;
        std::unique_ptr<BulkInsert> insert;
        QString refusal;
        QList<QVariant> row;
        int number = 0;
        // The records are taken one at a time: a table of hundreds of thousands of lines never
        // stands in memory whole.
        const QString failure = ParadoxTable::forEachRecord(
            file, ParadoxTable::Encryption::Allowed,
            {[&](const QStringList &fields, const QStringList &unreadable) {
                 for (const QString &key : keyFields(table))
                     if (!fields.contains(key, Qt::CaseInsensitive) && refusal.isEmpty())
                         refusal = QStringLiteral("%1: hiányzik a tábla %2 mezője, a sorai nem "
                                                  "vehetők át.")
                                       .arg(QFileInfo(file).fileName(), key);
                 for (int i = 0; i < fields.size(); ++i) {
                     const Schema::Field *field = nullptr;
                     // The register makes its own keys (the name order) anew.
                     for (const Schema::Field &f : schema->fields)
                         if (f.name.compare(fields[i], Qt::CaseInsensitive) == 0 &&
                             f.kind != Schema::Kind::Key)
                             field = &f;
                     if (!field) {
                         moved->skipped << fields[i];
                         continue;
                     }
                     if (unreadable.contains(fields[i]) && refusal.isEmpty())
                         refusal = QStringLiteral("%1: a(z) %2 mező nem olvasható.")
                                       .arg(QFileInfo(file).fileName(), fields[i]);
                     at << i;
                     columns << field;
                 }
                 if (table == u"foglalk" &&
                     !fields.contains(QStringLiteral("JARAS_KOD"), Qt::CaseInsensitive))
                     olderStructure = true;
                 QStringList names, marks;
                 for (const Schema::Field *f : columns) {
                     names << f->name;
                     marks << QStringLiteral("?");
                 }
                 insert = std::make_unique<BulkInsert>(
                     m_data.db(),
                     QStringList{
                         QStringLiteral("insert into %1 (%2)").arg(target, names.join(u", ")),
                         QStringLiteral("values (%1)").arg(marks.join(u", "))});
             },
             [&](QStringList &&record) {
                 ++number;
                 ++moved->read;
                 if (!refusal.isEmpty()) return false;
                 if (!replaced) {
                     replaced = true;
                     if (!StoreQuery::execute(m_data, {QStringLiteral("delete from ") + target}, {},
                                              &refusal))
                         return false;
                 }
                 row.clear();
                 for (int c = 0; c < columns.size(); ++c) {
                     const Schema::Field &f = *columns[c];
                     QString value = record[at[c]];
                     while (value.endsWith(u' '))
                         value.chop(1);
                     // A value is never cut: the whole step is refused instead.
                     if (f.kind == Schema::Kind::Text && value.size() > f.width) {
                         refusal = QStringLiteral("A(z) %1 tábla %2. rekordjának %3 mezője "
                                                  "hosszabb %4 karakternél: \"%5\"")
                                       .arg(table)
                                       .arg(number)
                                       .arg(f.name)
                                       .arg(f.width)
                                       .arg(value);
                         return false;
                     }
                     if (table == u"jelszo" && f.name == u"PASS" && !value.isEmpty() &&
                         !PasswordDigest::isDigest(value))
                         value = PasswordDigest::make(value);
                     row << value;
                 }
                 if (!insert->insert(row, number)) {
                     refusal = QStringLiteral("A(z) %1 tábla %2. rekordja nem vehető át: %3")
                                   .arg(table)
                                   .arg(insert->failedTag())
                                   .arg(insert->lastError());
                     return false;
                 }
                 ++moved->written;
                 return true;
             }});
        if (refusal.isEmpty() && failure.isEmpty() && insert && !insert->finish())
            refusal = QStringLiteral("A(z) %1 tábla %2. rekordja nem vehető át: %3")
                          .arg(table)
                          .arg(insert->failedTag())
                          .arg(insert->lastError());
        if (!refusal.isEmpty()) {
            error = refusal;
            return false;
        }
        if (!failure.isEmpty()) {
            error = QStringLiteral("%1: %2").arg(QFileInfo(file).fileName(), failure);
            return false;
        }
        return true;
    };

    int found = 0;
    auto takeOver = [&](const QString &folder, const QString &table, const QString &target,
                        const QString &shown) -> bool {
        QString twice;
        const QString file = tableFile(folder, table, &twice);
        if (!twice.isEmpty()) {
            error = twice;
            return false;
        }
        if (file.isEmpty()) {
            r.lines << (isReference(table)
                            ? QStringLiteral("  %1: hiányzik, a telepítés saját táblája marad")
                            : QStringLiteral("  %1: hiányzik, üres marad"))
                           .arg(shown);
            return true;
        }
        ++found;
        Moved moved;
        if (!move(file, table, target, &moved)) return false;
        r.lines << QStringLiteral("  %1: %2 sor olvasva, %3 sor írva")
                       .arg(shown)
                       .arg(moved.read)
                       .arg(moved.written);
        if (moved.read == 0 && (isReference(table) || table == u"jelszo"))
            r.lines << QStringLiteral("    üres, a telepítés saját táblája marad");
        if (!moved.skipped.isEmpty())
            r.lines << QStringLiteral("    kihagyott mező: %1").arg(moved.skipped.join(u", "));
        return true;
    };

    for (const char *table : Tables)
        if (!takeOver(oldFolder, QLatin1String(table), QLatin1String(table), QLatin1String(table)))
            return refuse(error);
    const QString oldBackup = QDir(oldFolder).filePath(QStringLiteral("Ment"));
    for (const QString &table : Schema::backupTables())
        if (!takeOver(oldBackup, table, BackupTables::table(table),
                      QStringLiteral("Ment/") + table))
            return refuse(error);
    // A folder without a single table of the older program (an empty one, or a new
    // installation's own adatok) has nothing to take over.
    if (found == 0)
        return refuse(QStringLiteral("A(z) %1 mappában nincs a régi program egyetlen táblája "
                                     "sem: nincs mit átvenni.")
                          .arg(QDir::toNativeSeparators(oldFolder)));

    // An installation of the older structure is brought to the current one as the upgrade
    // brings it: the district 000 and the file names with it.
    if (olderStructure) {
        // The register's tables, then the backup's.
        for (const bool saved : {false, true}) {
            auto name = [&](const QString &table) {
                return saved ? BackupTables::table(table) : table;
            };
            if (!StoreQuery::execute(
                    m_data,
                    {QStringLiteral("update %1 set JARAS_KOD = '000' where JARAS_KOD is null")
                         .arg(name(QStringLiteral("foglalk")))},
                    {}, &error) ||
                !StoreQuery::execute(
                    m_data,
                    {QStringLiteral("update %1 set FAJL_NEV = substr(FAJL_NEV, 1, 17) || '_000' || "
                                    "substr(FAJL_NEV, 18) where length(FAJL_NEV) = 21")
                         .arg(name(QStringLiteral("jel_fej")))},
                    {}, &error))
                return refuse(error);
        }
        r.lines << QStringLiteral("  A régi szerkezet az új szerint átalakítva (járáskód 000).");
    }
    if (!NameKeys::refresh(m_data.db(), &error) ||
        !Dialect::followKeys(m_data.db(), QStringLiteral("foglalk"), QStringLiteral("ID"), &error))
        return refuse(error);
    if (!transaction.commit()) return refuse(QStringLiteral("Az átvétel nem véglegesíthető."));
    r.ok = true;
    r.lines << QStringLiteral("  Az átvétel kész.");
    return r;
}

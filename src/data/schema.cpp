#include "schema.h"
#include "storefailure.h"

#include "dialect.h"
#include "passworddigest.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Schema
{

namespace
{

using K = Kind;

// The program keeps each person's name key (the Hungarian order of the name) and fills it where
// it is missing; a name changed by any program, ours or another, loses its key so that it is made
// again. Plain SQL: any SQLite tool can still write the table.
const QString NameKeyTrigger = QStringLiteral(
    "create trigger if not exists taj_nev_kulcs after update of VEZ_NEV, UTO_NEV, UTO_NEV_2 on taj "
    "begin update taj set NEV_KULCS = null where TAJ = new.TAJ; end");
// The same on the server, where a trigger runs a function.
const QStringList ServerNameKeyTrigger = {
    QStringLiteral("create or replace function taj_nev_kulcs() returns trigger language plpgsql as "
                   "$$ begin if (new.VEZ_NEV, new.UTO_NEV, new.UTO_NEV_2) is distinct from "
                   "(old.VEZ_NEV, old.UTO_NEV, old.UTO_NEV_2) then new.NEV_KULCS := null; end if; "
                   "return new; end $$"),
    QStringLiteral("create trigger taj_nev_kulcs before update of VEZ_NEV, UTO_NEV, UTO_NEV_2 on "
                   "taj for each row execute function taj_nev_kulcs()")};

std::vector<Field> addressFields(const QString &prefix, const QString &streetType)
{
    return {{prefix + "IRSZ", K::Text, 4},  {prefix + "IRSZ_S", K::Text, 1},
            {prefix + "UTCA", K::Text, 50}, {streetType, K::Text, 3},
            {prefix + "HAZ", K::Text, 7},   {prefix + "EMELET", K::Text, 5},
            {prefix + "AJTO", K::Text, 5},  {prefix + "EPULET", K::Text, 5},
            {prefix + "LH", K::Text, 5}};
}

// Contact and founding fields, the same in the employer row and in its copy in a report header.
std::vector<Field> employerContactFields()
{
    return {{"TELEFON", K::Text, 12},   {"FAX", K::Text, 12},   {"EMAIL", K::Text, 30},
            {"BANKSZAM", K::Text, 24},  {"TBKIFH", K::Text, 1}, {"TAKISZ", K::Text, 1},
            {"UGYVEZETO", K::Text, 50}, {"CEG_INDUL", K::Date}};
}

std::vector<Field> concat(std::initializer_list<std::vector<Field>> parts)
{
    std::vector<Field> all;
    for (const auto &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<Field> personNameFields()
{
    return {{"SZUL_DAT", K::Text, 10},     {"SZUL_HELY", K::Text, 30},
            {"SZ_VEZ_NEV", K::Text, 50},   {"SZ_UTO_NEV_1", K::Text, 20},
            {"SZ_UTO_NEV_2", K::Text, 20}, {"A_VEZ_NEV", K::Text, 50},
            {"A_UTO_NEV_1", K::Text, 20},  {"A_UTO_NEV_2", K::Text, 20}};
}

std::vector<Field> reportLineFields()
{
    return concat({{{"JEL_SZAM", K::Integer},
                    {"JEL_TETE", K::Integer},
                    {"JAVITAS", K::Text, 1},
                    {"TAJ", K::Text, 9},
                    {"FOGLALK_ID", K::Integer},
                    {"NYILV_SZAM", K::Text, 11},
                    {"VEZ_NEV", K::Text, 50},
                    {"UTO_NEV", K::Text, 20},
                    {"UTO_NEV_2", K::Text, 20},
                    {"P_KOD", K::Text, 4},
                    {"O_KOD", K::Text, 4},
                    {"JOGCIM", K::Text, 4},
                    {"JEL_TIP", K::Text, 2},
                    {"KEZDET", K::Text, 10},
                    {"VEGE", K::Text, 10},
                    {"SZUN_KEZD", K::Text, 10},
                    {"SZUN_VEGE", K::Text, 10}},
                   personNameFields(),
                   {{"HORA", K::Text, 2},
                    {"FEOR", K::Text, 4},
                    {"ELL_KOD", K::Text, 4},
                    {"ELL_KEZD", K::Text, 10},
                    {"ELL_VEGE", K::Text, 10},
                    {"PAKEZD", K::Text, 1},
                    {"IMAGE", K::Text, 1}}});
}

std::vector<Table> buildTables()
{
    std::vector<Table> t;
    t.push_back({"foglalk",
                 concat({{{"ID", K::AutoInc},
                          {"CEG_AZON", K::Text, 15},
                          {"FSZLA", K::Text, 14},
                          {"CEG_NEV", K::Text, 50}},
                         addressFields("SZ_", "SZ_CIM_JELL"),
                         addressFields("T_", "T_CIM_JELL"),
                         employerContactFields(),
                         {{"CEG_VEGE", K::Date},
                          {"MEGYE", K::Text, 3},
                          {"ADO_SZAM", K::Text, 11},
                          {"NYILV_SZAM", K::Text, 11},
                          {"AZON_TIP", K::Text, 1},
                          {"JARAS_KOD", K::Text, 3}}}),
                 {{"idx_foglalk_nev", "CEG_NEV"},
                  {"idx_foglalk_ado", "ADO_SZAM"},
                  // One active employer of one name per tax number and district: clerks who
                  // take over the same new employer at once record it once.
                  {"idx_foglalk_azon", "ADO_SZAM, JARAS_KOD, CEG_NEV", true,
                   "CEG_VEGE is null and ADO_SZAM is not null", true}}});
    t.push_back({"taj",
                 concat({{{"TAJ", K::Text, 9},
                          {"VEZ_NEV", K::Text, 40},
                          {"UTO_NEV", K::Text, 15},
                          {"UTO_NEV_2", K::Text, 20},
                          {"P_KOD", K::Text, 4},
                          {"O_KOD", K::Text, 4}},
                         personNameFields(),
                         {{"NEV_KULCS", K::Key}}}),
                 {{"idx_vnev", "VEZ_NEV, UTO_NEV, UTO_NEV_2"},
                  {"idx_taj", "TAJ", true},
                  {"idx_nev_kulcs", "NEV_KULCS, TAJ"}},
                 "TAJ",
                 {NameKeyTrigger},
                 ServerNameKeyTrigger});
    t.push_back({"taj_jogcim",
                 {{"TAJ", K::Text, 9},
                  {"FOGLALK_ID", K::Integer},
                  {"NYILV_SZAM", K::Text, 11},
                  {"JOGCIM", K::Text, 4},
                  {"JEL_TIP", K::Text, 2},
                  {"KEZDET", K::Text, 10},
                  {"VEGE", K::Text, 10},
                  {"HORA", K::Text, 2},
                  {"FEOR", K::Text, 4},
                  {"ELL_KOD", K::Text, 4},
                  {"ELL_KEZD", K::Text, 10},
                  {"ELL_VEGE", K::Text, 10},
                  {"SZUN_KEZD", K::Text, 10},
                  {"SZUN_VEGE", K::Text, 10},
                  {"PAKEZ", K::Text, 1}},
                 {{"idx_taj_jogcim_taj", "TAJ, FOGLALK_ID, JOGCIM"}}});
    t.push_back({"jel_temp",
                 reportLineFields(),
                 {{"idx_jel_temp_fogl", "FOGLALK_ID, JEL_TIP"}, {"idx_jel_temp_taj", "TAJ"}}});
    t.push_back(
        {"jel_tete",
         reportLineFields(),
         {{"idx_jel_tete_fogl", "FOGLALK_ID, JEL_TIP, JEL_SZAM"}, {"idx_jel_tete_taj", "TAJ"}}});
    t.push_back(
        {"jel_fej",
         concat({{{"JEL_SZAM", K::Integer},
                  {"JEL_TIP", K::Text, 2},
                  {"JEL_TETE", K::Integer},
                  {"FAJL_NEV", K::Text, 25},
                  {"OEP_NEV", K::Text, 50},
                  {"KESZ_DAT", K::Date},
                  {"FOGLALK_ID", K::Integer},
                  {"NYILV_SZAM", K::Text, 11},
                  {"FSZLA", K::Text, 14},
                  {"CEG_NEV", K::Text, 50}},
                 addressFields("SZ_", "SZ_CIM_JEL"),
                 addressFields("T_", "T_CIM_JELL"),
                 employerContactFields(),
                 {{"CEG_AZON", K::Text, 15}, {"MEGYE", K::Text, 3}, {"ADO_SZAM", K::Text, 11}}}),
         {{"idx_jel_fej_fogl", "FOGLALK_ID, JEL_TIP, JEL_SZAM"},
          // Two clerks can never file one number: the start row only marks where the count of
          // the reports made elsewhere ended.
          {"idx_jel_fej_szam", "FOGLALK_ID, JEL_TIP, JEL_SZAM", true,
           "coalesce(FAJL_NEV, '') <> '*INDULÓ JELENTÉS*'", true}}});
    t.push_back({"jelszo",
                 {{"USER_ID", K::Int16},
                  {"USER_NAME", K::Text, 12},
                  {"VEZ_NEV", K::Text, 40},
                  {"UTO_NEV", K::Text, 15},
                  // A salted digest of the password, never the password itself.
                  {"PASS", K::Text, 128},
                  {"JOG", K::Int16}},
                 {{"idx_jelszo_nev", "USER_NAME"}}});
    t.push_back({"jogcim",
                 {{"JOGCIMKOD", K::Text, 4},
                  {"JOGCIM", K::Text, 85},
                  {"ADATL_TIP", K::Text, 2},
                  {"ELLATAS", K::Text, 1},
                  {"SZUNETEL", K::Text, 1},
                  {"MUNKAIDO", K::Text, 1},
                  {"ERV_KEZD", K::Date},
                  {"ERV_VEGE", K::Date}},
                 {{"idx_jogcim_kod", "JOGCIMKOD"}}});
    t.push_back({"mep",
                 {{"MEGYEKOD", K::Text, 3}, {"MEP_NEV", K::Text, 100}},
                 {{"idx_mep_kod", "MEGYEKOD"}}});
    t.push_back({"orszag",
                 {{"NEV", K::Text, 40}, {"ISO_SZAM", K::Text, 4}},
                 {{"idx_orszag_kod", "ISO_SZAM"}}});
    t.push_back({"irsz",
                 {{"IRSZ", K::Text, 4}, {"SULY", K::Text, 1}, {"TELEPULES", K::Text, 40}},
                 {{"idx_irsz", "IRSZ, SULY"}}});
    t.push_back({"koz_ter",
                 {{"KOD", K::Text, 3}, {"KOZTERNEV", K::Text, 20}},
                 {{"idx_koz_ter_kod", "KOD"}}});
    t.push_back({"feor",
                 {{"FEOR_SZAM", K::Text, 4}, {"FEOR_MEG", K::Text, 150}},
                 {{"idx_feor_szam", "FEOR_SZAM"}}});
    t.push_back({"nyugdij",
                 {{"PKOD", K::Text, 4}, {"PKODMEGN", K::Text, 150}},
                 {{"idx_nyugdij_kod", "PKOD"}}});
    t.push_back({"jarasok",
                 {{"ID", K::Integer},
                  {"ADO_SZAM", K::Text, 11},
                  {"MEGYE_KOD", K::Text, 3},
                  {"JARAS_KOD", K::Text, 3},
                  {"JARAS_NEV", K::Text, 50},
                  {"ERV_KEZD", K::Text, 10},
                  {"ERV_VEGE", K::Text, 10}},
                 {{"idx_jarasok_kod", "JARAS_KOD"}}});
    return t;
}

} // namespace

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables())
        if (name.compare(t.name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

const QStringList &backupTables()
{
    static const QStringList names = {QStringLiteral("foglalk"), QStringLiteral("taj_jogcim"),
                                      QStringLiteral("taj"), QStringLiteral("jel_fej"),
                                      QStringLiteral("jel_tete")};
    return names;
}

QString columnDefinition(const QString &name, Kind kind, int width, Dialect::Store store)
{
    const bool server = store == Dialect::Store::Server;
    switch (kind) {
    case Kind::Text:
        // SQLite keeps any length in a VARCHAR; a server refuses a longer value itself.
        if (server) return QStringLiteral("%1 VARCHAR(%2)").arg(name).arg(width);
        return QStringLiteral("%1 VARCHAR(%2) CHECK(length(%1) <= %2)").arg(name).arg(width);
    case Kind::Int16:
        return QStringLiteral("%1 INTEGER CHECK(%1 BETWEEN -32768 AND 32767)").arg(name);
    case Kind::Integer:
        return name + QStringLiteral(" INTEGER");
    case Kind::AutoInc:
        return name + (server
                           ? QStringLiteral(" INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                           : QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT"));
    case Kind::Key:
        return name + (server ? QStringLiteral(" BYTEA") : QStringLiteral(" BLOB"));
    case Kind::Date:
        // A real calendar day only: a day that does not exist (02.30) reads back as another one.
        if (server)
            return QStringLiteral("%1 VARCHAR(10) CHECK(%1 IS NULL OR (%1 ~ "
                                  "'^[0-9]{4}[.][0-9]{2}[.][0-9]{2}$' AND "
                                  "to_char(to_date(%1, 'YYYY.MM.DD'), 'YYYY.MM.DD') = %1))")
                .arg(name);
        return QStringLiteral("%1 VARCHAR(10) CHECK(%1 IS NULL OR (%1 GLOB "
                              "'[0-9][0-9][0-9][0-9].[0-9][0-9].[0-9][0-9]' AND "
                              "date(replace(%1, '.', '-'), '+0 days') IS replace(%1, '.', '-')))")
            .arg(name);
    }
    return name;
}

QString createTableSql(const Table &table, Dialect::Store store)
{
    QStringList columns;
    for (const Field &f : table.fields)
        columns << columnDefinition(f.name, f.kind, f.width, store);
    if (!table.primaryKey.isEmpty())
        columns << QStringLiteral("PRIMARY KEY (%1)").arg(table.primaryKey);
    return QStringLiteral("create table %1 (\n  %2\n)")
        .arg(table.name, columns.join(QStringLiteral(",\n  ")));
}

namespace
{
QString indexSql(const Table &table, const Index &i, bool ifNotExists)
{
    return QStringLiteral("create %1index %2%3 on %4 (%5)%6")
        .arg(i.unique ? QStringLiteral("unique ") : QString(),
             ifNotExists ? QStringLiteral("if not exists ") : QString(), i.name, table.name,
             i.columns, i.where.isEmpty() ? QString() : QStringLiteral(" where ") + i.where);
}
} // namespace

QStringList createIndexSql(const Table &table, Dialect::Store store)
{
    QStringList sql;
    for (const Index &i : table.indexes)
        if (!i.serverOnly || store == Dialect::Store::Server) sql << indexSql(table, i, false);
    return sql;
}

QStringList createTriggerSql(const Table &table, Dialect::Store store)
{
    if (store == Dialect::Store::Server) return table.serverTriggers;
    return QStringList(table.triggers.begin(), table.triggers.end());
}

bool create(QSqlDatabase db, const QStringList &names, QString *error)
{
    QSqlQuery q(db);
    const Dialect::Store store = Dialect::of(db);
    for (const Table &t : tables()) {
        if (!names.isEmpty() && !names.contains(t.name, Qt::CaseInsensitive)) continue;
        for (const QString &sql : QStringList{createTableSql(t, store)} + createIndexSql(t, store) +
                                      createTriggerSql(t, store)) {
            if (!q.exec(sql)) {
                if (error) *error = StoreFailure::text(q.lastError());
                return false;
            }
        }
    }
    return true;
}

std::optional<bool> passwordsNarrow(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (Dialect::isServer(db)) {
        if (!q.exec(QStringLiteral("select character_maximum_length from "
                                   "information_schema.columns where table_schema = "
                                   "current_schema() and table_name = 'jelszo' and column_name = "
                                   "'pass'")) ||
            !q.next())
            return std::nullopt;
        return q.value(0).toInt() < 128;
    }
    if (!q.exec(QStringLiteral("select sql from sqlite_master where type = 'table' and "
                               "lower(name) = 'jelszo'")))
        return std::nullopt;
    if (!q.next()) return std::nullopt;
    const QString sql = q.value(0).toString().simplified().toUpper();
    return !sql.contains(QStringLiteral("LENGTH(PASS) <= 128"));
}

bool widenPasswords(QSqlDatabase db, QString *error)
{
    const Table *users = table(QStringLiteral("jelszo"));
    Table wide = *users;
    wide.name = QStringLiteral("jelszo_uj");
    QStringList names;
    for (const Field &f : users->fields)
        names << f.name;
    const QStringList present = [&] {
        QStringList have;
        const QSqlRecord record = db.record(QStringLiteral("jelszo"));
        for (int i = 0; i < record.count(); ++i)
            have << record.fieldName(i).toUpper();
        return have;
    }();
    QStringList kept;
    for (const QString &n : names)
        if (present.contains(n)) kept << n;
    QStringList statements = {
        createTableSql(wide, Dialect::of(db)),
        QStringLiteral("insert into jelszo_uj (%1) select %1 from jelszo").arg(kept.join(u", ")),
        QStringLiteral("drop table jelszo"),
        QStringLiteral("alter table jelszo_uj rename to jelszo")};
    statements += createIndexSql(*users, Dialect::of(db));
    QSqlQuery q(db);
    for (const QString &sql : statements) {
        if (!q.exec(sql)) {
            if (error) *error = StoreFailure::text(q.lastError());
            return false;
        }
    }
    return true;
}

bool digestPlainPasswords(QSqlDatabase db, QString *error)
{
    auto failed = [&](const QSqlQuery &q) {
        if (error) *error = StoreFailure::text(q.lastError());
        return false;
    };
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select user_name, pass from jelszo"))) return failed(q);
    QList<QPair<QVariant, QString>> plain;
    while (q.next()) {
        const QString stored = q.value(1).toString();
        if (!stored.isEmpty() && !PasswordDigest::isDigest(stored))
            plain << qMakePair(q.value(0), stored);
    }
    q.finish();
    if (plain.isEmpty()) return true;
    // Freed space is zeroed, so that the old text does not stay in the file's free pages (the
    // widening drops the older table too).
    if (db.driverName() == u"QSQLITE" && !q.exec(QStringLiteral("pragma secure_delete = on")))
        return failed(q);
    const auto narrow = passwordsNarrow(db);
    if (!narrow || (*narrow && !widenPasswords(db, error))) return false;
    QSqlQuery update(db);
    if (!update.prepare(
            QStringLiteral("update jelszo set pass = ? where user_name = ? and pass = ?")))
        return failed(update);
    for (const auto &[name, password] : plain) {
        update.addBindValue(PasswordDigest::make(password));
        update.addBindValue(name);
        update.addBindValue(password);
        if (!update.exec()) return failed(update);
    }
    return true;
}

bool addMissingIndexes(QSqlDatabase db, QString *error)
{
    QSqlQuery q(db);
    const Dialect::Store store = Dialect::of(db);
    const QStringList present = Dialect::tableNames(db);
    for (const Table &t : tables()) {
        if (!present.contains(t.name.toLower())) continue;
        const QSqlRecord columns = db.record(t.name);
        for (const Index &i : t.indexes) {
            if (i.serverOnly && store != Dialect::Store::Server) continue;
            if (!columns.contains(i.columns.section(u',', 0, 0).trimmed())) continue;
            // A unique index that rows of an earlier version break (two records of one employer
            // made before it existed) is left out; the rest are made all the same.
            bool mayFail = i.unique && i.serverOnly;
            if (mayFail && !q.exec(QStringLiteral("savepoint tarvik_index"))) mayFail = false;
            if (mayFail) {
                if (!q.exec(indexSql(t, i, true)))
                    q.exec(QStringLiteral("rollback to savepoint tarvik_index"));
                q.exec(QStringLiteral("release savepoint tarvik_index"));
                continue;
            }
            if (!q.exec(indexSql(t, i, true))) {
                if (error) *error = StoreFailure::text(q.lastError());
                return false;
            }
        }
    }
    return true;
}

} // namespace Schema

#include "aliasconfig.h"
#include "bulkinsert.h"
#include "localsql.h"
#include "passworddigest.h"
#include "schema.h"
#include "testinstallation.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

class TestData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void schemaTablesAndFields();
    void schemaWidthsAsDocumented_data();
    void schemaWidthsAsDocumented();
    void everyTextFieldRefusesOverlongValue();
    void dateFieldsRefuseImpossibleDays();
    void keysAndIndexes();
    void textIsStoredRightTrimmedAndEmptyAsNull();
    void localSqlTranslations_data();
    void localSqlTranslations();
    void localSqlFormsRunOnTheStore();
    void parametersBindByPosition();
    void aliasConfiguration();
    void connectRefusesMissingAndForeignFiles();
    void calculatedFields();
    void lookupFields();
    void newInstallation();
};

void TestData::schemaTablesAndFields()
{
    TestInstallation t;
    QVERIFY2(t.ok(), qPrintable(t.error()));
    const QStringList expected = {"foglalk", "taj",     "taj_jogcim", "jel_temp", "jel_tete",
                                  "jel_fej", "jelszo",  "jogcim",     "mep",      "orszag",
                                  "irsz",    "koz_ter", "feor",       "nyugdij",  "jarasok"};
    for (const QString &table : expected) {
        QVERIFY2(t.data().hasTable(table), qPrintable(table));
        const QSqlRecord rec = t.data().db().record(table);
        const Schema::Table *def = Schema::table(table);
        QVERIFY(def);
        QCOMPARE(rec.count(), int(def->fields.size()));
    }
    // A sample of fields every later window relies on.
    for (auto [table, field] : QList<QPair<QString, QString>>{{"foglalk", "JARAS_KOD"},
                                                              {"foglalk", "SZ_CIM_JELL"},
                                                              {"jel_fej", "SZ_CIM_JEL"},
                                                              {"jel_fej", "FAJL_NEV"},
                                                              {"jel_tete", "SZUL_DAT"},
                                                              {"jel_temp", "IMAGE"},
                                                              {"taj_jogcim", "PAKEZ"},
                                                              {"taj", "A_UTO_NEV_2"}})
        QVERIFY2(*t.data().hasField(table, field), qPrintable(table + "." + field));
    QCOMPARE(t.data().hasField("jel_fej", "SZ_CIM_JELL"), std::optional<bool>(false));
    QCOMPARE(t.data().hasField("nincs", "X"), std::optional<bool>());

    // The backup folder holds the five copies with the same fields.
    QVERIFY(
        t.data().connectBackup(t.context().installation.backupFolder(), Schema::backupTables()));
    for (const QString &table : Schema::backupTables())
        QCOMPARE(t.data().backupDb().record(table).count(), t.data().db().record(table).count());
}

void TestData::schemaWidthsAsDocumented_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("width");
    const QList<std::tuple<const char *, const char *, int>> widths = {
        {"foglalk", "CEG_AZON", 15},
        {"foglalk", "FSZLA", 14},
        {"foglalk", "CEG_NEV", 50},
        {"foglalk", "SZ_IRSZ", 4},
        {"foglalk", "SZ_HAZ", 7},
        {"foglalk", "T_EMELET", 5},
        {"foglalk", "TELEFON", 12},
        {"foglalk", "EMAIL", 30},
        {"foglalk", "BANKSZAM", 24},
        {"foglalk", "ADO_SZAM", 11},
        {"foglalk", "NYILV_SZAM", 11},
        {"foglalk", "JARAS_KOD", 3},
        {"taj", "TAJ", 9},
        {"taj", "VEZ_NEV", 40},
        {"taj", "UTO_NEV", 15},
        {"taj", "UTO_NEV_2", 20},
        {"taj", "SZ_VEZ_NEV", 50},
        {"taj", "SZUL_HELY", 30},
        {"jel_temp", "VEZ_NEV", 50},
        {"jel_temp", "UTO_NEV", 20},
        {"jel_tete", "HORA", 2},
        {"jel_tete", "PAKEZD", 1},
        {"jel_fej", "FAJL_NEV", 25},
        {"jelszo", "USER_NAME", 12},
        {"jelszo", "VEZ_NEV", 40},
        {"jelszo", "PASS", 128}, // a digest, not the password of at most 8 characters
        {"jogcim", "JOGCIM", 85},
        {"mep", "MEP_NEV", 100},
        {"orszag", "NEV", 40},
        {"koz_ter", "KOZTERNEV", 20},
        {"nyugdij", "PKODMEGN", 150},
        {"jarasok", "JARAS_KOD", 3},
    };
    for (const auto &[table, field, width] : widths)
        QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(table, field)))
            << QString(table) << QString(field) << width;
}

void TestData::schemaWidthsAsDocumented()
{
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(int, width);
    const Schema::Table *def = Schema::table(table);
    QVERIFY(def);
    auto it = std::find_if(def->fields.begin(), def->fields.end(),
                           [&](const Schema::Field &f) { return field == f.name; });
    QVERIFY(it != def->fields.end());
    QCOMPARE(it->width, width);
}

void TestData::everyTextFieldRefusesOverlongValue()
{
    TestInstallation t;
    QVERIFY(t.ok());
    QSqlQuery q(t.data().db());
    for (const Schema::Table &table : Schema::tables()) {
        for (const Schema::Field &f : table.fields) {
            if (f.kind != Schema::Kind::Text) continue;
            // A keyed table gets its key too: the server never keeps a row without one.
            const bool keyed = !table.primaryKey.isEmpty() && table.primaryKey != f.name;
            const QString sql =
                keyed ? QStringLiteral("insert into %1 (%2, %3) values ('1', ?)")
                            .arg(table.name, table.primaryKey, f.name)
                      : QStringLiteral("insert into %1 (%2) values (?)").arg(table.name, f.name);
            q.prepare(sql);
            q.addBindValue(QString(f.width, u'9'));
            QVERIFY2(q.exec(), qPrintable(sql + " " + q.lastError().text()));
            q.prepare(sql);
            q.addBindValue(QString(f.width + 1, u'9'));
            QVERIFY2(!q.exec(), qPrintable(QStringLiteral("%1.%2 took %3 characters")
                                               .arg(table.name, f.name)
                                               .arg(f.width + 1)));
            QVERIFY(q.exec(QStringLiteral("delete from %1").arg(table.name)));
        }
    }
}

void TestData::dateFieldsRefuseImpossibleDays()
{
    TestInstallation t;
    QVERIFY(t.ok());
    Query q = t.data().query();
    q.add("insert into foglalk (CEG_NEV, CEG_INDUL) values (:n, :d)");
    q.setParams({"A", "2024.02.29"});
    QVERIFY2(q.exec(), qPrintable(q.lastError()));
    for (const char *bad : {"2023.02.29", "2024.13.01", "2024-01-01", "20240101"}) {
        q.setParams({"B", QString::fromLatin1(bad)});
        QVERIFY2(!q.exec(), bad);
    }
    q.setParams({"C", QDate(2005, 7, 1)});
    QVERIFY(q.exec());
    QCOMPARE(t.scalar("select CEG_INDUL from foglalk where CEG_NEV = 'C'").toString(),
             QStringLiteral("2005.07.01"));
}

void TestData::keysAndIndexes()
{
    TestInstallation t;
    QVERIFY(t.ok());
    QCOMPARE(t.scalar(t.onServer() ? "select count(*) from pg_indexes where schemaname = "
                                     "'public' and indexname in ('idx_vnev', 'idx_taj')"
                                   : "select count(*) from sqlite_master where type = 'index' "
                                     "and name in ('idx_vnev', 'idx_taj')")
                 .toInt(),
             2);
    // taj is keyed by TAJ.
    QSqlQuery q(t.data().db());
    QVERIFY(q.exec("insert into taj (TAJ, VEZ_NEV) values ('123456788', 'A')"));
    QVERIFY(!q.exec("insert into taj (TAJ, VEZ_NEV) values ('123456788', 'B')"));
    // Employers get their ID from the store.
    QVERIFY(q.exec("insert into foglalk (CEG_NEV) values ('X')"));
    QVERIFY(q.exec("insert into foglalk (CEG_NEV) values ('Y')"));
    QCOMPARE(t.scalar("select max(ID) - min(ID) from foglalk").toInt(), 1);
    // The person list by name uses its index (the server's planner takes it once the table is
    // too big to read whole).
    if (t.onServer()) {
        QVERIFY(q.exec("set enable_seqscan = off"));
        QVERIFY(q.exec("explain select * from taj order by VEZ_NEV, UTO_NEV, UTO_NEV_2"));
        QVERIFY(q.next());
        QVERIFY2(q.value(0).toString().contains("idx_vnev"), qPrintable(q.value(0).toString()));
        QVERIFY(q.exec("set enable_seqscan = on"));
    } else {
        QVERIFY(
            q.exec("explain query plan select * from taj order by VEZ_NEV, UTO_NEV, UTO_NEV_2"));
        QVERIFY(q.next());
        QVERIFY2(q.value(3).toString().contains("idx_vnev"), qPrintable(q.value(3).toString()));
    }
}

void TestData::textIsStoredRightTrimmedAndEmptyAsNull()
{
    TestInstallation t;
    QVERIFY(t.ok());
    Query q = t.data().query();
    q.add("insert into taj (TAJ, VEZ_NEV, UTO_NEV, UTO_NEV_2) values (:t, :v, :u, :u2)");
    q.setParams({"111111110", "Kiss   ", "", "   "});
    QVERIFY(q.exec());
    QCOMPARE(t.scalar("select VEZ_NEV from taj").toString(), QStringLiteral("Kiss"));
    QCOMPARE(
        t.scalar("select count(*) from taj where UTO_NEV is null and UTO_NEV_2 is null").toInt(),
        1);
    // Leading blanks are kept: only the trailing ones go.
    q.clear();
    q.add("update taj set VEZ_NEV = :v");
    q.setParam(0, "  Nagy ");
    QVERIFY(q.exec());
    QCOMPARE(t.scalar("select VEZ_NEV from taj").toString(), QStringLiteral("  Nagy"));
    // Reading drops trailing blanks that another program may have stored.
    QSqlQuery raw(t.data().db());
    QVERIFY(raw.exec("update taj set UTO_NEV = 'Anna  '"));
    q.clear();
    q.add("select * from taj");
    QVERIFY(q.open() && q.next());
    QCOMPARE(q.text("UTO_NEV"), QStringLiteral("Anna"));

    // The bulk path keeps the same rules, row after row of different lengths: accents, a long
    // text after a short one, and on SQLite a NUL inside a text (a server's text holds none).
    QVERIFY(raw.exec("delete from taj") && t.data().db().transaction());
    {
        BulkInsert bulk(t.data().db(), {"insert into taj (TAJ, VEZ_NEV, UTO_NEV, UTO_NEV_2)",
                                        "values (:t, :v, :u, :u2)"});
        const QString nul = t.onServer() ? QStringLiteral("AB")
                                         : QStringLiteral("A") + QChar(0) + QStringLiteral("B");
        QVERIFY(bulk.insert({"111111110", "Győző  ", "", "   "}));
        QVERIFY(bulk.insert({"222222220", nul, "Ő", QString(20, u'É')}));
        QVERIFY(bulk.insert({"333333330", QString(40, u'ű'), "y ", "z"}));
        QVERIFY(bulk.finish());
    }
    QVERIFY(t.data().db().commit());
    QCOMPARE(t.scalar("select VEZ_NEV || '|' || coalesce(UTO_NEV, '-') || '|' || "
                      "coalesce(UTO_NEV_2, '-') from taj where TAJ = '111111110'")
                 .toString(),
             QStringLiteral("Győző|-|-"));
    if (!t.onServer())
        QCOMPARE(t.scalar("select hex(VEZ_NEV) from taj where TAJ = '222222220'").toString(),
                 QStringLiteral("410042"));
    QCOMPARE(
        t.scalar("select UTO_NEV || '|' || UTO_NEV_2 from taj where TAJ = '222222220'").toString(),
        QStringLiteral("Ő|") + QString(20, u'É'));
    QCOMPARE(
        t.scalar("select VEZ_NEV || '|' || UTO_NEV from taj where TAJ = '333333330'").toString(),
        QString(40, u'ű') + QStringLiteral("|y"));
}

void TestData::localSqlTranslations_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("substring")
        << "select * from jel_fej where substring(fajl_nev FROM 19 FOR 3) = :jk"
        << QStringList{"select * from jel_fej where substr(fajl_nev , 19 , 3) = ?"};
    QTest::newRow("double quotes") << "select * from jogcim where ellatas = \"I\""
                                   << QStringList{"select * from jogcim where ellatas = 'I'"};
    QTest::newRow("quote inside") << "select 'O''Neil', \"a'b\""
                                  << QStringList{"select 'O''Neil', 'a''b'"};
    QTest::newRow("concatenation")
        << "update t set a = (select b from u)+'_000'+ (select c from u)"
        << QStringList{"update t set a = (select b from u)||'_000'|| (select c from u)"};
    QTest::newRow("numeric plus stays") << "select a+1 from t" << QStringList{"select a+1 from t"};
    QTest::newRow("update alias") << "update jel_fej t1\nset x = 1"
                                  << QStringList{"update jel_fej as t1 set x = 1"};
    QTest::newRow("plain update") << "update foglalk \nset JARAS_KOD = '000' "
                                  << QStringList{"update foglalk set JARAS_KOD = '000'"};
    QTest::newRow("drop") << "alter table jel_fej \ndrop fajl_nev"
                          << QStringList{"alter table jel_fej drop column fajl_nev"};
    QTest::newRow("two adds")
        << "alter table taj \nadd SZUL_DAT CHAR(10), add UTO_NEV_2 CHAR(20)"
        << QStringList{
               "alter table taj add column SZUL_DAT VARCHAR(10) CHECK(length(SZUL_DAT) <= 10)",
               "alter table taj add column UTO_NEV_2 VARCHAR(20) CHECK(length(UTO_NEV_2) <= 20)"};
    QTest::newRow("params") << "select * from jelszo\nwhere user_name = :un and pass= :pw"
                            << QStringList{"select * from jelszo where user_name = ? and pass= ?"};
    QTest::newRow("colon in literal")
        << "select * from t where a = 'x:y'" << QStringList{"select * from t where a = 'x:y'"};
}

void TestData::localSqlTranslations()
{
    QFETCH(QString, input);
    QFETCH(QStringList, expected);
    QCOMPARE(LocalSql::translate(input), expected);
}

void TestData::localSqlFormsRunOnTheStore()
{
    TestInstallation t;
    QVERIFY(t.ok());
    Query q = t.data().query();
    auto run = [&](const QStringList &lines, const QList<QVariant> &params = {}) {
        q.clear();
        for (const QString &l : lines)
            q.add(l);
        for (int i = 0; i < params.size(); ++i)
            q.setParam(i, params[i]);
        const bool ok = q.exec();
        if (!ok) qWarning() << q.lastError();
        return ok;
    };
    QVERIFY(run({"insert into jel_fej (JEL_SZAM, JEL_TIP, FOGLALK_ID, FAJL_NEV)",
                 "values (:a, :b, :c, :d)"},
                {1, "08", 7, "J08011234567890_007.001"}));
    QVERIFY(run({"insert into jogcim (JOGCIMKOD, ELLATAS) values ('2110', \"I\")"}));
    QVERIFY(run({"insert into jogcim (JOGCIMKOD, ELLATAS) values ('1101', 'N')"}));

    q.clear();
    q.add("select t1.*, t2.jogcimkod from jel_fej t1, jogcim t2 where t2.ellatas = \"I\"");
    q.add("and substring(t1.fajl_nev FROM 17 FOR 3) = :jk");
    q.setParam(0, "007");
    QVERIFY2(q.open(), qPrintable(q.lastError()));
    QVERIFY(q.next());
    QCOMPARE(q.text("jogcimkod"), QStringLiteral("2110"));
    q.close();

    q.clear();
    q.add("select max(jel_szam) db ");
    q.add("from jel_fej where foglalk_id = :f and jel_tip = :t");
    q.setParams({7, "08"});
    QVERIFY(q.open() && q.next());
    QCOMPARE(q.integer("db"), 1);
    q.close();

    q.clear();
    q.add("select count(*) as db from jel_fej where jel_tip is null or foglalk_id = 0 ");
    QVERIFY(q.open() && q.next());
    QCOMPARE(q.integer("DB"), 0);
    q.close();

    q.clear();
    q.add("select distinct jel_tip from jel_fej group by jel_tip order by jel_tip desc");
    QVERIFY(q.open() && q.next());
    q.close();

    QVERIFY(run({"alter table jel_fej ", "add AAA CHAR(3), add BBB CHAR(5)"}));
    QVERIFY(*t.data().hasField("jel_fej", "BBB"));
    QVERIFY(!run({"update jel_fej set BBB = '123456'"})); // the added width holds
    QVERIFY(run({"alter table jel_fej ", "drop AAA"}));
    QCOMPARE(t.data().hasField("jel_fej", "AAA"), std::optional<bool>(false));
    QVERIFY(run({"update jel_fej t1",
                 "set BBB = (select substring(jel_tip from 1 for 1) from jel_fej t2 "
                 "where t1.jel_szam = t2.jel_szam)+'x'"}));
    QCOMPARE(t.scalar("select BBB from jel_fej").toString(), QStringLiteral("0x"));
    QVERIFY(run({"delete from jel_fej where jel_szam = :n"}, {1}));
    QCOMPARE(t.scalar("select count(*) from jel_fej").toInt(), 0);
}

void TestData::parametersBindByPosition()
{
    TestInstallation t;
    QVERIFY(t.ok());
    Query q = t.data().query();
    // The same name twice is two parameters, in order of appearance.
    q.add("insert into koz_ter (KOD, KOZTERNEV) values (:a, :a)");
    q.setParams({"001", "utca"});
    QVERIFY(q.exec());
    QCOMPARE(t.scalar("select KOZTERNEV from koz_ter where KOD = '001'").toString(),
             QStringLiteral("utca"));
    // A typed null.
    q.setParams({"002", Query::null()});
    QVERIFY(q.exec());
    QCOMPARE(t.scalar("select count(*) from koz_ter where KOZTERNEV is null").toInt(), 1);
}

void TestData::aliasConfiguration()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("aliases.conf");
    {
        AliasConfig aliases(file);
        QVERIFY(!aliases.exists("TARVIK"));
        aliases.create("TARVIK", "STANDARD", "C:\\tarvik\\adatok");
        QVERIFY(aliases.exists("tarvik"));
        QVERIFY(aliases.save());
    }
    AliasConfig again(file);
    QVERIFY(again.exists("TARVIK"));
    QCOMPARE(again.path("TARVIK"), QStringLiteral("C:\\tarvik\\adatok"));
    QCOMPARE(again.driver("TARVIK"), QStringLiteral("STANDARD"));
    QCOMPARE(again.path("MASIK"), QString());
}

void TestData::connectRefusesMissingAndForeignFiles()
{
    QTemporaryDir dir;
    DataModule data;
    QString error;
    QVERIFY(!data.connect(dir.filePath("nincs"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("nincs")));
    // An empty data folder: nothing is created in it.
    QVERIFY(!data.connect(dir.path(), &error));
    QVERIFY(!QFile::exists(dir.filePath(DataModule::DatabaseFile)));
    // A file that is not a database.
    QFile junk(dir.filePath(DataModule::DatabaseFile));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QVERIFY(!data.connect(dir.path(), &error));
    QVERIFY(!data.isConnected());
    QCOMPARE(QFileInfo(junk.fileName()).size(), 4096);
}

void TestData::calculatedFields()
{
    QCOMPARE(DataModule::tajNev(" Kiss ", "Anna", ""), QStringLiteral("Kiss  Anna "));
    QCOMPARE(DataModule::tajNev("Kiss", "Anna", "Mária"), QStringLiteral("Kiss  Anna Mária"));
    QCOMPARE(DataModule::jelszoNev("Nagy", "Péter"), QStringLiteral("Nagy Péter"));
    QCOMPARE(DataModule::jogSzint(4), QStringLiteral("Azonosítatlan jogszint"));
    QCOMPARE(DataModule::jogSzint(3), QStringLiteral("Rendszergazda"));
}

void TestData::lookupFields()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY2(t.ok(), qPrintable(t.error()));
    QCOMPARE(t.data().orszagNev("348"), QStringLiteral("Magyarország"));
    QCOMPARE(t.data().mepNev("010"),
             QStringLiteral("Budapest Főváros Egészségbiztosítási Pénztár"));
    QCOMPARE(t.data().kozterNev("001"), QStringLiteral("utca"));
    QCOMPARE(t.data().nyugdijNev("9999"), QString());

    QSqlRecord employer = t.data().db().record("foglalk");
    employer.setValue("SZ_IRSZ", "1011");
    employer.setValue("SZ_IRSZ_S", "0");
    employer.setValue("T_IRSZ", "0000");
    employer.setValue("T_IRSZ_S", "0");
    employer.setValue("MEGYE", "010");
    employer.setValue("SZ_CIM_JELL", "002");
    const DataModule::EmployerFields f = t.data().employerFields(employer);
    QCOMPARE(f.szTelepules, QStringLiteral("Budapest"));
    QCOMPARE(f.tTelepules, QString()); // no such postcode
    QCOMPARE(f.mep, QStringLiteral("Budapest Főváros Egészségbiztosítási Pénztár"));
    QCOMPARE(f.szKozter, QStringLiteral("út"));
    QCOMPARE(f.tKozter, QString());
}

void TestData::newInstallation()
{
    TestInstallation t(TestInstallation::Empty, "titok");
    QVERIFY(t.ok());
    QVERIFY(t.context().installation.isInstalled());
    for (const char *folder : {"adatok/Ment", "Text", "text", "jelentesek", "Sugo"})
        QVERIFY2(QFileInfo(t.path(folder)).isDir(), folder);
    QVERIFY(QFile::exists(t.path("oep_tarvik.url")));
    QVERIFY(QFile::exists(t.path("Sugo/01_bevezetes.html")));
    QCOMPARE(t.scalar("select USER_NAME || '/' || JOG from jelszo where USER_ID = 2").toString(),
             QStringLiteral("ADMIN/3"));
    // The password is kept as a digest only: its text is nowhere in the database file.
    const QString stored = t.scalar("select PASS from jelszo where USER_ID = 2").toString();
    QVERIFY(stored.startsWith("pbkdf2-sha256$100000$"));
    QVERIFY(PasswordDigest::verify("titok", stored));
    QVERIFY(!PasswordDigest::verify("Titok", stored));
    QVERIFY(!PasswordDigest::verify("titok", "titok"));
    QVERIFY(PasswordDigest::make("titok") != stored); // salted
    if (!t.onServer()) {
        QFile database(t.path("adatok/tarvik.sqlite"));
        QVERIFY(database.open(QIODevice::ReadOnly));
        QVERIFY(!database.readAll().contains("titok"));
    }
    QCOMPARE(t.scalar("select count(*) from jelszo where USER_ID = 1").toInt(), 1);
    QCOMPARE(t.scalar("select count(*) from jelszo where USER_ID <> 1").toInt(), 1);
    // The alias now points at the new data folder.
    AliasConfig aliases;
    QCOMPARE(QDir::fromNativeSeparators(aliases.path("TARVIK")),
             t.context().installation.dataFolder());
    // A password too long for the store is refused before anything is made.
    QTemporaryDir dir;
    Installation second(dir.filePath("x"));
    QString error;
    QVERIFY(!second.create("123456789", &error));
    QVERIFY(!second.isInstalled());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"

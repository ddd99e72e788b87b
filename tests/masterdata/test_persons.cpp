#include "commandline.h"
#include "hosttool.h"
#include "passworddigest.h"
#include "registrydatabase.h"
#include "reportstore.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_dolgozo.h"
#include "tfrm_felhasznalok.h"
#include "windowdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace TableCheck;

namespace
{
struct Register : WindowDriver {
    QTableView *list() { return get<QTableView>("dbg_dolgozo"); }
    QString currentTaj()
    {
        return list()->model()->index(list()->currentIndex().row(), 0).data().toString();
    }
    void search(const QString &text)
    {
        edit("ed_keres")->setText(text);
        QCoreApplication::processEvents();
    }
};

// Persons named so that their order by name and by TAJ differ.
void addPersons(TestInstallation &t)
{
    for (const char *sql :
         {"insert into taj (TAJ, VEZ_NEV, UTO_NEV, SZUL_DAT) values ('044332217', 'ÁBEL', "
          "'PÉTER', '1970.01.01')",
          "insert into taj (TAJ, VEZ_NEV, UTO_NEV, SZUL_DAT) values ('076543218', 'ZÖLD', "
          "'ANNA', '1975.05.05')",
          "insert into taj (TAJ, VEZ_NEV, UTO_NEV, SZUL_DAT) values ('053162216', 'KOVÁCS', "
          "'BÉLA', '1980.08.08')"})
        QVERIFY(exec(t, sql));
}

// The family names of the register's list, in its order.
QStringList familyNames(QTableView *grid)
{
    QStringList names;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        names << grid->model()->index(r, 1).data().toString().section(u' ', 0, 0);
    return names;
}

QStringList column(QTableView *grid, int col)
{
    QStringList values;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        values << grid->model()->index(r, col).data().toString();
    return values;
}
} // namespace

class TestPersons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void registerOrdersAndSearches()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addPersons(t);
        t.context().run.rightsLevel = 3;
        ScriptedPrompter prompter;
        Tfrm_dolgozo w(t.context());
        w.show();
        Register d{{w}};
        QCOMPARE(d.get<QLabel>("lbl_dolgozo")->text(), QStringLiteral("6"));
        // The Hungarian alphabet: Á with A, Ö after O.
        QCOMPARE(column(d.list(), 1), (QStringList{"ÁBEL  PÉTER", "KOVÁCS  ANNA", "KOVÁCS  BÉLA",
                                                   "NAGY  PÉTER", "SZABÓ  JÁNOS", "ZÖLD  ANNA"}));
        QCOMPARE(d.currentTaj(), QStringLiteral("044332217"));
        d.search("KOVÁCS");
        QCOMPARE(d.currentTaj(), QStringLiteral("123456788"));
        QCOMPARE(d.edit("dbed_veznev")->text(), QStringLiteral("KOVÁCS"));
        QCOMPARE(d.get<QLabel>("lbl_jogrec")->text(), QStringLiteral("1"));
        QCOMPARE(d.edit("dbed_cegnev")->text(), QStringLiteral("DEMO KERESKEDELMI KFT"));
        QCOMPARE(d.edit("dbed_jogcim")->text(), QStringLiteral("Munkaviszony"));
        QCOMPARE(d.combo("cmb_foglalk")->itemText(0), QStringLiteral(" Összes foglalkoztató"));
        QCOMPARE(d.combo("cmb_foglalk")->count(), 3);

        d.search("SZ");
        QCOMPARE(d.currentTaj(), QStringLiteral("111222337"));
        QCOMPARE(d.edit("dbed_veznev")->text(), QStringLiteral("SZABÓ"));
        // A text after every name: the last person.
        d.search("ÚJ");
        QCOMPARE(d.currentTaj(), QStringLiteral("076543218"));
        QCOMPARE(d.get<QLabel>("lbl_jogrec")->text(), QStringLiteral("0"));

        d.choose("cbx_rendez", "TAJ-szám szerint");
        QCOMPARE(d.edit("ed_keres")->text(), QString());
        QCOMPARE(d.edit("ed_keres")->maxLength(), 9);
        QCOMPARE(column(d.list(), 0).first(), QStringLiteral("038521467"));
        // Part of a number moves nothing; all nine digits move to the person.
        d.search("07654");
        QCOMPARE(d.currentTaj(), QStringLiteral("038521467"));
        d.search("076543218");
        QCOMPARE(d.currentTaj(), QStringLiteral("076543218"));
        QCOMPARE(d.edit("dbed_veznev")->text(), QStringLiteral("ZÖLD"));
        d.search("076543219");
        QCOMPARE(d.currentTaj(), QStringLiteral("076543218"));
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_dolgozo.png");
    }

    // Seventeen names in the register, the search, the employer lists and a made report file,
    // all in the order of the Hungarian alphabet; rows written by the sqlite3 tool behind the
    // program's back take their places at the next listing.
    void hungarianOrderEverywhere()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, AZON_TIP, MEGYE, JARAS_KOD, "
                        "SZ_IRSZ, SZ_IRSZ_S, SZ_CIM_JELL) values ('MEGSZŰNT KFT', '12345676242', "
                        "0, '010', '020', '1011', '0', '002')"));
        QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, AZON_TIP, MEGYE, JARAS_KOD, "
                        "SZ_IRSZ, SZ_IRSZ_S, SZ_CIM_JELL) values ('ÁRPÁD KFT', '10000001242', 0, "
                        "'010', '020', '1011', '0', '002')"));
        const QStringList shuffled = {"ZSOLNAI", "ŐRI",    "CSONKA", "ÉDES",   "Kovácsné", "ABA",
                                      "TÓTH",    "ÖDÖN",   "CZAKÓ",  "SZABÓ",  "ÓVÁRI",    "NAGY",
                                      "EGRI",    "ZOLTÁN", "ÁBEL",   "KOVÁCS", "OLÁH"};
        const QStringList ordered = {"ABA",    "ÁBEL",     "CZAKÓ", "CSONKA", "ÉDES",   "EGRI",
                                     "KOVÁCS", "Kovácsné", "NAGY",  "OLÁH",   "ÓVÁRI",  "ÖDÖN",
                                     "ŐRI",    "SZABÓ",    "TÓTH",  "ZOLTÁN", "ZSOLNAI"};
        const int base = 10000000;
        auto taj = [](int n) {
            QString digits = QString::number(n);
            int sum = 0;
            for (int i = 0; i < 8; ++i)
                sum += digits[i].digitValue() * (i % 2 == 0 ? 3 : 7);
            return digits + QString::number(sum % 10);
        };
        for (int i = 0; i < shuffled.size(); ++i) {
            QVERIFY(exec(t, QString("insert into taj (TAJ, VEZ_NEV, UTO_NEV) values ('%1', '%2', "
                                    "'ANNA')")
                                .arg(taj(base + i), shuffled[i])));
            QVERIFY(exec(t, QString("insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, "
                                    "FOGLALK_ID, NYILV_SZAM, VEZ_NEV, UTO_NEV, JOGCIM, JEL_TIP, "
                                    "KEZDET, SZUL_DAT, PAKEZD) values (1, %1, 'N', '%2', 1, "
                                    "'12345676242', '%3', 'ANNA', '1101', '09', '2026.11.02', "
                                    "'1980.01.01', 'N')")
                                .arg(i + 1)
                                .arg(taj(base + i), shuffled[i])));
        }
        t.context().run.rightsLevel = 3;
        ScriptedPrompter prompter;
        {
            Tfrm_dolgozo w(t.context());
            w.show();
            Register d{{w}};
            const QStringList names = familyNames(d.list());
            QCOMPARE(names, ordered);
            const QList<QPair<QString, QString>> searches = {
                {"kov", "KOVÁCS"}, {"abel", "ÁBEL"}, {"ZZZ", "ZSOLNAI"}, {"cs", "CSONKA"},
                {"nagy", "NAGY"},  {"ö", "ÖDÖN"},    {"cz", "CZAKÓ"}};
            for (const auto &[typed, found] : searches) {
                d.search(typed);
                QCOMPARE(d.edit("dbed_veznev")->text(), found);
            }
            // The employer list of the register, in the same order.
            QCOMPARE(d.combo("cmb_foglalk")->itemText(1), QStringLiteral("ÁRPÁD KFT"));
            QCOMPARE(d.combo("cmb_foglalk")->itemText(2), QStringLiteral("MEGSZŰNT KFT"));
        }
        // Written by the store's own tool (sqlite3, or psql on a server): a new person and a
        // changed name.
        const QString written = "insert into taj (TAJ, VEZ_NEV, UTO_NEV) values ('" +
                                taj(base + 20) +
                                "', 'CSÉPE', 'ANNA'); update taj set "
                                "VEZ_NEV = 'ÁCS' where VEZ_NEV = 'ZOLTÁN';";
        const HostTool::Result tool =
            t.onServer()
                ? HostTool::run("psql", {"-v", "ON_ERROR_STOP=1", "-c", written, t.serverAddress()})
                : HostTool::run("sqlite3", {t.path("adatok/tarvik.sqlite"), written});
        QCOMPARE(tool.exitCode, 0);
        {
            Tfrm_dolgozo w(t.context());
            w.show();
            Register d{{w}};
            const QStringList names = familyNames(d.list());
            QCOMPARE(names.mid(0, 5), (QStringList{"ABA", "ÁBEL", "ÁCS", "CZAKÓ", "CSÉPE"}));
        }
        // The report file's items follow the names too.
        QTemporaryDir out;
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.make = true;
        o.plain = true;
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QVERIFY2(CommandLine::make(o, so, se) == 0, qPrintable((se.flush(), errors)));
        QStringList lines = fileLines(out.filePath("J0901A12345676242_020.001"));
        QCOMPARE(lines.size(), 18);
        QStringList filed;
        for (const QString &l : lines.mid(1))
            filed << l.mid(71, 50).trimmed();
        QStringList expected = ordered;
        QCOMPARE(filed, expected);
        QCOMPARE(ReportStore(t.data()).activeEmployerNames().value_or(QStringList{}),
                 (QStringList{"ÁRPÁD KFT", "MEGSZŰNT KFT"}));
    }

    void correctionIsCheckedBeforeItIsStored()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        t.context().run.rightsLevel = 3;
        ScriptedPrompter prompter;
        Tfrm_dolgozo w(t.context());
        w.show();
        Register d{{w}};
        QVERIFY(d.button("bbtn_modosit")->isEnabled());
        QVERIFY(!d.button("bbtn_ment")->isEnabled());
        d.click("bbtn_modosit");
        QCOMPARE(
            prompter.messages.last(),
            QStringLiteral("Csak a viselt nevet és a születési\n\rdátumot lehet módosítani !"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Munkavállalói adatok  \" Módosítás \"-mód"));
        QVERIFY(!d.edit("dbed_veznev")->isReadOnly());
        QVERIFY(d.edit("dbed_szveznev")->isReadOnly());

        // "Mégse" after a changed birth date stores nothing.
        const QString before = snapshot(t, {"taj"});
        d.edit("dbed_szuldat")->setText("1999.09.09");
        d.click("bbtn_megse");
        QCOMPARE(snapshot(t, {"taj"}), before);
        QCOMPARE(d.edit("dbed_szuldat")->text(), QStringLiteral("1985.04.12"));

        // A date after today, an impossible date and an empty family name are refused.
        d.click("bbtn_modosit");
        const QString tomorrow = QDate::currentDate().addDays(1).toString("yyyy.MM.dd");
        for (const auto &[field, value, refusal] :
             {std::tuple<const char *, QString, QString>{
                  "dbed_szuldat", tomorrow,
                  "Nem lehet nagyobb a születés dátuma \r\nmint az aktuális dátum  !"},
              {"dbed_szuldat", "2001.02.30", "Nem helyes időpont megadás !"},
              {"dbed_veznev", "", "A nevet kötelező kitölteni !"}}) {
            d.edit(field)->setText(value);
            d.click("bbtn_ment");
            QCOMPARE(prompter.messages.last(), refusal);
            QCOMPARE(snapshot(t, {"taj"}), before);
            QVERIFY(d.edit(field)->hasFocus());
            d.edit("dbed_szuldat")->setText("1985.04.12");
            d.edit("dbed_veznev")->setText("KOVÁCS");
        }
        d.edit("dbed_veznev")->setText("KOVÁCSNÉ");
        d.edit("dbed_szuldat")->setText("1985.04.13");
        d.click("bbtn_ment");
        QCOMPARE(prompter.messages.last(), QStringLiteral("A módosítás megtörtént !"));
        QCOMPARE(t.scalar("select vez_nev || '/' || szul_dat from taj where taj = '123456788'")
                     .toString(),
                 QStringLiteral("KOVÁCSNÉ/1985.04.13"));
        QCOMPARE(d.currentTaj(), QStringLiteral("123456788"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Munkavállalói adatok  \" Megtekintés \"-mód"));
    }

    void registerButtonsByRights()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        for (int level : {1, 2}) {
            t.context().run.rightsLevel = level;
            Tfrm_dolgozo w(t.context());
            w.show();
            Register d{{w}};
            for (const char *b : {"bbtn_modosit", "bbtn_ment", "bbtn_megse"}) {
                QCOMPARE(d.button(b)->isVisible(), level == 2);
                QVERIFY(!d.button(b)->isEnabled());
            }
        }
    }

    void usersRecordedAndChanged()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        // A user removed elsewhere leaves a gap: the next number follows the highest.
        QVERIFY(exec(t, "insert into jelszo (USER_ID, USER_NAME, VEZ_NEV, UTO_NEV, PASS, JOG) "
                        "values (7, 'KISS', 'Kiss', 'Éva', 'x', 2)"));
        t.context().run.rightsLevel = 3;
        ScriptedPrompter prompter;
        Tfrm_felhasznalok w(t.context());
        w.show();
        WindowDriver d{w};
        QCOMPARE(d.get<QLabel>("lbl_felhrec")->text(), QStringLiteral("2"));
        QCOMPARE(column(d.get<QTableView>("dbg_fogl"), 0),
                 (QStringList{"Rendszergazda ", "Kiss Éva"}));

        // ADMIN cannot be changed.
        d.click("bbtn_modosit");
        QCOMPARE(prompter.messages.last(), QStringLiteral("Ez a felhasználó nem módosítható !"));
        QCOMPARE(w.windowTitle(),
                 QStringLiteral(" Felhasználók/jelszavak ;  \" Megtekintés \"-mód"));

        d.click("bbtn_uj");
        QCOMPARE(w.windowTitle(), QStringLiteral(" Felhasználók/jelszavak ;  \" Felvitel-mód \""));
        QVERIFY(!d.button("bbtn_ment")->isEnabled());
        QTest::keyClicks(d.edit("ed_fnev"), "nagy");
        QCOMPARE(d.edit("ed_fnev")->text(), QStringLiteral("NAGY"));
        d.edit("ed_veznev")->setText("Nagy");
        d.edit("ed_utonev")->setText("Ödön");
        d.edit("ed_jelszo")->setText("titok1");
        d.edit("ed_jelszo2")->setText("titok2");
        QVERIFY(!d.button("bbtn_ment")->isEnabled());
        d.combo("cmb_jog")->setCurrentIndex(0);
        QVERIFY(d.button("bbtn_ment")->isEnabled());
        d.click("bbtn_ment");
        QCOMPARE(prompter.messages.last(),
                 QStringLiteral("Nem egyezik a jelszó a megerősítéssel !!"));
        QCOMPARE(t.scalar("select count(*) from jelszo").toInt(), 3);
        d.edit("ed_jelszo2")->setText("titok1");
        // A name of blanks is no name: "Mentés" stays off.
        d.edit("ed_fnev")->setText("   ");
        d.edit("ed_jelszo2")->setText("titok1");
        QVERIFY(!d.button("bbtn_ment")->isEnabled());
        // A login name in use is refused.
        d.edit("ed_fnev")->setText("KISS");
        d.click("bbtn_ment");
        QCOMPARE(prompter.messages.last(), QStringLiteral("Ez a felhasználónév már létezik !"));
        QCOMPARE(t.scalar("select count(*) from jelszo").toInt(), 3);
        d.edit("ed_fnev")->setText("NAGY");
        d.click("bbtn_ment");
        QCOMPARE(t.scalar("select USER_ID || '/' || JOG from jelszo where USER_NAME = 'NAGY'")
                     .toString(),
                 QStringLiteral("8/0"));
        const QString stored =
            t.scalar("select PASS from jelszo where USER_NAME = 'NAGY'").toString();
        QVERIFY(PasswordDigest::verify("titok1", stored));
        QCOMPARE(Settings::read("Jelszo"), QDate::currentDate().toString("yyyy.MM.dd"));
        QCOMPARE(d.get<QLabel>("lbl_felhrec")->text(), QStringLiteral("3"));
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_felhasznalok.png");

        // Names only: the level stays, and so does the password.
        d.get<QTableView>("dbg_fogl")->selectRow(2);
        d.click("bbtn_modosit");
        QCOMPARE(w.windowTitle(), QStringLiteral(" Felhasználók/jelszavak ;  \" Módosít \"-mód"));
        QCOMPARE(d.combo("cmb_jogmod")->currentIndex(), 0);
        d.edit("dbed_veznev")->setText("Nagyné");
        d.click("bbtn_ment");
        QCOMPARE(prompter.messages.last(), QStringLiteral("A módosítás megtörtént !!"));
        QCOMPARE(t.scalar("select VEZ_NEV || '/' || JOG from jelszo where USER_ID = 8").toString(),
                 QStringLiteral("Nagyné/0"));
        QCOMPARE(t.scalar("select PASS from jelszo where USER_ID = 8").toString(), stored);
        // A new level and password.
        d.click("bbtn_modosit");
        d.combo("cmb_jogmod")->setCurrentIndex(2);
        d.edit("dbed_jelszo")->setText("uj");
        d.click("bbtn_ment");
        QCOMPARE(t.scalar("select JOG from jelszo where USER_ID = 8").toInt(), 2);
        QVERIFY(PasswordDigest::verify(
            "uj", t.scalar("select PASS from jelszo where USER_ID = 8").toString()));
        // No password text anywhere in the file (a server keeps no file of ours).
        QCOMPARE(t.scalar("select count(*) from jelszo where PASS like '%titok1%'").toInt(), 0);
        if (!t.onServer()) {
            QFile database(t.path("adatok/tarvik.sqlite"));
            QVERIFY(database.open(QIODevice::ReadOnly));
            QVERIFY(!database.readAll().contains("titok1"));
        }
    }
};

int runPersonTests(int argc, char **argv)
{
    TestPersons t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_persons.moc"

#include "commandline.h"
#include "dialect.h"
#include "hosttool.h"
#include "reportfile.h"
#include "reportgenerator.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_jelent.h"
#include "windowdriver.h"

#include "datetext.h"
#include "registrydatabase.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace TableCheck;

namespace
{
const QString Tax = QStringLiteral("12345676242");
// 1×1 + 2×2 + 3×3 + 4×4 + 5×5 + 6×6 + 7×7 + 8×6 + 9×2 + 10×4 + 11×2 = 268; 268 mod 11 = 4.
constexpr int DemoKey = 4;
// What follows a making's message on a system without a printer.
const QString NoPrinter = QStringLiteral(
    "\n\rNincs telepített nyomtató: a bejelentőlap és a nyilatkozat nem nyomtatható ki.");

// A pending line of the demo company's next "09" report.
QString pendingLine(int item, const QString &javitas, const QString &taj, const QString &family,
                    const QString &title, const QString &start, const QString &end = "NULL",
                    const QString &feor = "'4131'")
{
    return QString(
               "insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, "
               "VEZ_NEV, UTO_NEV, SZ_VEZ_NEV, SZUL_DAT, SZUL_HELY, O_KOD, JOGCIM, JEL_TIP, "
               "KEZDET, VEGE, HORA, FEOR, PAKEZD) values (2, %1, '%2', '%3', 1, '%4', '%5', "
               "'ÉVA', '%5', '1980.01.01', 'PÉCS', '348', '%6', '09', '%7', %8, '40', %9, 'N')")
        .arg(item)
        .arg(javitas, taj, Tax, family, title, start, end, feor);
}

// The report window opened on its making page, shown.
std::unique_ptr<Tfrm_jelent> makingPage(TestInstallation &t)
{
    auto w = std::make_unique<Tfrm_jelent>(t.context(), Tfrm_jelent::Page::Keszit);
    w->show();
    QCoreApplication::processEvents();
    return w;
}

ReportGenerator::Options options(const QString &folder, bool coded = false)
{
    ReportGenerator::Options o;
    o.folder = folder;
    o.coded = coded;
    o.version = QStringLiteral("1.0.4.3");
    o.today = QStringLiteral("2026.12.08");
    return o;
}
} // namespace

class TestGenerate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void threeLinesThroughTheWindow()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QVERIFY(exec(t, pendingLine(2, "E", "123456788", "KOVÁCS", "1101", "2024.03.01")));
        QVERIFY(exec(
            t, pendingLine(3, "I", "111222337", "SZABÓ", "1202", "2025.09.01", "NULL", "NULL")));
        QTemporaryDir out;
        ScriptedPrompter prompter;
        t.context().run.version = QStringLiteral("1.0.4.3");
        if (QPrinterInfo::defaultPrinter().isNull()) {
            // An ordinary user always prints both forms first: with no printer the folder path
            // ends the making and nothing changes.
            auto w = makingPage(t);
            WindowDriver d{*w};
            QVERIFY(!d.get<QCheckBox>("cbx_kodolt")->isVisible());
            QVERIFY(d.get<QCheckBox>("cbx_bejelento")->isChecked());
            QVERIFY(!d.get<QCheckBox>("cbx_bejelento")->isEnabled());
            d.edit("dir_lbox")->setText(out.path());
            d.click("bbtn_keszites");
            QCOMPARE(prompter.messages,
                     QStringList{"Hiba lépett fel a jelentés készítésénél !" + NoPrinter});
            QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 3);
            QVERIFY(QDir(out.path()).isEmpty());
            prompter.messages.clear();
        }
        // The special user may leave the forms unprinted.
        t.context().run.userName = QStringLiteral("QVX");
        auto w = makingPage(t);
        WindowDriver d{*w};
        QCOMPARE(w->windowTitle(), QStringLiteral(" Jelentés adatok  - jelentés készítése "));
        QCOMPARE(d.get<QLabel>("lbl_jelentok")->text(), QStringLiteral("1"));
        QCOMPARE(d.get<QLabel>("lbl_tetel")->text(), QStringLiteral("3"));
        QCOMPARE(d.get<QLabel>("lbl_fajlnev")->text(), QStringLiteral("J0901A12345676242_020.002"));
        QCOMPARE(d.get<QLabel>("lbl_jeltip")->text(),
                 QStringLiteral("09 - Eü.szolgáltatásra jog. jelentése"));
        QVERIFY(d.get<QCheckBox>("cbx_kodolt")->isVisible() &&
                d.get<QCheckBox>("cbx_kodolt")->isChecked());
        QVERIFY(!d.get<QCheckBox>("cbx_bejelento")->isChecked());
        QVERIFY(d.get<QCheckBox>("cbx_bejelento")->isEnabled());
        QVERIFY(d.get<QRadioButton>("rbtn_megadott")->isChecked());
        QCOMPARE(QDir::fromNativeSeparators(d.edit("dir_lbox")->text()), t.path("jelentesek"));
        d.edit("dir_lbox")->setText(out.path());
        d.click("bbtn_keszites");
        QCOMPARE(prompter.messages, QStringList{"Nincs több rögzítésre váró jelentés !"});
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(Settings::read("Szem_adat") != DateText::today());

        const QStringList lines = fileLines(out.filePath("J0901A12345676242_020.002"), DemoKey);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].mid(0, 19), QStringLiteral("1.0.4.3092    3    "));
        QCOMPARE(lines[0].mid(19, 21), QStringLiteral("J0901A12345676242.002"));
        QCOMPARE(lines[0].mid(95, 21), QStringLiteral("DEMO KERESKEDELMI KFT"));
        // Items in name order; the late line goes as "N".
        QCOMPARE(lines[1].left(20), QStringLiteral("2    2    N123456788"));
        QCOMPARE(lines[2].left(20), QStringLiteral("2    3    I111222337"));
        QCOMPARE(lines[3].left(20), QStringLiteral("2    1    N044332217"));
        QCOMPARE(lines[3].mid(71, 5), QStringLiteral("VARGA"));

        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 0);
        QCOMPARE(t.scalar("select JEL_TETE || '|' || FAJL_NEV || '|' || CEG_NEV || '|' || "
                          "SZ_CIM_JEL from jel_fej where jel_szam = 2")
                     .toString(),
                 QStringLiteral("3|J0901A12345676242_020.002|DEMO KERESKEDELMI KFT|001"));
        QCOMPARE(t.scalar("select group_concat(javitas, '') from (select javitas from jel_tete "
                          "where jel_szam = 2 order by jel_tete)")
                     .toString(),
                 QStringLiteral("NNI"));
        // New person and relation; the late line leaves the register; "I" removes the
        // open agency relation.
        QCOMPARE(t.scalar("select vez_nev from taj where taj = '044332217'").toString(),
                 QStringLiteral("VARGA"));
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj = '044332217'").toInt(), 1);
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj = '111222337'").toInt(), 0);
        QCOMPARE(t.scalar("select kezdet from taj_jogcim where taj = '123456788'").toString(),
                 QStringLiteral("2024.03.01"));
    }

    void relationRegister()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // Two employments with different occupations, and two lines of another title.
        QVERIFY(exec(
            t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.01.05", "NULL", "'4131'")));
        QVERIFY(exec(
            t, pendingLine(2, "N", "044332217", "VARGA", "1101", "2026.02.02", "NULL", "'5113'")));
        QVERIFY(exec(t, pendingLine(3, "N", "038521467", "NAGY", "2720", "2026.01.05",
                                    "'2026.06.30'", "NULL")));
        QVERIFY(exec(t, pendingLine(4, "N", "038521467", "NAGY", "2720", "2026.07.01",
                                    "'2026.12.31'", "NULL")));
        QVERIFY(exec(t, pendingLine(5, "I", "038521467", "NAGY", "1101", "2023.01.02",
                                    "'2025.06.30'", "'5113'")));
        QTemporaryDir out;
        ReportGenerator g(t.data());
        const auto reports = g.pendingReports();
        QVERIFY(reports && reports->size() == 1);
        QVERIFY(g.make(reports->first(), options(out.path())).ok);
        QCOMPARE(t.scalar("select group_concat(feor, ',') from (select feor from taj_jogcim where "
                          "taj = '044332217' order by feor)")
                     .toString(),
                 QStringLiteral("4131,5113"));
        QCOMPARE(
            t.scalar("select count(*) || '|' || max(kezdet) || '|' || max(vege) from taj_jogcim "
                     "where taj = '038521467' and jogcim = '2720'")
                .toString(),
            QStringLiteral("1|2026.07.01|2026.12.31"));
        QCOMPARE(
            t.scalar("select count(*) from taj_jogcim where taj = '038521467' and jogcim = '1101'")
                .toInt(),
            0);
        // A plain file has no coding and ends every line with CR LF.
        const QStringList lines = fileLines(out.filePath("J0901A12345676242_020.002"));
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith("1.0.4.3092    5    J0901A12345676242.002"));
    }

    // The store files the lines of persons reported once in one statement per table and the
    // rest line by line; the tables and the file come out as the line-by-line filing of every
    // line leaves them: repeated persons and relations, corrections, deletions, late lines.
    void setBasedFilingMatchesLineByLine()
    {
        QTemporaryDir out1, out2;
        QString tables[2];
        QByteArray files[2];
        for (int run = 0; run < 2; ++run) {
            TestInstallation t(TestInstallation::WithDemoData);
            QVERIFY(t.ok());
            // Another open employment of KOVÁCS, and an agency relation to correct.
            QVERIFY(exec(t, "insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, KEZDET, "
                            "FEOR) values ('123456788', 1, '1101', '09', '2025.01.06', '5113')"));
            const QStringList lines = {
                // A person twice, with the name changed: the later line in file order wins.
                pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.01.05"),
                pendingLine(2, "N", "044332217", "VARGÁNÉ", "1101", "2026.03.02", "NULL", "'5113'"),
                // The open employment updated by its occupation; the other one left alone.
                pendingLine(3, "N", "123456788", "KOVÁCS", "1101", "2024.03.01", "'2026.11.30'",
                            "'4131'"),
                // A correction removing the ended employment, and its new line.
                pendingLine(4, "I", "038521467", "NAGY", "1101", "2023.01.02", "'2025.06.30'",
                            "'5113'"),
                pendingLine(5, "N", "038521467", "NAGY", "1101", "2023.01.09", "'2025.06.30'",
                            "'5113'"),
                // A late agency line: filed as "N", the register unchanged.
                pendingLine(6, "E", "111222337", "SZABÓ", "1202", "2025.07.01", "'2025.08.31'",
                            "NULL"),
                // A new person with a relation of another title, and one deleted.
                pendingLine(7, "N", "076543218", "ÖRDÖG", "2720", "2026.01.05", "NULL", "NULL"),
                pendingLine(8, "I", "111222337", "SZABÓ", "1202", "2025.09.01", "NULL", "NULL")};
            for (const QString &line : lines)
                QVERIFY(exec(t, line));
            ReportGenerator g(t.data());
            const auto reports = g.pendingReports();
            QVERIFY(reports && reports->size() == 1);
            ReportGenerator::Options o = options(run == 0 ? out1.path() : out2.path(), true);
            o.lineByLine = run == 1;
            const auto made = g.make(reports->first(), o);
            QVERIFY2(made.ok, qPrintable(made.error + made.refusal));
            files[run] = fileBytes(made.path);
            QStringList rows;
            for (const char *sql :
                 {"select * from taj order by taj",
                  "select * from taj_jogcim order by taj, "
                  "jogcim, kezdet, feor",
                  "select * from jel_tete order by jel_szam, jel_tete",
                  "select * from jel_fej order by jel_szam", "select count(*) from jel_temp"}) {
                QSqlQuery q(t.data().db());
                QVERIFY(q.exec(sql));
                while (q.next()) {
                    QStringList values;
                    for (int i = 0; i < q.record().count(); ++i)
                        if (q.record().fieldName(i) != u"NEV_KULCS")
                            values << q.value(i).toString();
                    rows << values.join(u'|');
                }
            }
            tables[run] = rows.join(u'\n');
            if (run == 0) {
                QCOMPARE(t.scalar("select vez_nev from taj where taj = '044332217'").toString(),
                         QStringLiteral("VARGÁNÉ"));
                QCOMPARE(
                    t.scalar("select count(*) from taj_jogcim where taj = '111222337'").toInt(), 0);
                QCOMPARE(t.scalar("select group_concat(kezdet || '/' || coalesce(vege, '-'), "
                                  "',') from (select kezdet, vege from taj_jogcim where taj = "
                                  "'123456788' order by kezdet)")
                             .toString(),
                         QStringLiteral("2024.03.01/2026.11.30,2025.01.06/-"));
            }
        }
        QCOMPARE(tables[0], tables[1]);
        QCOMPARE(files[0], files[1]);
    }

    // A line may carry a longer name than the person register holds: the report is made with
    // the whole name, the register keeps what fits its columns (without the blank the cut
    // leaves at its end).
    void longNamesFitTheRegister()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        const QString family = QString(39, u'W') + " ÉK" + QString(8, u'X'),
                      given = QString(19, u'M') + "Ő";
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", family, "1101", "2026.11.02")));
        QVERIFY(exec(t, QString("update jel_temp set UTO_NEV = '%1'").arg(given)));
        QTemporaryDir out;
        ReportGenerator g(t.data());
        const auto reports = g.pendingReports();
        QVERIFY(reports && reports->size() == 1);
        const ReportGenerator::Result r = g.make(reports->first(), options(out.path()));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(t.scalar("select VEZ_NEV || '|' || UTO_NEV from taj where TAJ = '044332217'")
                     .toString(),
                 QString(39, u'W') + '|' + given.left(15));
        QCOMPARE(t.scalar("select VEZ_NEV || '|' || UTO_NEV from jel_tete where TAJ = "
                          "'044332217'")
                     .toString(),
                 family + '|' + given);
        const QStringList lines = fileLines(out.filePath("J0901A12345676242_020.002"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1].mid(71, 70), family + given);
        // The filing's copies go untested by the store; every later write is tested again.
        QVERIFY(!exec(t, "insert into taj (TAJ) values ('0443322170')"));
    }

    // A making cut off after its file took its name and before the report was filed leaves the
    // file, marked, and the report pending: the next making makes it again. The file of a filed
    // report is still never replaced. Report files get the mode the user's umask gives.
    void interruptedMakingIsMadeAgain()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QTemporaryDir out;
        const QString name = "J0901A12345676242_020.002";
        ReportGenerator g(t.data());
        const QString before = snapshot(t);
        ReportGenerator::s_endsBeforeCommit = [] { return true; };
        const auto cut = g.make(g.pendingReports()->first(), options(out.path(), true));
        ReportGenerator::s_endsBeforeCommit = nullptr;
        QVERIFY(!cut.ok);
        QCOMPARE(snapshot(t), before);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{name, name + ".keszul"}));
        QCOMPARE(fileLines(out.filePath(name), DemoKey).size(), 2);

        const mode_t mask = ::umask(027);
        const auto made = g.make(g.pendingReports()->first(), options(out.path(), true));
        ::umask(mask);
        QVERIFY2(made.ok, qPrintable(made.error));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{name});
        QCOMPARE(t.scalar("select count(*) from jel_fej where fajl_nev = '" + name + "'").toInt(),
                 1);
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 0);
#ifndef Q_OS_WIN
        // The file follows the umask (Windows has none).
        QCOMPARE(QFile(out.filePath(name)).permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther),
                 QFile::ReadGroup);
#endif

        // A mark beside the file of a filed report: the making is refused, the file kept.
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QVERIFY(exec(t, "update jel_temp set jel_szam = 2"));
        QVERIFY(exec(t, "delete from jel_fej where jel_szam = 2"));
        QVERIFY(exec(t, QString("insert into jel_fej (JEL_TIP, JEL_SZAM, JEL_TETE, FAJL_NEV, "
                                "FOGLALK_ID) values ('08', 1, 1, '%1', 2)")
                            .arg(name)));
        QFile mark(out.filePath(name + ".keszul"));
        QVERIFY(mark.open(QIODevice::WriteOnly));
        mark.close();
        const QByteArray kept = fileBytes(out.filePath(name));
        const auto refused = g.make(g.pendingReports()->first(), options(out.path(), true));
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains("már létezik a mappában"), qPrintable(refused.error));
        QCOMPARE(fileBytes(out.filePath(name)), kept);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{name});
    }

    // Empty text in a pending line (an outside writer's) is filed as missing, as every other
    // write stores it, and later lines find the relation by its missing end.
    void emptyTextIsFiledAsMissing()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02", "''")));
        QVERIFY(exec(t, "update jel_temp set SZUL_HELY = '', HORA = '  '"));
        QTemporaryDir out;
        ReportGenerator g(t.data());
        const auto made = g.make(g.pendingReports()->first(), options(out.path()));
        QVERIFY2(made.ok, qPrintable(made.error));
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj = '044332217' and vege is "
                          "null and hora is null")
                     .toInt(),
                 1);
        QCOMPARE(t.scalar("select count(*) from jel_tete where vege is null and szul_hely is null "
                          "and hora is null")
                     .toInt(),
                 1);
        QCOMPARE(t.scalar("select count(*) from taj where taj = '044332217' and szul_hely is null")
                     .toInt(),
                 1);
    }

    void failuresChangeNothing_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("file") << "file";
        QTest::newRow("jel_tete row") << "jel_tete";
        QTest::newRow("jel_fej row") << "jel_fej";
        QTest::newRow("value too long") << "value";
        QTest::newRow("server gives up every try") << "conflict";
    }

    void failuresChangeNothing()
    {
        QFETCH(QString, where);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QVERIFY(exec(t, pendingLine(2, "N", "123456788", "KOVÁCS", "1101", "2024.03.01")));
        QTemporaryDir out;
        QString folder = out.path();
        // A file of the same name made before stays as it was.
        const QString earlier = out.filePath("J0901A12345676242_020.002");
        QFile old(earlier);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        if (where == "file") folder = earlier; // a file, not a folder
        // A failure of the store is met with a folder the file could be made in.
        const QString fresh = out.filePath("uj");
        if (where == "jel_tete" || where == "jel_fej" || where == "conflict") {
            QVERIFY(QDir().mkpath(fresh));
            folder = fresh;
        }
        if (where == "jel_tete")
            QVERIFY(TableCheck::failOn(t, "jel_tete", "insert", "new.jel_tete = 1"));
        if (where == "jel_fej") QVERIFY(TableCheck::failOn(t, "jel_fej", "insert"));
        if (where == "value")
            QVERIFY(exec(t, "update foglalk set sz_haz = '12/A-3B' where id = 1"));
        if (where == "conflict") {
            if (!t.onServer()) QSKIP("Only a server gives a transaction up for another one.");
            // Every try ends in a serialization failure; a sequence, which no rollback undoes,
            // counts the tries.
            QVERIFY(exec(t, "create sequence tries"));
            QVERIFY(exec(t, "create function give_up() returns trigger language plpgsql as $$ "
                            "begin perform nextval('tries'); raise exception 'ütközés' using "
                            "errcode = '40001'; end $$"));
            QVERIFY(exec(t, "create trigger give_up before insert on jel_fej for each row "
                            "execute function give_up()"));
        }
        const QString before = snapshot(t);
        ReportGenerator g(t.data());
        const ReportGenerator::Result r =
            g.make(g.pendingReports()->first(), options(folder, true));
        QVERIFY(!r.ok);
        QCOMPARE(snapshot(t), before);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"J0901A12345676242_020.002"});
        QCOMPARE(QDir(fresh).entryList(QDir::Files | QDir::Hidden), QStringList());
        if (where == "conflict") {
            QCOMPARE(t.scalar("select last_value from tries").toInt(), Dialect::ConflictAttempts);
            QCOMPARE(r.message(), ReportGenerator::failureMessage());
        }
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("régi"));
        if (where == "value")
            QCOMPARE(
                r.refusal,
                QStringLiteral("A(z) \"DEMO KERESKEDELMI KFT\" bejelentő Székhely házszám adata "
                               "hosszabb, mint a jelentésben neki jutó hely.\n\rA "
                               "jelentés nem készült el, javítsa az adatot !"));
        else
            QVERIFY(r.refusal.isEmpty());
        // The filing's copies go untested by the store; every later write is tested again.
        QVERIFY(!exec(t, "insert into taj (TAJ) values ('0443322170')"));
    }

    void windowReportsFailureAndStaysUsable()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        ScriptedPrompter prompter;
        t.context().run.userName = QStringLiteral("QVX");
        auto w = makingPage(t);
        WindowDriver d{*w};
        d.edit("dir_lbox")->setText(t.path("nincs/ilyen"));
        d.click("bbtn_keszites");
        QCOMPARE(prompter.messages, QStringList{"Hiba lépett fel a jelentés készítésénél !"});
        QVERIFY(w->isVisible());
        QVERIFY(d.button("bbtn_keszites")->isEnabled());
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 1);
    }

    void floppyPath()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed");
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QTemporaryDir floppy;
        Settings::write("Floppy", floppy.filePath("A"));
        ScriptedPrompter prompter;
        auto w = makingPage(t);
        WindowDriver d{*w};
        d.get<QRadioButton>("rbtn_floppy")->click();
        QVERIFY(!d.edit("dir_lbox")->isEnabled());
        // No disk: asked again until the clerk goes on without one; the making then fails.
        prompter.answers << Prompter::Ok << Prompter::Cancel;
        d.click("bbtn_keszites");
        QCOMPARE(prompter.questions,
                 (QStringList{"Nincs a meghajtóban lemez !", "Nincs a meghajtóban lemez !"}));
        QCOMPARE(prompter.messages.mid(2),
                 (QStringList{"Hiba lépett fel a nyomtatásnál !" + NoPrinter,
                              "Hiba lépett fel a jelentés készítésénél !"}));
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 1);
        QVERIFY(Settings::read("Szem_adat").isEmpty() ||
                Settings::read("Szem_adat") != DateText::today());
        // With the disk in, the printing failure is reported and the file is made all the same.
        QVERIFY(QDir().mkpath(floppy.filePath("A")));
        prompter.messages.clear();
        d.click("bbtn_keszites");
        QCOMPARE(prompter.messages, (QStringList{"Hiba lépett fel a nyomtatásnál !" + NoPrinter,
                                                 "Nincs több rögzítésre váró jelentés !"}));
        QVERIFY(QFile::exists(floppy.filePath("A/J0901A12345676242_020.002")));
        QCOMPARE(Settings::read("Szem_adat"), DateText::today());
        QCOMPARE(Settings::read("Szem_jogcim"), DateText::today());
    }

    // An ordinary user's forms go to the printer first: on the folder path a machine without
    // a printer ends the making and the report stays pending.
    void folderPathStopsWhenPrintingFails()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed");
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QTemporaryDir out;
        ScriptedPrompter prompter;
        auto w = makingPage(t);
        WindowDriver d{*w};
        QVERIFY(d.get<QCheckBox>("cbx_bejelento")->isChecked());
        QVERIFY(!d.get<QCheckBox>("cbx_bejelento")->isEnabled());
        d.edit("dir_lbox")->setText(out.path());
        d.click("bbtn_keszites");
        QCOMPARE(prompter.messages,
                 QStringList{"Hiba lépett fel a jelentés készítésénél !" + NoPrinter});
        QVERIFY(QDir(out.path()).isEmpty());
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 1);
        QVERIFY(d.button("bbtn_keszites")->isEnabled());
        // The copies settings were read, and an absent one stored as "1".
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("1"));
    }

    void previewsShowTheCurrentReport()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        ScriptedPrompter prompter;
        auto w = makingPage(t);
        WindowDriver d{*w};
        int pages = 0;
        auto countPages = [&pages](QDialog *dialog) {
            auto *view = dialog->findChild<QPrintPreviewWidget *>();
            if (!view) return int(QDialog::Rejected);
            view->updatePreview();
            pages = view->pageCount();
            return int(QDialog::Accepted);
        };
        prompter.dialogActions << countPages;
        d.click("bbtn_bejelento");
        QCOMPARE(pages, 1);
        prompter.dialogActions << countPages;
        pages = 0;
        d.click("bbtn_nyilatkozat");
        QCOMPARE(pages, 1);
        QCOMPARE(prompter.dialogsShown, (QStringList{"previewDialog", "previewDialog"}));
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 1);
    }

    // --pdf writes both forms of each report into Text/ before its file.
    void commandLineWritesTheFormsAsPdf()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QVERIFY(exec(t, pendingLine(2, "N", "123456788", "KOVÁCS", "1101", "2026.11.03")));
        QTemporaryDir out;
        CommandLine::Options o;
        o.home = t.home();
        o.make = true;
        o.pdf = true;
        o.folder = out.path();
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        // Made from a script, the declaration names the system's user.
        const QByteArray user = qgetenv("USER");
        qputenv("USER", "KISSANNA");
        const int made = CommandLine::make(o, so, se);
        qputenv("USER", user);
        QCOMPARE(made, 0);
        const QString name = QStringLiteral("J0901A12345676242_020.002");
        QVERIFY(QFile::exists(out.filePath(name)));
        const QString text = QDir(t.context().installation.programFolder()).filePath("Text/");
        const HostTool::Result sheetText =
            HostTool::run("pdftotext", {text + "bejelentolap_" + name + ".pdf", "-"});
        QCOMPARE(sheetText.exitCode, 0);
        const QString sheet = QString::fromUtf8(sheetText.output);
        QVERIFY2(sheet.contains("VARGA") && sheet.contains("KOVÁCS"), qPrintable(sheet));
        const HostTool::Result declarationText =
            HostTool::run("pdftotext", {text + "nyilatkozat_" + name + ".pdf", "-"});
        QCOMPARE(declarationText.exitCode, 0);
        const QString declaration = QString::fromUtf8(declarationText.output);
        QVERIFY(declaration.contains("2 tételsort tartalmaz."));
        QVERIFY2(declaration.contains("A nyomtatást készítette : KISSANNA"),
                 qPrintable(declaration));
    }

    void commandLineMakesEveryReport()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, pendingLine(1, "N", "044332217", "VARGA", "1101", "2026.11.02")));
        QVERIFY(exec(t,
                     "insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, "
                     "NYILV_SZAM, VEZ_NEV, UTO_NEV, SZ_VEZ_NEV, SZUL_DAT, O_KOD, JOGCIM, JEL_TIP, "
                     "KEZDET, PAKEZD, IMAGE) values (1, 1, 'N', '900000014', 2, '15752026241', "
                     "'FOGOLY', 'EGY', 'FOGOLY', '1990.01.01', '348', '2771', '09', '2026.11.02', "
                     "'N', '1')"));
        QTemporaryDir out;
        CommandLine::Options o;
        o.home = t.home();
        o.make = true;
        o.folder = out.path();
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        // A folder that is not there: the first report fails, saying why, and stays pending.
        o.folder = out.filePath("nincs");
        QCOMPARE(CommandLine::make(o, so, se), 1);
        se.flush();
        QVERIFY2(errors.startsWith("Hiba lépett fel a jelentés készítésénél ! (a mappa nem "
                                   "létezik: "),
                 qPrintable(errors));
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 2);
        o.folder = out.path();
        QCOMPARE(CommandLine::make(o, so, se), 0);
        so.flush();
        // Employer name order: the prison service first.
        QCOMPARE(
            printed.split('\n', Qt::SkipEmptyParts),
            (QStringList{QDir::toNativeSeparators(out.filePath("J0901A15752026241_024.001")),
                         QDir::toNativeSeparators(out.filePath("J0901A12345676242_020.002"))}));
        const QStringList prison = fileLines(out.filePath("J0901A15752026241_024.001"),
                                             *ReportFile::codingKey("15752026241"));
        QCOMPARE(prison.size(), 2);
        QCOMPARE(prison[1].mid(425, 2), QStringLiteral("1 "));
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 0);
        // Nothing left: a second run makes nothing, says so and succeeds.
        printed.clear();
        QCOMPARE(CommandLine::make(o, so, se), 0);
        so.flush();
        QCOMPARE(printed, QStringLiteral("Nincs több rögzítésre váró jelentés !\n"));
    }
};

int runGenerateTests(int argc, char **argv)
{
    TestGenerate t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_generate.moc"

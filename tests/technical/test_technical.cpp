#include "codepage.h"
#include "commandline.h"
#include "datasetgrid.h"
#include "referenceloader.h"
#include "registrydatabase.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_technikai.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace
{
QByteArray win(const QString &text)
{
    return CodePage::toWin1250(text);
}
const QString Today = QDate::currentDate().toString("yyyy.MM.dd");
} // namespace

class TestTechnical : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitRule_data();
    void splitRule();
    void everyFileFillsItsTable();
    void legalTitleDates();
    void pensionFundNameCut();
    void failuresRollBack_data();
    void failuresRollBack();
    void missingFile();
    void gridCountsAndDates();
    void windowModes();
    void windowLoadThroughDialog();
    void windowLoadFailureKeepsWindowUsable();
    void commandLineLoad();
};

void TestTechnical::splitRule_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << "010,Budapest"
                           << "," << QStringList{"010", "Budapest"};
    QTest::newRow("trailing separator") << "1101,M,09,N,I,I,"
                                        << "," << QStringList{"1101", "M", "09", "N", "I", "I"};
    QTest::newRow("two in a row") << "a,,b"
                                  << "," << QStringList{"a", "", "b"};
    QTest::newRow("leading") << ",a"
                             << "," << QStringList{"", "a"};
    QTest::newRow("blank last") << "a, "
                                << "," << QStringList{"a", " "};
    QTest::newRow("commas in feor") << "4;1311;Tervező, elemző"
                                    << ";" << QStringList{"4", "1311", "Tervező, elemző"};
    QTest::newRow("no quoting") << "\"a,b\",c"
                                << "," << QStringList{"\"a", "b\"", "c"};
    QTest::newRow("empty line") << ""
                                << "," << QStringList{};
    QTest::newRow("separator only") << ","
                                    << "," << QStringList{""};
}

void TestTechnical::splitRule()
{
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QCOMPARE(ReferenceFiles::splitLine(line, separator[0]), fields);
}

void TestTechnical::everyFileFillsItsTable()
{
    TestInstallation t;
    QVERIFY(t.ok());
    struct Case {
        const char *file;
        QByteArray content;
        const char *check;
        QString expected;
    };
    const QList<Case> cases = {
        {"mep.txt", win("010,Budapest Főváros Egészségbiztosítási Pénztár\r\n020,Baranya\r\n"),
         "select MEGYEKOD || '|' || MEP_NEV from mep order by MEGYEKOD limit 1",
         "010|Budapest Főváros Egészségbiztosítási Pénztár"},
        // The alpha code in front is not used.
        {"orszag.txt", win("HU,Magyarország,348\r\n"), "select NEV || '|' || ISO_SZAM from orszag",
         "Magyarország|348"},
        {"irsz.txt", win("1011,0,Budapest\r\n7400,1,Kaposvár\r\n"),
         "select group_concat(IRSZ || SULY || TELEPULES, ';') from irsz",
         "10110Budapest;74001Kaposvár"},
        {"koz_ter.txt", win("001,utca\r\n"), "select KOD || KOZTERNEV from koz_ter", "001utca"},
        // Only semicolons separate; the level in front is not used.
        {"feor.txt", win("4;2511;Tervező, elemző mérnök\r\n"),
         "select FEOR_SZAM || '|' || FEOR_MEG from feor", "2511|Tervező, elemző mérnök"},
        {"mnypt.txt", win("0101,Alföldi Pénztár\r\n"), "select PKOD || PKODMEGN from nyugdij",
         "0101Alföldi Pénztár"},
        // District dates go in as text; a blank end date is the current district.
        {"jarasok.txt",
         win("7,15000000241,190,007,Ajkai járás,2013.01.01, \r\n"
             "8,00000000000,130,008,Régi járás,2013.01.01,2014.12.31\r\n"),
         "select ID || ADO_SZAM || JARAS_KOD || JARAS_NEV || ERV_KEZD || coalesce(ERV_VEGE, '-') "
         "from jarasok where erv_vege is null",
         "715000000241007Ajkai járás2013.01.01-"},
    };
    for (const Case &c : cases) {
        const ReferenceFile *ref = ReferenceFiles::byFileName(c.file);
        QVERIFY(ref);
        const auto r = ReferenceLoader(t.data()).load(*ref, t.writeFile(c.file, c.content));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(t.scalar(c.check).toString(), c.expected);
        QCOMPARE(Settings::read(ref->settingsName), Today);
    }
    // A reload replaces what was there.
    const ReferenceFile *koz = ReferenceFiles::byFileName("KOZ_TER.TXT");
    QVERIFY(
        ReferenceLoader(t.data()).load(*koz, t.writeFile("k2.txt", "002,ut\r\n003,ter\r\n")).ok);
    QCOMPARE(t.scalar("select group_concat(KOD) from koz_ter").toString(),
             QStringLiteral("002,003"));
}

void TestTechnical::legalTitleDates()
{
    TestInstallation t;
    QVERIFY(t.ok());
    const QString file =
        t.writeFile("bsj_jog.txt", win("1101,Munkaviszony,08,N,I,I,1998.01.01, \r\n"
                                       "2110,Táppénz,08,I,N,N,,2006.12.31\r\n"
                                       "1202,Megbízás,08,N,N,N,   ,\r\n"));
    // The last line ends in a separator: seven fields, one too few.
    auto r = ReferenceLoader(t.data()).load(*ReferenceFiles::byRadio("rbtn_b"), file);
    QVERIFY(!r.ok);
    QCOMPARE(r.failedLine, 3);
    QCOMPARE(t.scalar("select count(*) from jogcim").toInt(), 0);

    const QString good =
        t.writeFile("bsj_jog2.txt", win("1101,Munkaviszony,08,N,I,I,1998.01.01, \r\n"
                                        "2110,Táppénz,08,I,N,N,,2006.12.31\r\n"));
    r = ReferenceLoader(t.data()).load(*ReferenceFiles::byRadio("rbtn_b"), good);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.lines, 2);
    QCOMPARE(t.scalar("select ERV_KEZD || '|' || coalesce(ERV_VEGE, 'null') from jogcim where "
                      "JOGCIMKOD = '1101'")
                 .toString(),
             QStringLiteral("1998.01.01|null"));
    QCOMPARE(
        t.scalar(
             "select coalesce(ERV_KEZD, 'null') || '|' || ERV_VEGE || '|' || ELLATAS from jogcim "
             "where JOGCIMKOD = '2110'")
            .toString(),
        QStringLiteral("null|2006.12.31|I"));
}

void TestTechnical::pensionFundNameCut()
{
    TestInstallation t;
    QVERIFY(t.ok());
    const QString name = QString(150, u'É') + QStringLiteral("0123456789");
    const auto r = ReferenceLoader(t.data()).load(
        *ReferenceFiles::byRadio("rbtn_l"), t.writeFile("mnypt.txt", win("0199," + name + "\r\n")));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(t.scalar("select PKODMEGN from nyugdij").toString(), QString(150, u'É'));
}

void TestTechnical::failuresRollBack_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::newRow("missing field") << "rbtn_h" << QByteArray("1011,0,Budapest\r\n1012,0\r\n") << 2;
    QTest::newRow("too long") << "rbtn_h"
                              << QByteArray("1011,0,Budapest\r\n1012,0,X\r\n10130,0,Y\r\n") << 3;
    QTest::newRow("empty line") << "rbtn_i" << QByteArray("001,utca\r\n\r\n002,ut\r\n") << 2;
    QTest::newRow("bad date") << "rbtn_b" << QByteArray("1101,M,08,N,I,I,1998.02.30, \r\n") << 1;
    QTest::newRow("country too long") << "rbtn_g" << QByteArray("HU,Magyar,34800\r\n") << 1;
}

void TestTechnical::failuresRollBack()
{
    QFETCH(QString, radio);
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    const ReferenceFile *ref = ReferenceFiles::byRadio(radio);
    const QString table = ref->table;
    const int before = t.scalar("select count(*) from " + table).toInt();
    const QString sample = TableCheck::snapshot(t, {table});
    QVERIFY(before > 0);
    Settings::write(ref->settingsName, "2001.01.01");

    const QString file = t.writeFile(ref->fileName, content);
    const auto r = ReferenceLoader(t.data()).load(*ref, file);
    QVERIFY(!r.ok);
    QCOMPARE(r.failedLine, line);
    QVERIFY2(r.error.contains(QDir::toNativeSeparators(file)), qPrintable(r.error));
    QVERIFY2(r.error.contains(QStringLiteral(" %1. sor").arg(line)), qPrintable(r.error));
    QCOMPARE(t.scalar("select count(*) from " + table).toInt(), before);
    QCOMPARE(TableCheck::snapshot(t, {table}), sample);
    QCOMPARE(Settings::read(ref->settingsName), QStringLiteral("2001.01.01"));
}

void TestTechnical::missingFile()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    const auto r =
        ReferenceLoader(t.data()).load(*ReferenceFiles::byRadio("rbtn_f"), "/nincs/mep.txt");
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains("mep.txt"));
    QCOMPARE(t.scalar("select count(*) from mep").toInt(), 20);
}

void TestTechnical::gridCountsAndDates()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QSqlQuery q(t.data().db());
    QVERIFY(q.exec("insert into foglalk (CEG_NEV) values ('A'), ('B')"));
    Settings::write("Fogl", "2024.02.03");
    QMap<QString, DataSetGrid::Values> values;
    for (const auto &row : DataSetGrid::rows())
        values[row.radio] = DataSetGrid::read(t.data(), row);
    QCOMPARE(values.size(), 13);
    QCOMPARE(values["rbtn_a"].count, QStringLiteral("2"));
    QCOMPARE(values["rbtn_a"].date, QStringLiteral("2024.02.03"));
    QCOMPARE(values["rbtn_b"].count, QStringLiteral("24"));
    QCOMPARE(values["rbtn_h"].count, QStringLiteral("4119"));
    QCOMPARE(values["rbtn_h"].date, Today);
    // Only ADMIN counts: the hidden row is left out.
    QCOMPARE(values["rbtn_k"].count, QStringLiteral("1"));
    // Districts whose validity has not ended (Polgárdi ended in 2014).
    QCOMPARE(values["rbtn_jar"].count, QStringLiteral("197"));
    QCOMPARE(values["rbtn_jar"].date, Today); // stored as "Jarasok", read as "jarasok"
    QCOMPARE(values["rbtn_d"].count, QStringLiteral("0"));
    QCOMPARE(values["rbtn_d"].date, QString());
    QCOMPARE(values["rbtn_osszes"].count, QString());
    for (const auto &v : values)
        QCOMPARE(v.status, QStringLiteral("OK"));
}

void TestTechnical::windowModes()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    Tfrm_technikai w(t.context());
    auto radio = [&](const char *name) { return w.findChild<QRadioButton *>(name); };
    w.setMode(Tfrm_technikai::Maintenance);
    QCOMPARE(w.windowTitle(), QStringLiteral("   Technikai feladatok - Törzsadatok karbantartása"));
    QVERIFY(radio("rbtn_a")->isChecked());
    QVERIFY(!radio("rbtn_osszes")->isEnabled());
    QVERIFY(!w.findChild<QPushButton *>("bbtn_beolvas")->isVisibleTo(&w));

    w.setMode(Tfrm_technikai::Refresh);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("   Technikai feladatok - OEP törzsadatok frissítése"));
    QVERIFY(radio("rbtn_f")->isChecked());
    for (const char *off : {"rbtn_a", "rbtn_d", "rbtn_e", "rbtn_k", "rbtn_osszes"})
        QVERIFY2(!radio(off)->isEnabled(), off);
    for (const char *on :
         {"rbtn_b", "rbtn_f", "rbtn_g", "rbtn_h", "rbtn_i", "rbtn_j", "rbtn_l", "rbtn_jar"})
        QVERIFY2(radio(on)->isEnabled(), on);
    QVERIFY(w.findChild<QPushButton *>("bbtn_beolvas")->isVisibleTo(&w));

    w.setMode(Tfrm_technikai::Backup);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("   Technikai feladatok - Jelentés adatok mentés-visszatöltés"));
    w.setMode(Tfrm_technikai::YearChange);
    QCOMPARE(w.windowTitle(), QStringLiteral("   Technikai feladatok - Évváltás"));
    w.setMode(Tfrm_technikai::ExportImport);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("   Technikai feladatok - Jelentés törzsadatok export-import"));
}

void TestTechnical::windowLoadThroughDialog()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    Settings::write("Irsz", "2001.01.01");
    Tfrm_technikai w(t.context());
    w.setMode(Tfrm_technikai::Refresh);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.findChild<QLabel *>("lbl_h_db")->text(), QStringLiteral("4119"));
    QCOMPARE(w.findChild<QLabel *>("lbl_h_datum")->text(), QStringLiteral("2001.01.01"));
    QCOMPARE(w.findChild<QLabel *>("lbl_h_allapot")->text(), QStringLiteral("OK"));

    // Cancelling the dialog changes nothing.
    w.findChild<QRadioButton *>("rbtn_h")->setChecked(true);
    w.findChild<QPushButton *>("bbtn_beolvas")->click();
    QCOMPARE(prompter.fileTitles, QStringList{"OEP->Irányítószámok beolvasása : IRSZ.TXT"});
    QCOMPARE(prompter.fileNames, QStringList{"irsz.txt"});
    QCOMPARE(prompter.fileFilters, QStringList{"Irányítoszám adatok (irsz.txt)|irsz.txt"});
    QCOMPARE(t.scalar("select count(*) from irsz").toInt(), 4119);

    prompter.files = {
        t.writeFile("irsz.txt", win("1011,0,Budapest\r\n7400,0,Kaposvár\r\n7400,1,Kaposvár\r\n"))};
    w.findChild<QPushButton *>("bbtn_beolvas")->click();
    QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.join('|')));
    QCOMPARE(t.scalar("select count(*) from irsz").toInt(), 3);
    QCOMPARE(w.findChild<QLabel *>("lbl_h_db")->text(), QStringLiteral("3"));
    QCOMPARE(w.findChild<QLabel *>("lbl_h_datum")->text(), Today);
    QCOMPARE(w.findChild<QLabel *>("lbl_tetel")->text(), QStringLiteral("3"));
    QVERIFY(!w.findChild<QWidget *>("pnl_beolvas")->isVisible());
    if (const QString dir = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !dir.isEmpty())
        w.grab().save(dir + "/technikai.png");
}

void TestTechnical::windowLoadFailureKeepsWindowUsable()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    Tfrm_technikai w(t.context());
    w.setMode(Tfrm_technikai::Refresh);
    w.show();
    w.findChild<QRadioButton *>("rbtn_j")->setChecked(true);
    const QString file = t.writeFile("feor.txt", win("1;0;Fegyveres\r\n2;01\r\n"));
    prompter.files = {file};
    w.findChild<QPushButton *>("bbtn_beolvas")->click();
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(prompter.messages[0].contains(" 2. sor"));
    QCOMPARE(t.scalar("select count(*) from feor").toInt(), 653);
    QCOMPARE(w.findChild<QLabel *>("lbl_j_db")->text(), QStringLiteral("653"));
    QVERIFY(w.findChild<QWidget *>("gbx_adatok")->isEnabled());
    QVERIFY(w.findChild<QWidget *>("pnl_vissza")->isEnabled());
    QVERIFY(w.findChild<QWidget *>("pnl_gombok")->isEnabled());
    QVERIFY(!w.findChild<QWidget *>("pnl_beolvas")->isVisible());
}

void TestTechnical::commandLineLoad()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    CommandLine::Options o = CommandLine::parse(
        {"tarvik", "--home", t.home(), "--load", t.writeFile("MEP.TXT", win("010,Budapest\r\n")),
         t.writeFile("koz_ter.txt", win("001,utca\r\n002,út\r\n"))});
    QVERIFY(o.error.isEmpty());
    QVERIFY(CommandLine::isBatch(o));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(CommandLine::load(o, out, err), 0);
    QCOMPARE(outText.count('\n'), 2);
    QVERIFY(outText.contains("MEP.TXT: 1 sor"));
    QVERIFY(outText.contains("koz_ter.txt: 2 sor"));
    QCOMPARE(t.scalar("select count(*) from mep").toInt(), 1);

    // A broken file: non-zero exit, the message names the line, the table is kept.
    o = CommandLine::parse({"tarvik", "--home", t.home(), "--load",
                            t.writeFile("orszag.txt", win("HU,Magyarország,348\r\nXX\r\n"))});
    outText.clear();
    QCOMPARE(CommandLine::load(o, out, err), 1);
    QVERIFY2(errText.contains(" 2. sor"), qPrintable(errText));
    QCOMPARE(t.scalar("select count(*) from orszag").toInt(), 249);
    // A file that is no reference file.
    o = CommandLine::parse({"tarvik", "--home", t.home(), "--load", t.writeFile("x.txt", "a")});
    QCOMPARE(CommandLine::load(o, out, err), 1);
    QVERIFY(!CommandLine::parse({"tarvik", "--nincs"}).error.isEmpty());
}

int runTechnicalTests(int argc, char **argv)
{
    TestTechnical t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_technical.moc"

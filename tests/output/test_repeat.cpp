#include "commandline.h"
#include "completedreports.h"
#include "reportgenerator.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_ismetel.h"
#include "windowdriver.h"

#include "registrydatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace TableCheck;

namespace
{
const QString DemoFile = QStringLiteral("J0901A12345676242_020.001");
// 12345676242: 1×1 + 2×2 + 3×3 + 4×4 + 5×5 + 6×6 + 7×7 + 8×6 + 9×2 + 10×4 + 11×2 = 268 → 4.
constexpr int DemoKey = 4;

QVariantMap demoReport(TestInstallation &t)
{
    return CompletedReports(t.data()).reportByFileName(DemoFile).value_or(QVariantMap());
}

QString pad(const QString &value, int width)
{
    return value.leftJustified(width, u' ');
}

QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

class TestRepeat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void remadeFileDecodesToTheStoredLines()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // Renamed and moved since the report was made; one line stored as a late suspension;
        // a name whose letter passes 255 when coded (ű is 251, column 72 adds 2 + K).
        QVERIFY(exec(t, "update foglalk set ceg_nev = 'ÚJ NÉV KFT', sz_utca = 'KOSSUTH' "
                        "where id = 1"));
        QVERIFY(exec(t, "update jel_tete set javitas = 'E' where taj = '038521467'"));
        QVERIFY(exec(t, "update jel_tete set vez_nev = 'űrhajós' where taj = '111222337'"));
        const QString before = snapshot(t);
        QTemporaryDir out;
        CompletedReports store(t.data());
        const CompletedReports::Result r = store.remake(demoReport(t), out.path(), "1.0.4.3");
        QVERIFY2(r.ok, qPrintable(r.message + r.error));
        QCOMPARE(r.path, QDir(out.path()).filePath(DemoFile));
        QCOMPARE(r.message,
                 "A jelentés fájl elkészült!\n\rHelye: " + QDir::toNativeSeparators(r.path));
        QCOMPARE(snapshot(t), before);
        QCOMPARE(leftovers(out.path()), QStringList{DemoFile});

        QFile raw(r.path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QList<QByteArray> rawLines = raw.readAll().split('\n');
        // Items in family name order: KOVÁCS, NAGY, then the name starting with ű.
        QCOMPARE(quint8(rawLines[3][71]), quint8((251 + 2 + DemoKey) % 256));

        const QStringList lines = fileLines(r.path, DemoKey);
        QCOMPARE(lines.size(), 4);
        const QString &h = lines[0];
        QCOMPARE(h.mid(0, 7), QStringLiteral("1.0.4.3"));
        QCOMPARE(h.mid(7, 2), QStringLiteral("09"));
        QCOMPARE(h.mid(9, 5), QStringLiteral("1    "));
        QCOMPARE(h.mid(14, 5), QStringLiteral("3    "));
        QCOMPARE(h.mid(19, 21), QStringLiteral("J0901A12345676242.001"));
        QCOMPARE(h.mid(40, 21), QStringLiteral("J0901A12345676242.001"));
        // The first making date, the employer as it is now.
        QCOMPARE(h.mid(61, 10), QStringLiteral("2025.10.06"));
        QCOMPARE(h.mid(95, 50), pad("ÚJ NÉV KFT", 50));
        QCOMPARE(h.mid(150, 50), pad("KOSSUTH", 50));
        QCOMPARE(h.mid(469, 11), QStringLiteral("12345676242"));

        QCOMPARE(lines[1].mid(71, 50), pad("KOVÁCS", 50));
        QCOMPARE(lines[2].mid(71, 50), pad("NAGY", 50));
        QCOMPARE(lines[3].mid(71, 50), pad("űrhajós", 50));
        QCOMPARE(lines[1].mid(0, 5), QStringLiteral("1    "));
        QCOMPARE(lines[2].mid(5, 5), QStringLiteral("2    "));
        // "E" goes out as "N", as in any report file.
        QCOMPARE(lines[2].mid(10, 1), QStringLiteral("N"));
        QCOMPARE(lines[2].mid(11, 9), QStringLiteral("038521467"));
        QCOMPARE(lines[2].mid(20, 10), QStringLiteral("1979.11.30"));
        QCOMPARE(lines[2].mid(348, 4), QStringLiteral("1101"));
        QCOMPARE(lines[2].mid(354, 10), QStringLiteral("2023.01.02"));
        QCOMPARE(lines[2].mid(364, 10), QStringLiteral("2025.06.30"));
        QCOMPARE(lines[2].mid(396, 4), QStringLiteral("5113"));
        // 427 blanks and the values: number, item, kind (3), TAJ (9), birth date (10), GYŐR
        // (4), identifier (11), NAGY PÉTER twice (18), TÓTH MÁRIA (9), 348, 1101, 09 (9), two
        // dates (20), hours (2), FEOR (4), career starter (1).
        QCOMPARE(lines[2].size(), 427 + 3 + 9 + 10 + 4 + 11 + 18 + 9 + 9 + 20 + 2 + 4 + 1);
    }

    void wrapPastTheLastCodeWithKeyZero()
    {
        // With K = 0 column 9 adds 9: ú (250) becomes 3 and comes back.
        const QByteArray plain = QByteArray("12345678") + char(0xFA) + "0";
        const QByteArray coded = ReportFile::code(plain, 0);
        QCOMPARE(quint8(coded[8]), quint8(3));
        QCOMPARE(quint8(coded[9]), quint8('0'));
        QCOMPARE(ReportFile::decode(coded, 0), plain);
    }

    void failuresWriteNothing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("identifier") << "update jel_fej set ado_szam = '1234567A242'"
                                    << "A(z) \"DEMO KERESKEDELMI KFT\" bejelentő azonosítója "
                                       "(1234567A242) nem csak számjegyekből áll,\n\ra jelentés "
                                       "fájl nem készíthető el !";
        QTest::newRow("house number") << "update foglalk set sz_haz = '12/A-3B' where id = 1"
                                      << "A(z) \"DEMO KERESKEDELMI KFT\" bejelentő Székhely "
                                         "házszám adata hosszabb, mint a jelentésben neki jutó "
                                         "hely.\n\rA jelentés nem készült el, javítsa az adatot !";
    }
    void failuresWriteNothing()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, change));
        QTemporaryDir out;
        QFile old(QDir(out.path()).filePath(DemoFile));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        const CompletedReports::Result r =
            CompletedReports(t.data()).remake(demoReport(t), out.path(), "1.0.4.3");
        QVERIFY(!r.ok);
        QCOMPARE(r.message, message);
        QCOMPARE(leftovers(out.path()), QStringList{DemoFile});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("régi"));
    }

    void listsAndFolders()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, "insert into jel_fej (JEL_SZAM, JEL_TIP, JEL_TETE, FAJL_NEV, FOGLALK_ID) "
                        "values (0, '09', 0, '*INDULÓ JELENTÉS*', 1)"));
        CompletedReports store(t.data());
        const auto reports = store.reports(1, "09 - Eü. szolgáltatásra jogosultak jelentése");
        QVERIFY(reports);
        QCOMPARE(reports->size(), 1);
        QCOMPARE(reports->first().value("FAJL_NEV").toString(), DemoFile);
        QVERIFY(store.reportByFileName("*INDULÓ JELENTÉS*")->isEmpty());
        QCOMPARE(store.lines(reports->first())->size(), 3);

        const auto seat = store.seatByName("DEMO KERESKEDELMI KFT");
        QVERIFY(seat && seat->id == 1);
        QVERIFY(!seat->settlement.isEmpty());
        // Without the reference row of its street type the employer has no address and no id.
        QVERIFY(exec(t, "update foglalk set sz_cim_jell = 'ZZZ' where id = 1"));
        QCOMPARE(store.seatByName("DEMO KERESKEDELMI KFT")->id, -1);

        const Installation &home = t.context().installation;
        Settings::write("Alap ismet", QString());
        QCOMPARE(CompletedReports::repeatFolder(home), t.path("Text"));
        QCOMPARE(CompletedReports::pathLabel(home),
                 home.programFolder() + "Text" + QDir::separator());
        QTemporaryDir own;
        const QString chosen = own.filePath("ismet");
        Settings::write("Alap ismet", chosen);
        QCOMPARE(CompletedReports::repeatFolder(home), chosen);
        QVERIFY(QDir(chosen).exists());
        QCOMPARE(CompletedReports::pathLabel(home), chosen + QDir::separator());
    }

    void windowRepeatsTheChosenOutputs()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        t.context().run.rightsLevel = 2;
        t.context().run.userName = "ADMIN";
        ScriptedPrompter prompter;
        Tfrm_ismetel w(t.context());
        w.show();
        QCoreApplication::processEvents();
        WindowDriver d{w};
        QCOMPARE(w.windowTitle(), QStringLiteral(" Elkészült jelentések megtekintése "));
        QCOMPARE(d.get<QLabel>("lbl_foglrec")->text(), QStringLiteral("2"));
        QVERIFY(!d.combo("cmb_jelnev")->isEnabled());
        QVERIFY(!d.button("bbtn_ismetel")->isEnabled());

        // The prison service has no report of type 09: message and reset.
        d.choose("cmb_fogl", "BÜNTETÉS-VÉGREHAJTÁS ORSZÁGOS PARANCSNOKSÁGA");
        d.choose("cmb_jelnev", "09 - Eü. szolgáltatásra jogosultak jelentése");
        QCOMPARE(prompter.messages.last(), QStringLiteral("Nincs a foglalkoztatóhoz jelentés"));
        QCOMPARE(d.combo("cmb_fogl")->currentIndex(), -1);

        d.choose("cmb_fogl", "DEMO KERESKEDELMI KFT");
        QVERIFY(!d.edit("ed_hely")->text().isEmpty());
        d.choose("cmb_jelnev", "09 - Eü. szolgáltatásra jogosultak jelentése");
        QCOMPARE(d.get<QLabel>("lbl_fej")->text(), QStringLiteral("1"));
        QCOMPARE(d.get<QLabel>("lbl_tetel")->text(), QStringLiteral("3"));
        QCOMPARE(d.get<QTableWidget>("dbg_tetel")->item(0, 3)->text(), QStringLiteral("KOVÁCS"));

        const QString before = snapshot(t);
        QStringList states;
        prompter.dialogActions << [&](QDialog *dialog) -> int {
            workChoiceWindow(*dialog, t.context().installation.programFolder());
            states << "worked";
            return dialog->result();
        };
        d.click("bbtn_ismetel");
        QCOMPARE(states, QStringList{"worked"});
        QCOMPARE(prompter.dialogsShown, QStringList{"Tfrm_valaszt"});
        const QString pdf = t.path("Text/bejelentolap_" + DemoFile + ".pdf");
        const QString file = t.path("Text/" + DemoFile);
        QCOMPARE(prompter.messages.mid(prompter.messages.size() - 2),
                 (QStringList{"A bejelentőlap elkészült:\n\r" + QDir::toNativeSeparators(pdf),
                              "A jelentés fájl elkészült!\n\rHelye: " +
                                  QDir::toNativeSeparators(file)}));
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(fileLines(file, DemoKey).size(), 4);
        QCOMPARE(snapshot(t), before);
    }

private:
    // Checks the choice window's first state and enabling rules, then asks for the sheet as a
    // PDF and the file into the repeat folder.
    void workChoiceWindow(QDialog &dialog, const QString &programFolder)
    {
        WindowDriver c{dialog};
        dialog.show();
        QCoreApplication::processEvents();
        auto radio = [&](const char *name) { return c.get<QRadioButton>(name); };
        auto box = [&](const char *name) { return c.get<QCheckBox>(name); };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Választás a lehetőségek közül"));
        QVERIFY(!c.button("bbtn_ismetel")->isEnabled());
        QVERIFY(radio("rbtn_floppy")->isChecked() && !radio("rbtn_floppy")->isEnabled());
        for (const char *n : {"rbtn_bprint", "rbtn_bpdf", "rbtn_nprint", "rbtn_npdf"})
            QVERIFY(!radio(n)->isChecked() && !radio(n)->isEnabled());
        QCOMPARE(c.get<QLabel>("lbl_utvonal")->text(), programFolder + "Text" + QDir::separator());
        box("cbx_bejelento")->click();
        QVERIFY(radio("rbtn_bprint")->isChecked() && radio("rbtn_bpdf")->isEnabled());
        QVERIFY(c.button("bbtn_ismetel")->isEnabled());
        box("cbx_bejelento")->click();
        QVERIFY(!radio("rbtn_bprint")->isChecked() && !radio("rbtn_bpdf")->isEnabled());
        QVERIFY(!c.button("bbtn_ismetel")->isEnabled());
        box("cbx_bejelento")->click();
        radio("rbtn_bpdf")->click();
        box("cbx_jelentes")->click();
        QVERIFY(radio("rbtn_text")->isEnabled() && c.get<QLabel>("lbl_utvonal")->isEnabled());
        radio("rbtn_text")->click();
        c.click("bbtn_ismetel");
    }

private Q_SLOTS:
    void queryUserSeesNoRepeat()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        t.context().run.rightsLevel = 1;
        ScriptedPrompter prompter;
        Tfrm_ismetel w(t.context());
        w.show();
        QCoreApplication::processEvents();
        QVERIFY(!w.findChild<QPushButton *>("bbtn_ismetel")->isVisible());
    }

    void commandLine()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        const QString before = snapshot(t);
        QTemporaryDir out;
        CommandLine::Options o;
        o.home = t.home();
        o.repeat = DemoFile;
        o.folder = out.path();
        o.pdf = true;
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::repeat(o, so, se), 0);
        so.flush();
        const QString text = QDir::toNativeSeparators(t.path("Text")) + QDir::separator();
        QCOMPARE(printed.split('\n', Qt::SkipEmptyParts),
                 (QStringList{text + "bejelentolap_" + DemoFile + ".pdf",
                              text + "nyilatkozat_" + DemoFile + ".pdf",
                              QDir::toNativeSeparators(QDir(out.path()).filePath(DemoFile))}));
        QCOMPARE(fileLines(QDir(out.path()).filePath(DemoFile), DemoKey).size(), 4);
        QCOMPARE(snapshot(t), before);

        o.repeat = "J0901A12345676242_020.009";
        o.pdf = false;
        QCOMPARE(CommandLine::repeat(o, so, se), 1);
        se.flush();
        QCOMPARE(errors, "Nincs ilyen nevű elkészült jelentés: J0901A12345676242_020.009\n");
        errors.clear();
        o.repeat = DemoFile;
        o.folder = out.filePath("nincs");
        QCOMPARE(CommandLine::repeat(o, so, se), 1);
        se.flush();
        QVERIFY2(errors.startsWith("A jelentés fájl nem készült el: " + DemoFile +
                                   "\na mappa "
                                   "nem létezik"),
                 qPrintable(errors));
    }

    // Report making, found while building the repeat: a pending report is an employer, a type
    // and a sequence number; an empty occupation code of 1101 matches an empty one.
    void makingBySequenceNumber()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        auto line = [](int sequence, int item, const QString &taj) {
            return QString("insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, "
                           "NYILV_SZAM, VEZ_NEV, UTO_NEV, SZ_VEZ_NEV, SZUL_DAT, SZUL_HELY, O_KOD, "
                           "JOGCIM, JEL_TIP, KEZDET, HORA, PAKEZD) values (%1, %2, 'N', '%3', 1, "
                           "'12345676242', 'VARGA', 'ÉVA', 'VARGA', '1980.01.01', 'PÉCS', '348', "
                           "'1101', '09', '2026.11.02', '40', 'N')")
                .arg(sequence)
                .arg(item)
                .arg(taj);
        };
        QVERIFY(exec(t, line(2, 1, "044332217")));
        QVERIFY(exec(t, line(2, 2, "044332217")));
        QVERIFY(exec(t, line(3, 1, "123456788")));
        ReportGenerator g(t.data());
        const auto reports = g.pendingReports();
        QVERIFY(reports);
        QCOMPARE(reports->size(), 2);
        QCOMPARE(reports->at(0).sequence, 2);
        QCOMPARE(reports->at(0).lines, 2);
        QCOMPARE(reports->at(1).sequence, 3);
        QTemporaryDir out;
        ReportGenerator::Options o;
        o.folder = out.path();
        o.version = "1.0.4.3";
        o.today = "2026.12.08";
        for (const PendingReport &r : *reports)
            QVERIFY(g.make(r, o).ok);
        QCOMPARE(fileLines(QDir(out.path()).filePath("J0901A12345676242_020.002")).size(), 3);
        QCOMPARE(fileLines(QDir(out.path()).filePath("J0901A12345676242_020.003")).size(), 2);
        QCOMPARE(t.scalar("select count(*) from jel_tete where jel_szam > 1").toInt(), 3);
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 0);
        // Two lines of 1101 without an occupation code: one relation, updated by the second.
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj = '044332217'").toInt(), 1);
    }
};

int runRepeatTests(int argc, char **argv)
{
    TestRepeat t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_repeat.moc"

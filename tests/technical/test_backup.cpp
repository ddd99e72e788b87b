#include "codepage.h"
#include "commandline.h"
#include "datamodule.h"
#include "persontransfer.h"
#include "registrydatabase.h"
#include "reportbackup.h"
#include "runstate.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_technikai.h"
#include "windowdriver.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace TableCheck;

namespace
{
const QStringList ReportTables = {"foglalk", "taj_jogcim", "taj", "jel_fej", "jel_tete"};
const QString Today = QDate::currentDate().toString("yyyy.MM.dd");

// Every row of the five tables in one database, to compare two of them.
QString rowsOf(QSqlDatabase db)
{
    QStringList rows;
    for (const QString &table : ReportTables) {
        QSqlQuery q(db);
        q.exec(QString("select * from %1").arg(table));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                // The name keys are made again after a restore.
                if (q.record().fieldName(i).compare(u"NEV_KULCS", Qt::CaseInsensitive) != 0)
                    row << q.record().fieldName(i) + '=' + q.value(i).toString();
            rows << table + ':' + row.join('|');
        }
    }
    rows.sort();
    return rows.join('\n');
}

ReportBackup backupOf(TestInstallation &t)
{
    return ReportBackup(t.data(), t.context().installation.backupFolder());
}
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void backupAndRestoreAreExactCopies()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        const QString live = rowsOf(t.data().db());
        QVERIFY(live.count('\n') > 8);
        const auto made = backupOf(t).backup();
        QVERIFY2(made.ok, qPrintable(made.error));
        QCOMPARE(made.message, QStringLiteral("A mentés kész !"));
        QCOMPARE(Settings::read("Mentes"), Today);
        QVERIFY(t.data().connectBackup(t.context().installation.backupFolder(), {}));
        QCOMPARE(rowsOf(t.data().backupDb()), live);
        QVERIFY(!QFile::exists(t.path("adatok/Ment/ment.sqlite.uj")));

        // Changed afterwards, and loaded back: the state of the backup, dated by the backup.
        QVERIFY(exec(t, "delete from taj where taj = '123456788'"));
        QVERIFY(exec(t, "update foglalk set ceg_nev = 'MÁS' where id = 1"));
        Settings::write("Mentes", "2026.01.15");
        const auto restored = backupOf(t).restore();
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QCOMPARE(restored.message, QStringLiteral("A visszatöltés kész !"));
        QCOMPARE(rowsOf(t.data().db()), live);
        for (const char *name : {"Fogl", "Szem_adat", "Szem_jogcim"})
            QCOMPARE(Settings::read(name), QStringLiteral("2026.01.15"));
    }

    void restoreRefusals()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // Nothing saved yet.
        QCOMPARE(
            backupOf(t).restoreRefusal().message,
            QStringLiteral("Nincs még mentett állomány !\n\rA visszatöltés nem végezhető el."));
        QVERIFY(backupOf(t).backup().ok);
        QVERIFY(backupOf(t).restoreRefusal().ok);
        // A pending line of any employer.
        QVERIFY(exec(t, "insert into jel_temp (JEL_SZAM, JEL_TETE, FOGLALK_ID, TAJ) values (1, 1, "
                        "2, '123456788')"));
        QCOMPARE(backupOf(t).restoreRefusal().message,
                 QStringLiteral("Van előkészített jelentés !\n\rA visszatöltés nem végezhető el."));
        QVERIFY(exec(t, "delete from jel_temp"));

        // A backup that lacks a table, or a column, restores nothing.
        const QString before = snapshot(t);
        QSqlQuery saved(t.data().backupDb());
        QVERIFY(saved.exec("alter table jel_fej drop column KESZ_DAT"));
        auto r = backupOf(t).restore();
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("A mentésből hiányzik a(z) jel_fej tábla KESZ_DAT "
                                           "mezője !\n\rA visszatöltés nem végezhető el."));
        QVERIFY(backupOf(t).backup().ok);
        QVERIFY(QSqlQuery(t.data().backupDb()).exec("drop table jel_tete"));
        r = backupOf(t).restore();
        QCOMPARE(r.message, QStringLiteral("A mentésből hiányzik a(z) jel_tete tábla !\n\rA "
                                           "visszatöltés nem végezhető el."));
        QCOMPARE(snapshot(t), before);

        // No backup folder at all.
        t.data().closeBackup();
        QVERIFY(QDir(t.path("adatok/Ment")).removeRecursively());
        QCOMPARE(backupOf(t).restoreRefusal().message,
                 QStringLiteral("A visszatöltést nem lehet elvégezni !\n\rA ..\\adatok\\ment "
                                "könyvtár nem létezik"));
        const auto noFolder = backupOf(t).backup();
        QVERIFY(!noFolder.ok);
        QCOMPARE(noFolder.message, QStringLiteral("A mentést nem lehet elvégezni !\n\rA "
                                                  "..\\adatok\\ment könyvtár nem létezik"));
    }

    void failedBackupKeepsTheOldOne()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(backupOf(t).backup().ok);
        const QString file = t.path("adatok/Ment/ment.sqlite");
        // The backup as it stands: its file here, its rows on a server.
        auto saved = [&] {
            if (!t.onServer()) {
                t.data().closeBackup();
                return fileBytes(file);
            }
            t.data().connectBackup(t.path("adatok/Ment"), {});
            return rowsOf(t.data().backupDb()).toUtf8();
        };
        const QByteArray old = saved();
        QVERIFY(!old.isEmpty());
        Settings::write("Mentes", "2026.01.15");
        // The last of the five tables cannot be read: four are copied before the failure.
        QVERIFY(exec(t, "alter table jel_tete rename to jel_tete_x"));
        const auto r = backupOf(t).backup();
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("A mentés nem lett elvégezve ."));
        QVERIFY2(r.error.contains("jel_tete"), qPrintable(r.error));
        QCOMPARE(saved(), old);
        if (!t.onServer())
            QCOMPARE(QDir(t.path("adatok/Ment")).entryList(QDir::Files),
                     QStringList{"ment.sqlite"});
        QCOMPARE(Settings::read("Mentes"), QStringLiteral("2026.01.15"));
    }

    void windowBackupMode()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        Tfrm_technikai w(t.context());
        w.setMode(Tfrm_technikai::Backup);
        w.show();
        WindowDriver d{w};
        QVERIFY(d.button("bbtn_megszuntet")->isVisible() &&
                d.button("bbtn_megszuntet")->isEnabled());
        QVERIFY(d.button("bbtn_letrehoz")->isVisible() && !d.button("bbtn_letrehoz")->isEnabled());
        for (const char *hidden : {"bbtn_karbantart", "bbtn_beolvas", "bbtn_export", "bbtn_import"})
            QVERIFY2(!d.button(hidden)->isVisible(), hidden);
        for (QRadioButton *radio : w.findChildren<QRadioButton *>())
            QCOMPARE(radio->isEnabled(), radio->objectName() == u"rbtn_osszes");

        d.click("bbtn_megszuntet");
        QCOMPARE(prompter.bottomQuestions.size(), 1);
        QCOMPARE(prompter.bottomQuestions[0].line1,
                 QStringLiteral("Valóban menti az adatbázist ?!"));
        QVERIFY(prompter.bottomQuestions[0].line2.isEmpty());
        QCOMPARE(prompter.messages.last(), QStringLiteral("A mentés kész !"));
        QCOMPARE(d.get<QLabel>("lbl_osszes_datum")->text(), Today);

        prompter.bottomAnswers << BottomAnswer{7, false, {}};
        d.click("bbtn_megszuntet");
        QCOMPARE(prompter.bottomQuestions[1].line2,
                 QStringLiteral("Az eddigi mentett adat felülíródik !"));
        QCOMPARE(prompter.messages.last(), QStringLiteral("A mentés nem lett elvégezve ."));
        QVERIFY(d.button("bbtn_megszuntet")->isEnabled());
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_technikai_mentes.png");
    }

    void yearChangePage()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        t.context().run.year = "2026";
        Tfrm_technikai w(t.context());
        QSignalSpy changed(&w, &Tfrm_technikai::yearChanged);
        w.setMode(Tfrm_technikai::YearChange);
        w.show();
        WindowDriver d{w};
        QComboBox *years = d.combo("cmb_evvalt");
        QVERIFY(!years->isEnabled());
        QCOMPARE(years->currentText(), QStringLiteral("2026"));
        QVERIFY(!d.button("bbtn_evment")->isEnabled());
        d.click("bbtn_evvalt");
        QStringList offered;
        for (int i = 0; i < years->count(); ++i)
            offered << years->itemText(i);
        QCOMPARE(offered, (QStringList{"2026", "2025", "2024", "2023", "2022"}));
        d.choose("cmb_evvalt", "2024");
        QCOMPARE(d.button("bbtn_evvalt")->text(), QStringLiteral("Mégse"));
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_technikai_evvaltas.png");
        d.click("bbtn_evment");
        QCOMPARE(t.context().run.year, QStringLiteral("2024"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(years->currentText(), QStringLiteral("2024"));
        QCOMPARE(d.button("bbtn_evvalt")->text(), QStringLiteral("Évváltás"));
        // The list still starts from the year the window opened with.
        d.click("bbtn_evvalt");
        offered.clear();
        for (int i = 0; i < years->count(); ++i)
            offered << years->itemText(i);
        QCOMPARE(offered, (QStringList{"2026", "2025", "2024", "2023", "2022"}));
        d.choose("cmb_evvalt", "2024");
        d.click("bbtn_evment");

        // "Mégse" brings back the year the window opened with.
        d.click("bbtn_evvalt");
        d.choose("cmb_evvalt", "2023");
        d.click("bbtn_evvalt");
        QCOMPARE(t.context().run.year, QStringLiteral("2026"));
        QCOMPARE(changed.count(), 3);
        QVERIFY(!years->isEnabled());
    }

    void personsRoundTrip()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, "insert into taj (TAJ, VEZ_NEV, UTO_NEV, P_KOD, O_KOD) values "
                        "('044332217', 'ŐRÖS-ÜRGE', 'ŰRSULA', '0123', '348')"));
        QTemporaryDir out;
        const auto r =
            PersonTransfer::exportTable(t.data(), PersonTransfer::Kind::Persons, out.path());
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.message, "Az exportálás megtörtént a \n\r" +
                                QDir::toNativeSeparators(out.filePath("Taj_e.txt")) +
                                " nevű fájlba");
        const QList<QByteArray> lines = fileBytes(r.path).split('\n');
        QCOMPARE(lines.size(), 5); // four persons and the end
        const QByteArray ours = lines[3];
        QCOMPARE(ours.size(), 73); // 72 columns and the CR
        QCOMPARE(ours.left(9), QByteArray("044332217"));
        QCOMPARE(CodePage::fromIbm852(ours.mid(9, 40)), QString("ŐRÖS-ÜRGE").leftJustified(40));
        QCOMPARE(ours.at(9), char(0x8a)); // Ő in code page 852
        QCOMPARE(CodePage::fromIbm852(ours.mid(49, 15)), QString("ŰRSULA").leftJustified(15));
        QCOMPARE(ours.mid(64, 8), QByteArray("0123348 "));

        // Read in elsewhere as taj.txt: every field comes back.
        TestInstallation other(TestInstallation::WithReferenceData);
        QVERIFY(other.ok());
        const auto in =
            PersonTransfer::importFile(other.data(), PersonTransfer::Kind::Persons, r.path);
        QVERIFY2(in.ok, qPrintable(in.message + in.error));
        const QString fields = "select group_concat(taj || vez_nev || uto_nev || "
                               "coalesce(p_kod, '-') || o_kod, ';') from (select * from taj "
                               "order by taj)";
        QCOMPARE(other.scalar(fields).toString(), t.scalar(fields).toString());
        QCOMPARE(Settings::read("Szem_adat"), Today);
    }

    void relationsRoundTripAndOverlongValue()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(exec(t, "update taj_jogcim set nyilv_szam = '1234567890', ell_kod = '1234', "
                        "ell_kezd = '2024.01.01', ell_vege = '2024.12.31', szun_kezd = "
                        "'2024.02.01', szun_vege = '2024.02.28' where taj = '123456788'"));
        QTemporaryDir out;
        const auto r =
            PersonTransfer::exportTable(t.data(), PersonTransfer::Kind::Relations, out.path());
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(
            fileBytes(r.path).split('\n').contains(QByteArray("1234567881234567890110109"
                                                              "2024.03.01          404131123420"
                                                              "24.01.012024.12.312024.02.012024."
                                                              "02.28N\r")));
        TestInstallation other(TestInstallation::WithReferenceData);
        QVERIFY(other.ok());
        QVERIFY(
            PersonTransfer::importFile(other.data(), PersonTransfer::Kind::Relations, r.path).ok);
        const QString fields =
            "select group_concat(taj || '|' || coalesce(nyilv_szam, '') || '|' || jogcim || '|' || "
            "jel_tip || '|' || coalesce(kezdet, '') || '|' || coalesce(vege, '') || '|' || "
            "coalesce(hora, '') || '|' || coalesce(feor, '') || '|' || coalesce(ell_kod, '') || "
            "'|' || coalesce(ell_kezd, '') || '|' || coalesce(ell_vege, '') || '|' || "
            "coalesce(szun_kezd, '') || '|' || coalesce(szun_vege, '') || '|' || "
            "coalesce(pakez, ''), ';') from (select * from taj_jogcim order by taj)";
        QCOMPARE(other.scalar(fields).toString(), t.scalar(fields).toString());
        QVERIFY(other.scalar("select foglalk_id from taj_jogcim limit 1").isNull());

        // A registration number of 11 characters has no place in the file: nothing is written.
        QVERIFY(exec(t, "update taj_jogcim set nyilv_szam = '12345676242' where taj = "
                        "'111222337'"));
        const QByteArray before = fileBytes(r.path);
        const auto refused =
            PersonTransfer::exportTable(t.data(), PersonTransfer::Kind::Relations, out.path());
        QVERIFY(!refused.ok);
        QCOMPARE(refused.message, QStringLiteral("Hiba lépett fel az exportálás közben !!"));
        QCOMPARE(refused.error, QStringLiteral("A(z) 111222337 TAJ számú személy NYILV_SZAM "
                                               "mezője (12345676242) hosszabb 10 karakternél."));
        QCOMPARE(fileBytes(r.path), before);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"Tajj_e.txt"});
    }

    void importsAllOrNothing()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        // A short line, an accented name in code page 852, and a third line repeating the first.
        const QByteArray file = "123456788KISS\r\n038521467" +
                                CodePage::toIbm852(QString("ŐRI").leftJustified(40) + "ÁGNES") +
                                "\r\n123456788NAGY\r\n";
        const QString path = t.writeFile("taj.txt", file);
        Settings::write("Szem_adat", "2026.01.15");
        const auto failed =
            PersonTransfer::importFile(t.data(), PersonTransfer::Kind::Persons, path);
        QVERIFY(!failed.ok);
        QVERIFY2(failed.message.startsWith("A(z) 3. sor"), qPrintable(failed.message));
        QVERIFY(!failed.error.isEmpty());
        QCOMPARE(t.scalar("select count(*) from taj").toInt(), 0);
        QCOMPARE(Settings::read("Szem_adat"), QStringLiteral("2026.01.15"));

        const QString good = t.writeFile("taj2.txt", file.left(file.lastIndexOf("123456788NAGY")));
        QVERIFY(PersonTransfer::importFile(t.data(), PersonTransfer::Kind::Persons, good).ok);
        QCOMPARE(t.scalar("select vez_nev || '/' || coalesce(uto_nev, '-') from taj where taj = "
                          "'123456788'")
                     .toString(),
                 QStringLiteral("KISS/-"));
        QCOMPARE(t.scalar("select vez_nev || '/' || uto_nev from taj where taj = '038521467'")
                     .toString(),
                 QStringLiteral("ŐRI/ÁGNES"));
    }

    void emptyExportAndWindowExportImport()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        Tfrm_technikai w(t.context());
        w.setMode(Tfrm_technikai::ExportImport);
        w.show();
        WindowDriver d{w};
        for (QRadioButton *radio : w.findChildren<QRadioButton *>())
            QCOMPARE(radio->isEnabled(),
                     radio->objectName() == u"rbtn_d" || radio->objectName() == u"rbtn_e");
        QVERIFY(d.get<QRadioButton>("rbtn_d")->isChecked());
        d.click("bbtn_export");
        QCOMPARE(prompter.messages.last(), QStringLiteral("Nincs exportálni való tétel !!"));
        const QString exported = QDir(t.home()).filePath("Taj_e.txt");
        QVERIFY(QFile::exists(exported));
        QCOMPARE(QFileInfo(exported).size(), 0);

        prompter.files << t.writeFile("taj.txt", "123456788KISS\r\n");
        d.click("bbtn_import");
        QCOMPARE(prompter.fileTitles.last(),
                 QStringLiteral("Munkavállalói adatok importálása : TAJ.TXT"));
        QCOMPARE(prompter.fileFilters.last(),
                 QStringLiteral("Jelentett személyek adatai (taj.txt)|taj.txt"));
        QCOMPARE(d.get<QLabel>("lbl_d_db")->text(), QStringLiteral("1"));
        QCOMPARE(d.get<QLabel>("lbl_d_datum")->text(), Today);
        QVERIFY(!d.get<QWidget>("pnl_beolvas")->isVisible());
    }

    // A crash between setting the old backup aside and placing the new one (as an older
    // version replaced it): the next start puts the old one back, removes the half-written new
    // one, and login and restore work.
    void crashDuringBackupLeavesAUsableOne()
    {
        if (!TestInstallation::testServer().isEmpty())
            QSKIP("A backup on a server is one transaction and leaves no files.");
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(backupOf(t).backup().ok);
        t.data().closeBackup();
        const QString file = t.path("adatok/Ment/ment.sqlite");
        const QByteArray old = fileBytes(file);
        QVERIFY(QFile::rename(file, file + ".elozo"));
        QFile half(file + ".uj");
        QVERIFY(half.open(QIODevice::WriteOnly));
        half.write("SQLite format 3");
        half.close();
        QString error;
        QVERIFY2(t.data().connectBackup(t.path("adatok/Ment"), {"foglalk", "taj"}, &error),
                 qPrintable(error));
        QCOMPARE(QDir(t.path("adatok/Ment")).entryList(QDir::Files), QStringList{"ment.sqlite"});
        t.data().closeBackup();
        QCOMPARE(fileBytes(file), old);
        QVERIFY(backupOf(t).restore().ok);
        // A new backup replaces the old in one step: nothing is left beside it.
        QVERIFY(backupOf(t).backup().ok);
        QCOMPARE(QDir(t.path("adatok/Ment")).entryList(QDir::Files), QStringList{"ment.sqlite"});
    }

    // Lines that carry no person: each refuses its whole file, with the line and the field.
    void importRefusesBadLines_data()
    {
        QTest::addColumn<bool>("persons");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("fault");
        QTest::newRow("letter in TAJ") << true << QByteArray("12345678AKISS") << "TAJ szám";
        QTest::newRow("wrong check digit") << true << QByteArray("123456789KISS") << "TAJ szám";
        QTest::newRow("blank TAJ") << true << QByteArray("         KISS") << "TAJ szám";
        QTest::newRow("relation letter in TAJ")
            << false << QByteArray("12345678A          110109") << "TAJ szám";
        QTest::newRow("month 13") << false << QByteArray("123456788          1101092020.13.45")
                                  << "KEZDET";
        QTest::newRow("letters as date")
            << false << QByteArray("123456788          1101092020.01.01abcdefghij") << "VEGE";
        QTest::newRow("text past the layout")
            << true << QByteArray("123456788KISS").leftJustified(72, ' ') + "X"
            << "72. karakter után";
        QTest::newRow("relation text past the layout")
            << false << QByteArray("123456788          110109").leftJustified(96, ' ') + "  N"
            << "96. karakter után";
    }

    // Lines may end in CR LF, LF or a lone CR (an old Mac-style or damaged file): each is a line.
    void importTakesEveryLineEnd()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        QByteArray file;
        QStringList tajs;
        const char *const ends[] = {"\r", "\r", "\n", "\r\n"};
        for (int i = 1; i <= 40; ++i) {
            // "9", seven digits and the TAJ check digit: odd places times 3, even times 7.
            const QString digits = QString::number(90000000 + i);
            int sum = 0;
            for (int d = 0; d < 8; ++d)
                sum += digits[d].digitValue() * (d % 2 == 0 ? 3 : 7);
            tajs << digits + QString::number(sum % 10);
            file += tajs.last().toLatin1() + "NAGY" + ends[i % 4];
        }
        const auto r = PersonTransfer::importFile(t.data(), PersonTransfer::Kind::Persons,
                                                  t.writeFile("taj.txt", file));
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.rows, 40);
        QCOMPARE(TableCheck::rows(t, "select TAJ from taj order by TAJ"), tajs);
    }
    void importRefusesBadLines()
    {
        QFETCH(bool, persons);
        QFETCH(QByteArray, line);
        QFETCH(QString, fault);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        const QByteArray good = persons ? "900000014FOGOLY\r\n" : "900000014          277109\r\n";
        const QString path = t.writeFile(persons ? "taj.txt" : "tajj.txt", good + line + "\r\n");
        const QString before = snapshot(t, {"taj", "taj_jogcim"});
        const auto r = PersonTransfer::importFile(
            t.data(), persons ? PersonTransfer::Kind::Persons : PersonTransfer::Kind::Relations,
            path);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.startsWith("A(z) 2. sor hibás") && r.message.contains(fault),
                 qPrintable(r.message));
        QCOMPARE(snapshot(t, {"taj", "taj_jogcim"}), before);
    }

    // A DOS end-of-file mark ends the file; --export then --import carries every person and
    // relation into a fresh installation.
    void commandLineExportAndImport()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        const QString dos = t.writeFile("taj.txt", "900000014FOGOLY\r\n\x1a");
        QVERIFY(PersonTransfer::importFile(t.data(), PersonTransfer::Kind::Persons, dos).ok);
        QCOMPARE(t.scalar("select count(*) from taj").toInt(), 4);

        QTemporaryDir out;
        CommandLine::Options o =
            CommandLine::parse({"tarvik", "--home", t.home(), "--export", "--folder", out.path()});
        QVERIFY(o.error.isEmpty() && o.exportPersons);
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::exportPersons(o, so, se), 0);
        so.flush();
        QVERIFY2(printed.contains(QDir::toNativeSeparators(out.filePath("Taj_e.txt"))) &&
                     printed.contains(QDir::toNativeSeparators(out.filePath("Tajj_e.txt"))),
                 qPrintable(printed));

        TestInstallation fresh(TestInstallation::WithReferenceData);
        QVERIFY(fresh.ok());
        QVERIFY(QFile::copy(out.filePath("Taj_e.txt"), out.filePath("taj.txt")));
        QVERIFY(QFile::copy(out.filePath("Tajj_e.txt"), out.filePath("tajj.txt")));
        o = CommandLine::parse({"tarvik", "--home", fresh.home(), "--import",
                                out.filePath("taj.txt"), out.filePath("tajj.txt")});
        QCOMPARE(o.importFiles.size(), 2);
        printed.clear();
        QCOMPARE(CommandLine::importPersons(o, so, se), 0);
        so.flush();
        QVERIFY2(printed.contains("taj.txt: 4 sor beolvasva.") &&
                     printed.contains("tajj.txt: 3 sor beolvasva."),
                 qPrintable(printed));
        const QString persons = "select taj, vez_nev, uto_nev, p_kod, o_kod from taj order by taj";
        const QString relations = "select taj, jogcim, jel_tip, kezdet, vege, hora, feor from "
                                  "taj_jogcim order by taj, jogcim";
        QCOMPARE(rows(fresh, persons), rows(t, persons));
        QCOMPARE(rows(fresh, relations), rows(t, relations));
        // A refused file: its message, exit 1, nothing of it stored.
        const QString bad = fresh.writeFile("taj.txt", "12345678AKISS\r\n");
        o.importFiles = {bad};
        errors.clear();
        QCOMPARE(CommandLine::importPersons(o, so, se), 1);
        se.flush();
        QVERIFY2(errors.contains("A(z) 1. sor hibás: a TAJ szám (12345678A) hibás"),
                 qPrintable(errors));
    }

    void commandLineBackupAndRestore()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        CommandLine::Options o = CommandLine::parse({"tarvik", "--home", t.home(), "--backup"});
        QVERIFY(o.error.isEmpty() && o.backup);
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(CommandLine::backup(o, out, err), 0);
        out.flush();
        QCOMPARE(printed, QStringLiteral("A mentés kész !\n"));
        o = CommandLine::parse({"tarvik", "--home", t.home(), "--restore", "--yes"});
        QVERIFY(o.restore && o.yes);
        QVERIFY(exec(t, "insert into jel_temp (JEL_SZAM, JEL_TETE, FOGLALK_ID) values (1, 1, 1)"));
        QCOMPARE(CommandLine::restore(o, out, err), 1);
        err.flush();
        QVERIFY(errors.contains("Van előkészített jelentés !\nA visszatöltés nem végezhető el."));
        QVERIFY(exec(t, "delete from jel_temp"));
        QCOMPARE(CommandLine::restore(o, out, err), 0);
        out.flush();
        QVERIFY(printed.endsWith("A visszatöltés kész !\n"));
    }
};

int runBackupTests(int argc, char **argv)
{
    TestBackup t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_backup.moc"

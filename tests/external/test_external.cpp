#include "commandline.h"
#include "externalfile.h"
#include "externalfiles.h"
#include "externalreceiver.h"
#include "identifierchecks.h"
#include "registrydatabase.h"
#include "reportfile.h"
#include "reportstore.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_kulso.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using namespace TableCheck;

namespace
{
using ExternalFiles::header;
using ExternalFiles::item;
using ExternalFiles::Tax;
const QString Name = QStringLiteral("J0901K12345676242002_020.txt");
const QString PrisonTax = QStringLiteral("15752026241");

// A detainee line of the prison service: no TAJ number, title 2771, the sex in column 426.
QByteArray detainee(int n, const QString &family)
{
    QByteArray l = item(n, "", family, "JÁNOS", "1", PrisonTax);
    l.replace(350, 4, "2771");
    l.append(QByteArray(425 - l.size(), ' ') + '1');
    return l;
}

QString write(const QTemporaryDir &dir, const QString &name, const QList<QByteArray> &lines)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (const QByteArray &l : lines)
        f.write(l + "\r\n");
    return path;
}

QStringList texts(const QList<MemoLine> &memo)
{
    QStringList out;
    for (const MemoLine &l : memo)
        out << l.text;
    return out;
}

// A line the clerk entered here for the same employer and type, not yet reported.
bool addOwnPendingLine(TestInstallation &t)
{
    return TableCheck::exec(
        t, "insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, "
           "VEZ_NEV, UTO_NEV, JOGCIM, JEL_TIP, KEZDET, PAKEZD) values (2, 9, 'N', '123456788', 1, "
           "'12345676242', 'SAJÁT', 'SOR', '1101', '09', '2026.11.01', 'N')");
}

// The receiving window with the file opened in it, as the clerk opens it.
std::unique_ptr<Tfrm_kulso> openedWindow(TestInstallation &t, ScriptedPrompter &prompter,
                                         const QString &path)
{
    prompter.files << path;
    auto w = std::make_unique<Tfrm_kulso>(t.context());
    w->show();
    WindowDriver{*w}.click("bbtn_megnyit");
    return w;
}

ExternalFile::Lookups noLookups()
{
    ExternalFile::Lookups l;
    l.districtCounty = [](const QString &) { return std::optional<QString>("010"); };
    l.countyExists = [](const QString &) { return std::optional<bool>(true); };
    l.titleExists = [](const QString &) { return std::optional<bool>(true); };
    l.birthDate = [](const QString &) { return std::optional<QString>(QString()); };
    return l;
}
} // namespace

class TestExternal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nameRules()
    {
        using ExternalFile::nameRefusal;
        QVERIFY(nameRefusal(Name).isEmpty());
        QVERIFY(nameRefusal("j0901k12345676242002_020.txt").isEmpty());
        QCOMPARE(nameRefusal("J0901X12345676242002_020.txt").value(1),
                 QStringLiteral("  Ez nem lehet az OEP álltal előírt jelentés fájl !"));
        QCOMPARE(nameRefusal("J0901K12345677242002_020.txt").value(0),
                 QStringLiteral("  A fájlnévben szereplő azonosító nem megfelelő !"));
        bool conversion = false;
        nameRefusal("J0901K1234567624A002_020.txt", &conversion);
        QVERIFY(conversion);
    }

    void headerItemCountBound()
    {
        ExternalFile::Report r;
        r.name = Name;
        const QDate today(2026, 12, 9);
        r.header = header("9999");
        QVERIFY(ExternalFile::syntaxCheck(r, false, today, noLookups()).clean());
        r.header = header("10000");
        QCOMPARE(ExternalFile::syntaxCheck(r, false, today, noLookups()).lines,
                 QStringList{"  - A jelentés tételszáma több mint 10000 !!"});
        r.header = header("1", "00002");
        QCOMPARE(ExternalFile::syntaxCheck(r, false, today, noLookups()).lines,
                 QStringList{"  - A fejsorban lévő jelentés sorszáma eltér a fájlnévben "
                             "szereplővel !!"});
    }

    void itemRulesAndDosBytes()
    {
        ExternalFile::Report r;
        r.name = Name;
        r.header = header("3");
        QByteArray dos = item(3, "044332217", "KOVACS");
        dos[80] = char(144); // É in code page 852
        dos[81] = char(139); // ő in code page 852: not one of the giveaway letters
        r.items = {item(1, "044332217", "KISS-NAGY"), item(2, "044332217", "NAGY", "ANNA-MÁRIA"),
                   dos};
        const auto f = ExternalFile::syntaxCheck(r, false, QDate(2026, 12, 9), noLookups());
        QCOMPARE(
            f.lines,
            (QStringList{"  - Érvénytelen karakter az utónévben a: 2-ik jelentés sorban. "
                         "pl.:\"(\", \")\", \",\", \"-\"",
                         "  - DOS karakter : " + ReportFile::decodeText(QByteArray(1, char(144))) +
                             "  a :3-ik sorban",
                         "  - A jelentés DOS-karaktereket tartalmaz !"}));
        QCOMPARE(f.errors, 2);
    }

    void contentBounds()
    {
        ExternalFile::Report r;
        r.name = Name;
        r.header = header("3");
        r.items = {item(1, "044332217", "A"), item(2, "044332217", "B")};
        ExternalFile::ContentContext c{"2", "3", Tax, "2010.01.04", false, QDate(2026, 12, 9),
                                       "09"};
        auto late = [&](int days) {
            QByteArray l = item(1, "044332217", "A");
            const QByteArray date =
                QDate(2026, 12, 9).addDays(days).toString("yyyy.MM.dd").toLatin1();
            l.replace(354, 10, date);
            return l;
        };
        r.items = {late(7)};
        ExternalFile::ContentContext one = c;
        one.items = "1";
        QVERIFY(ExternalFile::contentCheck(r, one, noLookups()).clean());
        r.items = {late(8)};
        QCOMPARE(ExternalFile::contentCheck(r, one, noLookups()).lines,
                 QStringList{"  - Rossz a munkaviszony kezdete a(z) :1-ik jelentés sorban"});
        r.items = {item(1, "044332217", "A"), item(2, "044332217", "B"), item(3, "044332217", "C"),
                   item(4, "044332217", "D")};
        QCOMPARE(ExternalFile::contentCheck(r, c, noLookups()).lines,
                 QStringList{"  - Nem egyezik meg a jelentés sorok száma a fejsorban megadottal: "
                             "4<>3"});
        r.items.clear();
        QCOMPARE(ExternalFile::contentCheck(r, c, noLookups()).lines,
                 (QStringList{"  - Nem egyezik meg a jelentés sorok száma a fejsorban megadottal: "
                              "0<>3",
                              "  - A jelentés sorok szám 0 !!!"}));
    }

    void receivedReportIsMadeAndFiled()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // A line the clerk entered here for the same employer and type stays pending.
        QVERIFY(addOwnPendingLine(t));
        QTemporaryDir in, out;
        const QString path = write(
            in, Name,
            {header("2"), item(1, "044332217", "VARGA"), item(2, "038521467", "NAGY", "PÉTER")});
        ExternalReceiver receiver(t.data());
        const auto opened = receiver.open(path);
        QCOMPARE(opened.outcome, ExternalReceiver::Opened::Accepted);
        QCOMPARE(opened.employerId(), 1);
        bool prison = true;
        QVERIFY(receiver.syntax(opened, &prison).ok);
        QVERIFY(!prison);
        QVERIFY(receiver.content(opened, prison).ok);

        // A folder that is not there: nothing changes and the file can be offered again.
        const QString before = snapshot(t);
        ExternalReceiver::Options o;
        o.folder = out.filePath("nincs");
        o.version = "1.0.4.3";
        o.today = "2026.12.09";
        const auto failed = receiver.make(opened, prison, o);
        QVERIFY(!failed.ok);
        QCOMPARE(failed.message, QStringLiteral("Hiba lépett fel a jelentés készítésénél !"));
        QCOMPARE(snapshot(t), before);
        QCOMPARE(receiver.open(path).outcome, ExternalReceiver::Opened::Accepted);

        o.folder = out.path();
        const auto made = receiver.make(opened, prison, o);
        QVERIFY2(made.ok, qPrintable(made.error));
        QCOMPARE(made.fileName, QStringLiteral("J0901A12345676242_020.002"));
        QCOMPARE(texts(made.memo).last(),
                 QStringLiteral("  A feldolgozás kész. A jelentés elkészült !"));
        const QStringList lines = fileLines(made.path, *ReportFile::codingKey(Tax));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].mid(19, 21), QStringLiteral("J0901A12345676242_002"));
        // The file's order, the file's item numbers.
        QCOMPARE(lines[1].mid(71, 5), QStringLiteral("VARGA"));
        QCOMPARE(lines[2].mid(5, 5), QStringLiteral("2    "));
        QCOMPARE(lines[2].mid(11, 9), QStringLiteral("038521467"));
        QCOMPARE(t.scalar("select count(*) from jel_tete where jel_szam = 2").toInt(), 2);
        QCOMPARE(t.scalar("select jel_tete from jel_fej where jel_szam = 2").toInt(), 2);
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 1);
        QCOMPARE(t.scalar("select vez_nev from jel_temp").toString(), QStringLiteral("SAJÁT"));
        // Offered again: refused as read in before.
        QCOMPARE(texts(receiver.open(path).memo).value(1),
                 QStringLiteral("  Ezt a sorszámú jelentést már beolvasták !"));
    }

    void detaineesGetProvisionalNumbers()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        const QString path = write(in, "J0901K15752026241001_024.txt",
                                   {header("2", "1", PrisonTax, "1054", "1995.07.01"),
                                    detainee(1, "RAB"), detainee(2, "FOGOLY")});
        ExternalReceiver receiver(t.data());
        const auto opened = receiver.open(path);
        QVERIFY2(opened.outcome == ExternalReceiver::Opened::Accepted,
                 qPrintable(texts(opened.memo).join('\n') + opened.message));
        bool prison = false;
        const auto syntax = receiver.syntax(opened, &prison);
        QVERIFY2(syntax.ok, qPrintable(texts(syntax.memo).join('\n')));
        QVERIFY(prison);
        const auto content = receiver.content(opened, prison);
        QVERIFY2(content.ok, qPrintable(texts(content.memo).join('\n')));
        ExternalReceiver::Options o{out.path(), "1.0.4.3", "ADMIN", "2026.12.09", false};
        const auto made = receiver.make(opened, prison, o);
        QVERIFY2(made.ok, qPrintable(made.error));
        QCOMPARE(t.scalar("select group_concat(taj, ',') from (select taj from taj where vez_nev "
                          "in ('RAB', 'FOGOLY') order by taj)")
                     .toString(),
                 QStringLiteral("900000014,900000021"));
        QCOMPARE(t.scalar("select image from jel_tete where taj = '900000021'").toString(),
                 QStringLiteral("1"));
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj like '9%'").toInt(), 2);
    }

    void newEmployerIsRecordedFromTheHeader()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // A tax number the register does not hold, of the Budapest county code 42.
        QString tax;
        for (int d = 0; d <= 9 && tax.isEmpty(); ++d) {
            const QString candidate = "2468024" + QString::number(d) + "242";
            if (AdoszamEllenor(candidate.toLongLong())) tax = candidate;
        }
        QVERIFY(!tax.isEmpty());
        QTemporaryDir in;
        const QString name = "J0901K" + tax + "001_020.txt";
        const QString path = write(
            in, name, {header("1", "1", tax), item(1, "044332217", "VARGA", "ÉVA", "1", tax)});
        ExternalReceiver receiver(t.data());
        const auto opened = receiver.open(path);
        QCOMPARE(opened.outcome, ExternalReceiver::Opened::Accepted);
        QVERIFY(opened.employer.isEmpty());
        bool prison = true;
        QVERIFY(receiver.syntax(opened, &prison).ok);
        const auto content = receiver.content(opened, prison);
        QVERIFY2(content.ok, qPrintable(texts(content.memo).join('\n')));
        QVERIFY(texts(content.memo).contains("  A rögzítés sikeresen megtörtént."));
        const QString row = "select %1 from foglalk where ado_szam = '" + tax + "'";
        QCOMPARE(t.scalar(row.arg("ceg_nev")).toString(), QStringLiteral("DEMO KERESKEDELMI KFT"));
        QVERIFY(t.scalar(row.arg("nyilv_szam")).isNull());
        QCOMPARE(t.scalar(row.arg("sz_irsz_s")).toString(), QStringLiteral("0"));
        QCOMPARE(t.scalar(row.arg("sz_cim_jell")).toString(), QStringLiteral("002"));
        QCOMPARE(t.scalar(row.arg("jaras_kod")).toString(), QStringLiteral("020"));
        QCOMPARE(t.scalar(row.arg("tbkifh || takisz")).toString(), QStringLiteral("10"));
        QCOMPARE(t.scalar(row.arg("ceg_indul")).toString(), QStringLiteral("2010.01.04"));
        QCOMPARE(t.scalar(row.arg("azon_tip")).toString(), QStringLiteral("0"));
        // Known now: a second open finds it.
        QVERIFY(!receiver.open(path).employer.isEmpty());
    }

    void failureAtARowChangesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("condition");
        QTest::newRow("second jel_tete row") << "jel_tete"
                                             << "new.jel_tete = 2";
        QTest::newRow("jel_fej row") << "jel_fej"
                                     << "";
    }
    void failureAtARowChangesNothing()
    {
        QFETCH(QString, table);
        QFETCH(QString, condition);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(addOwnPendingLine(t));
        QVERIFY(TableCheck::failOn(t, table, "insert", condition));
        QTemporaryDir in, out;
        // An older file of the same name stays as it was.
        QFile old(out.filePath("J0901A12345676242_020.002"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        const QString path = write(
            in, Name,
            {header("2"), item(1, "044332217", "VARGA"), item(2, "038521467", "NAGY", "PÉTER")});
        ExternalReceiver receiver(t.data());
        const auto opened = receiver.open(path);
        bool prison = false;
        QVERIFY(receiver.syntax(opened, &prison).ok);
        QVERIFY(receiver.content(opened, prison).ok);
        const QString before = snapshot(t);
        ExternalReceiver::Options o{out.path(), "1.0.4.3", "ADMIN", "2026.12.09", false};
        const auto made = receiver.make(opened, prison, o);
        QVERIFY(!made.ok);
        QCOMPARE(made.message, QStringLiteral("Hiba lépett fel a jelentés készítésénél !"));
        QVERIFY2(made.error.contains("kényszerített hiba"), qPrintable(made.error));
        QCOMPARE(snapshot(t), before);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"J0901A12345676242_020.002"});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("régi"));
        QCOMPARE(receiver.open(path).outcome, ExternalReceiver::Opened::Accepted);
    }

    // The window: the register side takes values over on a double-click, "Adatok mentése"
    // stores them once, and the four steps run in their order.
    void windowTakesOverAndMakes()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        Settings::write("Alap kulso", out.path());
        const QString path = write(in, Name, {header("1"), item(1, "044332217", "VARGA")});
        ScriptedPrompter prompter;
        const auto w = openedWindow(t, prompter, path);
        WindowDriver d{*w};
        QCOMPARE(prompter.fileFilters.value(0),
                 QStringLiteral("OEP input jelentés fájl |J0**K*.*"));
        QVERIFY(d.button("bbtn_frissit")->isEnabled());
        QCOMPARE(d.edit("ed_fnev")->text(), QStringLiteral("DEMO KERESKEDELMI KFT"));
        d.edit("ed_ftelefon")->clear();
        d.edit("ed_fnev")->setText("X");
        for (const char *field : {"ed_fnev", "ed_ftelefon", "ed_fado", "ed_firsz"})
            QTest::mouseDClick(d.edit(field), Qt::LeftButton);
        QCOMPARE(d.edit("ed_fnev")->text(), d.edit("ed_nev")->text());
        QCOMPARE(d.edit("ed_ftelefon")->text(), QStringLiteral("0611234567"));
        QCOMPARE(d.edit("ed_fado")->text(), QStringLiteral("12345676-2-42"));
        QCOMPARE(d.edit("ed_fhely")->text(), d.edit("ed_hely")->text());
        d.click("bbtn_frissit");
        QCOMPARE(prompter.messages.last(),
                 QStringLiteral("A módosítás sikeresen megtörtént !\n\rEgyéb adatait a "
                                "\"Foglalkozató törzsadatai\"-ban módosíthatja"));
        QCOMPARE(t.scalar("select ceg_nev || '/' || telefon from foglalk where id = 1").toString(),
                 d.edit("ed_nev")->text() + "/0611234567");
        QVERIFY(!d.button("bbtn_frissit")->isEnabled());
        QVERIFY(!d.get<QWidget>("gbx_fogl")->isEnabled());

        QVERIFY(!d.button("bbtn_jell")->isEnabled());
        d.click("bbtn_szell");
        QVERIFY(!d.button("bbtn_keszit")->isEnabled());
        d.click("bbtn_jell");
        d.get<QAbstractButton>("rbtn_utvonal")->setChecked(true);
        d.get<QAbstractButton>("cbx_bejelent")->setChecked(false);
        d.click("bbtn_keszit");
        const QString memo = d.get<QTextEdit>("lb_statusz")->toPlainText();
        QVERIFY2(memo.endsWith("  A feldolgozás kész. A jelentés elkészült !"), qPrintable(memo));
        QVERIFY(memo.contains("  A foglalkoztatói törzsadatok frissítése megtörtént. "));
        QVERIFY(QFile::exists(out.filePath("J0901A12345676242_020.002")));
        QVERIFY(!d.button("bbtn_keszit")->isEnabled());
        QVERIFY(!d.get<QWidget>("rbtn_floppy")->isEnabled());
        QVERIFY(!d.get<QWidget>("rbtn_utvonal")->isEnabled());
    }

    // The clerk's own pending report 2 and a received report 2 of the same employer and type:
    // the own lines move to 3, both files exist side by side, and a number is never filed twice.
    void reportNumbersStayUnique()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QVERIFY(addOwnPendingLine(t));
        QTemporaryDir in, out, again;
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.receiveFiles = {write(in, Name, {header("1"), item(1, "044332217", "VARGA")})};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::receive(o, so, se), 0);
        QCOMPARE(t.scalar("select jel_szam from jel_temp").toInt(), 3);
        QCOMPARE(CommandLine::make(o, so, se), 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{"J0901A12345676242_020.002", "J0901A12345676242_020.003"}));
        QCOMPARE(t.scalar("select count(*) from jel_fej where foglalk_id = 1 and jel_tip = '09' "
                          "group by jel_szam having count(*) > 1")
                     .toInt(),
                 0);
        const int key = *ReportFile::codingKey(Tax);
        const QStringList two = fileLines(out.filePath("J0901A12345676242_020.002"), key);
        const QStringList three = fileLines(out.filePath("J0901A12345676242_020.003"), key);
        QCOMPARE(two.size(), 2);
        QCOMPARE(two[1].mid(71, 5), QStringLiteral("VARGA"));
        QCOMPARE(three.size(), 2);
        QCOMPARE(three[1].mid(71, 5), QStringLiteral("SAJÁT"));
        // Each repeat writes its own lines again.
        for (const char *name : {"J0901A12345676242_020.002", "J0901A12345676242_020.003"}) {
            o.repeat = name;
            o.folder = again.path();
            QCOMPARE(CommandLine::repeat(o, so, se), 0);
            QCOMPARE(fileLines(again.filePath(name), key).mid(1),
                     fileLines(out.filePath(name), key).mid(1));
        }

        // A pending line forced back onto a filed number (as an older installation could leave
        // it): making moves it to the next free number and makes that report.
        QVERIFY(addOwnPendingLine(t));
        QVERIFY(exec(t, "update jel_temp set jel_szam = 3"));
        o.folder = again.path();
        errors.clear();
        QCOMPARE(CommandLine::make(o, so, se), 0);
        QVERIFY(QFileInfo::exists(again.filePath("J0901A12345676242_020.004")));
        QCOMPARE(t.scalar("select count(*) from jel_temp").toInt(), 0);
        QCOMPARE(t.scalar("select jel_tete from jel_fej where foglalk_id = 1 and jel_tip = '09' "
                          "and jel_szam = 4")
                     .toInt(),
                 1);
        // A new line of the clerk goes above every filed number, with the lines already there.
        QVERIFY(exec(t, "delete from jel_temp"));
        QVERIFY(exec(t, "insert into jel_fej (JEL_TIP, JEL_SZAM, JEL_TETE, FAJL_NEV, FOGLALK_ID) "
                        "values ('09', 7, 1, 'KULSO', 1)"));
        ReportStore store(t.data());
        QVariantMap line{{"JEL_SZAM", 4},      {"JEL_TETE", 1},   {"JAVITAS", "N"},
                         {"TAJ", "123456788"}, {"FOGLALK_ID", 1}, {"VEZ_NEV", "KOVÁCS"},
                         {"UTO_NEV", "ANNA"},  {"JEL_TIP", "09"}};
        QCOMPARE(store.addLine(line, {}), ReportStore::AddResult::Ok);
        QCOMPARE(t.scalar("select jel_szam from jel_temp").toInt(), 8);
    }

    // A file already in the folder belongs to another report: it is never replaced.
    void existingFileIsNotReplaced()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        QFile old(out.filePath("J0901A12345676242_020.002"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("OLD\r\n");
        old.close();
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.receiveFiles = {write(in, Name, {header("1"), item(1, "044332217", "VARGA")})};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        const QString before = snapshot(t);
        QCOMPARE(CommandLine::receive(o, so, se), 1);
        QCOMPARE(snapshot(t), before);
        QFile kept(out.filePath("J0901A12345676242_020.002"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("OLD\r\n"));
    }

    // Lines the file cannot be taken with: the other type, item numbers that are none.
    void refusedLines()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        QByteArray other = item(2, "038521467", "NAGY", "PÉTER");
        other.replace(0, 2, "08");
        QByteArray letters = item(3, "044332217", "KISS");
        letters.replace(7, 5, "abc  ");
        QByteArray blank = item(4, "044332217", "KISS");
        blank.replace(7, 5, "     ");
        ExternalReceiver receiver(t.data());
        const QString before = snapshot(t);
        // The other type: a content finding quoting the item number.
        const auto mixed =
            receiver.open(write(in, Name, {header("2"), item(1, "044332217", "VARGA"), other}));
        QCOMPARE(mixed.outcome, ExternalReceiver::Opened::Accepted);
        bool prison = false;
        QVERIFY(receiver.syntax(mixed, &prison).ok);
        const auto content = receiver.content(mixed, prison);
        QVERIFY(!content.ok);
        QVERIFY2(
            texts(content.memo)
                .contains("  - A jelentés típusa eltér a fejsorban megadottól a(z) :2-ik jelentés "
                          "sorban"),
            qPrintable(texts(content.memo).join('\n')));
        // Item numbers "abc" and blank: syntax findings.
        const auto numbers = receiver.open(
            write(in, "J0901K12345676242003_020.txt", {header("2", "3"), letters, blank}));
        const auto syntax = receiver.syntax(numbers, &prison);
        QVERIFY(!syntax.ok);
        QVERIFY(texts(syntax.memo).contains("  - Hibás tételszám a :abc-ik jelentés sorban"));
        QVERIFY(texts(syntax.memo).contains("  - Hibás tételszám a :-ik jelentés sorban"));
        QCOMPARE(snapshot(t), before);
    }

    // A line without a TAJ number ("09" of an ordinary employer, "08" of the prison service) is
    // filed and written, but records no person and no relation; the same on either store.
    void linesWithoutTajTouchNoRegister()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        QByteArray prisonHeader = header("2", "1", PrisonTax, "1054", "1995.07.01");
        prisonHeader.replace(0, 2, "08");
        QByteArray prisonLine = item(2, "", "RAB", "JÁNOS", "1", PrisonTax);
        prisonLine.replace(0, 2, "08");
        const QList<QPair<QString, QList<QByteArray>>> files = {
            {Name, {header("2"), item(1, "044332217", "VARGA"), item(2, "", "NEVTELEN")}},
            {"J0801K15752026241001_024.txt",
             {prisonHeader,
              item(1, "076543218", "ÖRDÖG", "PÉTER", "1", PrisonTax).replace(0, 2, "08"),
              prisonLine}}};
        for (const auto &[name, lines] : files) {
            ExternalReceiver receiver(t.data());
            const auto opened = receiver.open(write(in, name, lines));
            QVERIFY2(opened.outcome == ExternalReceiver::Opened::Accepted,
                     qPrintable(texts(opened.memo).join('\n') + opened.message));
            bool prison = false;
            const auto syntax = receiver.syntax(opened, &prison);
            QVERIFY2(syntax.ok, qPrintable(texts(syntax.memo).join('\n')));
            const auto content = receiver.content(opened, prison);
            QVERIFY2(content.ok, qPrintable(texts(content.memo).join('\n')));
            const auto made = receiver.make(opened, prison,
                                            {out.path(), "1.0.4.3", "ADMIN", "2026.12.09", false});
            QVERIFY2(made.ok, qPrintable(made.message + made.error));
            QCOMPARE(fileLines(made.path, *ReportFile::codingKey(name.mid(6, 11))).size(), 3);
        }
        QCOMPARE(t.scalar("select count(*) from jel_tete where taj is null").toInt(), 2);
        QCOMPARE(t.scalar("select count(*) from taj where vez_nev in ('VARGA', 'ÖRDÖG')").toInt(),
                 2);
        QCOMPARE(t.scalar("select count(*) from taj where vez_nev in ('NEVTELEN', 'RAB')").toInt(),
                 0);
        QCOMPARE(t.scalar("select count(*) from taj where coalesce(taj, '') = ''").toInt(), 0);
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where coalesce(taj, '') = ''").toInt(),
                 0);
    }

    // A control byte in a text field of the header or of a line is a content finding naming the
    // field; nothing is stored.
    void controlBytesAreFindings()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in;
        QByteArray head = header("2");
        head[52] = '\x07';
        QByteArray nul = item(1, "044332217", "BAJTAI");
        nul[77] = '\0';
        QByteArray tab = item(2, "038521467", "NAGY", "PÉTER");
        tab[47] = '\t';
        const QString before = snapshot(t);
        ExternalReceiver receiver(t.data());
        const auto opened = receiver.open(write(in, Name, {head, nul, tab}));
        QCOMPARE(opened.outcome, ExternalReceiver::Opened::Accepted);
        bool prison = false;
        QVERIFY(receiver.syntax(opened, &prison).ok);
        const QStringList memo = texts(receiver.content(opened, prison).memo);
        QVERIFY2(memo.contains("  - Vezérlőkarakter van a(z) cégnév mezőben a jelentés "
                               "fejsorában !") &&
                     memo.contains("  - Vezérlőkarakter van a(z) vezetéknév mezőben a(z) :1-ik "
                                   "jelentés sorban") &&
                     memo.contains("  - Vezérlőkarakter van a(z) születési hely mezőben a(z) "
                                   ":2-ik jelentés sorban") &&
                     memo.contains("  A jelentés : 3 darab hibát tartalmaz."),
                 qPrintable(memo.join('\n')));
        QCOMPARE(snapshot(t), before);
    }

    // An external "09" line carries no occupation code: ending and restarting an employment
    // updates its one row; an "I" line removes the relation it cancels and adds none.
    void relationRegisterFromExternalLines()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        QByteArray ended = item(1, "123456788", "KOVÁCS", "ANNA");
        ended.replace(354, 10, "2024.03.01");
        ended.replace(364, 10, "2026.11.30");
        QByteArray restarted = item(1, "123456788", "KOVÁCS", "ANNA", "3");
        restarted.replace(354, 10, "2026.12.01");
        QByteArray cancelled = item(1, "111222337", "SZABÓ", "JÁNOS", "4");
        cancelled.replace(12, 1, "I");
        cancelled.replace(350, 4, "1202");
        cancelled.replace(354, 10, "2025.09.01");
        o.receiveFiles = {write(in, Name, {header("1"), ended}),
                          write(in, "J0901K12345676242003_020.txt", {header("1", "3"), restarted}),
                          write(in, "J0901K12345676242004_020.txt", {header("1", "4"), cancelled})};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::receive(o, so, se), 0);
        QCOMPARE(t.scalar("select count(*) || '|' || max(kezdet) || '|' || coalesce(max(vege), "
                          "'-') from taj_jogcim where taj = '123456788'")
                     .toString(),
                 QStringLiteral("1|2026.12.01|-"));
        QCOMPARE(t.scalar("select count(*) from taj_jogcim where taj = '111222337'").toInt(), 0);
    }

    // Upper case letter by letter: a name keeps its length; the register keeps the other names
    // and the birth place as the file has them.
    void upperCaseKeepsLengths()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        const QString family = QString(49, u'a') + u'ß';
        QByteArray line = item(1, "044332217", family, "Éva");
        line.replace(166, 50, ReportFile::encode(QString("Weiß").leftJustified(50)).value());
        line.replace(46, 30, ReportFile::encode(QString("Győr-Ősi").leftJustified(30)).value());
        QByteArray head = header("1");
        head.replace(50, 50, ReportFile::encode(QString("Straße Kft").leftJustified(50)).value());
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.receiveFiles = {write(in, "J0901K12345676242002_999.txt", {head, line})};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        // District 999 is not on record: the employer is recorded from the header.
        QVERIFY(exec(t, "insert into jarasok (JARAS_KOD, MEGYE_KOD, JARAS_NEV) values ('999', "
                        "'010', 'PRÓBA')"));
        QCOMPARE(CommandLine::receive(o, so, se), 0);
        so.flush();
        QCOMPARE(t.scalar("select ceg_nev from foglalk where jaras_kod = '999'").toString(),
                 QStringLiteral("STRAßE KFT"));
        QCOMPARE(t.scalar("select vez_nev || '/' || uto_nev || '/' || sz_vez_nev || '/' || "
                          "szul_hely from jel_tete where taj = '044332217'")
                     .toString(),
                 QString(49, u'A') + QStringLiteral("ß/ÉVA/WEIß/GYŐR-ŐSI"));
        QCOMPARE(t.scalar("select uto_nev || '/' || sz_vez_nev || '/' || szul_hely from taj "
                          "where taj = '044332217'")
                     .toString(),
                 QStringLiteral("ÉVA/Weiß/Győr-Ősi"));
    }

    // A damaged file is refused whole, whatever the damage: no file is made and the store is as
    // it was.
    void damagedFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head = header("2") + "\r\n", first = item(1, "044332217", "VARGA"),
                         second = item(2, "038521467", "NAGY", "PÉTER");
        const QByteArray whole = head + first + "\r\n" + second + "\r\n";
        QTest::newRow("cut inside a line") << whole.left(head.size() + first.size() + 2 + 120);
        QByteArray flipped = whole;
        for (int i = 0; i < 10; ++i)
            flipped[head.size() + first.size() + 2 + 354 + i] = char(0xFF);
        QTest::newRow("flipped bytes") << flipped;
        QTest::newRow("huge item count")
            << QByteArray(header("99999") + "\r\n" + first + "\r\n" + second + "\r\n");
    }

    void damagedFilesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        QFile file(in.filePath(Name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const QString before = snapshot(t);
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.receiveFiles = {file.fileName()};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::receive(o, so, se), 1);
        so.flush();
        // The syntax or the content check names what it found.
        QVERIFY2(printed.contains(QRegularExpression(" darab (szintaktikai )?hibát tartalmaz")),
                 qPrintable(printed));
        QVERIFY(QDir(out.path()).isEmpty());
        QCOMPARE(snapshot(t), before);
    }

    // A blank founding date taken over is no date: the save stops before anything is written.
    void blankFoundingDateIsNotSaved()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in;
        const QString path = write(in, Name, {header("1"), item(1, "044332217", "VARGA")});
        ScriptedPrompter prompter;
        const auto w = openedWindow(t, prompter, path);
        WindowDriver d{*w};
        const QString before = snapshot(t);
        d.edit("ed_fkdat")->clear();
        d.click("bbtn_frissit");
        QCOMPARE(prompter.messages.last(), QStringLiteral("'' nem érvényes dátum."));
        QCOMPARE(snapshot(t), before);
        QVERIFY(!t.scalar("select ceg_indul from foglalk where id = 1").toString().isEmpty());
    }

    void commandLineOnThreeFiles()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QTemporaryDir in, out;
        const QString good = write(in, Name, {header("1"), item(1, "044332217", "VARGA")});
        const QString bad = write(in, "J0901K12345676242003_020.txt",
                                  {header("1", "3"), item(1, "044332217", "KISS(", "ÉVA", "3")});
        const QString next = write(in, "J0901K12345676242004_020.txt",
                                   {header("1", "4"), item(1, "038521467", "NAGY", "PÉTER", "4")});
        CommandLine::Options o;
        o.home = t.home();
        o.folder = out.path();
        o.receiveFiles = {good, bad, next};
        QString printed, errors;
        QTextStream so(&printed), se(&errors);
        QCOMPARE(CommandLine::receive(o, so, se), 1);
        so.flush();
        QVERIFY(printed.contains("Fájl: " + QDir::toNativeSeparators(bad) +
                                 "\n  Jelentésfájl ellenőrzése.."));
        QVERIFY(printed.contains("  - Érvénytelen karakter a vezetéknévben a: 1-ik jelentés"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files),
                 (QStringList{"J0901A12345676242_020.002", "J0901A12345676242_020.004"}));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestExternal t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_external.moc"

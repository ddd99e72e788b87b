#include "bvopconfirmation.h"
#include "codepage.h"
#include "commandline.h"
#include "paradoxtable.h"
#include "reportlinerules.h"
#include "reportstore.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_bvop.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

extern "C" {
#include <paradox.h>
}

using namespace TableCheck;

namespace
{
// One record of a confirmation table, in the order of its six fields.
struct Row {
    QString eredeti, family, given, born, place, real;
};

// Writes a confirmation table as the prison service sends it: six alpha fields, Windows-1250;
// with a number, a seventh field "sorszam" of the Number type carrying the record's position.
QString writeTable(const QTemporaryDir &dir, const QString &name, const QList<Row> &rows,
                   bool number = false, const char *password = nullptr)
{
    const QString path = dir.filePath(name);
    const char *names[7] = {"eredeti_taj",     "csaladi_nev", "utonev", "szuletes_datumk",
                            "szuletesi_helye", "taj_szam",    "sorszam"};
    const int widths[7] = {9, 40, 15, 10, 30, 9, 8};
    const int count = number ? 7 : 6;
    // pxlib owns the field list and its names once the table is made, and frees them.
    pxfield_t *fields = static_cast<pxfield_t *>(malloc(count * sizeof(pxfield_t)));
    for (int i = 0; i < count; ++i)
        fields[i] = {strdup(names[i]), char(i == 6 ? pxfNumber : pxfAlpha), widths[i], 0};
    PX_boot();
    pxdoc_t *doc = PX_new();
    if (PX_create_file(doc, fields, count, QFile::encodeName(path).constData(),
                       pxfFileTypNonIndexDB) < 0)
        return {};
    PX_set_value(doc, "codepage", 1250);
    if (password) PX_set_parameter(doc, "password", password);
    QByteArray record(PX_get_recordsize(doc), '\0');
    int position = 0;
    for (const Row &r : rows) {
        record.fill('\0');
        int at = 0, i = 0;
        for (const QString &v : {r.eredeti, r.family, r.given, r.born, r.place, r.real}) {
            QByteArray bytes = CodePage::toWin1250(v);
            PX_put_data_alpha(doc, record.data() + at, widths[i], bytes.data());
            at += widths[i++];
        }
        if (number) PX_put_data_double(doc, record.data() + at, 8, ++position);
        PX_put_record(doc, record.data());
    }
    PX_close(doc);
    PX_delete(doc);
    return path;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeBytes(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(bytes);
    return f.fileName();
}

void putWord(QByteArray &b, int at, int value)
{
    b[at] = char(value & 0xFF);
    b[at + 1] = char((value >> 8) & 0xFF);
}

void putLong(QByteArray &b, int at, qint64 value)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((value >> (8 * i)) & 0xFF);
}

const Row Rab{"900000014", "RÁB", "JÁNOS", "1980.01.01", "PÉCS", "044332217"};
const Row Fogoly{"900000021", "FOGOLY", "ŐRÖS", "1975.05.05", "GYŐR", "076543218"};

// Two detainees under provisional numbers, each with a relation and a filed report line.
void addDetainees(TestInstallation &t)
{
    for (const Row &r : {Rab, Fogoly}) {
        QVERIFY(exec(t, QString("insert into taj (TAJ, VEZ_NEV, UTO_NEV, SZUL_DAT, SZUL_HELY) "
                                "values ('%1', '%2', '%3', '%4', '%5')")
                            .arg(r.eredeti, r.family, r.given, r.born, r.place)));
        QVERIFY(exec(t, QString("insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, KEZDET) "
                                "values ('%1', 2, '2771', '09', '2026.01.05')")
                            .arg(r.eredeti)));
        QVERIFY(exec(t, QString("insert into jel_tete (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, "
                                "FOGLALK_ID, VEZ_NEV, JOGCIM, JEL_TIP) values (1, 1, 'N', '%1', "
                                "2, '%2', '2771', '09')")
                            .arg(r.eredeti, r.family)));
    }
}

QString tajOf(TestInstallation &t, const QString &family)
{
    return t.scalar("select taj from taj where vez_nev = '" + family + "'").toString();
}

QString relationsOf(TestInstallation &t)
{
    return t
        .scalar("select group_concat(taj, ',') from (select taj from taj_jogcim where jogcim = "
                "'2771' order by taj)")
        .toString();
}
} // namespace

class TestDetainee : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsTablesAndRefusesOtherFiles()
    {
        QTemporaryDir dir;
        const QString path = writeTable(dir, "bvop_vissza_1.db", {Fogoly, Rab});
        const auto read = ParadoxTable::read(path, {"TAJ_SZAM", "utonev"});
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.records, (QList<QStringList>{{"076543218", "ŐRÖS"}, {"044332217", "JÁNOS"}}));
        QVERIFY(!ParadoxTable::read(path, {"nincs_ilyen"}).ok);

        const QString text = dir.filePath("bvop_vissza_2.db");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
        f.close();
        QVERIFY(!ParadoxTable::read(text, {"taj_szam"}).ok);
        // Cut short: the header names a block the file no longer holds.
        QFile whole(path);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        for (int size : {0, 100, 2048, int(bytes.size()) - 1}) {
            QFile cut(dir.filePath("cut.db"));
            QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
            cut.write(bytes.left(size));
            cut.close();
            const auto r = ParadoxTable::read(cut.fileName(), {"taj_szam"});
            QVERIFY2(!r.ok && !r.error.isEmpty(), qPrintable(QString::number(size)));
        }
        QCOMPARE(ParadoxTable::codecName(0), QByteArray("windows-1250"));
        QCOMPARE(ParadoxTable::codecName(852), QByteArray("IBM852"));
    }

    // A damaged table is refused with its reason, quickly, whatever byte was changed; a
    // refused table changes nothing.
    void damagedTablesAreRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("number length 9") << 0 << "mező típusa (6) vagy hossza (9) hibás";
        QTest::newRow("block names itself") << 1 << "körbeér";
        QTest::newRow("block names an earlier one") << 2 << "körbeér";
        QTest::newRow("encryption field") << 3 << "jelszóval védett";
        QTest::newRow("older encryption field") << 4 << "jelszóval védett";
        QTest::newRow("field count 0x7FFF") << 5 << "hibás mezőszám";
        QTest::newRow("record count too small") << 6 << "a fejléc 99-t ír";
        QTest::newRow("record count negative") << 7 << "hibás rekordszám";
        QTest::newRow("block outside the file") << 8 << "a fájlon kívül";
        QTest::newRow("file longer than its blocks") << 9 << "nem egyezik a fejléc szerintivel";
    }
    void damagedTablesAreRefused()
    {
        QFETCH(int, kind);
        QFETCH(QString, reason);
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        // 100 records of 129 bytes fill several 2 KB blocks.
        QList<Row> rows;
        for (int i = 0; i < 100; ++i)
            rows << Row{QString::number(900000000 + i), "X", "Y", "1980.01.01", "Z", ""};
        QByteArray b = bytesOf(writeTable(dir, "bvop_vissza_1.db", rows, true));
        QVERIFY(ParadoxTable::read(dir.filePath("bvop_vissza_1.db"), {"sorszam"}).ok);
        const int header = 2048, block = 1024 * b[5];
        switch (kind) {
        case 0:
            b[0x78 + 2 * 6 + 1] = 9;
            break;
        case 1:
            putWord(b, header, 1);
            break;
        case 2:
            putWord(b, header + block, 1);
            break;
        case 3:
            putLong(b, 0x5C, 0x1234);
            break;
        case 4:
            putLong(b, 0x25, 0x5678);
            break;
        case 5:
            putWord(b, 0x21, 0x7FFF);
            break;
        case 6:
            putLong(b, 0x06, 99);
            break;
        case 7:
            putLong(b, 0x06, -1);
            break;
        case 8:
            putWord(b, header, 40);
            break;
        case 9:
            b += QByteArray(block, '\0');
            break;
        }
        const QString path = writeBytes(dir, "bvop_vissza_2.db", b);
        const QString before = snapshot(t);
        BvopConfirmation c(t.data());
        const auto opened = c.open(path);
        QVERIFY(!opened.ok);
        QVERIFY2(opened.message.contains(reason), qPrintable(opened.message));
        QCOMPARE(snapshot(t), before);
    }

    // A password-protected table, whose blocks cannot be checked beforehand, read by the
    // contained reader: whole, it gives its records; cut short, it is refused; every eleventh byte
    // of its first two blocks changed in turn, each read ends with the records or a refusal.
    void damagedEncryptedTablesEnd()
    {
        QTemporaryDir dir;
        QList<Row> rows;
        for (int i = 0; i < 40; ++i)
            rows << Row{QString::number(900000000 + i), "X", "Y", "1980.01.01", "Z", ""};
        const QString path = writeTable(dir, "vedett.db", rows, true, "titok");
        QVERIFY(!ParadoxTable::read(path, {"taj_szam"}).ok);
        const auto whole =
            ParadoxTable::read(path, {"eredeti_taj", "sorszam"}, ParadoxTable::Encryption::Allowed);
        QVERIFY2(whole.ok, qPrintable(whole.error));
        QCOMPARE(whole.records.size(), 40);
        QCOMPARE(whole.records.last(), (QStringList{"900000039", "40"}));

        const QByteArray good = bytesOf(path);
        const auto cut = ParadoxTable::read(writeBytes(dir, "rovid.db", good.left(good.size() - 1)),
                                            {"taj_szam"}, ParadoxTable::Encryption::Allowed);
        QVERIFY(!cut.ok && !cut.error.isEmpty());
        const int header = 2048, block = 1024 * good[5];
        for (int at = header; at < header + 2 * block && at < good.size(); at += 11) {
            QByteArray b = good;
            b[at] = char(~b[at]);
            const auto r =
                ParadoxTable::read(writeBytes(dir, "valtozott.db", b), {"taj_szam", "sorszam"},
                                   ParadoxTable::Encryption::Allowed);
            QVERIFY(r.ok ? r.records.size() == 40 : !r.error.isEmpty());
        }
    }

    // Every byte of the header and of the first block header changed in turn: each read ends
    // at once with the records or a refusal.
    void everyChangedByteEnds()
    {
        QTemporaryDir dir;
        QList<Row> rows;
        for (int i = 0; i < 40; ++i)
            rows << Row{QString::number(900000000 + i), "X", "Y", "1980.01.01", "Z", ""};
        const QByteArray good = bytesOf(writeTable(dir, "jo.db", rows, true));
        int refused = 0;
        QList<int> places;
        for (int i = 0; i < 0x100; ++i)
            places << i;
        for (int i = 2048; i < 2048 + 6; ++i)
            places << i;
        for (int at : places)
            for (char value : {char(0xFF), char(0x00), char(0x09), char(0x80)}) {
                QByteArray b = good;
                if (b[at] == value) continue;
                b[at] = value;
                const auto r =
                    ParadoxTable::read(writeBytes(dir, "valtozott.db", b), {"taj_szam", "sorszam"});
                if (!r.ok) {
                    QVERIFY(!r.error.isEmpty());
                    ++refused;
                } else {
                    QVERIFY(r.records.size() == 40);
                }
            }
        QVERIFY(refused > 100);
    }

    // The check and the apply agree record for record: B's "real" number is A's provisional
    // one, which A gives up in the same run.
    void checkAndApplyAgree()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        Row b = Fogoly;
        b.real = Rab.eredeti;
        CommandLine::Options o;
        o.home = t.home();
        o.bvop = writeTable(dir, "bvop_vissza_1.db", {Rab, b});
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(CommandLine::bvop(o, out, err), 1);
        out.flush();
        QVERIFY2(printed.contains(" következő :900000021 FOGOLY ŐRÖS\n visszaigazolt TAJ száma "
                                  "(900000014) hibás "),
                 qPrintable(printed));
        QCOMPARE(tajOf(t, "RÁB"), QStringLiteral("044332217"));
        QCOMPARE(tajOf(t, "FOGOLY"), QStringLiteral("900000021"));
        QCOMPARE(relationsOf(t), QStringLiteral("044332217,900000021"));
    }

    // A provisional number names one person for ever: after RÁB's confirmation the next
    // detainee gets neither 900000014 nor an empty number, whatever else the register holds.
    void provisionalNumbersAreNotReused()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QVERIFY(exec(t, "insert into taj (TAJ, VEZ_NEV) values ('9ZZZZZZZZ', 'ROSSZ')"));
        QVERIFY(exec(t, "insert into taj (TAJ, VEZ_NEV) values ('90000009', 'RÖVID')"));
        QTemporaryDir dir;
        CommandLine::Options o;
        o.home = t.home();
        o.bvop = writeTable(dir, "bvop_vissza_1.db", {Rab, Fogoly});
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(CommandLine::bvop(o, out, err), 0);
        // Neither provisional number is in the person register any more; the history has both.
        QCOMPARE(t.scalar("select count(*) from taj where taj like '90000%'").toInt(), 1);
        ReportStore store(t.data());
        QCOMPARE(store.highestProvisionalTaj().value_or("?"), QStringLiteral("900000021"));
        QCOMPARE(ReportLineRules::provisionalTaj(ReportLineRules::nextProvisionalBase("900000021")),
                 QStringLiteral("900000038"));
        // A register without any provisional number starts at the first one.
        QVERIFY(exec(t, "delete from jel_tete"));
        QCOMPARE(store.highestProvisionalTaj().value_or("?"), QString());
        // Used up: no number, and the window says so instead of writing a line without one.
        QVERIFY(exec(t, "insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP) values "
                        "('999999998', 2, '2771', '09')"));
        QCOMPARE(ReportLineRules::provisionalTaj(ReportLineRules::nextProvisionalBase(
                     store.highestProvisionalTaj().value_or("?"))),
                 QString());
    }

    // An empty birth place in the register and in the record is the same value.
    void emptyFieldsMatch()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QVERIFY(exec(t, "update taj set szul_hely = null where taj = '900000014'"));
        Row noPlace = Rab;
        noPlace.place.clear();
        QTemporaryDir dir;
        BvopConfirmation c(t.data());
        QVERIFY(c.open(writeTable(dir, "bvop_vissza_1.db", {noPlace})).ok);
        QVERIFY(c.check().ok);
        QCOMPARE(c.errorCount(), 0);
        const auto applied = c.apply();
        QVERIFY2(applied.ok, qPrintable(applied.log.join('\n')));
        QCOMPARE(tajOf(t, "RÁB"), QStringLiteral("044332217"));
    }

    void checkAndApplyEveryRecordOnce()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        Row placeOff = Fogoly;
        placeOff.place = "GYŐRI";
        const Row twice{Rab.eredeti, Rab.family, Rab.given, Rab.born, Rab.place, "053162216"};
        const QString path = writeTable(dir, "bvop_vissza_1.db", {placeOff, twice, Rab});
        BvopConfirmation c(t.data());
        const auto opened = c.open(path);
        QVERIFY(opened.ok);
        QCOMPARE(opened.log.mid(1),
                 (QStringList{" Az állomány 3 tételt tartalmaz.",
                              " Az \"Ellenőrzés\" gombra kattintva folytatható a "
                              "beolvasás.",
                              ""}));
        const auto checked = c.check();
        QVERIFY(checked.ok);
        // Sorted by eredeti_taj, the file's order kept among equals: the record with the real
        // number 044332217 comes second, after the one with 053162216.
        QCOMPARE(checked.log,
                 (QStringList{" Ellenőrzés...", " következő :900000014 RÁB JÁNOS",
                              " eredeti TAJ száma egy előző tételben már szerepelt ", "",
                              " következő :900000021 FOGOLY ŐRÖS", " nincs a Tarvik adatbázisában ",
                              "", " A beolvasni kívánt adatállomány 2 hibát tartalmaz !", "",
                              " A hibák ellenére folytatja ?!",
                              " A hibás tételek nem kerülnek feldolgozásra.", "",
                              " A \"Beolvasás indítása\" gombra kattintva folytatható a "
                              "beolvasás...",
                              ""}));
        const auto applied = c.apply();
        QVERIFY(applied.ok);
        QCOMPARE(applied.log,
                 (QStringList{" Állomány fogadása...", "",
                              " a(z) 900000014 taj 053162216 taj számra frissítve.", "",
                              " A feldolgozás kész !", " 1 darab taj frissítve."}));
        QCOMPARE(applied.message, QStringLiteral("Az állomány frissítése megtörtént."));
        QCOMPARE(tajOf(t, "RÁB"), QStringLiteral("053162216"));
        QCOMPARE(tajOf(t, "FOGOLY"), QStringLiteral("900000021"));
        QCOMPARE(relationsOf(t), QStringLiteral("053162216,900000021"));
        // The report history keeps the numbers it was filed under.
        QCOMPARE(t.scalar("select count(*) from jel_tete where taj like '9%'").toInt(), 2);
        QCOMPARE(c.appliedCount(), 1);
    }

    void invalidAndTakenNumbersAreSkipped()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        Row invalid = Rab, taken = Fogoly;
        invalid.real = "044332218";
        taken.real = "038521467"; // NAGY PÉTER's number in the demo register
        BvopConfirmation c(t.data());
        QVERIFY(c.open(writeTable(dir, "bvop_vissza_1.db", {invalid, taken})).ok);
        const QStringList log = c.check().log;
        QVERIFY2(log.contains(" visszaigazolt TAJ száma (044332218) hibás "),
                 qPrintable(log.join('\n')));
        QVERIFY(log.contains(" visszaigazolt TAJ száma (038521467) már másik személyé "));
        QCOMPARE(c.errorCount(), 2);
        const QString before = snapshot(t);
        const auto applied = c.apply();
        QVERIFY(applied.ok);
        QCOMPARE(applied.log.last(), QStringLiteral(" 0 darab taj frissítve."));
        QCOMPARE(snapshot(t), before);
    }

    void failedApplyChangesNothing()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QVERIFY(TableCheck::failOn(t, "taj_jogcim", "update", "old.taj = '900000021'"));
        QTemporaryDir dir;
        BvopConfirmation c(t.data());
        QVERIFY(c.open(writeTable(dir, "bvop_vissza_1.db", {Rab, Fogoly})).ok);
        QCOMPARE(c.check().log.value(1),
                 QStringLiteral(" Az összes tétel megtalálható a Tarvik adatbázisában"));
        const QString before = snapshot(t);
        const auto applied = c.apply();
        QVERIFY(!applied.ok);
        QVERIFY(applied.message.startsWith("Hiba az állomány frissítése közben !\n\r"));
        QVERIFY(applied.message.contains("kényszerített hiba"));
        QVERIFY(!applied.log.join('\n').contains("frissítve"));
        QCOMPARE(snapshot(t), before);
        QCOMPARE(tajOf(t, "RÁB"), QStringLiteral("900000014"));
    }

    void windowStepsAndLog()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        const QString empty = writeTable(dir, "bvop_vissza_ures.db", {});
        const QString full = writeTable(dir, "bvop_vissza_1.db", {Rab, Fogoly});
        const QString logFile = dir.filePath("naplo.txt");
        ScriptedPrompter prompter;
        prompter.files << empty << full << logFile;
        Tfrm_bvop w(t.context());
        w.show();
        WindowDriver d{w};
        auto states = [&] {
            QString s;
            for (const char *b : {"sbtn_megnyit", "sbtn_ellenoriz", "sbtn_beolvas", "sbtn_log"})
                s += d.button(b)->isEnabled() ? '1' : '0';
            return s;
        };
        QCOMPARE(states(), QStringLiteral("1000"));
        d.click("sbtn_megnyit");
        QCOMPARE(prompter.fileFilters.value(0),
                 QStringLiteral("BVOP visszaigazolás|bvop_vissza_*.db"));
        QCOMPARE(states(), QStringLiteral("0001"));
        const QString memo = d.get<QPlainTextEdit>("mem_log")->toPlainText();
        QVERIFY2(memo.endsWith(" A megnyitott állomány nem tartalmaz tételeket. \n\n A beolvasás "
                               "nem folytatható !"),
                 qPrintable(memo));
        d.click("bbtn_megse");
        QCOMPARE(states(), QStringLiteral("1000"));
        QVERIFY(d.get<QPlainTextEdit>("mem_log")->toPlainText().isEmpty());
        d.click("sbtn_megnyit");
        QCOMPARE(states(), QStringLiteral("0101"));
        d.click("sbtn_ellenoriz");
        QCOMPARE(states(), QStringLiteral("0011"));
        d.click("sbtn_beolvas");
        QCOMPARE(states(), QStringLiteral("0001"));
        QCOMPARE(prompter.messages.last(), QStringLiteral("Az állomány frissítése megtörtént."));
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_bvop.png");
        QCOMPARE(relationsOf(t), QStringLiteral("044332217,076543218"));
        QCOMPARE(tajOf(t, "FOGOLY"), QStringLiteral("076543218"));
        d.click("sbtn_log");
        QCOMPARE(prompter.fileNames.last(), QStringLiteral("bvop_log.txt"));
        QCOMPARE(prompter.messages.last(),
                 "A fájl elkészült : \n\r" + QDir::toNativeSeparators(logFile));
        QFile saved(logFile);
        QVERIFY(saved.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split('\n');
        QCOMPARE(lines.first(), " A(z): " + QDir::toNativeSeparators(dir.path() + "/") +
                                    "bvop_vissza_1.db fájl megnyitása.");
        QVERIFY(lines.contains(" 2 darab taj frissítve."));

        // A file that is not a table: its message, and opening stays off until "Mégse".
        d.click("bbtn_megse");
        prompter.files << t.writeFile("bvop_vissza_rossz.db", "nem tábla");
        d.click("sbtn_megnyit");
        QVERIFY(prompter.messages.last().startsWith("Ez a fájl nem Paradox tábla"));
        QCOMPARE(states(), QStringLiteral("0000"));
        // A log that cannot be written.
        d.click("bbtn_megse");
        prompter.files << empty << dir.filePath("nincs/naplo.txt");
        d.click("sbtn_megnyit");
        d.click("sbtn_log");
        QCOMPARE(prompter.messages.last(), QStringLiteral("Hiba a fájl előállításánál !"));
    }

    void commandLine()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        addDetainees(t);
        QTemporaryDir dir;
        Row unknown = Fogoly;
        unknown.family = "SENKI";
        CommandLine::Options o;
        o.home = t.home();
        o.bvop = writeTable(dir, "bvop_vissza_1.db", {Rab, unknown});
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(CommandLine::bvop(o, out, err), 1);
        out.flush();
        QVERIFY(
            printed.contains(" következő :900000021 SENKI ŐRÖS\n nincs a Tarvik adatbázisában "));
        QVERIFY(printed.contains(" a(z) 900000014 taj 044332217 taj számra frissítve."));
        QCOMPARE(tajOf(t, "RÁB"), QStringLiteral("044332217"));

        o.bvop = writeTable(dir, "bvop_vissza_2.db", {Fogoly});
        printed.clear();
        QCOMPARE(CommandLine::bvop(o, out, err), 0);
        o.bvop = dir.filePath("nincs.db");
        QCOMPARE(CommandLine::bvop(o, out, err), 1);
        err.flush();
        QVERIFY(errors.contains("A fájl nem olvasható"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestDetainee t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_detainee.moc"

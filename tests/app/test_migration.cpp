#include "codepage.h"
#include "commandline.h"
#include "login.h"
#include "passworddigest.h"
#include "reportstore.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_atvetel.h"
#include "windowdriver.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

extern "C" {
#include <paradox.h>
}

using namespace TableCheck;

namespace
{
// A field of an older installation's table: its name, Paradox type and length.
struct OldField {
    const char *name;
    char type;
    int length;
};

// Writes a Paradox table as the older program kept it: in the code page given, protected by
// the table password when one is given. Values are text; dates "yyyy.mm.dd", numbers digits.
bool writeOld(const QString &path, const QList<OldField> &fields, const QList<QStringList> &rows,
              int codePage = 1250, const char *password = "tarvik")
{
    const int count = int(fields.size());
    pxfield_t *f = static_cast<pxfield_t *>(malloc(count * sizeof(pxfield_t)));
    for (int i = 0; i < count; ++i)
        f[i] = {strdup(fields[i].name), fields[i].type, fields[i].length, 0};
    PX_boot();
    pxdoc_t *doc = PX_new();
    if (PX_create_file(doc, f, count, QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) <
        0)
        return false;
    PX_set_value(doc, "codepage", codePage);
    if (password) PX_set_parameter(doc, "password", password);
    QStringEncoder encode(codePage == 852 ? "IBM852" : "windows-1250");
    QByteArray record(PX_get_recordsize(doc), '\0');
    for (const QStringList &row : rows) {
        record.fill('\0');
        int at = 0;
        for (int i = 0; i < count; ++i) {
            const QString v = row.value(i);
            char *data = record.data() + at;
            if (!v.isEmpty()) {
                switch (fields[i].type) {
                case pxfAlpha: {
                    QByteArray bytes = encode(v);
                    PX_put_data_alpha(doc, data, fields[i].length, bytes.data());
                    break;
                }
                case pxfDate: {
                    const QDate d = QDate::fromString(v, "yyyy.MM.dd");
                    PX_put_data_long(
                        doc, data, 4,
                        int(PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425));
                    break;
                }
                case pxfShort:
                    PX_put_data_short(doc, data, 2, short(v.toInt()));
                    break;
                default:
                    PX_put_data_long(doc, data, 4, v.toInt());
                }
            }
            at += fields[i].length;
        }
        PX_put_record(doc, record.data());
    }
    PX_close(doc);
    PX_delete(doc);
    return true;
}

const QList<OldField> Employer = {{"ID", pxfAutoInc, 4},      {"CEG_NEV", pxfAlpha, 50},
                                  {"ADO_SZAM", pxfAlpha, 11}, {"AZON_TIP", pxfShort, 2},
                                  {"MEGYE", pxfAlpha, 3},     {"SZ_IRSZ", pxfAlpha, 4},
                                  {"SZ_IRSZ_S", pxfAlpha, 1}, {"SZ_CIM_JELL", pxfAlpha, 3},
                                  {"CEG_INDUL", pxfDate, 4},  {"MEGJEGYZES", pxfAlpha, 20}};
const QList<OldField> Person = {{"TAJ", pxfAlpha, 9},
                                {"VEZ_NEV", pxfAlpha, 40},
                                {"UTO_NEV", pxfAlpha, 15},
                                {"O_KOD", pxfAlpha, 4},
                                {"SZUL_DAT", pxfAlpha, 10}};
const QList<OldField> Header = {
    {"JEL_TIP", pxfAlpha, 2},   {"JEL_SZAM", pxfShort, 2},  {"JEL_TETE", pxfShort, 2},
    {"FAJL_NEV", pxfAlpha, 25}, {"KESZ_DAT", pxfAlpha, 10}, {"FOGLALK_ID", pxfLong, 4},
    {"CEG_NEV", pxfAlpha, 50},  {"ADO_SZAM", pxfAlpha, 11}, {"MEGYE", pxfAlpha, 3}};
const QList<OldField> Line = {
    {"JEL_SZAM", pxfShort, 2}, {"JEL_TETE", pxfShort, 2},  {"JAVITAS", pxfAlpha, 1},
    {"TAJ", pxfAlpha, 9},      {"FOGLALK_ID", pxfLong, 4}, {"NYILV_SZAM", pxfAlpha, 11},
    {"VEZ_NEV", pxfAlpha, 50}, {"UTO_NEV", pxfAlpha, 20},  {"JOGCIM", pxfAlpha, 4},
    {"JEL_TIP", pxfAlpha, 2},  {"KEZDET", pxfAlpha, 10},   {"SZUL_DAT", pxfAlpha, 10},
    {"O_KOD", pxfAlpha, 4},    {"PAKEZD", pxfAlpha, 1}};
const QList<OldField> Users = {{"USER_ID", pxfShort, 2},  {"USER_NAME", pxfAlpha, 12},
                               {"VEZ_NEV", pxfAlpha, 40}, {"UTO_NEV", pxfAlpha, 15},
                               {"PASS", pxfAlpha, 8},     {"JOG", pxfShort, 2}};

// An older installation: two employers (one with the start row of reports made elsewhere),
// persons with accented names and a provisional TAJ number, a completed report and its lines,
// two users with their passwords, persons in code page 852 and one backup table.
QString oldInstallation(const QTemporaryDir &dir)
{
    const QString folder = dir.filePath("adatok");
    QDir().mkpath(folder + "/Ment");
    writeOld(folder + "/foglalk.db", Employer,
             {{"7", "RÉGI ÉPÍTŐ KFT", "12345676242", "0", "010", "1011", "0", "001", "2001.03.15",
               "megjegyzés"},
              {"9", "BÜNTETÉS-VÉGREHAJTÁS", "15752026241", "0", "010", "1011", "0", "001",
               "1990.01.01", ""}});
    writeOld(folder + "/TAJ.DB", Person,
             {{"123456788", "ŐRÖS", "ÁRPÁD", "348", "1970.05.06"},
              {"900000014", "FOGOLY", "ÉVA", "348", ""}},
             852);
    writeOld(folder + "/jel_fej.db", Header,
             {{"09", "4", "0", "*INDULÓ JELENTÉS*", "2001.03.20", "7", "RÉGI ÉPÍTŐ KFT",
               "12345676242", "010"},
              {"09", "5", "1", "J0901A12345676242.005", "2002.02.01", "7", "RÉGI ÉPÍTŐ KFT",
               "12345676242", "010"}});
    writeOld(folder + "/jel_tete.db", Line,
             {{"5", "1", "N", "123456788", "7", "12345676242", "ŐRÖS", "ÁRPÁD", "1101", "09",
               "2002.01.07", "1970.05.06", "348", "N"}});
    writeOld(folder + "/jelszo.db", Users,
             {{"1", "ADMIN", "Rendszergazda", "", "regi", "3"},
              {"2", "KISS", "Kiss", "Éva", "titok", "2"}});
    writeOld(
        folder + "/Ment/foglalk.db", Employer,
        {{"7", "RÉGI ÉPÍTŐ KFT", "12345676242", "0", "010", "1011", "0", "001", "2001.03.15", ""}});
    return folder;
}

// The rows of a select on one line.
QString table(TestInstallation &t, const QString &sql)
{
    return TableCheck::rows(t, sql).join(u';');
}

int migrate(TestInstallation &t, const QString &folder, QString *printed, QString *errors)
{
    CommandLine::Options o;
    o.home = t.home();
    o.migrate = folder;
    QTextStream so(printed), se(errors);
    const int code = CommandLine::migrate(o, so, se);
    so.flush();
    se.flush();
    return code;
}
} // namespace

class TestMigration : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void olderInstallationIsTakenOver()
    {
        QTemporaryDir dir;
        const QString folder = oldInstallation(dir);
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        QString printed, errors;
        QCOMPARE(migrate(t, folder, &printed, &errors), 0);
        QVERIFY2(printed.contains("  foglalk: 2 sor olvasva, 2 sor írva"), qPrintable(printed));
        QVERIFY(printed.contains("    kihagyott mező: MEGJEGYZES"));
        QVERIFY(printed.contains("  taj_jogcim: hiányzik, üres marad"));
        QVERIFY(printed.contains("  irsz: hiányzik, a telepítés saját táblája marad"));
        QVERIFY(printed.contains("  Ment/foglalk: 1 sor olvasva, 1 sor írva"));
        QVERIFY(printed.contains("A régi szerkezet az új szerint átalakítva"));
        // Field by field: ids kept, accents from both code pages, dates as date text, empty
        // values as missing, the district of the older structure.
        QCOMPARE(table(t, "select ID, CEG_NEV, ADO_SZAM, AZON_TIP, CEG_INDUL, JARAS_KOD from "
                          "foglalk order by ID"),
                 QStringLiteral("7|RÉGI ÉPÍTŐ KFT|12345676242|0|2001.03.15|000;"
                                "9|BÜNTETÉS-VÉGREHAJTÁS|15752026241|0|1990.01.01|000"));
        QCOMPARE(table(t, "select TAJ, VEZ_NEV, UTO_NEV, coalesce(SZUL_DAT, '-') from taj order "
                          "by TAJ"),
                 QStringLiteral("123456788|ŐRÖS|ÁRPÁD|1970.05.06;900000014|FOGOLY|ÉVA|-"));
        // The file name of the older structure (21 characters) as the upgrade writes it.
        QCOMPARE(table(t, "select JEL_SZAM, FAJL_NEV from jel_fej order by JEL_SZAM"),
                 QStringLiteral("4|*INDULÓ JELENTÉS*;5|J0901A12345676242_000.005"));
        // No plain password reaches the file; the users log in with their old passwords.
        QVERIFY(!fileBytes(t.path("adatok/tarvik.sqlite")).contains("titok"));
        QCOMPARE(Login(t.context()).check("KISS", "titok").outcome, Login::Outcome::LoggedIn);
        QCOMPARE(Login(t.context()).check("ADMIN", "regi").outcome, Login::Outcome::LoggedIn);
        QCOMPARE(Login(t.context()).check("ADMIN", "pw").outcome, Login::Outcome::WrongPassword);
        // The next report continues the old numbering; a new employer gets a number above.
        QCOMPARE(ReportStore(t.data()).lastReportNumber(7, "09").value_or(-1), 5);
        QVERIFY(exec(t, "insert into foglalk (CEG_NEV) values ('ÚJ')"));
        QCOMPARE(t.scalar("select ID from foglalk where CEG_NEV = 'ÚJ'").toInt(), 10);
        // The old report is repeated, its file decoding to its stored line.
        QTemporaryDir out;
        CommandLine::Options o;
        o.home = t.home();
        o.repeat = "J0901A12345676242_000.005";
        o.folder = out.path();
        QString p2, e2;
        QTextStream so(&p2), se(&e2);
        QCOMPARE(CommandLine::repeat(o, so, se), 0);
        const QStringList lines = fileLines(out.filePath("J0901A12345676242_000.005"),
                                            *ReportFile::codingKey("12345676242"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1].mid(11, 9), QStringLiteral("123456788"));
        QCOMPARE(lines[1].mid(71, 4), QStringLiteral("ŐRÖS"));
        // A backup of the taken-over data, and a restore of it, work.
        o = CommandLine::Options();
        o.home = t.home();
        // This test's own connection lets the backup file go, as the program does before a
        // backup: Windows replaces no file that is open.
        t.data().closeBackup();
        QVERIFY2(CommandLine::backup(o, so, se) == 0, qPrintable((se.flush(), e2)));
        const QString taken = snapshot(t, {"foglalk", "taj", "jel_fej", "jel_tete"});
        QVERIFY(exec(t, "delete from taj"));
        o.yes = true;
        QCOMPARE(CommandLine::restore(o, so, se), 0);
        QCOMPARE(snapshot(t, {"foglalk", "taj", "jel_fej", "jel_tete"}), taken);
    }

    // The window shows the same summary as the command line.
    void windowShowsTheSummary()
    {
        QTemporaryDir dir;
        const QString folder = oldInstallation(dir);
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        prompter.files << folder;
        Tfrm_atvetel w(t.data(), t.context().installation);
        w.show();
        WindowDriver d{w};
        QVERIFY(!d.button("bbtn_atvetel")->isEnabled());
        d.click("sbtn_mappa");
        d.click("bbtn_atvetel");
        const QString memo = d.get<QPlainTextEdit>("lb_statusz")->toPlainText();
        QVERIFY2(memo.contains("  foglalk: 2 sor olvasva, 2 sor írva") &&
                     memo.contains("  Az átvétel kész."),
                 qPrintable(memo));
        QCOMPARE(prompter.messages.last(), QStringLiteral("Az átvétel kész."));
        QCOMPARE(t.scalar("select count(*) from taj").toInt(), 2);
        if (const QString shots = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !shots.isEmpty())
            w.grab().save(shots + "/tfrm_atvetel.png");
        // Done once: taken over again only after choosing again, and then refused, with the
        // reason in the memo.
        QVERIFY(!d.button("bbtn_atvetel")->isEnabled());
        prompter.files << folder;
        d.click("sbtn_mappa");
        d.click("bbtn_atvetel");
        QVERIFY(d.get<QPlainTextEdit>("lb_statusz")
                    ->toPlainText()
                    .contains("Az átvétel nem történt meg; a telepítés változatlan."));
    }

    // A value too long for its field, a damaged table, an installation that is not new: each
    // refused, and the installation left as it was.
    void refusalsChangeNothing()
    {
        QTemporaryDir dir;
        const QString folder = oldInstallation(dir);
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        const QString before =
            snapshot(t, {"foglalk", "taj", "jel_fej", "jel_tete", "jelszo", "irsz"});
        writeOld(folder + "/taj_jogcim.db",
                 {{"TAJ", pxfAlpha, 12},
                  {"FOGLALK_ID", pxfLong, 4},
                  {"JOGCIM", pxfAlpha, 4},
                  {"JEL_TIP", pxfAlpha, 2}},
                 {{"123456788123", "7", "1101", "09"}});
        QString printed, errors;
        QCOMPARE(migrate(t, folder, &printed, &errors), 1);
        QVERIFY2(errors.contains("A(z) taj_jogcim tábla 1. rekordjának TAJ mezője hosszabb 9 "
                                 "karakternél"),
                 qPrintable(errors));
        QCOMPARE(snapshot(t, {"foglalk", "taj", "jel_fej", "jel_tete", "jelszo", "irsz"}), before);

        // A damaged table: one byte of the field list changed.
        QVERIFY(QFile::remove(folder + "/taj_jogcim.db"));
        QFile taj(folder + "/TAJ.DB");
        QVERIFY(taj.open(QIODevice::ReadWrite));
        QByteArray bytes = taj.readAll();
        bytes[0x78 + 1] = char(0); // TAJ's length 0
        taj.seek(0);
        taj.write(bytes);
        taj.close();
        errors.clear();
        QCOMPARE(migrate(t, folder, &printed, &errors), 1);
        QVERIFY2(errors.contains("TAJ.DB"), qPrintable(errors));
        QCOMPARE(snapshot(t, {"foglalk", "taj", "jel_fej", "jel_tete", "jelszo", "irsz"}), before);

        // A target that already holds an employer.
        TestInstallation used(TestInstallation::WithDemoData);
        QVERIFY(used.ok());
        QVERIFY(QFile::remove(folder + "/TAJ.DB"));
        errors.clear();
        QCOMPARE(migrate(used, folder, &printed, &errors), 1);
        QVERIFY(errors.contains("régi adatot csak új telepítés vehet át"));
    }

    // A table whose header and blocks disagree on its records (protected or not), two files of
    // one table, an unknown code page, a table without its key field, a folder without tables:
    // each refuses the whole step, and neither the installation nor the old folder changes.
    void unsoundFoldersAreRefused_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason");
        QTest::newRow("protected, count lowered") << "TAJ.DB -1"
                                                  << "TAJ.DB: A tábla sérült";
        QTest::newRow("protected, count raised") << "TAJ.DB +1"
                                                 << "TAJ.DB: A tábla sérült";
        QTest::newRow("protected, count zero") << "irsz.db 0"
                                               << "irsz.db: A tábla sérült";
        QTest::newRow("plain, count lowered") << "plain.db -1"
                                              << "jel_tete.db: A tábla sérült";
        QTest::newRow("plain, count zero") << "plain.db 0"
                                           << "jel_tete.db: A tábla sérült";
#ifndef Q_OS_WIN
        // A Windows folder cannot hold TAJ.DB and taj.db side by side.
        QTest::newRow("two files of a table") << "taj.db"
                                              << "táblának több fájlja";
#endif
        QTest::newRow("unknown code page") << "codepage"
                                           << "ismeretlen kódlapot ír (32767)";
        QTest::newRow("key field missing") << "key"
                                           << "hiányzik a tábla TAJ mezője";
        QTest::newRow("empty folder") << "empty"
                                      << "nincs a régi program egyetlen táblája";
        QTest::newRow("the installation's own folder") << "own"
                                                       << "egyetlen táblája";
    }

    void unsoundFoldersAreRefused()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString folder = oldInstallation(dir);
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        writeOld(folder + "/irsz.db", {{"IRSZ", pxfAlpha, 4}, {"SULY", pxfAlpha, 1}},
                 {{"9999", "0"}, {"9998", "0"}});
        // The header's record count (bytes 6-9) changed by the amount given.
        auto recount = [](const QString &path, const QString &how) {
            QFile f(path);
            if (!f.open(QIODevice::ReadWrite)) return false;
            QByteArray b = f.readAll();
            qint32 n = qint32(quint8(b[6]) | quint8(b[7]) << 8);
            n = how == "0" ? 0 : n + how.toInt();
            b[6] = char(n & 0xFF);
            b[7] = char((n >> 8) & 0xFF);
            f.seek(0);
            return f.write(b) == b.size();
        };
        const QStringList parts = change.split(' ');
        if (parts[0] == "plain.db") {
            QVERIFY(writeOld(folder + "/jel_tete.db", Line,
                             {{"5", "1", "N", "123456788", "7", "12345676242", "A", "B", "1101",
                               "09", "2002.01.07", "1970.05.06", "348", "N"},
                              {"5", "2", "N", "900000014", "7", "12345676242", "C", "D", "1101",
                               "09", "2002.01.07", "1970.05.06", "348", "N"},
                              {"5", "3", "N", "123456788", "7", "12345676242", "E", "F", "1101",
                               "09", "2002.01.08", "1970.05.06", "348", "N"}},
                             1250, nullptr));
            QVERIFY(recount(folder + "/jel_tete.db", parts[1]));
        } else if (parts.size() == 2) {
            QVERIFY(recount(folder + "/" + parts[0], parts[1]));
        } else if (change == "taj.db") {
            QVERIFY(writeOld(folder + "/taj.db", Person, {{"123456788", "MÁS", "NÉV", "348", ""}}));
        } else if (change == "codepage") {
            QVERIFY(writeOld(folder + "/taj_jogcim.db",
                             {{"TAJ", pxfAlpha, 9},
                              {"FOGLALK_ID", pxfLong, 4},
                              {"JOGCIM", pxfAlpha, 4},
                              {"JEL_TIP", pxfAlpha, 2}},
                             {{"123456788", "7", "1101", "09"}}, 32767));
        } else if (change == "key") {
            QVERIFY(writeOld(folder + "/taj_jogcim.db",
                             {{"FOGLALK_ID", pxfLong, 4}, {"JOGCIM", pxfAlpha, 4}},
                             {{"7", "1101"}}));
        } else if (change == "empty") {
            folder = dir.filePath("ures");
            QVERIFY(QDir().mkpath(folder));
        } else if (change == "own") {
            folder = t.path("adatok");
        }
        auto folderBytes = [&] {
            QStringList all;
            for (const QString &name : QDir(folder).entryList(QDir::Files))
                all << name + ':' + QString::fromLatin1(fileBytes(folder + '/' + name).toHex());
            return all;
        };
        const QStringList tables = {"foglalk",  "taj",    "taj_jogcim", "jel_fej",
                                    "jel_tete", "jelszo", "irsz"};
        const QString before = snapshot(t, tables);
        const QStringList old = change == "own" ? QStringList() : folderBytes();
        QString printed, errors;
        QCOMPARE(migrate(t, folder, &printed, &errors), 1);
        QVERIFY2(errors.contains(reason), qPrintable(errors));
        QVERIFY2(!printed.contains("Az átvétel kész."), qPrintable(printed));
        QCOMPARE(snapshot(t, tables), before);
        if (change != "own") QCOMPARE(folderBytes(), old);
    }
};

int runMigrationTests(int argc, char **argv)
{
    TestMigration t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_migration.moc"

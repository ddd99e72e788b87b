// Several clerks on one register at once: each clerk is a process of this program that adds
// pending lines, makes reports and receives other programs' reports for the same employers,
// through the same functions as the windows and the command line. Afterwards nothing may be
// doubled, lost or half written.
#include "appcontext.h"
#include "datetext.h"
#include "employerstore.h"
#include "externalfiles.h"
#include "externalreceiver.h"
#include "identifierchecks.h"
#include "reportgenerator.h"
#include "reportstore.h"
#include "storequery.h"
#include "tablecheck.h"
#include "testinstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QtTest>

namespace
{
// The employers the clerks share: the demo company and one more, with their district.
struct Employer {
    int id;
    QString tax, district;
};
// A second tax number of the same form as the demo company's: base, check digit, 2, 42.
const QString SecondTax =
    QStringLiteral("1234568") + QString::number(AdoszamCdv(1234568)) + QStringLiteral("242");

// A TAJ number of the clerk's own range, with its check digit.
QString tajOf(int clerk, int n)
{
    const QString base = QStringLiteral("%1%2").arg(clerk + 1).arg(n, 7, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += base[i].digitValue() * (i % 2 == 0 ? 3 : 7);
    return base + QString::number(sum % 10);
}

QList<Employer> employers(DataModule &data)
{
    QList<Employer> out;
    StoreQuery::select(
        data,
        {QStringLiteral("select id, ado_szam, jaras_kod from foglalk where ado_szam in "
                        "(:a, :b) order by id")},
        {ExternalFiles::Tax, SecondTax}, [&](Query &q) {
            out << Employer{q.integer(QStringLiteral("id")), q.text(QStringLiteral("ado_szam")),
                            q.text(QStringLiteral("jaras_kod"))};
        });
    return out;
}

// One clerk: works on the installation until the time is up, and writes what it did, one line
// per step that succeeded ("A taj", "R taj...", "M path"), to its log.
int clerk(const QString &home, int number, int seconds, const QString &logFile)
{
    Installation installation(home, true);
    AppContext context{installation, {}, {}};
    QString error;
    if (!context.data.connect(installation.dataFolder(), &error)) {
        qWarning("clerk %d: %s", number, qPrintable(error));
        return 1;
    }
    QFile logOut(logFile);
    if (!logOut.open(QIODevice::WriteOnly)) return 1;
    QTextStream log(&logOut);
    const QList<Employer> shared = employers(context.data);
    const auto templates = StoreQuery::maps(
        context.data, {QStringLiteral("select * from jel_tete where javitas = 'N' and jel_tip = "
                                      "'09' and jogcim = '1101'")});
    if (shared.size() != 2 || !templates || templates->isEmpty()) return 1;
    const QVariantMap model = templates->first();
    const QString out = QDir(home).filePath(QStringLiteral("jelentesek/%1").arg(number));
    QDir().mkpath(out);
    QTemporaryDir inbox;
    QRandomGenerator random(quint32(number) * 7919u + 1u);
    int persons = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        const Employer &e = shared[random.bounded(2)];
        const int action = random.bounded(10);
        if (action < 6) {
            // A new person's line for the report in preparation.
            QVariantMap line = model;
            line.remove(QStringLiteral("NEV_KULCS"));
            const QString taj = tajOf(number, ++persons);
            line[QStringLiteral("TAJ")] = taj;
            line[QStringLiteral("VEZ_NEV")] = QStringLiteral("ÜGYINTÉZŐ%1").arg(number);
            line[QStringLiteral("UTO_NEV")] = QStringLiteral("SZEMÉLY%1").arg(persons);
            line[QStringLiteral("FOGLALK_ID")] = e.id;
            line[QStringLiteral("NYILV_SZAM")] = e.tax;
            line[QStringLiteral("JEL_SZAM")] = 1;
            line[QStringLiteral("JEL_TETE")] = 1;
            if (ReportStore(context.data).addLine(line) == ReportStore::AddResult::Ok)
                log << "A " << taj << Qt::endl;
        } else if (action < 8) {
            ReportGenerator generator(context.data);
            const auto reports = generator.pendingReports();
            if (!reports) continue;
            ReportGenerator::Options options;
            options.folder = out;
            options.coded = false;
            options.version = context.run.version;
            options.today = DateText::today();
            for (const PendingReport &report : *reports) {
                const auto made = generator.make(report, options);
                if (made.ok) log << "M " << made.path << Qt::endl;
            }
        } else {
            // Another program's report, numbered as the next one filed for the employer.
            const auto last = StoreQuery::firstText(
                context.data,
                {QStringLiteral("select coalesce(max(jel_szam), 0) m from jel_fej where "
                                "foglalk_id = :ny and jel_tip = '09'")},
                {e.id}, QStringLiteral("m"));
            if (!last) continue;
            const QString sequence = QString::number(last->toInt() + 1);
            const int items = 1 + random.bounded(3);
            QList<QByteArray> lines = {
                ExternalFiles::header(QString::number(items), sequence, e.tax)};
            QStringList tajs;
            for (int i = 1; i <= items; ++i) {
                tajs << tajOf(number, ++persons);
                lines << ExternalFiles::item(i, tajs.last(), QStringLiteral("KÜLSŐ%1").arg(number),
                                             QStringLiteral("ÉVA"), sequence, e.tax);
            }
            const QString name = QStringLiteral("J0901K%1%2_%3.txt")
                                     .arg(e.tax)
                                     .arg(sequence.toInt(), 3, 10, QLatin1Char('0'))
                                     .arg(e.district);
            QFile file(inbox.filePath(name));
            if (!file.open(QIODevice::WriteOnly)) continue;
            for (const QByteArray &l : lines)
                file.write(l + "\r\n");
            file.close();
            ExternalReceiver receiver(context.data);
            const auto opened = receiver.open(file.fileName());
            bool prison = false;
            if (opened.outcome != ExternalReceiver::Opened::Accepted ||
                !receiver.syntax(opened, &prison).ok || !receiver.content(opened, prison).ok)
                continue;
            ExternalReceiver::Options options;
            options.folder = out;
            options.version = context.run.version;
            options.today = DateText::today();
            const auto made = receiver.make(opened, prison, options);
            if (made.ok)
                log << "R " << tajs.join(u' ') << Qt::endl << "M " << made.path << Qt::endl;
        }
    }
    return 0;
}
// One clerk who has opened and checked a file of an employer the register does not know,
// and runs the content check (which records the employer) once the go file is there.
int newEmployerClerk(const QString &home, const QString &file, const QString &go)
{
    Installation installation(home, true);
    AppContext context{installation, {}, {}};
    QString error;
    if (!context.data.connect(installation.dataFolder(), &error)) return 1;
    ExternalReceiver receiver(context.data);
    const auto opened = receiver.open(file);
    bool prison = false;
    if (opened.outcome != ExternalReceiver::Opened::Accepted || !opened.employer.isEmpty()) {
        for (const MemoLine &l : opened.memo)
            qWarning("%s", qPrintable(l.text));
        qWarning("%s", qPrintable(opened.message));
        return 2;
    }
    const auto syntax = receiver.syntax(opened, &prison);
    if (!syntax.ok) {
        for (const MemoLine &l : syntax.memo)
            qWarning("%s", qPrintable(l.text));
        return 2;
    }
    QFile(go + QStringLiteral(".kesz.%1").arg(QCoreApplication::applicationPid()))
        .open(QIODevice::WriteOnly);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(go) && clock.elapsed() < 60000)
        QThread::msleep(5);
    return receiver.content(opened, prison).ok ? 0 : 3;
}
} // namespace

class TestConcurrency : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Eight clerks check files of one new employer at once: it is recorded once.
    void newEmployerRecordedOnce()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY2(t.ok(), qPrintable(t.error()));
        const QString tax = QStringLiteral("1234569") + QString::number(AdoszamCdv(1234569)) +
                            QStringLiteral("242");
        QTemporaryDir dir;
        const QString file = dir.filePath("J0901K" + tax + "001_020.txt");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ExternalFiles::header("1", "1", tax) + "\r\n" +
                ExternalFiles::item(1, tajOf(7, 1), "ÚJ", "CÉG", "1", tax) + "\r\n");
        f.close();
        const QString go = dir.filePath("mehet");
        QList<QProcess *> running;
        for (int i = 0; i < 8; ++i) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(QCoreApplication::applicationFilePath(),
                     {"--new-employer", t.home(), file, go});
            running << p;
        }
        // Every clerk has opened the file before any records the employer.
        QElapsedTimer waited;
        waited.start();
        while (QDir(dir.path()).entryList({"mehet.kesz.*"}).size() < 8 &&
               waited.elapsed() < 120000) {
            for (QProcess *p : running)
                QVERIFY2(p->state() != QProcess::NotRunning,
                         qPrintable(QString("a clerk ended early: %1").arg(p->exitCode())));
            QTest::qWait(20);
        }
        QFile(go).open(QIODevice::WriteOnly);
        for (QProcess *p : running) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        QCOMPARE(t.scalar("select count(*) from foglalk where ado_szam = '" + tax + "'").toInt(),
                 1);
    }

    void eightClerksAtOnce()
    {
        QVERIFY2(!TestInstallation::testServer().isEmpty(),
                 "several clerks share a register on a server (TARVIK_TEST_STORE=server)");
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY2(t.ok(), qPrintable(t.error()));
        QVariantMap second = {{"CEG_NEV", "MÁSODIK KFT"},
                              {"ADO_SZAM", SecondTax},
                              {"AZON_TIP", "0"},
                              {"TBKIFH", "0"},
                              {"TAKISZ", "0"},
                              {"JARAS_KOD", "020"},
                              {"MEGYE", "010"},
                              {"SZ_IRSZ", "1011"},
                              {"SZ_IRSZ_S", "0"},
                              {"SZ_CIM_JELL", "001"},
                              {"SZ_UTCA", "Fő"},
                              {"SZ_HAZ", "12"},
                              {"CEG_INDUL", "2010.01.04"}};
        QCOMPARE(EmployerStore(t.data()).insert(second, 1, QString()),
                 EmployerStore::InsertResult::Ok);

        const int clerks = qEnvironmentVariableIntValue("TARVIK_CLERKS") > 0
                               ? qEnvironmentVariableIntValue("TARVIK_CLERKS")
                               : 8;
        const int seconds = qEnvironmentVariableIntValue("TARVIK_CLERK_SECONDS") > 0
                                ? qEnvironmentVariableIntValue("TARVIK_CLERK_SECONDS")
                                : 6;
        QTemporaryDir logs;
        QList<QProcess *> running;
        for (int i = 0; i < clerks; ++i) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(QCoreApplication::applicationFilePath(),
                     {"--clerk", t.home(), QString::number(i), QString::number(seconds),
                      logs.filePath(QString::number(i))});
            running << p;
        }
        for (QProcess *p : running) {
            QVERIFY(p->waitForFinished((seconds + 60) * 1000));
            QCOMPARE(p->exitCode(), 0);
        }

        // What the clerks say they did.
        QMultiMap<QString, QString> added; // TAJ → how (A: entered, R: received)
        QStringList files;
        for (int i = 0; i < clerks; ++i) {
            QFile f(logs.filePath(QString::number(i)));
            QVERIFY(f.open(QIODevice::ReadOnly));
            for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
                const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
                if (parts.size() < 2) continue;
                if (parts[0] == u"M")
                    files << parts[1];
                else
                    for (const QString &taj : parts.mid(1))
                        added.insert(taj, parts[0]);
            }
        }
        QVERIFY2(files.size() >= clerks, qPrintable(QString::number(files.size())));
        qInfo("%d clerks in %d s: %d reports made or received, %d lines", clerks, seconds,
              int(files.size()), int(added.size()));

        for (const Employer &e : employers(t.data())) {
            const QString id = QString::number(e.id);
            // Every employer's numbers are unique and without gaps.
            const QStringList numbers = TableCheck::rows(
                t, "select jel_szam from jel_fej where foglalk_id = " + id +
                       " and jel_tip = '09' and fajl_nev <> '*INDULÓ JELENTÉS*' order by jel_szam");
            for (int i = 0; i < numbers.size(); ++i)
                QCOMPARE(numbers[i].toInt(), numbers.first().toInt() + i);
            // Item numbers run 1..n within each report, n as its header row says.
            const QStringList reports = TableCheck::rows(
                t, "select f.jel_szam, f.jel_tete, count(l.jel_tete), min(l.jel_tete), "
                   "max(l.jel_tete), count(distinct l.jel_tete) from jel_fej f join jel_tete l on "
                   "l.foglalk_id = f.foglalk_id and l.jel_tip = f.jel_tip and l.jel_szam = "
                   "f.jel_szam where f.foglalk_id = " +
                       id + " and f.jel_tip = '09' group by f.jel_szam, f.jel_tete");
            for (const QString &r : reports) {
                const QStringList v = r.split(u'|');
                QVERIFY2(v[1] == v[2] && v[3] == u"1" && v[4] == v[1] && v[5] == v[1],
                         qPrintable(r));
            }
            // The report in preparation has one number, above every filed one, and runs 1..n.
            const QStringList pending = TableCheck::rows(
                t, "select jel_szam, count(*), min(jel_tete), max(jel_tete), count(distinct "
                   "jel_tete) from jel_temp where foglalk_id = " +
                       id + " group by jel_szam");
            QVERIFY2(pending.size() <= 1, qPrintable(pending.join(u';')));
            for (const QString &r : pending) {
                const QStringList v = r.split(u'|');
                QVERIFY2(v[2] == u"1" && v[3] == v[1] && v[4] == v[1], qPrintable(r));
                QVERIFY(numbers.isEmpty() || v[0].toInt() > numbers.last().toInt());
            }
        }
        // Every line a clerk added or received is in exactly one report, or still pending.
        const QStringList lines = TableCheck::rows(
            t, "select taj from jel_tete where vez_nev like 'ÜGYINTÉZŐ%' or vez_nev like "
               "'KÜLSŐ%' union all select taj from jel_temp");
        QMap<QString, int> seen;
        for (const QString &taj : lines)
            ++seen[taj];
        for (const QString &taj : added.keys())
            QVERIFY2(seen.value(taj) == 1, qPrintable(taj));
        QCOMPARE(seen.size(), int(QSet<QString>(added.keyBegin(), added.keyEnd()).size()));
        // Each person reported ends as one row.
        QCOMPARE(t.scalar("select count(*) from (select taj from taj group by taj having count(*) "
                          "> 1) as doubled")
                     .toInt(),
                 0);
        // Every report file holds exactly its filed lines.
        for (const QString &path : files) {
            const QString name = QFileInfo(path).fileName();
            const QStringList head = TableCheck::rows(
                t,
                "select f.foglalk_id, f.jel_tip, f.jel_szam, f.jel_tete, e.ado_szam from jel_fej "
                "f join foglalk e on e.id = f.foglalk_id where f.fajl_nev = '" +
                    name + "'");
            QVERIFY2(head.size() == 1, qPrintable(name));
            const QStringList h = head.first().split(u'|');
            QStringList filed =
                TableCheck::rows(t, "select taj from jel_tete where foglalk_id = " + h[0] +
                                        " and jel_tip = '" + h[1] + "' and jel_szam = " + h[2]);
            QStringList inFile;
            // Made files are plain here; a received report's file is coded as it came.
            QStringList fileLines = TableCheck::fileLines(path);
            static const QRegularExpression digits(QStringLiteral("^[0-9]{9}$"));
            if (!digits.match(fileLines.value(1).mid(11, 9)).hasMatch())
                fileLines = TableCheck::fileLines(path, *ReportFile::codingKey(h[4]));
            QVERIFY2(fileLines.size() == h[3].toInt() + 1, qPrintable(path));
            for (const QString &l : fileLines.mid(1))
                inFile << l.mid(11, 9);
            filed.sort();
            inFile.sort();
            QCOMPARE(inFile, filed);
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == u"--clerk")
        return clerk(args[2], args[3].toInt(), args[4].toInt(), args[5]);
    if (args.size() == 5 && args[1] == u"--new-employer")
        return newEmployerClerk(args[2], args[3], args[4]);
    TestConcurrency test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_concurrency.moc"

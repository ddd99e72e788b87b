#include "aliasconfig.h"
#include "answerlogin.h"
#include "commandline.h"
#include "hosttool.h"
#include "registrydatabase.h"
#include "releasesignature.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_beallit.h"
#include "tfrm_frissit.h"
#include "tfrm_main.h"
#include "updatesite.h"
#include "windowdriver.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace
{
// A small HTTP server on a free local port: files by path, 404 for the rest, and ways of going
// wrong: accepting and never answering, cutting a body off in the middle, sending it a byte at a
// time, announcing a body larger than it sends.
class Site : public QTcpServer
{
public:
    QHash<QString, QByteArray> files;
    QSet<QString> silent, cut, dribble;
    QHash<QString, qint64> announced;
    // The files whose answer the other side gave up before it was whole: a download that ended
    // at its limit rather than waiting for the site.
    QSet<QString> abandoned;

    Site()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
        });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

private:
    void answer(QTcpSocket *s)
    {
        const QByteArray request = s->readAll();
        const QString path = QString::fromLatin1(request.split(' ').value(1)).mid(1);
        if (silent.contains(path)) {
            connect(s, &QTcpSocket::disconnected, this, [this, path] { abandoned << path; });
            return;
        }
        QByteArray body = files.value(path);
        const bool found = files.contains(path);
        QByteArray head = found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
        head +=
            "Content-Length: " + QByteArray::number(announced.value(path, body.size())) + "\r\n";
        head += "Connection: close\r\n\r\n";
        if (cut.contains(path)) body = body.left(body.size() / 2);
        if (dribble.contains(path)) {
            // A byte every tenth of a second, for as long as the other side listens.
            s->write(head);
            auto sent = std::make_shared<qsizetype>(0);
            auto *tick = new QTimer(s);
            connect(tick, &QTimer::timeout, s, [s, body, sent] {
                if (*sent < body.size()) s->write(body.mid((*sent)++, 1));
            });
            connect(s, &QTcpSocket::disconnected, this, [this, path, body, sent] {
                if (*sent < body.size()) abandoned << path;
            });
            tick->start(100);
            return;
        }
        s->write(head + body);
        s->flush();
        s->disconnectFromHost();
    }
};

// A key pair of the test's own, made and used by the minisign tool as a vendor would, and given
// to the verifier in place of the release key while the signer lives.
class Signer
{
public:
    Signer()
    {
        HostTool::run("minisign", {"-G", "-W", "-f", "-p", m_dir.filePath("test.pub"), "-s",
                                   m_dir.filePath("test.key")});
        QFile pub(m_dir.filePath("test.pub"));
        if (pub.open(QIODevice::ReadOnly)) m_public = pub.readAll().split('\n').value(1).trimmed();
        ReleaseSignature::useKey(m_public);
    }
    ~Signer() { ReleaseSignature::useKey({}); }
    bool ok() const { return !m_public.isEmpty(); }
    // The .minisig text of the content, signed as the file of that name (minisign's own trusted
    // comment names it), or with the trusted comment given.
    QByteArray sign(const QByteArray &content, const QString &name = "alairando",
                    const QString &comment = {})
    {
        const QString file = m_dir.filePath(name);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
        f.write(content);
        f.close();
        QFile::remove(file + ".minisig");
        QStringList arguments = {"-S", "-s", m_dir.filePath("test.key"), "-m", file};
        if (!comment.isEmpty()) arguments << "-t" << comment;
        HostTool::run("minisign", arguments);
        QFile sig(file + ".minisig");
        return sig.open(QIODevice::ReadOnly) ? sig.readAll() : QByteArray();
    }
    // Publishes the content and its signature on the site.
    template <typename S> void publish(S &site, const QString &name, const QByteArray &content)
    {
        site.files[name] = content;
        site.files[name + ".minisig"] = sign(content, name);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_public;
};

// Points the installation's URL file at the site.
bool pointAt(TestInstallation &t, const Site &site)
{
    QFile url(t.context().installation.urlFile());
    return url.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           url.write("URL=" + site.address().toLatin1() + "\r\n") > 0;
}

// Records what would have been started instead of starting it.
struct Recorder : Launcher {
    QStringList started;
    Recorder() { Launcher::install(this); }
    ~Recorder() override { Launcher::install(nullptr); }
    bool starts = true; // false: the installer cannot be opened
    bool startAndQuit(const QString &file) override
    {
        started << file;
        return starts;
    }
};
} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installerNames()
    {
        using namespace UpdateSite;
        QCOMPARE(startInstallerName("1.0.0.7", is64Bit(9)), QStringLiteral("frissit_108_x64.exe"));
        QCOMPARE(windowInstallerName("1008", true), QStringLiteral("frissit_1008_x64.exe"));
        QCOMPARE(startInstallerName("1.0.4.3", is64Bit(0)), QStringLiteral("frissit_1044.exe"));
        QCOMPARE(windowInstallerName("1044", false), QStringLiteral("frissit_1044.exe"));
        QVERIFY(is64Bit(6) && !is64Bit(12));
    }

    void urlFile()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        using UpdateSite::readUrlFile;
        QCOMPARE(
            readUrlFile(t.writeFile("x.url", "[InternetShortcut]\r\nURL=http://egy.example/\r\n"
                                             "IconIndex=0\r\nURL=  "
                                             "http://ketto.example/frissites/   \r\n")),
            QStringLiteral("http://ketto.example/frissites/"));
        // A line of more than 54 characters keeps the first 50 of the address.
        const QByteArray address = "http://" + QByteArray(60, 'a') + ".example/";
        QCOMPARE(readUrlFile(t.writeFile("y.url", "URL=" + address + "\r\n")),
                 QString::fromLatin1(address.left(50)));
        // Only http and https are followed.
        QCOMPARE(readUrlFile(t.writeFile("z.url", "URL=file:///etc/\r\n")), QString());
        QCOMPARE(readUrlFile(t.writeFile("w.url", "URL=ftp://egy.example/\r\n")), QString());
        QCOMPARE(readUrlFile(t.path("nincs.url")), QString());
    }

    void startCheck()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        Signer signer;
        QVERIFY(signer.ok());
        signer.publish(site, "frissit_1044.exe", "MZ telepítő");
        const QString folder = t.home();
        // Found: fetched into the program folder.
        QString found = UpdateSite::checkAtStart(site.address(), "1.0.4.3", 0, folder).installer;
        QCOMPARE(found, QDir(folder).filePath("frissit_1044.exe"));
        QCOMPARE(TableCheck::fileBytes(found), QByteArray("MZ telepítő"));
        // Not found: nothing, and no file.
        QCOMPARE(UpdateSite::checkAtStart(site.address(), "1.0.4.4", 0, folder).installer,
                 QString());
        QVERIFY(!QFile::exists(QDir(folder).filePath("frissit_1045.exe")));
        // A site that accepts and never answers: the start goes on within its limit.
        site.silent << "frissit_108_x64.exe";
        QCOMPARE(UpdateSite::checkAtStart(site.address(), "1.0.0.7", 9, folder).installer,
                 QString());
        // It gave the site up (a check without its limit would wait here for ever).
        QTRY_VERIFY(site.abandoned.contains("frissit_108_x64.exe"));
        QVERIFY(!QFile::exists(QDir(folder).filePath("frissit_108_x64.exe")));
    }

    // The main window at its first showing: a newer version is started and the program ends;
    // a silent site only delays the start.
    void mainWindowAtStart()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        t.context().run.initialise();
        const QString name = UpdateSite::startInstallerName(
            t.context().run.version, UpdateSite::is64Bit(t.context().run.processorArchitecture));
        Signer signer;
        QVERIFY(signer.ok());
        signer.publish(site, name, "MZ");
        QVERIFY(pointAt(t, site));
        ScriptedPrompter prompter;
        Recorder launcher;
        {
            answerLogin("ADMIN", "pw");
            Tfrm_main w(t.context());
            w.show();
            QCOMPARE(launcher.started, QStringList{t.path(name)});
            QCOMPARE(
                prompter.messages.last(),
                QStringLiteral("Van új program verzió !\n\rFrissítés automatikusan elindul..."));
            QTRY_VERIFY(!w.isVisible());
        }
        site.files.clear();
        site.silent << name;
        QVERIFY(QFile::remove(t.path(name)));
        prompter.messages.clear();
        answerLogin("ADMIN", "pw");
        Tfrm_main w(t.context());
        w.show();
        QTRY_VERIFY(site.abandoned.contains(name));
        QVERIFY(w.isVisible());
        QCOMPARE(launcher.started.size(), 1);
        QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.join('|')));
    }

    // Two installations in turn: a run on a named folder opens that folder's data, whatever the
    // alias says, and leaves the alias file alone.
    void homeOpensItsOwnInstallation()
    {
        TestInstallation t; // for the settings folder of the test
        QVERIFY(t.ok());
        const QString aliasFile = SettingsLocation::aliasFile();
        const QByteArray aliasBefore = TableCheck::fileBytes(aliasFile);
        QString printed;
        QTextStream out(&printed), err(&printed);
        for (const char *folder : {"egyik", "masik"}) {
            CommandLine::Options o = CommandLine::parse(
                {"tarvik", "--init", "--home", t.path(folder), "--admin-password", "pw"});
            QCOMPARE(CommandLine::initialise(o, out, err), 0);
        }
        QCOMPARE(TableCheck::fileBytes(aliasFile), aliasBefore);
        ScriptedPrompter prompter;
        for (const char *folder : {"egyik", "masik"}) {
            AppContext context{Installation(t.path(folder), true), {}, {}};
            answerLogin("ADMIN", "pw");
            Tfrm_main w(context);
            QCOMPARE(QDir(context.data.dataFolder()).absolutePath(),
                     QDir(t.path(folder) + "/adatok").absolutePath());
            QVERIFY(context.run.mayContinue);
        }
        QCOMPARE(TableCheck::fileBytes(aliasFile), aliasBefore);
    }

    // A folder without an installation: declined, the program says how to make one; accepted,
    // the installation is made with the reference data and the login follows.
    void startOffersANewInstallation()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        const QString folder = t.path("uj");
        {
            prompter.answers << Prompter::No;
            AppContext context{Installation(folder, true), {}, {}};
            Tfrm_main w(context);
            QVERIFY(prompter.questions.last().startsWith(
                "Ebben a mappában nincs Tarvik telepítés :\n\r" +
                QDir::toNativeSeparators(folder)));
            QVERIFY(prompter.messages.last().endsWith("tarvik --init --home " +
                                                      QDir::toNativeSeparators(folder)));
            QVERIFY(!context.installation.isInstalled());
            w.show();
            QTRY_VERIFY(!w.isVisible());
        }
        prompter.dialogActions << [](QDialog *d) {
            d->findChild<QLineEdit *>("ed_jelszo")->setText("uj");
            d->findChild<QLineEdit *>("ed_jelszo2")->setText("uj");
            d->findChild<QPushButton *>("bbtn_ok")->click();
            return d->result();
        };
        AppContext context{Installation(folder, true), {}, {}};
        answerLogin("ADMIN", "uj");
        Tfrm_main w(context);
        QVERIFY(context.installation.isInstalled());
        QVERIFY(context.run.mayContinue);
        QSqlQuery q(context.data.db());
        QVERIFY(q.exec("select count(*) from jogcim") && q.next());
        QVERIFY(q.value(0).toInt() > 0);
    }

    void commandLineMessages()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        CommandLine::Options o =
            CommandLine::parse({"tarvik", "--home", t.home(), "--load", t.path("irsz.txt")});
        QCOMPARE(CommandLine::load(o, out, err), 1);
        err.flush();
        QCOMPARE(errors,
                 QDir::toNativeSeparators(t.path("irsz.txt")) + ": a fájl nem található.\n");
        o = CommandLine::parse({"tarvik", "--home", t.home(), "--make"});
        QCOMPARE(CommandLine::make(o, out, err), 0);
        out.flush();
        QCOMPARE(printed, QStringLiteral("Nincs több rögzítésre váró jelentés !\n"));
    }

    // The command line in Qt's own form: every option of before, files after the switch that
    // names them, Hungarian help and manual page, the program's own process exit codes.
    void commandLineParsing()
    {
        using CommandLine::parse;
        CommandLine::Options o = parse({"tarvik", "--home", "/h", "--load", "a.txt", "b.txt"});
        QVERIFY(o.error.isEmpty());
        QCOMPARE(o.home, QStringLiteral("/h"));
        QCOMPARE(o.loadFiles, (QStringList{"a.txt", "b.txt"}));
        o = parse({"tarvik", "--receive", "x", "y", "--folder", "out", "--pdf"});
        QCOMPARE(o.receiveFiles, (QStringList{"x", "y"}));
        QCOMPARE(o.folder, QStringLiteral("out"));
        QVERIFY(o.pdf && CommandLine::isBatch(o));
        o = parse({"tarvik", "--init", "--demo", "--admin-password", "", "--home", "h"});
        QVERIFY(o.init && o.demo && o.hasPassword && o.adminPassword.isEmpty());
        QVERIFY(parse({"tarvik", "--restore", "--yes"}).yes);
        QCOMPARE(parse({"tarvik", "--repeat", "J0901A12345676242_020.001"}).repeat,
                 QStringLiteral("J0901A12345676242_020.001"));
        // Qt's own options of a window pass.
        QVERIFY(parse({"tarvik", "-platform", "offscreen"}).error.isEmpty());
        QVERIFY(!CommandLine::isBatch(parse({"tarvik", "-platform", "offscreen"})));
        // Refusals, each a message for exit code 2.
        QCOMPARE(parse({"tarvik", "--nincs"}).error, QStringLiteral("Ismeretlen kapcsoló: nincs"));
        QCOMPARE(parse({"tarvik", "--load"}).error,
                 QStringLiteral("A(z) --load után meg kell adni a fájlokat."));
        QVERIFY(!parse({"tarvik", "--load", "a", "--receive"}).error.isEmpty());
        QCOMPARE(parse({"tarvik", "magányos"}).error,
                 QStringLiteral("Ismeretlen paraméter: magányos"));
        QVERIFY(parse({"tarvik", "--home"}).error.startsWith("Hibás parancssor"));
        QVERIFY(parse({"tarvik", "--version"}).version);
        QVERIFY(parse({"tarvik", "-h"}).help);
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Tarvik ") + TARVIK_VERSION);
        // The help and the manual page name every option, in Hungarian.
        const QString help = CommandLine::usage();
        const QString man = CommandLine::manPage();
        QVERIFY(help.startsWith("Használat:") && help.contains("Kapcsolók:"));
        for (const char *option : {"home", "init", "demo", "admin-password", "load", "make",
                                   "folder", "plain", "pdf", "repeat", "receive", "bvop", "backup",
                                   "restore", "yes", "export", "import", "version"}) {
            QVERIFY2(help.contains(QStringLiteral("--") + option), option);
            QVERIFY2(man.contains(QStringLiteral("\\-\\-") + QString(option).replace("-", "\\-")),
                     option);
        }
        QVERIFY(help.contains("Új telepítés létrehozása"));
        QVERIFY(man.startsWith(".TH TARVIK 1") && man.contains("2 hibás parancssor"));
        QVERIFY(!help.contains("--man") && !help.contains("platform"));
    }

    void cutDownloadLeavesNothing()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        site.files["frissit_1044.exe"] = QByteArray(100000, 'x');
        site.cut << "frissit_1044.exe";
        const QString file = t.path("frissit_1044.exe");
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        const auto d = UpdateSite::fetch(site.address() + "frissit_1044.exe", file, 3000);
        QVERIFY(!d.ok);
        QCOMPARE(TableCheck::fileBytes(file), QByteArray("régi"));
        QCOMPARE(QDir(t.home()).entryList({"frissit_*"}, QDir::Files),
                 QStringList{"frissit_1044.exe"});
    }

    // Every download ends within its limits, whatever the site does, and keeps nothing it did
    // not verify: a body or a signature that comes a byte at a time, a signature or a body
    // larger than its kind may be. A trusted comment is verified as signed, trailing blank too.
    void downloadsEndWithinTheirLimits()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        Signer signer;
        QVERIFY(signer.ok());
        const QString file = t.path("frissit_1044.exe");
        const QString remote = site.address() + "frissit_1044.exe";
        UpdateSite::Limits limits;
        limits.idleMs = 2000;
        limits.totalMs = 1500;
        auto fails = [&](const char *what) {
            const auto d = UpdateSite::fetch(remote, file, limits);
            return !d.ok && !QFile::exists(file) ? QString() : QString::fromUtf8(what);
        };
        // Eighty bytes at a tenth of a second each take longer than any limit here in all.
        const QByteArray installer = "MZ" + QByteArray(78, 'x');
        signer.publish(site, "frissit_1044.exe", installer);
        site.dribble << "frissit_1044.exe";
        QCOMPARE(fails("dribbling body"), QString());
        site.dribble = {"frissit_1044.exe.minisig"};
        QCOMPARE(fails("dribbling signature"), QString());
        site.dribble.clear();
        site.files["frissit_1044.exe.minisig"] += QByteArray(5000, '#');
        QCOMPARE(fails("huge signature"), QString());
        signer.publish(site, "frissit_1044.exe", installer);
        site.announced["frissit_1044.exe"] = UpdateSite::InstallerMaxBytes + 1;
        QCOMPARE(fails("huge body"), QString());
        site.announced.clear();
        // The start check gives a dribbling site up too, before the body is whole: without its
        // limit it would take the whole body.
        site.abandoned.clear();
        site.dribble << "frissit_1044.exe";
        QVERIFY(
            UpdateSite::checkAtStart(site.address(), "1.0.4.3", 0, t.home()).installer.isEmpty());
        QTRY_VERIFY(site.abandoned.contains("frissit_1044.exe"));
        QVERIFY(!QFile::exists(file));
        site.dribble.clear();
        // Signed for its name with a comment that ends in a blank: kept.
        site.files["frissit_1044.exe.minisig"] =
            signer.sign(installer, "x", "file:frissit_1044.exe kiadás ");
        limits.totalMs = 60000;
        const auto d = UpdateSite::fetch(remote, file, limits);
        QVERIFY2(d.ok, qPrintable(d.error));
        QCOMPARE(TableCheck::fileBytes(file), installer);
    }

    // A download of the window can be stopped with "Vissza" (which reads "Leállítás" meanwhile):
    // nothing is kept, nothing is said, and the window stays. A build without the vendor's key
    // downloads nothing and says why.
    void updateWindowStopsAndNeedsAKey()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        Signer signer;
        QVERIFY(signer.ok());
        signer.publish(site, "frissit_1044.exe", QByteArray(50, 'x'));
        site.dribble << "frissit_1044.exe";
        QVERIFY(pointAt(t, site));
        t.context().run.initialise();
        t.context().run.version = "1.0.4.3";
        t.context().run.rightsLevel = 2;
        ScriptedPrompter prompter;
        Recorder launcher;
        Tfrm_frissit w(t.context());
        w.show();
        WindowDriver d{w};
        QString during;
        QTimer::singleShot(400, &w, [&] {
            during = d.button("bbtn_vissza")->text();
            d.click("bbtn_vissza");
        });
        d.click("bbtn_letolt1");
        QCOMPARE(during, QStringLiteral("Leállítás"));
        QVERIFY(!w.downloading());
        QVERIFY(w.isVisible());
        QCOMPARE(d.button("bbtn_vissza")->text(), QStringLiteral("Vissza"));
        QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.join('|')));
        QVERIFY(QDir(t.home()).entryList({"frissit_*"}, QDir::Files).isEmpty());
        QVERIFY(launcher.started.isEmpty());

        ReleaseSignature::useKey({});
        if (!ReleaseSignature::hasKey()) {
            site.dribble.clear();
            d.click("bbtn_letolt1");
            QCOMPARE(prompter.messages, QStringList{ReleaseSignature::noKeyMessage()});
            QVERIFY(QDir(t.home()).entryList({"frissit_*"}, QDir::Files).isEmpty());
        }
    }

    void updateWindow()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Site site;
        Signer signer;
        QVERIFY(signer.ok());
        signer.publish(site, "frissit_1008_x64.exe", "MZ új");
        signer.publish(site, "oep_friss.zip", "PK törzsek");
        QVERIFY(pointAt(t, site));
        t.context().run.initialise();
        t.context().run.version = "1.0.0.7";
        t.context().run.rightsLevel = 2;
        ScriptedPrompter prompter;
        Recorder launcher;
        Tfrm_frissit w(t.context());
        w.show();
        WindowDriver d{w};
        QCOMPARE(d.get<QLabel>("lbl_verzio")->text(), QStringLiteral("1.0.0.7"));
        QCOMPARE(d.edit("ed_v3")->text() + d.edit("ed_v4")->text(), QStringLiteral("08"));
        QVERIFY(d.get<QRadioButton>("rbtn_32")->isChecked());
        QTest::keyClick(d.edit("ed_v4"), Qt::Key_A);
        QCOMPARE(d.edit("ed_v4")->text(), QStringLiteral("8"));

        // The reference package into text/.
        d.click("bbtn_letolt2");
        QCOMPARE(TableCheck::fileBytes(t.path("text/oep_friss.zip")), QByteArray("PK törzsek"));
        QVERIFY(prompter.messages.last().startsWith(
            "A letöltés sikeresen befejeződött !\n\rA letöltött fájl a :\n\r"));
        QVERIFY(prompter.messages.last().endsWith("\n\rútvonalon található."));
        // Without text/ the download fails, and says which file it could not fetch.
        QVERIFY(QDir(t.path("text")).removeRecursively());
        d.click("bbtn_letolt2");
        QCOMPARE(prompter.messages.last(),
                 "A fájl letöltése nem sikerült ! " + site.address() + "oep_friss.zip\n\r" +
                     "Vagy nincs internetkapcsolat, vagy a fájl nem található ! ");

        // The 32-bit installer is not there: its failure, nothing started.
        d.click("bbtn_letolt1");
        QVERIFY(prompter.messages.last().startsWith("A fájl letöltése nem sikerült ! " +
                                                    site.address() + "frissit_1008.exe"));
        QVERIFY(launcher.started.isEmpty());
        // The 64-bit one is: started, and the program asked to end.
        d.get<QRadioButton>("rbtn_64")->setChecked(true);
        d.click("bbtn_letolt1");
        QCOMPARE(launcher.started, QStringList{t.path("frissit_1008_x64.exe")});
        QCOMPARE(TableCheck::fileBytes(t.path("frissit_1008_x64.exe")), QByteArray("MZ új"));
        QVERIFY(prompter.messages.last().startsWith("A letöltés sikeresen befejeződött !"));

        // A query user may not download.
        t.context().run.rightsLevel = 1;
        Tfrm_frissit query(t.context());
        query.show();
        QVERIFY(!query.findChild<QPushButton *>("bbtn_letolt1")->isEnabled());
        QVERIFY(!query.findChild<QPushButton *>("bbtn_letolt2")->isEnabled());
        // Without the URL file: its message, and the window closes as soon as it is shown.
        QVERIFY(QFile::remove(t.context().installation.urlFile()));
        Tfrm_frissit missing(t.context());
        QCOMPARE(prompter.messages.last(),
                 QStringLiteral("Hiányzik a következő fájl : oep_tarvik.url "));
        missing.show();
        QTRY_VERIFY(!missing.isVisible());
    }

    // Only a file signed by the release key for its own name is kept or started: unsigned,
    // signed by another key, changed after signing, an older installer's, an error page with
    // status 200 are each removed, and the program goes on without a word at start.
    void onlySignedInstallersStart()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        t.context().run.initialise();
        const QString name = UpdateSite::startInstallerName(
            t.context().run.version, UpdateSite::is64Bit(t.context().run.processorArchitecture));
        Site site;
        QVERIFY(pointAt(t, site));
        Signer other;
        QVERIFY(other.ok());
        const QByteArray foreign = other.sign("MZ idegen");
        Signer signer;
        QVERIFY(signer.ok());
        const QByteArray page = "<html><body>Hiba: a lap nem található</body></html>";
        const QList<QPair<QByteArray, QByteArray>> cases = {
            {"MZ aláíratlan", {}},
            {"MZ idegen", foreign},
            {"MZ megváltozott", signer.sign("MZ eredeti", name)},
            // An older installer, rightly signed, served as the next one.
            {"MZ régi", signer.sign("MZ régi", "frissit_1043.exe")},
            {page, {}},
            {{}, {}}};
        ScriptedPrompter prompter;
        Recorder launcher;
        for (const auto &[content, signature] : cases) {
            site.files[name] = content;
            if (signature.isEmpty())
                site.files.remove(name + ".minisig");
            else
                site.files[name + ".minisig"] = signature;
            prompter.messages.clear();
            answerLogin("ADMIN", "pw");
            Tfrm_main w(t.context());
            w.show();
            QVERIFY(launcher.started.isEmpty());
            QVERIFY(!QFile::exists(t.path(name)));
            // At start a failed download is silent; the window reports it.
            QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.join('|')));
            QVERIFY(w.isVisible());
        }
        // Signed, but the launcher cannot open it: the program says so and stays.
        signer.publish(site, name, "MZ aláírt");
        launcher.starts = false;
        prompter.messages.clear();
        answerLogin("ADMIN", "pw");
        Tfrm_main w(t.context());
        w.show();
        QCOMPARE(launcher.started, QStringList{t.path(name)});
        QCOMPARE(prompter.messages.last(), UpdateSite::installerNotStarted(t.path(name)));
        QTest::qWait(50);
        QVERIFY(w.isVisible());
        // The update window keeps nothing unsigned either.
        site.files.remove("oep_friss.zip.minisig");
        site.files["oep_friss.zip"] = "PK";
        t.context().run.rightsLevel = 2;
        Tfrm_frissit window(t.context());
        window.show();
        WindowDriver d{window};
        d.click("bbtn_letolt2");
        QCOMPARE(prompter.messages.last(),
                 UpdateSite::unverifiedMessage(t.path("text/oep_friss.zip"), false));
        QVERIFY(!QFile::exists(t.path("text/oep_friss.zip")));
    }

    void settingsWindow()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        Settings::write("Nyilatkozat db", "xy");
        ScriptedPrompter prompter;
        Tfrm_beallit w(t.context());
        w.show();
        WindowDriver d{w};
        // A fresh installation writes all five defaults; text for a copy count counts as 1.
        const QString home = t.context().installation.programFolder();
        QCOMPARE(Settings::read("Alap jelent"), home);
        QCOMPARE(Settings::read("Alap ismet"), home + "Text");
#ifdef Q_OS_WIN
        QCOMPARE(Settings::read("Alap kulso"), QStringLiteral("C:\\"));
#else
        QCOMPARE(Settings::read("Alap kulso"), QDir::toNativeSeparators(QDir::homePath()));
#endif
        QCOMPARE(Settings::read("Nyilatkozat db"), QStringLiteral("1"));
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("1"));
        QCOMPARE(d.get<QLabel>("lbl_ismet")->text(), home + "Text");

        auto *copies = d.get<QSpinBox>("spn_bejelento");
        copies->setValue(3);
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("3"));
        copies->setValue(11);
        QCOMPARE(prompter.messages.last(), QStringLiteral("A beállítható legnagyob érték :10"));
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("3"));
        QCOMPARE(copies->value(), 3);
        QCOMPARE(w.windowTitle(), QStringLiteral("Beállítások..."));
        // Typed key by key into a count holding 7: nothing is stored before the field is left,
        // and 11 is refused then, keeping the 7.
        copies->setValue(7);
        copies->setFocus();
        copies->selectAll();
        QTest::keyClick(copies, Qt::Key_1);
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("7"));
        QTest::keyClick(copies, Qt::Key_1);
        QTest::keyClick(copies, Qt::Key_Return);
        QCOMPARE(prompter.messages.last(), QStringLiteral("A beállítható legnagyob érték :10"));
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("7"));
        QCOMPARE(copies->value(), 7);
        copies->selectAll();
        QTest::keyClick(copies, Qt::Key_9);
        QTest::keyClick(copies, Qt::Key_Return);
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("9"));

        // The folder as chosen, no separator added.
        prompter.files << "/adat/jelentesek";
        d.click("sbtn_kulso");
        QCOMPARE(prompter.fileTitles.last(), QStringLiteral("Válassza ki az alapkönyvtárat !"));
        QCOMPARE(Settings::read("Alap kulso"), QDir::toNativeSeparators("/adat/jelentesek"));
        QCOMPARE(d.get<QLabel>("lbl_kulso")->text(), QDir::toNativeSeparators("/adat/jelentesek"));
        // A cancelled choice writes nothing.
        d.click("sbtn_jelent");
        QCOMPARE(Settings::read("Alap jelent"), home);
    }
};

int runUpdateTests(int argc, char **argv)
{
    TestUpdate t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_update.moc"

#include "commandline.h"

#include "appcontext.h"
#include "bvopconfirmation.h"
#include "completedreports.h"
#include "datetext.h"
#include "demodata.h"
#include "employerstore.h"
#include "externalreceiver.h"
#include "legacymigration.h"
#include "persontransfer.h"
#include "printedforms.h"
#include "referenceloader.h"
#include "registrydatabase.h"
#include "reportbackup.h"
#include "reportgenerator.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace CommandLine
{

namespace
{
// Every option of the command line, with its Hungarian description: the parser, the help and
// the man page say the same.
struct OptionText {
    const char *name;
    const char *value; // empty: a switch
    const char *description;
};
const OptionText OptionTexts[] = {
    {"home", "MAPPA",
     "A program mappája (különben TARVIK_HOME, különben a felhasználó "
     "adatmappája)."},
    {"init", "", "Új telepítés létrehozása (mappák, táblák, ADMIN felhasználó)."},
    {"demo", "", "Az új telepítésbe bemutató adatok és az OEP törzsfájlok is kerüljenek."},
    {"admin-password", "JELSZÓ", "Az ADMIN jelszava új telepítésnél (legfeljebb 8 karakter)."},
    {"server", "URI",
     "Új telepítés egy PostgreSQL kiszolgáló adatbázisán (postgresql://felhasználó@gép:port/"
     "adatbázis); a jelszót a ~/.pgpass, a PGPASSFILE vagy a PGPASSWORD adja (--init)."},
    {"load", "", "OEP törzsfájlok beolvasása; a fájlok a kapcsolók után következnek."},
    {"make", "", "Minden rögzítésre váró jelentés elkészítése."},
    {"folder", "MAPPA", "A készülő fájlok mappája (--make, --repeat, --receive, --export)."},
    {"plain", "", "A jelentésfájl kódolás nélkül készüljön (--make)."},
    {"pdf", "", "A bejelentőlap és a nyilatkozat PDF-ben is (--make, --repeat, --receive)."},
    {"repeat", "FÁJLNÉV", "Egy elkészült jelentés fájljának ismételt elkészítése."},
    {"receive", "", "Külső jelentések fogadása; a fájlok a kapcsolók után következnek."},
    {"bvop", "FÁJL", "A BVOP visszaigazoló táblájának feldolgozása."},
    {"backup", "",
     "A jelentés adatok mentése az adatok/Ment mappába; kiszolgálón lévő nyilvántartásnál "
     "ugyanannak az adatbázisnak a ment sémájába."},
    {"restore", "", "A jelentés adatok visszatöltése a mentésből."},
    {"yes", "", "A visszatöltés kérdés nélkül (--restore)."},
    {"export", "", "A személyek és jogcímeik exportja (Taj_e.txt, Tajj_e.txt)."},
    {"import", "", "taj.txt / tajj.txt importja; a fájlok a kapcsolók után következnek."},
    {"migrate", "MAPPA",
     "Egy régi (Paradox) telepítés adatok mappájának átvétele egy új "
     "telepítésbe."},
};
// The options whose files follow the switches.
const char *const FileLists[] = {"load", "receive", "import"};
} // namespace

namespace
{
QList<QCommandLineOption> options()
{
    QList<QCommandLineOption> list;
    for (const OptionText &s : OptionTexts) {
        QCommandLineOption o(QString::fromLatin1(s.name), QString::fromUtf8(s.description));
        if (*s.value) o.setValueName(QString::fromUtf8(s.value));
        list << o;
    }
    return list;
}

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Tarvik: munkáltatói jelentések készítése az OEP részére.\n"
                       "A tarvik kapcsolók nélkül az ablakát nyitja meg; a tarvik-cli ugyanezeket "
                       "a feladatokat végzi ablak nélkül, parancsfájlokból és ütemezett "
                       "feladatokból."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Ez a súgó.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("A program neve és verziója.")));
    parser.addOptions(options());
    QCommandLineOption man(QStringLiteral("man"), QStringLiteral("A kézikönyv lap."));
    man.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(man);
    // Qt's own options, for a window started from the command line.
    for (const char *qt : {"platform", "style"}) {
        QCommandLineOption o(QString::fromLatin1(qt), QString(), QStringLiteral("x"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    parser.addPositionalArgument(QStringLiteral("FÁJL"),
                                 QStringLiteral("A --load, --receive és --import fájljai."),
                                 QStringLiteral("[FÁJL...]"));
}
} // namespace

Options parse(const QStringList &arguments)
{
    Options o;
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        o.error = unknown.isEmpty()
                      ? QStringLiteral("Hibás parancssor: %1").arg(parser.errorText())
                      : QStringLiteral("Ismeretlen kapcsoló: %1").arg(unknown.first());
        return o;
    }
    auto on = [&](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    auto value = [&](const char *name) { return parser.value(QString::fromLatin1(name)); };
    o.help = on("help");
    o.version = on("version");
    o.man = on("man");
    o.home = value("home");
    o.init = on("init");
    o.demo = on("demo");
    o.hasPassword = on("admin-password");
    o.adminPassword = value("admin-password");
    o.server = value("server");
    o.make = on("make");
    o.folder = value("folder");
    o.plain = on("plain");
    o.pdf = on("pdf");
    o.repeat = value("repeat");
    o.bvop = value("bvop");
    o.backup = on("backup");
    o.restore = on("restore");
    o.yes = on("yes");
    o.exportPersons = on("export");
    o.migrate = value("migrate");
    // The files follow the switch that names what they are.
    const QStringList files = parser.positionalArguments();
    int lists = 0;
    for (const char *list : FileLists)
        lists += on(list) ? 1 : 0;
    if (lists > 1) {
        o.error = QStringLiteral("A --load, --receive és --import közül csak egy adható meg.");
        return o;
    }
    if (lists == 0 && !files.isEmpty()) {
        o.error = QStringLiteral("Ismeretlen paraméter: %1").arg(files.first());
        return o;
    }
    const QString empty = QStringLiteral("A(z) --%1 után meg kell adni a fájlokat.");
    if (on("load")) {
        o.loadFiles = files;
        if (files.isEmpty()) o.error = empty.arg(QStringLiteral("load"));
    } else if (on("receive")) {
        o.receiveFiles = files;
        if (files.isEmpty()) o.error = empty.arg(QStringLiteral("receive"));
    } else if (on("import")) {
        o.importFiles = files;
        if (files.isEmpty()) o.error = empty.arg(QStringLiteral("import"));
    }
    return o;
}

bool isBatch(const Options &options)
{
    return options.init || !options.loadFiles.isEmpty() || options.make ||
           !options.repeat.isEmpty() || !options.receiveFiles.isEmpty() ||
           !options.bvop.isEmpty() || options.backup || options.restore || options.help ||
           options.version || options.man || options.exportPersons || !options.migrate.isEmpty() ||
           !options.importFiles.isEmpty() || !options.error.isEmpty();
}

QString usage()
{
    QCommandLineParser parser;
    describe(parser);
    // Qt writes its own headings in English; the program speaks Hungarian.
    QString text = parser.helpText();
    text.replace(QStringLiteral("Usage:"), QStringLiteral("Használat:"));
    text.replace(QStringLiteral("[options]"), QStringLiteral("[kapcsolók]"));
    text.replace(QStringLiteral("Options:"), QStringLiteral("Kapcsolók:"));
    text.replace(QStringLiteral("Arguments:"), QStringLiteral("Paraméterek:"));
    return text;
}

QString versionText()
{
    return QStringLiteral("Tarvik %1").arg(QStringLiteral(TARVIK_VERSION));
}

QString manPage()
{
    auto roff = [](QString text) { return text.replace(u'-', QStringLiteral("\\-")); };
    QString page =
        QStringLiteral(".TH TARVIK 1 \"\" \"Tarvik %1\" \"Felhasználói parancsok\"\n"
                       ".SH NÉV\ntarvik, tarvik\\-cli \\- munkáltatói jelentések készítése az "
                       "OEP részére\n"
                       ".SH ÁTTEKINTÉS\n.B tarvik\n[\\fIkapcsolók\\fR] [\\fIFÁJL\\fR...]\n.br\n"
                       ".B tarvik\\-cli\n\\fIkapcsolók\\fR [\\fIFÁJL\\fR...]\n"
                       ".SH LEÍRÁS\nKapcsolók nélkül a tarvik ablaka indul. A kapcsolók "
                       "ablak nélkül végzik el a feladatot. A tarvik\\-cli ugyanezeket a "
                       "kapcsolókat fogadja, ugyanazokat a szövegeket írja és ugyanazokkal a "
                       "kódokkal lép ki, de az ablakok könyvtárait nem tölti be: parancsfájlokba "
                       "és ütemezett feladatokba való.\n.SH KAPCSOLÓK\n")
            .arg(QStringLiteral(TARVIK_VERSION));
    page += QStringLiteral(".TP\n.B \\-h, \\-\\-help\nEz a súgó.\n");
    page += QStringLiteral(".TP\n.B \\-v, \\-\\-version\nA program neve és verziója.\n");
    for (const OptionText &s : OptionTexts) {
        page += QStringLiteral(".TP\n.B ") + roff(QStringLiteral("--") + QLatin1String(s.name));
        if (*s.value) page += QStringLiteral(" \\fI") + QString::fromUtf8(s.value) + "\\fR";
        page += u'\n' + QString::fromUtf8(s.description) + u'\n';
    }
    page += QStringLiteral(
        ".SH KILÉPÉSI KÓD\n0 kész, 1 sikertelen, 2 hibás parancssor.\n"
        ".SH KÖRNYEZET\n.TP\n.B TARVIK_HOME\nA program mappája, ha nincs \\-\\-home.\n"
        ".TP\n.B TARVIK_SETTINGS_DIR\nA beállítások mappája.\n"
        ".TP\n.B PGPASSFILE\nA kiszolgáló jelszavát tartalmazó fájl (különben ~/.pgpass), "
        "kiszolgálón lévő nyilvántartásnál.\n"
        ".TP\n.B PGPASSWORD\nA kiszolgáló jelszava, ha nincs jelszófájl; a program maga "
        "soha nem tárol jelszót.\n");
    return page;
}

namespace
{

QString askPassword(QTextStream &out)
{
#ifdef Q_OS_WIN
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool terminal = GetConsoleMode(input, &saved) != 0;
    if (terminal) SetConsoleMode(input, saved & ~DWORD(ENABLE_ECHO_INPUT));
#else
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
#endif
    out << "Az ADMIN felhasználó jelszava (legfeljebb 8 karakter): " << Qt::flush;
    QTextStream in(stdin);
    const QString password = in.readLine();
#ifdef Q_OS_WIN
    if (terminal) {
        SetConsoleMode(input, saved);
        out << Qt::endl;
    }
#else
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        out << Qt::endl;
    }
#endif
    return password;
}

} // namespace

int initialise(const Options &options, QTextStream &out, QTextStream &err)
{
    Installation installation(Installation::resolveHome(options.home),
                              Installation::isHomeGiven(options.home));
    const QString shown = QDir::toNativeSeparators(installation.home());
    if (installation.isInstalled()) {
        out << "A telepítés már létezik, nem változott semmi: " << shown << Qt::endl;
        return 0;
    }
    QString error;
    if (!options.server.isEmpty()) {
        bool existed = false;
        // The password is asked only when the server has no installation yet.
        const auto password = [&] {
            return options.hasPassword ? options.adminPassword : askPassword(out);
        };
        if (!installation.createOnServer(options.server, password, &existed, &error)) {
            err << "A telepítés nem sikerült: " << error << Qt::endl;
            return 1;
        }
        if (existed) {
            out << "A kiszolgálón már van telepítés; a mappa erre mutat, a kiszolgálón nem "
                   "változott semmi: "
                << shown << Qt::endl;
            return 0;
        }
    } else {
        const QString password = options.hasPassword ? options.adminPassword : askPassword(out);
        if (!installation.create(password, &error)) {
            err << "A telepítés nem sikerült: " << error << Qt::endl;
            return 1;
        }
    }
    out << "Új telepítés: " << shown << Qt::endl;
    if (!options.demo) return 0;

    // The demo gets the bundled reference files through the same loader as the window.
    AppContext context{installation, {}, {}};
    if (!context.data.connect(installation.dataFolder(), &error)) {
        err << error << Qt::endl;
        return 1;
    }
    const ReferenceLoader::Result loaded =
        ReferenceLoader(context.data).loadBundled([&](const QString &file, int lines) {
            out << file << ": " << lines << " sor" << Qt::endl;
        });
    if (!loaded.ok) {
        err << loaded.error << Qt::endl;
        return 1;
    }
    if (!DemoData::add(context.data, &error)) {
        err << error << Qt::endl;
        return 1;
    }
    out << "Bemutató bejelentők: 2, személyek: 3" << Qt::endl;
    return 0;
}

int load(const Options &options, QTextStream &out, QTextStream &err)
{
    Installation installation(Installation::resolveHome(options.home),
                              Installation::isHomeGiven(options.home));
    AppContext context{installation, {}, {}};
    QString error;
    if (!context.data.connect(installation.dataFolder(), &error)) {
        err << "Az adatbázis nem nyitható meg: " << error << Qt::endl;
        return 1;
    }
    for (const QString &file : options.loadFiles) {
        if (!QFileInfo(file).isFile()) {
            err << QDir::toNativeSeparators(file) << ": a fájl nem található." << Qt::endl;
            return 1;
        }
        const ReferenceFile *ref = ReferenceFiles::byFileName(file);
        if (!ref) {
            err << file
                << ": ismeretlen törzsfájl (bsj_jog.txt, mep.txt, orszag.txt, irsz.txt, "
                   "koz_ter.txt, feor.txt, mnypt.txt, jarasok.txt)"
                << Qt::endl;
            return 1;
        }
        const ReferenceLoader::Result r = ReferenceLoader(context.data).load(*ref, file);
        if (r.emptyFailed) err << "Hiba lépett fel a tábla ürítésnél!" << Qt::endl;
        if (!r.ok) {
            err << QString(r.error).replace(QStringLiteral("\n\r"), QStringLiteral("\n"))
                << Qt::endl;
            return 1;
        }
        out << QDir::toNativeSeparators(file) << ": " << r.lines << " sor betöltve ("
            << ref->table.toLower() << ")" << Qt::endl;
    }
    return 0;
}

namespace
{
// The installation a command works on, connected; empty after the message when it cannot be.
std::unique_ptr<AppContext> openContext(const Options &options, QTextStream &err)
{
    std::unique_ptr<AppContext> context(
        new AppContext{Installation(Installation::resolveHome(options.home),
                                    Installation::isHomeGiven(options.home)),
                       {},
                       {}});
    context->run.initialise();
    QString error;
    if (!context->data.connect(context->installation.dataFolder(), &error)) {
        err << "Az adatbázis nem nyitható meg: " << error << Qt::endl;
        return nullptr;
    }
    // No login from a script: the forms name the system's user, else the last one logged in.
    context->run.userName = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    if (context->run.userName.isEmpty())
        context->run.userName = Settings::read(QStringLiteral("Felhasznalo"));
    return context;
}

QString plainLines(QString text)
{
    return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

bool writeForms(ReportGenerator &generator, const PendingReport &report,
                const Installation &installation, const RunState &run)
{
    const auto lines = generator.lines(report.employerId, report.type, report.sequence);
    if (!lines || lines->isEmpty()) return false;
    const QString fileName = ReportGenerator::fileNameOf(lines->first());
    const QString folder = installation.programFolder();
    using PrintedForms::Form;
    return !PrintedForms::savePdf(
                PrintedForms::sheetOf(report, *lines, fileName, DateText::today()).form(), folder,
                Form::Sheet, fileName)
                .isEmpty() &&
           !PrintedForms::savePdf(PrintedForms::declarationOf(report, int(lines->size()), fileName,
                                                              run.version, run.userName)
                                      .form(),
                                  folder, Form::Declaration, fileName)
                .isEmpty();
}
} // namespace

int make(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    AppContext &context = *opened;
    const Installation &installation = context.installation;
    ReportGenerator generator(context.data);
    const auto reports = generator.pendingReports();
    if (!reports) {
        err << ReportGenerator::failureMessage() << " ("
            << context.data.failureReason(QStringLiteral("a függő jelentések nem olvashatók"))
            << ")" << Qt::endl;
        return 1;
    }
    if (reports->isEmpty()) {
        out << "Nincs több rögzítésre váró jelentés !" << Qt::endl;
        return 0;
    }
    ReportGenerator::Options make;
    make.folder =
        options.folder.isEmpty() ? ReportGenerator::defaultFolder(installation) : options.folder;
    make.coded = !options.plain;
    make.version = context.run.version;
    make.today = DateText::today();
    for (const PendingReport &report : *reports) {
        // The forms first, as the making page prints them: as PDF into Text/.
        if (options.pdf && !writeForms(generator, report, installation, context.run)) {
            err << ReportGenerator::failureMessage()
                << " (a nyomtatványok PDF fájlja nem készült el)" << Qt::endl;
            return 1;
        }
        const ReportGenerator::Result r = generator.make(report, make);
        if (!r.ok) {
            err << plainLines(r.message());
            if (!r.error.isEmpty() && !r.message().contains(r.error)) err << " (" << r.error << ")";
            err << Qt::endl;
            return 1;
        }
        out << QDir::toNativeSeparators(r.path) << Qt::endl;
    }
    return 0;
}

int repeat(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    AppContext &context = *opened;
    CompletedReports store(context.data);
    const auto report = store.reportByFileName(options.repeat);
    if (!report) {
        err << "Hiba lépett fel az adatok olvasásánál !" << Qt::endl;
        return 1;
    }
    if (report->isEmpty()) {
        err << "Nincs ilyen nevű elkészült jelentés: " << options.repeat << Qt::endl;
        return 1;
    }
    if (options.pdf) {
        const auto forms = store.formsOf(*report);
        if (!forms) {
            err << "Hiba lépett fel az adatok olvasásánál !" << Qt::endl;
            return 1;
        }
        using PrintedForms::Form;
        const QString folder = context.installation.programFolder();
        const QString sheet =
            PrintedForms::savePdf(PrintedForms::completedSheetOf(*forms, DateText::today()).form(),
                                  folder, Form::Sheet, forms->fileName);
        const QString declaration = PrintedForms::savePdf(
            PrintedForms::completedDeclarationOf(*forms, int(forms->lines.size()),
                                                 context.run.version, context.run.userName)
                .form(),
            folder, Form::Declaration, forms->fileName);
        for (const QString &done : {sheet, declaration}) {
            if (done.isEmpty()) {
                err << "A PDF fájl nem készült el !" << Qt::endl;
                return 1;
            }
            out << done.section(QStringLiteral("\n\r"), 1) << Qt::endl;
        }
    }
    const QString folder = options.folder.isEmpty()
                               ? CompletedReports::repeatFolder(context.installation)
                               : options.folder;
    const CompletedReports::Result r = store.remake(*report, folder, context.run.version);
    if (!r.ok) {
        err << plainLines(r.message);
        if (!r.error.isEmpty() && !r.message.contains(r.error)) err << " (" << r.error << ")";
        err << Qt::endl;
        return 1;
    }
    out << QDir::toNativeSeparators(r.path) << Qt::endl;
    return 0;
}

int receive(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    AppContext &context = *opened;
    QString folder = options.folder;
    if (folder.isEmpty()) folder = Settings::read(QStringLiteral("Alap kulso")).trimmed();
    if (folder.isEmpty()) folder = context.installation.home();
    auto print = [&](const QList<MemoLine> &memo) {
        for (const MemoLine &line : memo)
            out << line.text << Qt::endl;
    };
    auto failed = [&](const QString &message, const QString &detail = {}) {
        err << plainLines(message);
        if (!detail.isEmpty()) err << " (" << plainLines(detail) << ")";
        err << Qt::endl;
        return false;
    };
    bool allMade = true;
    for (const QString &file : options.receiveFiles) {
        out << "Fájl: " << QDir::toNativeSeparators(file) << Qt::endl;
        ExternalReceiver receiver(context.data);
        const ExternalReceiver::Opened report = receiver.open(file);
        if (report.outcome != ExternalReceiver::Opened::Accepted) {
            print(report.memo);
            if (!report.message.isEmpty()) failed(report.message);
            allMade = false;
            continue;
        }
        print(report.memo);
        bool prisonService = false;
        const ExternalReceiver::Step syntax = receiver.syntax(report, &prisonService);
        print(syntax.memo);
        if (!syntax.ok) {
            allMade = syntax.message.isEmpty() ? false : failed(syntax.message);
            continue;
        }
        const ExternalReceiver::Step content = receiver.content(report, prisonService);
        print(content.memo);
        if (!content.ok) {
            allMade = content.message.isEmpty() ? false : failed(content.message);
            continue;
        }
        ExternalReceiver::Options make;
        make.folder = folder;
        make.version = context.run.version;
        make.userName = context.run.userName;
        make.today = DateText::today();
        make.forms = options.pdf;
        const ExternalReceiver::Made made = receiver.make(report, prisonService, make);
        print(made.memo);
        if (!made.ok) {
            allMade = failed(made.message, made.error);
            continue;
        }
        if (options.pdf) {
            using PrintedForms::Form;
            const QString home = context.installation.programFolder();
            for (const QString &done :
                 {PrintedForms::savePdf(made.sheet->form(), home, Form::Sheet, made.fileName),
                  PrintedForms::savePdf(made.declaration->form(), home, Form::Declaration,
                                        made.fileName)}) {
                if (done.isEmpty())
                    allMade = failed(QStringLiteral("A PDF fájl nem készült el !"));
                else
                    out << done.section(QStringLiteral("\n\r"), 1) << Qt::endl;
            }
        }
    }
    return allMade ? 0 : 1;
}

int bvop(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    BvopConfirmation confirmation(opened->data);
    auto run = [&](const BvopConfirmation::Step &step) {
        for (const QString &line : step.log)
            out << line << Qt::endl;
        if (!step.ok && !step.message.isEmpty()) err << plainLines(step.message) << Qt::endl;
        return step.ok;
    };
    if (!run(confirmation.open(options.bvop)) || !run(confirmation.check())) return 1;
    const BvopConfirmation::Step applied = confirmation.apply();
    if (!run(applied)) return 1;
    out << plainLines(applied.message) << Qt::endl;
    return confirmation.appliedCount() == confirmation.recordCount() ? 0 : 1;
}

int backup(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    ReportBackup backup(opened->data, opened->installation.backupFolder());
    const ReportBackup::Result r = backup.backup();
    (r.ok ? out : err) << plainLines(r.message) << Qt::endl;
    if (!r.error.isEmpty()) err << plainLines(r.error) << Qt::endl;
    return r.ok ? 0 : 1;
}

int restore(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    ReportBackup backup(opened->data, opened->installation.backupFolder());
    const ReportBackup::Result refusal = backup.restoreRefusal();
    if (!refusal.ok) {
        err << plainLines(refusal.message) << Qt::endl;
        return 1;
    }
    if (!options.yes) {
        out << ReportBackup::restoreQuestion1(Settings::read(QStringLiteral("Mentes"))) << '\n'
            << ReportBackup::restoreQuestion2() << '\n'
            << "Igen / Mégse (i/m): " << Qt::flush;
        const QString answer = QTextStream(stdin).readLine().trimmed().toLower();
        if (answer != u"i" && answer != u"igen") {
            out << "A visszatöltés nem történt meg." << Qt::endl;
            return 1;
        }
    }
    const ReportBackup::Result r = backup.restore();
    (r.ok ? out : err) << plainLines(r.message) << Qt::endl;
    return r.ok ? 0 : 1;
}

int exportPersons(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    const QString folder =
        options.folder.isEmpty() ? opened->installation.programFolder() : options.folder;
    for (const auto kind : {PersonTransfer::Kind::Persons, PersonTransfer::Kind::Relations}) {
        const PersonTransfer::Result r = PersonTransfer::exportTable(opened->data, kind, folder);
        (r.ok ? out : err) << plainLines(r.message) << Qt::endl;
        if (!r.ok) {
            err << plainLines(r.error) << Qt::endl;
            return 1;
        }
    }
    return 0;
}

int importPersons(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    int code = 0;
    for (const QString &path : options.importFiles) {
        const auto kind = PersonTransfer::kindOfFile(path);
        if (!kind) {
            err << QDir::toNativeSeparators(path)
                << QStringLiteral(": csak taj.txt vagy tajj.txt fájl importálható.") << Qt::endl;
            code = 1;
            continue;
        }
        const PersonTransfer::Result r = PersonTransfer::importFile(opened->data, *kind, path);
        if (r.ok) {
            out << QDir::toNativeSeparators(path)
                << QStringLiteral(": %1 sor beolvasva.").arg(r.rows) << Qt::endl;
        } else {
            err << QDir::toNativeSeparators(path) << Qt::endl
                << plainLines(r.message + QStringLiteral("\n\r") + r.error) << Qt::endl;
            code = 1;
        }
    }
    return code;
}

int migrate(const Options &options, QTextStream &out, QTextStream &err)
{
    const auto opened = openContext(options, err);
    if (!opened) return 1;
    const LegacyMigration::Result r =
        LegacyMigration(opened->data, opened->installation).run(options.migrate);
    for (const QString &line : r.lines)
        out << line << Qt::endl;
    if (r.ok) return 0;
    err << plainLines(r.error) << Qt::endl
        << QStringLiteral("Az átvétel nem történt meg; a telepítés változatlan.") << Qt::endl;
    return 1;
}

} // namespace CommandLine

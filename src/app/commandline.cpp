#include "commandline.h"

#include "appcontext.h"
#include "bvopconfirmation.h"
#include "completedreports.h"
#include "datetext.h"
#include "demodata.h"
#include "employerstore.h"
#include "externalreceiver.h"
#include "printedforms.h"
#include "referenceloader.h"
#include "registrydatabase.h"
#include "persontransfer.h"
#include "reportbackup.h"
#include "reportgenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

namespace CommandLine
{

Options parse(const QStringList &arguments)
{
    Options o;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size()) {
                o.error = QStringLiteral("Hiányzik a(z) %1 értéke.").arg(a);
                return {};
            }
            return arguments[++i];
        };
        if (a == u"--home")
            o.home = value();
        else if (a == u"--init")
            o.init = true;
        else if (a == u"--demo")
            o.demo = true;
        else if (a == u"--admin-password") {
            o.adminPassword = value();
            o.hasPassword = true;
        } else if (a == u"--load") {
            while (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QStringLiteral("--")))
                o.loadFiles << arguments[++i];
            if (o.loadFiles.isEmpty())
                o.error = QStringLiteral("A --load után meg kell adni a fájlokat.");
        } else if (a == u"--receive") {
            while (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QStringLiteral("--")))
                o.receiveFiles << arguments[++i];
            if (o.receiveFiles.isEmpty())
                o.error = QStringLiteral("A --receive után meg kell adni a fájlokat.");
        } else if (a == u"--import") {
            while (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QStringLiteral("--")))
                o.importFiles << arguments[++i];
            if (o.importFiles.isEmpty())
                o.error = QStringLiteral("Az --import után meg kell adni a fájlokat.");
        } else if (a == u"--export")
            o.exportPersons = true;
        else if (a == u"--bvop")
            o.bvop = value();
        else if (a == u"--backup")
            o.backup = true;
        else if (a == u"--restore")
            o.restore = true;
        else if (a == u"--yes")
            o.yes = true;
        else if (a == u"--make")
            o.make = true;
        else if (a == u"--repeat")
            o.repeat = value();
        else if (a == u"--folder")
            o.folder = value();
        else if (a == u"--plain")
            o.plain = true;
        else if (a == u"--pdf")
            o.pdf = true;
        else if (a == u"--help" || a == u"-h")
            o.help = true;
        else if (a.startsWith(QStringLiteral("-platform")) ||
                 a.startsWith(QStringLiteral("-style")))
            ++i; // Qt's own options
        else
            o.error = QStringLiteral("Ismeretlen kapcsoló: %1").arg(a);
    }
    return o;
}

bool isBatch(const Options &options)
{
    return options.init || !options.loadFiles.isEmpty() || options.make ||
           !options.repeat.isEmpty() || !options.receiveFiles.isEmpty() ||
           !options.bvop.isEmpty() || options.backup || options.restore || options.help ||
           options.exportPersons || !options.importFiles.isEmpty() ||
           !options.error.isEmpty();
}

QString usage()
{
    return QStringLiteral(
        "Használat:\n"
        "  tarvik [--home MAPPA]                      a program indítása\n"
        "  tarvik --init [--demo] [--home MAPPA] [--admin-password JELSZÓ]\n"
        "                                             új telepítés létrehozása\n"
        "  tarvik [--home MAPPA] --load FÁJL...       OEP törzsfájlok beolvasása\n"
        "  tarvik [--home MAPPA] --make [--folder MAPPA] [--plain] [--pdf]\n"
        "                                             a rögzítésre váró jelentések elkészítése\n"
        "  tarvik [--home MAPPA] --repeat FÁJLNÉV [--folder MAPPA] [--pdf]\n"
        "                                             egy elkészült jelentés ismételt "
        "elkészítése\n"
        "  tarvik [--home MAPPA] --receive FÁJL... [--folder MAPPA] [--pdf]\n"
        "                                             külső jelentések fogadása\n"
        "  tarvik [--home MAPPA] --bvop FÁJL          BVOP visszaigazolás fogadása\n"
        "  tarvik [--home MAPPA] --backup             a jelentés adatok mentése\n"
        "  tarvik [--home MAPPA] --restore [--yes]    a jelentés adatok visszatöltése\n"
        "  tarvik [--home MAPPA] --export [--folder MAPPA]\n"
        "                                             személyek és jogcímeik exportja\n"
        "  tarvik [--home MAPPA] --import FÁJL...     taj.txt / tajj.txt importja\n");
}

namespace
{

QString askPassword(QTextStream &out)
{
#ifdef Q_OS_UNIX
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
#ifdef Q_OS_UNIX
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
    const QString password = options.hasPassword ? options.adminPassword : askPassword(out);
    QString error;
    if (!installation.create(password, &error)) {
        err << "A telepítés nem sikerült: " << error << Qt::endl;
        return 1;
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
        err << ReportGenerator::failureMessage() << Qt::endl;
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
            if (!r.error.isEmpty()) err << " (" << r.error << ")";
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
    const QString folder = options.folder.isEmpty()
                               ? PersonTransfer::exportFolder(opened->installation.programFolder())
                               : options.folder;
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
            out << QDir::toNativeSeparators(path) << QStringLiteral(": %1 sor beolvasva.").arg(r.rows)
                << Qt::endl;
        } else {
            err << QDir::toNativeSeparators(path) << Qt::endl
                << plainLines(r.message + QStringLiteral("\n\r") + r.error) << Qt::endl;
            code = 1;
        }
    }
    return code;
}

} // namespace CommandLine

#include "appcontext.h"
#include "appstyle.h"
#include "commandline.h"
#include "realprompter.h"
#include "tfrm_main.h"
#include "tokbottomdlg.h"
#include "windowkeys.h"

#include "storefailure.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{
// The messages of Qt's own modules (a database driver's about a connection the server dropped,
// say) are the developer's: they go to the installation's log, not to a clerk's terminal
// (and also to the terminal when TARVIK_DEBUG is set).
void toLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
    StoreFailure::log(message);
    static const bool console = qEnvironmentVariableIsSet("TARVIK_DEBUG");
    if (console) std::fprintf(stderr, "%s\n", qPrintable(message));
}
// The words of the command line as typed. Windows hands main() its arguments in the narrow code
// page, which has no "ő": they are taken from the wide command line instead, as Qt does.
QStringList programArguments(int argc, char *argv[])
{
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments << QString::fromWCharArray(words[i]);
        LocalFree(words);
    }
#else
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#endif
    return arguments;
}
} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(toLog);
    const CommandLine::Options options = CommandLine::parse(programArguments(argc, argv));

    if (CommandLine::isBatch(options)) {
        // PDF forms need fonts, and fonts need a GUI application; it never shows a window.
        if (options.pdf && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        std::unique_ptr<QCoreApplication> app(options.pdf ? new QGuiApplication(argc, argv)
                                                          : new QCoreApplication(argc, argv));
        QTextStream out(stdout), err(stderr);
        if (!options.error.isEmpty()) {
            err << options.error << Qt::endl << CommandLine::usage();
            return 2;
        }
        if (options.help) {
            out << CommandLine::usage();
            return 0;
        }
        if (options.man) {
            out << CommandLine::manPage();
            return 0;
        }
        if (options.version) {
            out << CommandLine::versionText() << Qt::endl;
            return 0;
        }
        if (options.init) {
            const int code = CommandLine::initialise(options, out, err);
            if (code != 0 || options.loadFiles.isEmpty()) return code;
        }
        if (options.make) return CommandLine::make(options, out, err);
        if (!options.repeat.isEmpty()) return CommandLine::repeat(options, out, err);
        if (!options.receiveFiles.isEmpty()) return CommandLine::receive(options, out, err);
        if (!options.bvop.isEmpty()) return CommandLine::bvop(options, out, err);
        if (options.backup) return CommandLine::backup(options, out, err);
        if (options.restore) return CommandLine::restore(options, out, err);
        if (options.exportPersons) return CommandLine::exportPersons(options, out, err);
        if (!options.importFiles.isEmpty()) return CommandLine::importPersons(options, out, err);
        if (!options.migrate.isEmpty()) return CommandLine::migrate(options, out, err);
        return CommandLine::load(options, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Jelentés készítés"));
    QApplication::setApplicationDisplayName(QStringLiteral("Jelentés készítés"));
    QApplication::setApplicationVersion(QStringLiteral(TARVIK_VERSION));
    AppStyle::apply();
    WindowKeys::installEverywhere();
    RealPrompter prompter;
    Prompter::install(&prompter);

    AppContext context{Installation(Installation::resolveHome(options.home),
                                    Installation::isHomeGiven(options.home)),
                       {},
                       {}};
    Tfrm_main window(context);
    TOKBottomDlg bottomDialog(&window);
    prompter.setBottomDialog(&bottomDialog);
    window.showMaximized();
    return app.exec();
}

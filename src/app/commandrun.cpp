// The start of a command-line task, shared by the window program (tarvik with options) and the
// console program (tarvik-cli).
#include "commandline.h"

#include "storefailure.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace CommandLine
{

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
} // namespace

void logQtMessages()
{
    qInstallMessageHandler(toLog);
}

// Windows hands main() its arguments in the narrow code page, which has no "ő": they are taken
// from the wide command line instead, as Qt does.
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

int run(const Options &options, int &argc, char **argv)
{
    // PDF forms need fonts, and fonts need a GUI application; it never shows a window.
    if (options.pdf && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(options.pdf ? new QGuiApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
    QTextStream out(stdout), err(stderr);
    if (!options.error.isEmpty()) {
        err << options.error << Qt::endl << usage();
        return 2;
    }
    if (options.help) {
        out << usage();
        return 0;
    }
    if (options.man) {
        out << manPage();
        return 0;
    }
    if (options.version) {
        out << versionText() << Qt::endl;
        return 0;
    }
    if (options.init) {
        const int code = initialise(options, out, err);
        if (code != 0 || options.loadFiles.isEmpty()) return code;
    }
    if (options.make) return make(options, out, err);
    if (!options.repeat.isEmpty()) return repeat(options, out, err);
    if (!options.receiveFiles.isEmpty()) return receive(options, out, err);
    if (!options.bvop.isEmpty()) return bvop(options, out, err);
    if (options.backup) return backup(options, out, err);
    if (options.restore) return restore(options, out, err);
    if (options.exportPersons) return exportPersons(options, out, err);
    if (!options.importFiles.isEmpty()) return importPersons(options, out, err);
    if (!options.migrate.isEmpty()) return migrate(options, out, err);
    return load(options, out, err);
}

} // namespace CommandLine

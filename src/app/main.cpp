#include "appcontext.h"
#include "appstyle.h"
#include "commandline.h"
#include "realprompter.h"
#include "tfrm_main.h"
#include "tokbottomdlg.h"
#include "windowkeys.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    CommandLine::logQtMessages();
    const CommandLine::Options options =
        CommandLine::parse(CommandLine::programArguments(argc, argv));

    if (CommandLine::isBatch(options)) return CommandLine::run(options, argc, argv);

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

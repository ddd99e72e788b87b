// tarvik-cli: the command-line tasks of tarvik in a console program that loads no window
// library, for scripts, scheduled tasks and cmd.exe.
#include "commandline.h"

int main(int argc, char *argv[])
{
    CommandLine::logQtMessages();
    CommandLine::Options options = CommandLine::parse(CommandLine::programArguments(argc, argv));
    if (!CommandLine::isBatch(options))
        options.error = QStringLiteral("Nincs megadva feladat: a tarvik-cli csak kapcsolókkal "
                                       "dolgozik, az ablakot a tarvik nyitja meg.");
    return CommandLine::run(options, argc, argv);
}

#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The program's command-line tasks, run without windows.
namespace CommandLine
{

struct Options {
    QString home;
    bool init = false;
    bool demo = false;
    bool hasPassword = false;
    QString adminPassword;
    QString server; // --init on a PostgreSQL server: its libpq URI
    QStringList loadFiles;
    bool make = false;
    QString folder; // --folder: where --make writes
    bool plain = false;
    bool pdf = false;           // --pdf: --make also writes both forms of each report as PDF
    QString repeat;             // --repeat FILE_NAME: a completed report made again
    QStringList receiveFiles;   // --receive FILE...: external reports taken in
    QString bvop;               // --bvop FILE: a confirmation table of the prison service
    bool backup = false;        // --backup: the report tables into the backup folder
    bool restore = false;       // --restore: the report tables back from it
    bool yes = false;           // --yes: --restore without its question
    bool exportPersons = false; // --export: Taj_e.txt and Tajj_e.txt into the program folder
    QStringList importFiles;    // --import FILE...: taj.txt / tajj.txt files taken in
    QString migrate;            // --migrate FOLDER: an older installation's tables taken over
    bool help = false;
    bool version = false;
    bool man = false; // --man: the manual page, for the package
    QString error;
};

Options parse(const QStringList &arguments);
bool isBatch(const Options &options);

// --init: a new installation. Returns the process exit code.
int initialise(const Options &options, QTextStream &out, QTextStream &err);
// --load: reference files into their tables. Returns the process exit code.
int load(const Options &options, QTextStream &out, QTextStream &err);

// --make: every pending report into its file, as "Készítés" makes it for an ordinary user.
// Prints the path of each file made; stops at the first failure with its message.
int make(const Options &options, QTextStream &out, QTextStream &err);

// --repeat: a completed report's file made again (and its forms as PDF with --pdf); changes no
// table. Prints the path of each file written.
int repeat(const Options &options, QTextStream &out, QTextStream &err);

// --receive: each external report file opened, checked and made into a report, as the window
// does; every memo line printed after a line naming the file. 1 when any file did not become a
// report.
int receive(const Options &options, QTextStream &out, QTextStream &err);

// --bvop: the confirmation table opened, checked and applied, as the window does when the user
// goes on after the check; the log printed. 1 when any record was not applied.
int bvop(const Options &options, QTextStream &out, QTextStream &err);

// --backup: the report tables saved, as "Mentés" saves them, without its question.
int backup(const Options &options, QTextStream &out, QTextStream &err);
// --restore: the report tables loaded back, after the question on the terminal unless --yes.
int restore(const Options &options, QTextStream &out, QTextStream &err);

// --export: the persons and their relations written as the technical window writes them; prints
// the window's sentence for each file.
int exportPersons(const Options &options, QTextStream &out, QTextStream &err);
// --import: each file taken in whole or not at all; prints the rows taken in per file, or the
// window's message for a refused file. 1 when any file was refused.
int importPersons(const Options &options, QTextStream &out, QTextStream &err);

// --migrate: an older installation's Paradox tables moved into this new one, all or nothing;
// prints what was taken over per table.
int migrate(const Options &options, QTextStream &out, QTextStream &err);

// Qt's own messages into the installation's log (see commandrun.cpp).
void logQtMessages();
// The words of the command line as typed.
QStringList programArguments(int argc, char *argv[]);
// The task of a command line for which isBatch() holds, with an application object of its own
// and the help or the error text printed as needed. Returns the process exit code.
int run(const Options &options, int &argc, char **argv);

// The help: every option with its Hungarian description.
QString usage();
// The program's name and version.
QString versionText();
// The manual page (roff) with the same options and descriptions as the help.
QString manPage();

} // namespace CommandLine

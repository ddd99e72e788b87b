#include "windowkeys.h"

#include <QApplication>
#include <QtTest>

int runRuleTests(int argc, char **argv);
int runEntryTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Every window as the program sets it up for the keyboard.
    WindowKeys::installEverywhere();
    int failures = runRuleTests(argc, argv);
    failures += runEntryTests(argc, argv);
    return failures;
}

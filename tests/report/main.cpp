#include "testclasses.h"

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
    return runTestClasses(argc, argv, {runRuleTests, runEntryTests});
}

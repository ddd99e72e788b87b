#include "testclasses.h"

#include <QApplication>

int runTechnicalTests(int argc, char **argv);
int runBackupTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runTestClasses(argc, argv, {runTechnicalTests, runBackupTests});
}

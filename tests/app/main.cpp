#include "testclasses.h"

#include <QApplication>

int runAppTests(int argc, char **argv);
int runUpdateTests(int argc, char **argv);
int runMigrationTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runTestClasses(argc, argv, {runAppTests, runUpdateTests, runMigrationTests});
}

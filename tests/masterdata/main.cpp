#include "testclasses.h"

#include <QApplication>
#include <QtTest>

int runIdentifierTests(int argc, char **argv);
int runEmployerTests(int argc, char **argv);
int runPersonTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runTestClasses(argc, argv, {runIdentifierTests, runEmployerTests, runPersonTests});
}

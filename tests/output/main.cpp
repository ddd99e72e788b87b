#include "testclasses.h"

#include <QApplication>
#include <QtTest>

int runFormatTests(int argc, char **argv);
int runGenerateTests(int argc, char **argv);
int runFormsTests(int argc, char **argv);
int runRepeatTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runTestClasses(argc, argv,
                          {runFormatTests, runGenerateTests, runFormsTests, runRepeatTests});
}

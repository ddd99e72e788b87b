#include <QApplication>
#include <QtTest>

int runFormatTests(int argc, char **argv);
int runGenerateTests(int argc, char **argv);
int runFormsTests(int argc, char **argv);
int runRepeatTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = runFormatTests(argc, argv);
    failures += runGenerateTests(argc, argv);
    failures += runFormsTests(argc, argv);
    failures += runRepeatTests(argc, argv);
    return failures;
}

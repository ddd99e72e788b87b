#include <QApplication>

int runTechnicalTests(int argc, char **argv);
int runBackupTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runTechnicalTests(argc, argv) + runBackupTests(argc, argv);
}

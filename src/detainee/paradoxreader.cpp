#include "paradoxtable.h"

#include <QCoreApplication>

// Reads one Paradox table for the program, in a process of its own (see ParadoxTable).
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    return arguments.size() == 2 ? ParadoxTable::serveContained(arguments.at(1)) : 2;
}

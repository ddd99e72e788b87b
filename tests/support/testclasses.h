#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>

// Runs the test classes of one program in turn and adds up their failures. A "-o FILE,FORMAT"
// on the command line (how the Windows tests get their results out of Wine) becomes FILE.N,FORMAT
// for the N-th class, as each class would otherwise write over the one before.
inline int runTestClasses(int argc, char **argv,
                          std::initializer_list<int (*)(int, char **)> classes)
{
    int failures = 0;
    int n = 0;
    for (auto run : classes) {
        QList<QByteArray> words;
        for (int i = 0; i < argc; ++i)
            words << QByteArray(argv[i]);
        for (int i = 1; i + 1 < words.size(); ++i)
            if (words[i] == "-o") {
                const qsizetype comma = words[i + 1].lastIndexOf(',');
                if (comma > 0) words[i + 1].insert(comma, '.' + QByteArray::number(n));
            }
        QList<char *> pointers;
        for (QByteArray &w : words)
            pointers << w.data();
        pointers << nullptr;
        failures += run(argc, pointers.data());
        ++n;
    }
    return failures;
}

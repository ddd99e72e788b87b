// Writes the files the Windows build's comparison with the Linux build feeds to both programs
// (scripts/windows-test.sh): a report file of an employer new to the register, as another
// program sends it, with names and places that need the code pages.
#include "externalfiles.h"
#include "identifierchecks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace
{
QString taj(int n)
{
    const QString base = QStringLiteral("7%1").arg(n, 7, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += base[i].digitValue() * (i % 2 == 0 ? 3 : 7);
    return base + QString::number(sum % 10);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik_samples FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString tax =
        QStringLiteral("1234570") + QString::number(AdoszamCdv(1234570)) + QStringLiteral("242");
    QFile f(folder.filePath(QStringLiteral("J0901K") + tax + QStringLiteral("001_020.txt")));
    if (!f.open(QIODevice::WriteOnly)) return 1;
    const char *families[] = {"ŐRSI", "ÜVEGES", "ÁRVAI", "ZÖLD", "KŐVÁRI"};
    QByteArray content = ExternalFiles::header(QStringLiteral("5"), QStringLiteral("1"), tax);
    for (int i = 0; i < 5; ++i)
        content += "\r\n" + ExternalFiles::item(i + 1, taj(i + 1), QString::fromUtf8(families[i]),
                                                QStringLiteral("GYŐZŐ"), QStringLiteral("1"), tax);
    content += "\r\n";
    return f.write(content) == content.size() ? 0 : 1;
}

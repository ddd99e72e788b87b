#include "runstate.h"

#include "datetext.h"

#include <QSysInfo>

void RunState::initialise()
{
    const QString today = DateText::today();
    year = today.mid(0, 4);
    month = today.mid(5, 2);
    day = today.mid(8, 2);
    version = QStringLiteral(TARVIK_VERSION);
    // The Windows codes: 9 is x64, 6 Itanium, 12 ARM64, 0 x86.
    const QString arch = QSysInfo::currentCpuArchitecture();
    processorArchitecture = arch == u"x86_64" ? 9 : arch == u"arm64" ? 12 : 0;
}

QString RunState::rightsLevelName(int level)
{
    switch (level) {
    case 0:
        return QStringLiteral("Megszünt felhasználó");
    case 1:
        return QStringLiteral("Lekérdező felhasználó");
    case 2:
        return QStringLiteral("Általános felhasználó");
    case 3:
        return QStringLiteral("Rendszergazda");
    default:
        return QStringLiteral("Azonosítatlan jogszint");
    }
}

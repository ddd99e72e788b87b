#include "appfonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>

namespace AppFonts
{

void ensureLoaded()
{
#ifdef Q_OS_WIN
    static const bool loaded = [] {
        const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
        for (const QString &file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
            QFontDatabase::addApplicationFont(folder.filePath(file));
        return true;
    }();
    Q_UNUSED(loaded);
#endif
}

} // namespace AppFonts

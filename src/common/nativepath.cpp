#include "nativepath.h"

#include <QFile>

namespace NativePath
{

std::filesystem::path of(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

std::FILE *open(const QString &path, const char *mode)
{
#ifdef Q_OS_WIN
    return _wfopen(path.toStdWString().c_str(), QString::fromLatin1(mode).toStdWString().c_str());
#else
    return std::fopen(QFile::encodeName(path).constData(), mode);
#endif
}

} // namespace NativePath

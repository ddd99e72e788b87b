#include "stagedfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
// The mode a file made with open() would get: the temporary file is made for its owner only.
QFileDevice::Permissions normalPermissions()
{
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    return p;
#else
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
           QFileDevice::WriteUser;
#endif
}
} // namespace

bool StagedFile::syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

bool StagedFile::syncFile(QFileDevice &file)
{
    if (!file.flush()) return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;
#endif
}

StagedFile::StagedFile() = default;

StagedFile::~StagedFile()
{
    // Placed but never kept: the run that placed it failed afterwards.
    if (m_placed) undo();
}

bool StagedFile::write(const QString &folder, const QString &fileName, const QByteArray &content,
                       QString *error)
{
    return open(folder, fileName, error) && append(content, error) && finish(error);
}

bool StagedFile::open(const QString &folder, const QString &fileName, QString *error)
{
    const QDir dir(folder);
    m_path = dir.filePath(fileName);
    if (folder.isEmpty() || !dir.exists()) {
        *error = QStringLiteral("a mappa nem létezik: ") +
                 QDir::toNativeSeparators(folder.isEmpty() ? QString() : dir.absolutePath());
        return false;
    }
    m_temporary =
        std::make_unique<QTemporaryFile>(dir.filePath(fileName + QStringLiteral(".XXXXXX")));
    m_temporary->setAutoRemove(true);
    if (!m_temporary->open() || !m_temporary->setPermissions(normalPermissions())) {
        *error = QStringLiteral("a fájl nem írható: ") + m_temporary->errorString();
        return false;
    }
    return true;
}

bool StagedFile::append(const QByteArray &bytes, QString *error)
{
    if (m_temporary && m_temporary->write(bytes) == bytes.size()) return true;
    *error = QStringLiteral("a fájl nem írható: ") +
             (m_temporary ? m_temporary->errorString() : QString());
    return false;
}

bool StagedFile::finish(QString *error)
{
    // On the disk before it takes its name: a power cut never leaves a named file half written.
    if (!m_temporary || !syncFile(*m_temporary)) {
        *error = QStringLiteral("a fájl nem írható: ") +
                 (m_temporary ? m_temporary->errorString() : QString());
        return false;
    }
    m_temporary->close();
    return true;
}

bool StagedFile::place(QString *error)
{
    if (!m_temporary) {
        *error = QStringLiteral("nincs mit a helyére tenni");
        return false;
    }
    m_kept = m_path + QStringLiteral(".elozo");
    m_hadFile = QFileInfo::exists(m_path);
    if (m_hadFile) {
        QFile::remove(m_kept);
        if (!QFile::rename(m_path, m_kept)) {
            *error = QStringLiteral("a régi fájl nem nevezhető át");
            m_hadFile = false;
            return false;
        }
    }
    // Through the temporary file itself: on Windows it holds its file open until it is gone.
    m_temporary->setAutoRemove(false);
    if (!m_temporary->rename(m_path)) {
        m_temporary->setAutoRemove(true);
        if (m_hadFile) QFile::rename(m_kept, m_path);
        m_hadFile = false;
        *error = QStringLiteral("a fájl nem kaphatja meg a nevét");
        return false;
    }
    m_temporary.reset();
    m_placed = true;
    // The new name is on the disk before the caller records the file as made.
    syncFolder(QFileInfo(m_path).absolutePath());
    return true;
}

void StagedFile::undo()
{
    if (!m_placed) return;
    QFile::remove(m_path);
    if (m_hadFile) QFile::rename(m_kept, m_path);
    m_placed = false;
}

void StagedFile::abandon()
{
    m_temporary.reset();
    m_placed = false;
}

void StagedFile::keep()
{
    if (m_placed && m_hadFile) QFile::remove(m_kept);
    m_placed = false;
}

#include "stagedfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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
    if (!m_temporary->open()) {
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
    if (!m_temporary || !m_temporary->flush()) {
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
    if (!QFile::rename(m_temporary->fileName(), m_path)) {
        if (m_hadFile) QFile::rename(m_kept, m_path);
        m_hadFile = false;
        *error = QStringLiteral("a fájl nem kaphatja meg a nevét");
        return false;
    }
    m_temporary->setAutoRemove(false);
    m_temporary.reset();
    m_placed = true;
    return true;
}

void StagedFile::undo()
{
    if (!m_placed) return;
    QFile::remove(m_path);
    if (m_hadFile) QFile::rename(m_kept, m_path);
    m_placed = false;
}

void StagedFile::keep()
{
    if (m_placed && m_hadFile) QFile::remove(m_kept);
    m_placed = false;
}

#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFileDevice;
class QTemporaryFile;

// A file that takes its name only when everything else is done: the content goes to a
// temporary file beside its place, `place` puts it there (an older file of that name is set
// aside meanwhile), `undo` brings the older one back, and `keep` drops it for good. Whatever is
// neither placed nor kept is removed when the object goes.
class StagedFile
{
public:
    StagedFile();
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Writes the content under a temporary name in the folder; the folder must exist.
    bool write(const QString &folder, const QString &fileName, const QByteArray &content,
               QString *error);
    // The same in parts: open, append as many times as needed, then finish.
    bool open(const QString &folder, const QString &fileName, QString *error);
    bool append(const QByteArray &bytes, QString *error);
    bool finish(QString *error);
    bool place(QString *error);
    void undo();
    void keep();
    // Leaves the folder as it stands, as a program that ends here would.
    void abandon();
    QString path() const { return m_path; }

    // Writes what the system holds of a folder's entries, or of a file, to the disk.
    static bool syncFolder(const QString &folder);
    static bool syncFile(QFileDevice &file);

private:
    std::unique_ptr<QTemporaryFile> m_temporary;
    QString m_path, m_kept;
    bool m_placed = false, m_hadFile = false;
};

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Reads a Paradox table (.db) with pxlib: the named fields of every record as text, alpha fields
// decoded from the table's code page. pxlib trusts what it reads, so the header and the block
// chain are checked against the file itself before pxlib sees it: a file that is not a sound
// table is an error with its reason, never a crash or an endless read.
namespace ParadoxTable
{

struct Result {
    bool ok = false;
    QString error;
    QList<QStringList> records; // the values in the order of the fields asked for
};

enum class Encryption { Refused, Allowed };

// Every field of a table: the names as the table has them, the values as text.
struct Table {
    bool ok = false;
    QString error;
    QStringList fields;
    QStringList unreadable; // fields of a kind that is not read (memo, picture): left empty
    QList<QStringList> records;
};
Table load(const QString &path, Encryption encryption);

// The same a record at a time, for tables of hundreds of thousands of records: the fields come
// first, then each record; a record callback that returns false stops the read. Returns the
// refusal, empty when every record was handed on.
struct Reader {
    std::function<void(const QStringList &fields, const QStringList &unreadable)> fields;
    std::function<bool(QStringList &&values)> record;
};
QString forEachRecord(const QString &path, Encryption encryption, const Reader &reader);

// Field names match without regard to case; a missing field is an error. An encrypted table is
// refused unless the caller reads password-protected tables.
Result read(const QString &path, const QStringList &fields,
            Encryption encryption = Encryption::Refused);

// What the header and the block chain say, checked against the file; empty when sound.
QString structureFault(const QByteArray &header, qint64 fileSize,
                       const std::function<QByteArray(qint64 offset, int size)> &readAt,
                       Encryption encryption, bool *isEncrypted = nullptr);

// The decoder name of a table's DOS code page; Windows-1250 when the table names none, empty
// for a code page that is not known.
QByteArray codecName(int codePage);

// What the header says of the data blocks, and the check of their chain against it: every
// block inside the file and met once, the records they hold the header's count.
struct ChainHead {
    qint64 blockSize;
    int recordSize, fileBlocks, firstBlock, headerSize;
    qint64 records;
};
QString chainFault(const ChainHead &head, const std::function<QByteArray(qint64, int)> &readAt);

// The contained reader's process (the program tarvik-paradox, where there is no fork): reads
// the table at path and writes what it read to its standard output. Answers the exit code.
int serveContained(const QString &path);

} // namespace ParadoxTable

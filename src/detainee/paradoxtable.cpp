#include "paradoxtable.h"

#include "codepage.h"
#include "nativepath.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

#ifdef Q_OS_UNIX
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

extern "C" {
#include <paradox.h>
}

namespace
{
struct ErrorSink {
    QString first;
};

void collectError(pxdoc_t *, int, const char *message, void *data)
{
    auto *sink = static_cast<ErrorSink *>(data);
    if (sink->first.isEmpty()) sink->first = QString::fromLocal8Bit(message);
}

// Closes the table when it was opened, and frees the document.
class Document
{
public:
    explicit Document(ErrorSink *sink) : m_doc(PX_new2(collectError, nullptr, nullptr, nullptr))
    {
        if (m_doc) m_doc->errorhandler_user_data = sink;
    }
    ~Document()
    {
        if (!m_doc) return;
        if (m_open) PX_close(m_doc);
        PX_delete(m_doc);
        if (m_file) std::fclose(m_file);
    }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    bool open(const QString &path)
    {
        // Opened here, read-only, so that any name reaches the file (pxlib's own open wants
        // write access and a name in the system's narrow code page).
        if (!m_doc || !(m_file = NativePath::open(path, "rb"))) return false;
        m_open = PX_open_fp(m_doc, m_file) >= 0;
        return m_open;
    }
    pxdoc_t *get() const { return m_doc; }
    pxdoc_t *operator->() const { return m_doc; }

private:
    pxdoc_t *m_doc;
    std::FILE *m_file = nullptr;
    bool m_open = false;
};

// pxlib keeps no global state worth freeing, but it wants to be booted once.
void boot()
{
    static const bool booted = [] {
        PX_boot();
        return true;
    }();
    Q_UNUSED(booted);
}

QString number(double value)
{
    // Whole numbers without a decimal point; the range test comes first so that no value
    // outside a 64-bit integer is ever cast to one.
    if (std::isfinite(value) && std::fabs(value) < 9.0e18 && value == std::trunc(value))
        return QString::number(qint64(value));
    return QString::number(value, 'f');
}

quint16 word(const QByteArray &b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

qint32 longint(const QByteArray &b, int at)
{
    return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
                  quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24);
}

// The length a field of each type has; alpha and bytes take 1 to 255, the blob types carry a
// leader of 10 to 255 bytes.
bool lengthFits(int type, int length)
{
    switch (type) {
    case pxfAlpha:
    case pxfBytes:
        return length >= 1 && length <= 255;
    case pxfDate:
    case pxfLong:
    case pxfTime:
    case pxfAutoInc:
        return length == 4;
    case pxfShort:
        return length == 2;
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp:
        return length == 8;
    case pxfLogical:
        return length == 1;
    case pxfBCD:
        return length == 17;
    case pxfMemoBLOb:
    case pxfBLOb:
    case pxfFmtMemoBLOb:
    case pxfOLE:
    case pxfGraphic:
        return length >= 10 && length <= 255;
    default:
        return false;
    }
}

// How long the contained reader of a table may take.
constexpr qint64 ContainedLimitMs = 10000;

QString damaged(const QString &why)
{
    return QStringLiteral("A tábla sérült: ") + why;
}
} // namespace

namespace ParadoxTable
{

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 0:
    case 1250:
        return "windows-1250";
    case 852:
        return "IBM852";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    default:
        break;
    }
    // The other Windows code pages; any other number is no code page the program knows, and
    // the table's text is not guessed.
    if (codePage < 1251 || codePage > 1258) return {};
    const QByteArray name = "windows-" + QByteArray::number(codePage);
    return CodePage::isKnown(name.constData()) ? name : QByteArray();
}

QString chainFault(const ChainHead &c, const std::function<QByteArray(qint64, int)> &readAt)
{
    // The chain of data blocks: inside the file, no block twice, its records where the header
    // counts them.
    const qint64 perBlock = (c.blockSize - 6) / c.recordSize;
    QList<bool> seen(c.fileBlocks + 1, false);
    qint64 counted = 0;
    for (int block = c.firstBlock; block != 0;) {
        if (block > c.fileBlocks)
            return damaged(QStringLiteral("a(z) %1. blokk a fájlon kívül van.").arg(block));
        if (seen[block])
            return damaged(QStringLiteral("a blokklánc körbeér a(z) %1. blokknál.").arg(block));
        seen[block] = true;
        const QByteArray b = readAt(c.headerSize + (block - 1) * c.blockSize, 6);
        if (b.size() != 6)
            return damaged(QStringLiteral("a(z) %1. blokk nem olvasható.").arg(block));
        const int added = qint16(word(b, 4));
        if (added < -c.recordSize || (added + c.recordSize) % c.recordSize != 0 ||
            (added + c.recordSize) / c.recordSize > perBlock)
            return damaged(QStringLiteral("a(z) %1. blokk rekordszáma hibás.").arg(block));
        counted += (added + c.recordSize) / c.recordSize;
        block = word(b, 0);
    }
    if (counted != c.records)
        return damaged(QStringLiteral("a blokkokban %1 rekord van, a fejléc %2-t ír.")
                           .arg(counted)
                           .arg(c.records));
    return {};
}

QString structureFault(const QByteArray &h, qint64 fileSize,
                       const std::function<QByteArray(qint64, int)> &readAt, Encryption encryption,
                       bool *isEncrypted)
{
    if (isEncrypted) *isEncrypted = false;
    constexpr int BaseHeader = 0x58, DataHeader = 0x78;
    if (h.size() < BaseHeader)
        return QStringLiteral("Ez a fájl nem Paradox tábla: rövidebb egy tábla fejlécénél.");
    const int recordSize = word(h, 0x00), headerSize = word(h, 0x02);
    const int fileType = quint8(h[0x04]), blockKb = quint8(h[0x05]);
    const qint64 records = longint(h, 0x06);
    const int fileBlocks = word(h, 0x0C), firstBlock = word(h, 0x0E);
    const int fieldCount = qint16(word(h, 0x21));
    const int version = quint8(h[0x39]);
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return QStringLiteral("Ez a fájl nem Paradox adattábla.");
    if (headerSize < 0x800 || headerSize % 0x800 != 0 || headerSize > h.size())
        return damaged(QStringLiteral("hibás fejlécméret (%1).").arg(headerSize));
    if (blockKb != 1 && blockKb != 2 && blockKb != 3 && blockKb != 4 && blockKb != 8 &&
        blockKb != 16 && blockKb != 32)
        return damaged(QStringLiteral("hibás blokkméret (%1 KB).").arg(blockKb));
    const qint64 blockSize = qint64(blockKb) * 1024;
    if (fileSize != headerSize + fileBlocks * blockSize)
        return damaged(QStringLiteral("a fájl mérete (%1) nem egyezik a fejléc szerintivel (%2).")
                           .arg(fileSize)
                           .arg(headerSize + fileBlocks * blockSize));
    if (recordSize <= 0 || recordSize > blockSize - 6)
        return damaged(QStringLiteral("hibás rekordméret (%1).").arg(recordSize));

    // Version 4.0 and later tables carry a second header part before the field list.
    const bool dataHeader = version >= 5;
    const int fieldsAt = dataHeader ? DataHeader : BaseHeader;
    if (fieldCount <= 0 || fieldCount > recordSize ||
        fieldsAt + 2 * qint64(fieldCount) > headerSize)
        return damaged(QStringLiteral("hibás mezőszám (%1).").arg(fieldCount));
    int total = 0;
    for (int i = 0; i < fieldCount; ++i) {
        const int type = quint8(h[fieldsAt + 2 * i]), length = quint8(h[fieldsAt + 2 * i + 1]);
        if (!lengthFits(type, length))
            return damaged(QStringLiteral("a(z) %1. mező típusa (%2) vagy hossza (%3) hibás.")
                               .arg(i + 1)
                               .arg(type)
                               .arg(length));
        total += length;
    }
    if (total != recordSize)
        return damaged(QStringLiteral("a mezők hossza (%1) nem egyezik a rekordmérettel (%2).")
                           .arg(total)
                           .arg(recordSize));
    // Every field name ends in a zero byte inside the header.
    if (h.mid(fieldsAt + 2 * fieldCount, headerSize - fieldsAt - 2 * fieldCount).count('\0') <
        fieldCount)
        return damaged(QStringLiteral("a mezőnevek hiányosak."));
    const quint32 encryption1 = quint32(longint(h, 0x25));
    const quint32 encryption2 = dataHeader ? quint32(longint(h, 0x5C)) : 0;
    const bool encrypted = (encryption1 != 0 && encryption1 != 0xFF00FF00u) || encryption2 != 0;
    if (encrypted && encryption == Encryption::Refused)
        return QStringLiteral("A tábla jelszóval védett (titkosított), ezért nem olvasható.");
    if (records < 0) return damaged(QStringLiteral("hibás rekordszám (%1).").arg(records));
    // An encrypted table's blocks are encrypted too: its reader is contained instead, and
    // checks the chain once the blocks are readable.
    if (encrypted) {
        if (isEncrypted) *isEncrypted = true;
        return {};
    }
    return chainFault({blockSize, recordSize, fileBlocks, firstBlock, headerSize, records}, readAt);
}

namespace
{
bool readable(int type)
{
    switch (type) {
    case pxfAlpha:
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
    case pxfNumber:
    case pxfCurrency:
    case pxfDate:
        return true;
    default:
        return false;
    }
}

// Reads every field of every record with pxlib, after the checks above, handing each record
// on as it comes. Returns the refusal, empty when the table was read to its end.
QString readRecords(const QString &path, const Reader &reader)
{
    boot();
    ErrorSink sink;
    Document doc(&sink);
    if (!doc.get()) return QStringLiteral("Nincs elég memória a tábla olvasásához.");
    if (!doc.open(path)) return QStringLiteral("Ez a fájl nem Paradox tábla: ") + sink.first;
    const pxhead_t *head = doc->px_head;
    if (!head ||
        (head->px_filetype != pxfFileTypIndexDB && head->px_filetype != pxfFileTypNonIndexDB))
        return QStringLiteral("Ez a fájl nem Paradox adattábla.");

    const int fieldCount = PX_get_num_fields(doc.get());
    const pxfield_t *pxFields = PX_get_fields(doc.get());
    QList<int> offsets;
    QStringList fields, unreadable;
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        offsets << offset;
        offset += pxFields[i].px_flen;
        fields << QString::fromLatin1(pxFields[i].px_fname);
        // A field of a kind no caller reads (memo, picture) stays empty; a caller that asks for
        // it is refused.
        if (!readable(pxFields[i].px_ftype)) unreadable << fields.last();
    }
    const int recordSize = PX_get_recordsize(doc.get());
    if (offset > recordSize || recordSize <= 0)
        return QStringLiteral("A tábla sérült: hibás rekordméret.");
    const QByteArray codec = codecName(head->px_doscodepage);
    if (codec.isEmpty())
        return QStringLiteral("A tábla ismeretlen kódlapot ír (%1), a szövegei nem olvashatók.")
            .arg(head->px_doscodepage);
    // An encrypted table's chain is checked now that pxlib reads its blocks decrypted: the
    // header's count is then the count of every record the blocks hold.
    if (head->px_encryption != 0) {
        const QString fault =
            chainFault({qint64(head->px_maxtablesize) * 1024, recordSize, int(head->px_fileblocks),
                        int(head->px_firstblock), head->px_headersize, head->px_numrecords},
                       [&](qint64 offset, int size) {
                           QByteArray bytes(size, '\0');
                           if (doc->seek(doc.get(), doc->px_stream, long(offset), SEEK_SET) < 0 ||
                               qint64(doc->read(doc.get(), doc->px_stream, size_t(size),
                                                bytes.data())) != qint64(size))
                               return QByteArray();
                           return bytes;
                       });
        if (!fault.isEmpty()) return fault;
    }
    reader.fields(fields, unreadable);

    QByteArray buffer(recordSize, '\0');
    const int count = PX_get_num_records(doc.get());
    for (int r = 0; r < count; ++r) {
        if (!PX_get_record(doc.get(), r, buffer.data()))
            return QStringLiteral("A tábla %1. rekordja nem olvasható.").arg(r + 1);
        QStringList values;
        for (int i = 0; i < fieldCount; ++i) {
            char *data = buffer.data() + offsets[i];
            const pxfield_t &f = pxFields[i];
            QString text;
            switch (f.px_ftype) {
            case pxfAlpha: {
                char *value = nullptr;
                if (PX_get_data_alpha(doc.get(), data, f.px_flen, &value) > 0 && value) {
                    text = CodePage::decode(codec.constData(), QByteArray(value));
                    doc->free(doc.get(), value);
                }
                break;
            }
            case pxfShort: {
                short v = 0;
                if (PX_get_data_short(doc.get(), data, f.px_flen, &v) > 0)
                    text = QString::number(v);
                break;
            }
            case pxfLong:
            case pxfAutoInc: {
                long v = 0;
                if (PX_get_data_long(doc.get(), data, f.px_flen, &v) > 0) text = QString::number(v);
                break;
            }
            case pxfNumber:
            case pxfCurrency: {
                double v = 0;
                if (PX_get_data_double(doc.get(), data, f.px_flen, &v) > 0) text = number(v);
                break;
            }
            case pxfDate: {
                long v = 0;
                if (PX_get_data_long(doc.get(), data, f.px_flen, &v) > 0) {
                    int y = 0, m = 0, d = 0;
                    // Days since 1 January of year 1, as Paradox counts them.
                    PX_SdnToGregorian(v + 1721425, &y, &m, &d);
                    text = QDate(y, m, d).toString(QStringLiteral("yyyy.MM.dd"));
                }
                break;
            }
            default:
                break;
            }
            values << text;
        }
        if (!reader.record(std::move(values)))
            return QStringLiteral("A tábla olvasása megszakadt.");
    }
    // Whatever pxlib found wrong on the way (a warning included) refuses the table.
    if (!sink.first.isEmpty())
        return QStringLiteral("A tábla olvasása hibát jelzett: ") + sink.first;
    return {};
}

// The frames a contained reader sends: the fields, a batch of records, the end.
enum Frame : quint8 { Fields, Records, End };

QByteArray framed(const QByteArray &payload)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << payload;
    return bytes;
}

// The contained reader's own side: it reads the table and sends what it read as frames.
bool sendTable(const QString &path, const std::function<bool(const QByteArray &)> &send)
{
    QList<QStringList> batch;
    auto flush = [&] {
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << quint8(Records) << batch;
        batch.clear();
        return send(framed(payload));
    };
    const QString error =
        readRecords(path, {[&](const QStringList &fields, const QStringList &unreadable) {
                               QByteArray payload;
                               QDataStream out(&payload, QIODevice::WriteOnly);
                               out << quint8(Fields) << fields << unreadable;
                               send(framed(payload));
                           },
                           [&](QStringList &&values) {
                               batch << std::move(values);
                               return batch.size() < 1000 || flush();
                           }});
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << quint8(End) << error;
    return flush() && send(framed(payload));
}

// The program's side: frames in as the reader sends them. receive() waits at most the given
// time for the next bytes and answers false when none came or the reader is gone.
struct Received {
    bool ended = false;
    bool stopped = false;
    QString error;
};
Received receiveTable(const std::function<bool(QByteArray &, qint64)> &receive,
                      const Reader &reader)
{
    Received r;
    r.error = QStringLiteral("A tábla nem olvasható: az olvasás nem fejeződött be.");
    QByteArray pending;
    QElapsedTimer idle;
    idle.start();
    while (!r.ended && !r.stopped && idle.elapsed() < ContainedLimitMs) {
        QByteArray chunk;
        if (!receive(chunk, ContainedLimitMs - idle.elapsed())) break;
        idle.restart();
        pending.append(chunk);
        // Whole frames are handed on; a frame cut short waits for the rest.
        while (!r.ended && !r.stopped) {
            QDataStream in(pending);
            QByteArray payload;
            in >> payload;
            if (in.status() != QDataStream::Ok) break;
            pending.remove(0, in.device()->pos());
            QDataStream frame(payload);
            quint8 kind = 0;
            frame >> kind;
            if (kind == Fields) {
                QStringList fields, unreadable;
                frame >> fields >> unreadable;
                reader.fields(fields, unreadable);
            } else if (kind == Records) {
                QList<QStringList> records;
                frame >> records;
                for (QStringList &values : records)
                    if (!reader.record(std::move(values))) {
                        r.stopped = true;
                        r.error = QStringLiteral("A tábla olvasása megszakadt.");
                        break;
                    }
            } else {
                frame >> r.error;
                r.ended = true;
            }
        }
    }
    return r;
}

// A table whose blocks cannot be checked beforehand (an encrypted one) is read by a process of
// its own: whatever the table holds, the read ends with its records or a refusal, a crash of
// the reader is that process's alone, and a reader that goes silent for the time limit is
// ended.
#ifdef Q_OS_UNIX
// The child only reads, encodes and writes to the pipe, then leaves with _exit: it never
// touches the parent's windows, connections or threads.
QString readContained(const QString &path, const Reader &reader)
{
    const QString broken = QStringLiteral("A tábla nem olvasható: az olvasás nem fejeződött be.");
    int channel[2];
    if (pipe(channel) != 0) return broken;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return broken;
    }
    if (child == 0) {
        close(channel[0]);
        const bool sent = sendTable(path, [&](const QByteArray &bytes) {
            for (qsizetype done = 0; done < bytes.size();) {
                const ssize_t n =
                    ::write(channel[1], bytes.constData() + done, bytes.size() - done);
                if (n <= 0) return false;
                done += n;
            }
            return true;
        });
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    const Received r = receiveTable(
        [&](QByteArray &chunk, qint64 waitMs) {
            pollfd wait{channel[0], POLLIN, 0};
            if (poll(&wait, 1, int(waitMs)) <= 0) return false;
            char bytes[65536];
            const ssize_t n = ::read(channel[0], bytes, sizeof bytes);
            if (n <= 0) return false;
            chunk = QByteArray(bytes, n);
            return true;
        },
        reader);
    close(channel[0]);
    if (!r.ended) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (r.stopped) return r.error;
    if (!r.ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return broken;
    return r.error;
}
#else
// Windows has no fork: the reader is the small program beside this one.
QString readContained(const QString &path, const Reader &reader)
{
    const QString broken = QStringLiteral("A tábla nem olvasható: az olvasás nem fejeződött be.");
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvik-paradox.exe"),
                {path});
    if (!child.waitForStarted()) return broken;
    const Received r = receiveTable(
        [&](QByteArray &chunk, qint64 waitMs) {
            if (child.bytesAvailable() == 0 && !child.waitForReadyRead(int(waitMs))) return false;
            chunk = child.readAllStandardOutput();
            return !chunk.isEmpty();
        },
        reader);
    if (!r.ended) child.kill();
    child.waitForFinished();
    if (r.stopped) return r.error;
    if (!r.ended || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return broken;
    return r.error;
}
#endif
} // namespace

QString forEachRecord(const QString &path, Encryption encryption, const Reader &reader)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("A fájl nem olvasható: ") + path;
    bool encrypted = false;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("A fájl nem olvasható: ") + path;
        const QByteArray head = file.read(0x10000);
        // A header names its own size; only that much of it is the header.
        const int headerSize = head.size() >= 4 ? word(head, 0x02) : 0;
        const QString fault = structureFault(
            head.left(qMax(headerSize, 0x58)), file.size(),
            [&](qint64 offset, int size) {
                return file.seek(offset) ? file.read(size) : QByteArray();
            },
            encryption, &encrypted);
        if (!fault.isEmpty()) return fault;
    }
    if (encrypted) return readContained(path, reader);
    return readRecords(path, reader);
}

Table load(const QString &path, Encryption encryption)
{
    Table result;
    result.error = forEachRecord(path, encryption,
                                 {[&](const QStringList &fields, const QStringList &unreadable) {
                                      result.fields = fields;
                                      result.unreadable = unreadable;
                                  },
                                  [&](QStringList &&values) {
                                      result.records << std::move(values);
                                      return true;
                                  }});
    result.ok = result.error.isEmpty();
    if (!result.ok) result.records.clear();
    return result;
}

Result read(const QString &path, const QStringList &fields, Encryption encryption)
{
    Result result;
    const Table table = load(path, encryption);
    if (!table.ok) {
        result.error = table.error;
        return result;
    }
    QList<int> wanted;
    for (const QString &name : fields) {
        qsizetype found = -1;
        for (qsizetype i = 0; i < table.fields.size() && found < 0; ++i)
            if (table.fields[i].compare(name, Qt::CaseInsensitive) == 0) found = i;
        if (found < 0) {
            result.error = QStringLiteral("Hiányzik a tábla %1 mezője.").arg(name);
            return result;
        }
        if (table.unreadable.contains(table.fields[found])) {
            result.error = QStringLiteral("A tábla %1 mezője nem szöveg.").arg(table.fields[found]);
            return result;
        }
        wanted << int(found);
    }
    for (const QStringList &record : table.records) {
        QStringList values;
        for (int i : wanted)
            values << record[i];
        result.records << values;
    }
    result.ok = true;
    return result;
}
int serveContained(const QString &path)
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool sent = sendTable(path, [](const QByteArray &bytes) {
        return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) ==
                   size_t(bytes.size()) &&
               std::fflush(stdout) == 0;
    });
    return sent ? 0 : 1;
}

} // namespace ParadoxTable

#include "paradoxtable.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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
    }
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    bool open(const QString &path)
    {
        m_open = m_doc && PX_open_file(m_doc, QFile::encodeName(path).constData()) >= 0;
        return m_open;
    }
    pxdoc_t *get() const { return m_doc; }
    pxdoc_t *operator->() const { return m_doc; }

private:
    pxdoc_t *m_doc;
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
    return value == qint64(value) ? QString::number(qint64(value)) : QString::number(value, 'f');
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
        return codePage >= 1250 && codePage <= 1258 ? "windows-" + QByteArray::number(codePage)
                                                    : "IBM" + QByteArray::number(codePage);
    }
}

Result read(const QString &path, const QStringList &fields)
{
    Result result;
    auto fail = [&](const QString &why) {
        result.ok = false;
        result.error = why;
        result.records.clear();
        return result;
    };
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("A fájl nem olvasható: ") + path);

    boot();
    ErrorSink sink;
    Document doc(&sink);
    if (!doc.get()) return fail(QStringLiteral("Nincs elég memória a tábla olvasásához."));
    if (!doc.open(path)) return fail(QStringLiteral("Ez a fájl nem Paradox tábla: ") + sink.first);
    const pxhead_t *head = doc->px_head;
    if (!head ||
        (head->px_filetype != pxfFileTypIndexDB && head->px_filetype != pxfFileTypNonIndexDB))
        return fail(QStringLiteral("Ez a fájl nem Paradox adattábla."));
    // A table cut short claims blocks it does not hold; pxlib would read past its end.
    const qint64 needed =
        qint64(head->px_headersize) + qint64(head->px_fileblocks) * head->px_maxtablesize * 1024;
    if (info.size() < needed)
        return fail(QStringLiteral("A tábla sérült: a fájl rövidebb, mint amit a fejléce ír."));

    const int fieldCount = PX_get_num_fields(doc.get());
    const pxfield_t *pxFields = PX_get_fields(doc.get());
    QList<int> offsets, wanted;
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        offsets << offset;
        offset += pxFields[i].px_flen;
    }
    const int recordSize = PX_get_recordsize(doc.get());
    if (offset > recordSize || recordSize <= 0)
        return fail(QStringLiteral("A tábla sérült: hibás rekordméret."));
    for (const QString &name : fields) {
        int found = -1;
        for (int i = 0; i < fieldCount && found < 0; ++i)
            if (QString::fromLatin1(pxFields[i].px_fname).compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0) return fail(QStringLiteral("Hiányzik a tábla %1 mezője.").arg(name));
        wanted << found;
    }

    QStringDecoder decode(codecName(head->px_doscodepage));
    if (!decode.isValid()) decode = QStringDecoder("windows-1250");
    QByteArray buffer(recordSize, '\0');
    const int count = PX_get_num_records(doc.get());
    for (int r = 0; r < count; ++r) {
        if (!PX_get_record(doc.get(), r, buffer.data()))
            return fail(QStringLiteral("A tábla %1. rekordja nem olvasható.").arg(r + 1));
        QStringList values;
        for (int i : wanted) {
            char *data = buffer.data() + offsets[i];
            const pxfield_t &f = pxFields[i];
            QString text;
            switch (f.px_ftype) {
            case pxfAlpha: {
                char *value = nullptr;
                if (PX_get_data_alpha(doc.get(), data, f.px_flen, &value) > 0 && value) {
                    text = decode(QByteArray(value));
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
                return fail(QStringLiteral("A tábla %1 mezője nem szöveg.").arg(f.px_fname));
            }
            values << text;
        }
        result.records << values;
    }
    result.ok = true;
    return result;
}

} // namespace ParadoxTable

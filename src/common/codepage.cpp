#include "codepage.h"

#include <unicode/ucnv.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace CodePage
{

namespace
{
// ICU's converters, the same on every system (Qt has these code pages only where it was built
// with ICU). A character the code page lacks becomes the code page's substitute, as in Qt.
struct ConverterClose {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

UConverter *converter(const char *name)
{
    // Opened once a thread and kept: a making converts thousands of values.
    thread_local std::map<std::string, Converter, std::less<>> open;
    const auto found = open.find(std::string_view(name));
    if (found != open.end()) return found->second.get();
    UErrorCode status = U_ZERO_ERROR;
    Converter c(ucnv_open(name, &status));
    if (U_FAILURE(status)) c.reset();
    return open.emplace(name, std::move(c)).first->second.get();
}

QByteArray encode(const char *name, const QString &text)
{
    UConverter *c = converter(name);
    if (!c || text.isEmpty()) return {};
    QByteArray out(text.size() * ucnv_getMaxCharSize(c), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar *>(text.utf16()),
                                      int32_t(text.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
    out.truncate(n);
    return out;
}

} // namespace

bool isKnown(const char *name)
{
    return converter(name) != nullptr;
}

QString decode(const char *name, const QByteArray &bytes)
{
    UConverter *c = converter(name);
    if (!c || bytes.isEmpty()) return {};
    // A byte may stand for a character outside the 16-bit plane, as two code units.
    QString out(bytes.size() * 2, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar *>(out.data()), int32_t(out.size()),
                                    bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
    out.truncate(n);
    return out;
}

QByteArray toWin1250(const QString &text)
{
    return encode("windows-1250", text);
}
QString fromWin1250(const QByteArray &bytes)
{
    return decode("windows-1250", bytes);
}
QByteArray toIbm852(const QString &text)
{
    return encode("IBM852", text);
}
QString fromIbm852(const QByteArray &bytes)
{
    return decode("IBM852", bytes);
}

QString upperSameLength(const QString &text)
{
    // Most values are upper case already: they are handed back as they are, without a copy.
    qsizetype first = 0;
    while (first < text.size() && text[first].toUpper() == text[first])
        ++first;
    if (first == text.size()) return text;
    QString upper = text;
    for (qsizetype i = first; i < upper.size(); ++i)
        upper[i] = upper[i].toUpper();
    return upper;
}

} // namespace CodePage

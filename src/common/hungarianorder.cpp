#include "hungarianorder.h"

#include <unicode/ucol.h>

#include <memory>

namespace HungarianOrder
{

namespace
{
struct Closer {
    void operator()(UCollator *c) const { ucol_close(c); }
};
using Collator = std::unique_ptr<UCollator, Closer>;

UCollator *open(UCollationStrength strength)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *c = ucol_open("hu", &status);
    if (U_FAILURE(status)) return nullptr;
    ucol_setStrength(c, strength);
    return c;
}

// One collator of each strength per thread: ICU's collators are not shared between threads.
UCollator *full()
{
    thread_local Collator c(open(UCOL_TERTIARY));
    return c.get();
}
UCollator *primary()
{
    thread_local Collator c(open(UCOL_PRIMARY));
    return c.get();
}

QByteArray keyOf(UCollator *collator, const QString &text)
{
    if (!collator) return text.toUtf8();
    const auto *chars = reinterpret_cast<const UChar *>(text.utf16());
    QByteArray key(qMax(64, int(text.size()) * 4 + 16), '\0');
    int32_t length = ucol_getSortKey(collator, chars, int32_t(text.size()),
                                     reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    if (length > key.size()) {
        key.resize(length);
        length = ucol_getSortKey(collator, chars, int32_t(text.size()),
                                 reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    }
    key.resize(length);
    return key;
}
} // namespace

int compare(const QString &a, const QString &b)
{
    UCollator *c = full();
    if (!c) return a.compare(b);
    const UCollationResult r =
        ucol_strcoll(c, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                     reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

QByteArray sortKey(const QString &text)
{
    return keyOf(full(), text);
}

QByteArray nameKey(const QString &family, const QString &given, const QString &given2)
{
    // Each part's key ends in a zero byte that no key holds inside: the family names decide
    // first, whole, then the given names.
    return sortKey(family.trimmed()) + sortKey(given.trimmed()) + sortKey(given2.trimmed());
}

QByteArray searchKey(const QString &text)
{
    return keyOf(primary(), text.trimmed());
}

} // namespace HungarianOrder

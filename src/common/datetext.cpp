#include "datetext.h"

namespace DateText
{

QString format(const QDate &date)
{
    return date.isValid() ? date.toString(QString::fromLatin1(Format)) : QString();
}

QDate parse(const QString &text)
{
    if (text.size() != 10 || text[4] != u'.' || text[7] != u'.') return {};
    int digits[10] = {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return {};
        digits[i] = c - u'0';
    }
    // A real calendar day only (2011.02.30 is none); year 0000 does not exist.
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const QDate date(year, digits[5] * 10 + digits[6], digits[8] * 10 + digits[9]);
    return year > 0 ? date : QDate();
}

bool isValid(const QString &text)
{
    return parse(text).isValid();
}

bool isEmpty(const QString &text)
{
    for (QChar c : text)
        if (c != u' ' && c != u'.') return false;
    return true;
}

QString today()
{
    return format(QDate::currentDate());
}

} // namespace DateText

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
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!text[i].isDigit()) return {};
    return QDate::fromString(text, QString::fromLatin1(Format));
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

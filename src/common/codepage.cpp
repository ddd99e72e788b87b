#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace CodePage
{

namespace
{
QByteArray encode(const char *name, const QString &text)
{
    QStringEncoder encoder(name, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString decode(const char *name, const QByteArray &bytes)
{
    QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}
} // namespace

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

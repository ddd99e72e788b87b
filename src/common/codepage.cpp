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
    QString upper = text;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

} // namespace CodePage

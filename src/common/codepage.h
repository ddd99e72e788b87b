#pragma once

#include <QByteArray>
#include <QString>

// Report files are Windows-1250; the person export of the DOS era is code page 852.
namespace CodePage
{

QByteArray toWin1250(const QString &text);
QString fromWin1250(const QByteArray &bytes);
QByteArray toIbm852(const QString &text);
QString fromIbm852(const QByteArray &bytes);

// Any code page the program carries, by its IANA name ("IBM437", "windows-1252").
bool isKnown(const char *name);
QString decode(const char *name, const QByteArray &bytes);

// Upper case letter by letter: a value keeps its length (and so still fits its column). A letter
// without a one-letter capital, such as "ß", stays as it is.
QString upperSameLength(const QString &text);

} // namespace CodePage

#pragma once

#include <QDate>
#include <QString>

// Dates travel everywhere as ten characters "yyyy.mm.dd".
namespace DateText
{

inline constexpr const char *Format = "yyyy.MM.dd";
// What a masked date field shows when nothing has been typed.
inline const QString EmptyMask = QStringLiteral("    .  .  ");
// Input mask of every masked date field.
inline const QString InputMask = QStringLiteral("0000.00.00; ");

QString format(const QDate &date);
// An invalid QDate when the text is not a real date in "yyyy.mm.dd".
QDate parse(const QString &text);
bool isValid(const QString &text);
// True for an empty text, blanks only, or the empty mask "    .  .  ".
bool isEmpty(const QString &text);
QString today();

} // namespace DateText

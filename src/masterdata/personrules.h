#pragma once

#include <QDate>
#include <QString>

// The rules a person's names and birth date keep wherever they are typed: in report entry and
// when a person's data are corrected in the person register. Each returns the refusal to show,
// empty when the value passes.
namespace PersonRules
{

inline const QString NameRequired = QStringLiteral("A nevet kötelező kitölteni !");
inline const QString InvalidDate = QStringLiteral("Nem helyes időpont megadás !");
inline const QString BirthAfterToday =
    QStringLiteral("Nem lehet nagyobb a születés dátuma \r\nmint az aktuális dátum  !");
inline const QString BirthBefore1900 =
    QStringLiteral("Nem lehet kisebb a születés dátuma, \r\nmint 1900.01.01  !");

QString requiredName(const QString &name);
// A real date "yyyy.mm.dd" from 1900.01.01 to today; an empty date is refused too.
QString requiredBirthDate(const QString &text, const QDate &today);
// The bounds alone, for a date already known to be real.
QString birthDateBounds(const QDate &date, const QDate &today);

} // namespace PersonRules

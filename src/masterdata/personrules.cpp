#include "personrules.h"

#include "datetext.h"

namespace PersonRules
{

QString requiredName(const QString &name)
{
    return name.trimmed().isEmpty() ? NameRequired : QString();
}

QString birthDateBounds(const QDate &date, const QDate &today)
{
    if (date > today) return BirthAfterToday;
    if (date < QDate(1900, 1, 1)) return BirthBefore1900;
    return {};
}

QString requiredBirthDate(const QString &text, const QDate &today)
{
    const QDate date = DateText::parse(text.trimmed());
    return date.isValid() ? birthDateBounds(date, today) : InvalidDate;
}

} // namespace PersonRules

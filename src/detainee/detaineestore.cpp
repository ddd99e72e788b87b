#include "detaineestore.h"

#include "storequery.h"

std::optional<bool> DetaineeStore::matches(const Person &p, QString *error)
{
    return StoreQuery::any(
        m_data,
        {QStringLiteral(" select * from taj where taj = :t and vez_nev = :vn and"),
         QStringLiteral(" uto_nev = :un and szul_dat = :szd and szul_hely = :szh")},
        {p.taj, p.familyName, p.givenName, p.birthDate, p.birthPlace}, error);
}

std::optional<bool> DetaineeStore::tajTaken(const QString &taj, QString *error)
{
    return StoreQuery::any(m_data, {QStringLiteral("select taj from taj where taj = :t")}, {taj},
                           error);
}

bool DetaineeStore::renumber(const Person &p, const QString &realTaj, QString *error)
{
    return StoreQuery::execute(
               m_data,
               {QStringLiteral(" update taj set taj = :ta"),
                QStringLiteral(" where taj = :ti and vez_nev = :vn and"),
                QStringLiteral(" uto_nev = :un and szul_dat = :szd and szul_hely = :szh")},
               {realTaj, p.taj, p.familyName, p.givenName, p.birthDate, p.birthPlace}, error) &&
           StoreQuery::execute(m_data,
                               {QStringLiteral(" update taj_jogcim set taj = :ta "),
                                QStringLiteral(" where taj = :ti ")},
                               {realTaj, p.taj}, error);
}

#include "detaineestore.h"

#include "storequery.h"

namespace
{
// An empty value and a missing one are the same value in this store.
QString sameNames()
{
    return QStringLiteral(" coalesce(vez_nev, '') = coalesce(:vn, '') and coalesce(uto_nev, '') "
                          "= coalesce(:un, '') and coalesce(szul_dat, '') = coalesce(:szd, '') "
                          "and coalesce(szul_hely, '') = coalesce(:szh, '')");
}
} // namespace

std::optional<bool> DetaineeStore::matches(const Person &p, QString *error)
{
    return StoreQuery::any(m_data,
                           {QStringLiteral(" select * from taj where taj = :t and"), sameNames()},
                           {p.taj, p.familyName, p.givenName, p.birthDate, p.birthPlace}, error);
}

std::optional<bool> DetaineeStore::tajTaken(const QString &taj, QString *error)
{
    return StoreQuery::any(m_data, {QStringLiteral("select taj from taj where taj = :t")}, {taj},
                           error);
}

bool DetaineeStore::renumber(const Person &p, const QString &realTaj, QString *error)
{
    Query person = m_data.query();
    StoreQuery::fill(person,
                     {QStringLiteral(" update taj set taj = :ta"),
                      QStringLiteral(" where taj = :ti and"), sameNames()},
                     {realTaj, p.taj, p.familyName, p.givenName, p.birthDate, p.birthPlace});
    if (!person.exec()) {
        *error = person.lastError();
        return false;
    }
    // The record was judged to name exactly this person: a person not found is a failure.
    if (person.rowsAffected() != 1) {
        *error = QStringLiteral("a(z) %1 TAJ számú személy nem található").arg(p.taj);
        return false;
    }
    return StoreQuery::execute(
        m_data,
        {QStringLiteral(" update taj_jogcim set taj = :ta "), QStringLiteral(" where taj = :ti ")},
        {realTaj, p.taj}, error);
}

#include "personregister.h"

#include "hungarianorder.h"
#include "namekeys.h"
#include "pagedquerymodel.h"
#include "storequery.h"

#include <QSqlQuery>

namespace
{
// NEV as the register shows it: family name, two blanks, first and second given names.
const QString PersonColumns = QStringLiteral(
    "select TAJ, VEZ_NEV, UTO_NEV, UTO_NEV_2, SZ_VEZ_NEV, SZ_UTO_NEV_1, SZ_UTO_NEV_2, A_VEZ_NEV, "
    "A_UTO_NEV_1, A_UTO_NEV_2, SZUL_DAT, SZUL_HELY, P_KOD, O_KOD, "
    "trim(coalesce(VEZ_NEV, '')) || '  ' || trim(coalesce(UTO_NEV, '')) || ' ' || "
    "coalesce(UTO_NEV_2, '') as NEV from taj ");
// The Hungarian order of the names, served by idx_nev_kulcs; the TAJ number keeps persons of the
// same name in a fixed order.
const QString NameOrder = QStringLiteral("order by NEV_KULCS, TAJ");
const QString TajOrder = QStringLiteral("order by TAJ");
} // namespace

bool PersonRegister::showPersons(PagedQueryModel &model, Order order)
{
    // Rows written by another program get their keys first.
    NameKeys::refresh(m_data.db());
    return model.setQuery(m_data.db(),
                          PersonColumns + (order == Order::Name ? NameOrder : TajOrder),
                          QStringLiteral("select count(*) db from taj  "));
}

std::optional<int> PersonRegister::count(const QString &sql, const QList<QVariant> &params)
{
    QSqlQuery q(m_data.db());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) return std::nullopt;
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec() || !q.next()) return std::nullopt;
    return q.value(0).toInt();
}

std::optional<int> PersonRegister::rowForName(const QString &text)
{
    // The text as the clerk types it, in any case and with or without accents, against the
    // keys of the names; rows without a key sort first. Both counts run on idx_nev_kulcs.
    NameKeys::refresh(m_data.db());
    const auto unnamed =
        count(QStringLiteral("select count(*) from taj where NEV_KULCS is null"), {});
    const auto before = count(QStringLiteral("select count(*) from taj where NEV_KULCS < ?"),
                              {HungarianOrder::searchKey(text)});
    const auto all = count(QStringLiteral("select count(*) from taj"), {});
    if (!unnamed || !before || !all) return std::nullopt;
    return qMax(0, qMin(*unnamed + *before, *all - 1));
}

std::optional<int> PersonRegister::rowForTaj(const QString &taj)
{
    const auto found = count(QStringLiteral("select count(*) from taj where TAJ = ?"), {taj});
    if (!found) return std::nullopt;
    if (*found == 0) return -1;
    return count(QStringLiteral("select count(*) from taj where TAJ < ?"), {taj});
}

std::optional<QList<QVariantMap>> PersonRegister::relations(const QString &taj)
{
    return StoreQuery::maps(
        m_data, {QStringLiteral("select * from taj_jogcim "), QStringLiteral("where taj = :t ")},
        {taj});
}

std::optional<QVariantMap> PersonRegister::employer(const QString &id)
{
    const auto rows = StoreQuery::maps(
        m_data, {QStringLiteral("select * from foglalk "), QStringLiteral("where id = :nysz ")},
        {id});
    if (!rows) return std::nullopt;
    return rows->isEmpty() ? QVariantMap() : rows->first();
}

std::optional<QString> PersonRegister::titleName(const QString &code)
{
    return StoreQuery::firstText(
        m_data, {QStringLiteral("select * from jogcim "), QStringLiteral("where jogcimkod = :jc ")},
        {code}, QStringLiteral("JOGCIM"));
}

std::optional<QString> PersonRegister::occupationName(const QString &code)
{
    return StoreQuery::firstText(
        m_data, {QStringLiteral("select * from feor "), QStringLiteral("where feor_szam = :fsz ")},
        {code}, QStringLiteral("FEOR_MEG"));
}

std::optional<QStringList> PersonRegister::employerNames()
{
    QStringList names;
    if (!StoreQuery::select(
            m_data,
            {QStringLiteral("select ceg_nev from foglalk"), QStringLiteral("order by ceg_nev")}, {},
            [&](Query &q) { names << q.text(QStringLiteral("ceg_nev")); }))
        return std::nullopt;
    std::stable_sort(names.begin(), names.end(), HungarianOrder::less);
    return names;
}

bool PersonRegister::correct(const Correction &c, QString *error)
{
    return StoreQuery::execute(
        m_data,
        {QStringLiteral("update taj set VEZ_NEV = :vn, UTO_NEV = :un, UTO_NEV_2 = :un2,"),
         QStringLiteral("SZUL_DAT = :szd where TAJ = :t")},
        {c.familyName, c.givenName, c.givenName2, c.birthDate, c.taj}, error);
}

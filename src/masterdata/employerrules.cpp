#include "employerrules.h"

EmployerRules::Result EmployerRules::saveChange(const EmployerChange &c)
{
    Result r;
    if (!m_store.update(c.id, c.posted)) {
        r.messages << QStringLiteral("Hiba lépett fel a rögzítésnél !!");
        return r;
    }
    r.posted = true;
    // Each statement has its own guard: one failure does not stop the next.
    auto guarded = [&](const QString &set, QList<QVariant> params) {
        params << c.id;
        if (!m_store.execute(
                {QStringLiteral("update foglalk"), set, QStringLiteral("where id = :ny")}, params))
            r.messages << QStringLiteral("Hiba lépett fel a módosításnál !");
    };
    if (c.seatPostcode)
        guarded(QStringLiteral("set  SZ_IRSZ = :isz, SZ_IRSZ_S = :is "),
                {c.seatPostcode->first, c.seatPostcode->second});
    if (c.seatStreetType) guarded(QStringLiteral("set  SZ_CIM_JELL = :cj "), {*c.seatStreetType});
    if (c.sitePostcode)
        guarded(QStringLiteral("set  T_IRSZ = :isz, T_IRSZ_S = :is "),
                {c.sitePostcode->first, c.sitePostcode->second});
    if (c.siteStreetType) guarded(QStringLiteral("set  T_CIM_JELL = :cj "), {*c.siteStreetType});

    const bool noDistrict = c.district == u"000";
    const std::optional<QString> districtCounty =
        noDistrict ? std::optional<QString>() : m_store.districtCounty(c.district);
    if (c.fund) {
        if (noDistrict || (districtCounty && *districtCounty == *c.fund)) {
            guarded(QStringLiteral("set  MEGYE = :m "), {*c.fund});
        } else {
            r.messages << QStringLiteral("A kiválasztott TH megyekódja nem egyezik\n\ra beállított "
                                         "járási hivatal megyekódjával!")
                       << QStringLiteral("A TH megyekódja nem került módosításra");
        }
    }
    if (c.endDate) guarded(QStringLiteral("set  CEG_VEGE = :m "), {*c.endDate});

    // The district is checked against the fund as it was before this save.
    if (!noDistrict && (!districtCounty || *districtCounty != c.fundBefore)) {
        r.messages << QStringLiteral("A kiválasztott járás megyekódja nem egyezik\n\ra beállított "
                                     "TH megyekódjával!")
                   << QStringLiteral("A módosítás nem történt meg!");
        return r;
    }
    r.messages << (m_store.execute({QStringLiteral("update foglalk"),
                                    QStringLiteral("set AZON_TIP = :at, ado_szam = :asz, BANKSZAM "
                                                   "= :bsz, JARAS_KOD = :jk"),
                                    QStringLiteral("where id = :ny")},
                                   {c.azonTip, c.taxNumber, c.bank, c.district, c.id})
                       ? QStringLiteral("A módosítás megtörtént !!")
                       : QStringLiteral("Hiba lépett fel a módosításnál !"));
    return r;
}

#include "externalstore.h"

#include "codepage.h"
#include "datamodule.h"
#include "dialect.h"
#include "storequery.h"
#include "transaction.h"

#include <QHash>

#include <memory>

std::optional<bool> ExternalStore::alreadyRead(const QString &name)
{
    return StoreQuery::any(m_data,
                           {QStringLiteral("select * from jel_fej "),
                            QStringLiteral("where jel_tip = :jt and jel_szam = :jsz and ado_szam = "
                                           ":s and substring(fajl_nev FROM 19 FOR 3) = :jk ")},
                           {ExternalFile::nameType(name), ExternalFile::nameSequence(name).toInt(),
                            ExternalFile::nameTax(name), ExternalFile::nameDistrict(name)});
}

std::optional<QString> ExternalStore::settlement(const QString &postcode)
{
    return StoreQuery::firstText(m_data,
                                 {QStringLiteral("select TELEPULES from irsz "),
                                  QStringLiteral("where IRSZ = :isz and SULY = :s")},
                                 {postcode, QStringLiteral("0")}, QStringLiteral("TELEPULES"));
}

std::optional<QVariantMap> ExternalStore::employer(const QString &tax, const QString &district)
{
    const auto rows =
        StoreQuery::maps(m_data,
                         {QStringLiteral("select * from foglalk "),
                          QStringLiteral("where ado_szam = :nysz and jaras_kod = :jk")},
                         {tax, district});
    if (!rows) return std::nullopt;
    return rows->isEmpty() ? QVariantMap() : rows->first();
}

ExternalFile::Lookups ExternalStore::lookups()
{
    ExternalFile::Lookups l;
    l.districtCounty = [this](const QString &district) {
        return StoreQuery::firstText(m_data,
                                     {QStringLiteral("select megye_kod from jarasok "),
                                      QStringLiteral("where jaras_kod = :jk ")},
                                     {district}, QStringLiteral("megye_kod"));
    };
    l.countyExists = [this](const QString &county) {
        return StoreQuery::any(
            m_data,
            {QStringLiteral("select megyekod from mep "), QStringLiteral("where megyekod = :m ")},
            {county});
    };
    // A file of thousands of lines names a handful of titles: each is looked up once per check.
    auto titles = std::make_shared<QHash<QString, bool>>();
    l.titleExists = [this, titles](const QString &title) -> std::optional<bool> {
        const auto known = titles->constFind(title);
        if (known != titles->cend()) return *known;
        const auto found = StoreQuery::any(m_data,
                                           {QStringLiteral("select jogcimkod from jogcim "),
                                            QStringLiteral("where jogcimkod = :m ")},
                                           {title});
        if (found) titles->insert(title, *found);
        return found;
    };
    l.birthDate = [this](const QString &taj) {
        return StoreQuery::firstText(m_data,
                                     {QStringLiteral("select szul_dat from taj "),
                                      QStringLiteral("where taj = :t and szul_dat is not null")},
                                     {taj}, QStringLiteral("szul_dat"));
    };
    return l;
}

bool ExternalStore::recordEmployer(const ExternalFile::Report &report, QString *error)
{
    // Clerks who receive files of one new employer at once record it once: the lookup and the
    // insert run together under the lock of its identifiers, and a row another clerk added
    // meanwhile (refused by the server's unique index) is taken as the employer on a retry.
    const QString tax = ExternalFile::nameTax(report.name);
    const QString district = ExternalFile::nameDistrict(report.name);
    struct Outcome {
        bool ok = false;
        QString error;
    };
    const Outcome done = Dialect::retryOnConflict([&] {
        Outcome o;
        Transaction transaction(m_data.db());
        if (!transaction.isOpen()) {
            o.error = QStringLiteral("a tranzakció nem indítható");
            return o;
        }
        if (!Dialect::lock(m_data.db(), QStringLiteral("foglalk/") + tax, district.toInt(),
                           &o.error))
            return o;
        const auto known = employer(tax, district);
        if (!known) {
            o.error = QStringLiteral("a bejelentők nem olvashatók");
            return o;
        }
        if (known->isEmpty() && !insertEmployer(report, &o.error)) return o;
        o.ok = transaction.commit();
        if (!o.ok) o.error = QStringLiteral("a változások nem véglegesíthetők");
        return o;
    });
    if (!done.ok) *error = m_data.failureReason(done.error);
    return done.ok;
}

bool ExternalStore::insertEmployer(const ExternalFile::Report &report, QString *error)
{
    using ExternalFile::column;
    using ExternalFile::trimmed;
    const QByteArray &h = report.header;
    return StoreQuery::execute(
        m_data,
        {QStringLiteral("insert into foglalk"),
         QStringLiteral("(NYILV_SZAM, CEG_NEV, SZ_IRSZ, SZ_IRSZ_S, SZ_UTCA, SZ_CIM_JELL, SZ_HAZ,"),
         QStringLiteral("SZ_EMELET, SZ_AJTO, SZ_EPULET, SZ_LH,"),
         QStringLiteral("TELEFON, FAX, EMAIL, BANKSZAM, TBKIFH, TAKISZ, UGYVEZETO, CEG_INDUL, "
                        "CEG_AZON, MEGYE, ADO_SZAM, AZON_TIP, JARAS_KOD)"),
         QStringLiteral("values"),
         QStringLiteral("(:a, :b, :c, :d, :e,:f, :g,:h, :i, :j, :k, :l, :m, :n, :o,"),
         QStringLiteral(":aa, :ba, :ca, :da, :ea, :fa, :ga, :ha, :jk )")},
        {QString(),
         CodePage::upperSameLength(trimmed(h, 51, 50)),
         trimmed(h, 101, 4),
         QStringLiteral("0"),
         trimmed(h, 105, 50),
         QStringLiteral("002"),
         trimmed(h, 155, 7),
         trimmed(h, 162, 5),
         trimmed(h, 167, 5),
         trimmed(h, 172, 5),
         trimmed(h, 177, 5),
         trimmed(h, 182, 12),
         trimmed(h, 194, 12),
         trimmed(h, 206, 30),
         trimmed(h, 236, 24),
         column(h, 283, 1) == u"I" ? QStringLiteral("1") : QStringLiteral("0"),
         column(h, 284, 1) == u"I" ? QStringLiteral("1") : QStringLiteral("0"),
         trimmed(h, 285, 50),
         trimmed(h, 263, 10),
         QString(),
         trimmed(h, 260, 3),
         trimmed(h, 335, 11),
         QStringLiteral("0"),
         ExternalFile::nameDistrict(report.name)},
        error);
}

bool ExternalStore::updateEmployer(int id, const QVariantMap &v, QString *error)
{
    auto f = [&](const char *name) { return v.value(QLatin1String(name)); };
    return StoreQuery::execute(
        m_data,
        {QStringLiteral("update foglalk"),
         QStringLiteral("set CEG_NEV = :a, CEG_INDUL= :n, SZ_IRSZ = :b, SZ_IRSZ_S = :c, SZ_UTCA= "
                        ":d, SZ_HAZ= :e,"),
         QStringLiteral("SZ_EMELET= :f, SZ_AJTO= :g, SZ_EPULET= :h, SZ_LH= :i,"),
         QStringLiteral("TELEFON= :j, FAX= :k , EMAIL= :l, BANKSZAM= :m, TBKIFH= :q, TAKISZ= :r, "
                        "UGYVEZETO= :s "),
         QStringLiteral("where id = :nyt")},
        {f("CEG_NEV"), f("CEG_INDUL"), f("SZ_IRSZ"), QStringLiteral("0"), f("SZ_UTCA"), f("SZ_HAZ"),
         f("SZ_EMELET"), f("SZ_AJTO"), f("SZ_EPULET"), f("SZ_LH"), f("TELEFON"), f("FAX"),
         f("EMAIL"), f("BANKSZAM"), f("TBKIFH"), f("TAKISZ"), f("UGYVEZETO"), id},
        error);
}

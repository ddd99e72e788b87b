#include "employerstore.h"

#include "hungarianorder.h"

#include "datamodule.h"
#include "datetext.h"
#include "runstate.h"
#include "storequery.h"
#include "transaction.h"

using StoreQuery::any;
using StoreQuery::firstText;
using StoreQuery::select;

std::optional<QList<QSqlRecord>> EmployerStore::employers()
{
    auto rows = StoreQuery::records(m_data, {QStringLiteral("select * from foglalk order by id")});
    if (rows)
        HungarianOrder::sort<QSqlRecord>(*rows, [](const QSqlRecord &r) {
            return r.value(QStringLiteral("CEG_NEV")).toString();
        });
    return rows;
}

std::optional<QSqlRecord> EmployerStore::employer(int id)
{
    std::optional<QSqlRecord> row;
    if (!select(m_data, {QStringLiteral("select * from foglalk where id = :id")}, {id},
                [&](Query &q) { row = q.record(); }))
        return std::nullopt;
    return row ? row : QSqlRecord();
}

std::optional<int> EmployerStore::count(const QString &sql)
{
    int n = -1;
    if (!select(m_data, {sql}, {}, [&](Query &q) { n = q.integer(QStringLiteral("db")); }) || n < 0)
        return std::nullopt;
    return n;
}

std::optional<QList<EmployerStore::CodeName>> EmployerStore::codeNames(const QString &countSql,
                                                                       const QStringList &lines,
                                                                       const QString &codeField,
                                                                       const QString &nameField)
{
    // The lists take the row count first, as the register always has.
    if (!count(countSql)) return std::nullopt;
    QList<CodeName> rows;
    if (!select(m_data, lines, {}, [&](Query &q) {
            rows << CodeName{q.text(codeField), q.text(nameField)};
        }))
        return std::nullopt;
    return rows;
}

std::optional<QList<EmployerStore::CodeName>> EmployerStore::districts()
{
    return codeNames(QStringLiteral("select count(*) db from jarasok "),
                     {QStringLiteral("select *  from jarasok where erv_vege is null"),
                      QStringLiteral("order by jaras_kod")},
                     QStringLiteral("JARAS_KOD"), QStringLiteral("JARAS_NEV"));
}

std::optional<QList<EmployerStore::CodeName>> EmployerStore::funds()
{
    return codeNames(QStringLiteral("select count(*) db from mep "),
                     {QStringLiteral("select *  from mep"), QStringLiteral("order by megyekod")},
                     QStringLiteral("MEGYEKOD"), QStringLiteral("MEP_NEV"));
}

std::optional<QList<EmployerStore::CodeName>> EmployerStore::streetTypes()
{
    return codeNames(QStringLiteral("select count(*) db from koz_ter "),
                     {QStringLiteral("select * from koz_ter"), QStringLiteral("order by kod")},
                     QStringLiteral("KOD"), QStringLiteral("KOZTERNEV"));
}

std::optional<bool> EmployerStore::nameExists(const QString &name)
{
    return any(
        m_data,
        {QStringLiteral("SELECT ceg_nev from foglalk"), QStringLiteral("WHERE ceg_nev = :nytsz")},
        {name});
}

std::optional<bool> EmployerStore::taxNumberExists(const QString &taxNumber, const QString &name)
{
    return any(m_data,
               {QStringLiteral("SELECT ado_szam from foglalk"),
                QStringLiteral("WHERE ado_szam = :nytsz and ceg_nev= :cn")},
               {taxNumber, name});
}

std::optional<QList<EmployerStore::CodeName>> EmployerStore::settlements(const QString &postcode)
{
    int n = -1;
    if (!select(
            m_data,
            {QStringLiteral("select count(*) db from irsz  "), QStringLiteral("where IRSZ = :isz")},
            {postcode}, [&](Query &q) { n = q.integer(QStringLiteral("db")); }))
        return std::nullopt;
    QList<CodeName> rows;
    if (n > 0 && !select(m_data,
                         {QStringLiteral("select * from irsz "),
                          QStringLiteral("where IRSZ = :isz"), QStringLiteral("order by SULY")},
                         {postcode}, [&](Query &q) {
                             rows << CodeName{q.text(QStringLiteral("SULY")),
                                              q.text(QStringLiteral("TELEPULES"))};
                         }))
        return std::nullopt;
    return rows;
}

std::optional<EmployerStore::CodeName> EmployerStore::settlementByName(const QString &name)
{
    std::optional<CodeName> first;
    if (!select(m_data,
                {QStringLiteral("SELECT * from irsz"), QStringLiteral("WHERE telepules = :nev")},
                {name}, [&](Query &q) {
                    if (!first)
                        first = CodeName{q.text(QStringLiteral("IRSZ")),
                                         q.text(QStringLiteral("SULY"))};
                }))
        return std::nullopt;
    return first.value_or(CodeName{});
}

std::optional<QString> EmployerStore::streetTypeCode(const QString &name)
{
    const auto code = firstText(
        m_data,
        {QStringLiteral("select kod from koz_ter"), QStringLiteral("where kozternev = :kn")},
        {name}, QStringLiteral("kod"));
    return code ? std::optional<QString>(code->left(3)) : std::nullopt;
}

std::optional<QString> EmployerStore::fundCode(const QString &name)
{
    const auto code = firstText(
        m_data, {QStringLiteral("SELECT * from mep"), QStringLiteral("WHERE mep_nev = :mnev")},
        {name}, QStringLiteral("MEGYEKOD"));
    return code ? std::optional<QString>(code->left(3)) : std::nullopt;
}

std::optional<QString> EmployerStore::districtCounty(const QString &districtCode)
{
    return firstText(m_data,
                     {QStringLiteral("select megye_kod as mkod from jarasok "),
                      QStringLiteral("where jaras_kod = :jk")},
                     {districtCode}, QStringLiteral("mkod"));
}

std::optional<bool> EmployerStore::hasPendingLines(int id)
{
    return any(
        m_data,
        {QStringLiteral("select * from jel_temp"), QStringLiteral("where foglalk_id = :ny ")},
        {id});
}

std::optional<bool> EmployerStore::hasFiledReports(int id)
{
    return any(
        m_data,
        {QStringLiteral("select * from taj_jogcim"), QStringLiteral("where foglalk_id = :i")},
        {id});
}

EmployerStore::InsertResult EmployerStore::insert(const QVariantMap &fields, int startNumber,
                                                  const QString &reportType)
{
    Transaction transaction(m_data.db());
    if (!transaction.isOpen() ||
        !StoreQuery::insert(m_data, QStringLiteral("foglalk"), fields, &m_error))
        return InsertResult::EmployerFailed;

    if (startNumber > 1) {
        const QString tax = fields.value(QStringLiteral("ADO_SZAM")).toString();
        const QString name = fields.value(QStringLiteral("CEG_NEV")).toString().trimmed();
        int id = -1;
        if (!select(m_data,
                    {QStringLiteral("select id from foglalk "),
                     QStringLiteral("where ado_szam = :nysz and ceg_nev= :cn")},
                    {tax, name}, [&](Query &r) { id = r.integer(QStringLiteral("id")); }) ||
            id < 0)
            return InsertResult::StartRowFailed;
        Query start = m_data.query();
        start.add(QStringLiteral("insert into jel_fej (JEL_TIP, JEL_SZAM, JEL_TETE, FAJL_NEV, "
                                 "KESZ_DAT, FOGLALK_ID, NYILV_SZAM, CEG_NEV, ADO_SZAM)"));
        start.add(QStringLiteral("values (:t, :sz, :te, :f, :d, :id, :ny, :cn, :a)"));
        start.setParams({reportType, startNumber - 1, 0, QStringLiteral("*INDULÓ JELENTÉS*"),
                         DateText::today(), id, fields.value(QStringLiteral("NYILV_SZAM")), name,
                         tax});
        if (!start.exec()) {
            m_error = start.lastError();
            return InsertResult::StartRowFailed;
        }
    }
    return transaction.commit() ? InsertResult::Ok : InsertResult::EmployerFailed;
}

bool EmployerStore::update(int id, const QVariantMap &fields)
{
    QStringList sets;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        sets << it.key() + QStringLiteral(" = :p") + QString::number(sets.size());
    QList<QVariant> params = fields.values();
    params << id;
    return execute({QStringLiteral("update foglalk set ") + sets.join(QStringLiteral(", ")),
                    QStringLiteral("where id = :ny")},
                   params);
}

bool EmployerStore::execute(const QStringList &lines, const QList<QVariant> &params)
{
    return StoreQuery::execute(m_data, lines, params, &m_error);
}

bool EmployerStore::remove(int id)
{
    return execute({QStringLiteral("delete from foglalk"), QStringLiteral("where id = :nytsz")},
                   {id});
}

std::optional<bool> EmployerStore::prisonServiceActive()
{
    return any(m_data,
               {QStringLiteral("select * from foglalk"),
                QStringLiteral("where ado_szam like :ny and ceg_vege is null")},
               {RunState::PrisonServiceBase + u'%'});
}

std::optional<QList<QVariantMap>> EmployerStore::sheetRows()
{
    QList<QVariantMap> rows;
    if (!select(m_data,
                {QStringLiteral("select t2.nyilv_szam, t2.ceg_nev, t2.fszla, t2.ugyvezeto, "
                                "t2.ceg_indul, t2.ceg_vege, t2.bankszam, t2.ceg_azon,"),
                 QStringLiteral("t2.sz_irsz, t3.telepules, t2.sz_utca, t4.kozternev, t2.sz_haz , "
                                "t2.telefon , t2.fax, t2.email, t2.ado_szam"),
                 QStringLiteral("from foglalk t2, irsz t3, koz_ter t4  "),
                 QStringLiteral("where  t2.sz_irsz = t3.irsz and t2.sz_irsz_s = t3.suly and "
                                "t2.sz_cim_jell = t4.kod "),
                 QStringLiteral("order by t2.ceg_nev")},
                {}, [&](Query &q) {
                    QVariantMap row;
                    const QSqlRecord r = q.record();
                    for (int i = 0; i < r.count(); ++i)
                        row.insert(r.fieldName(i).toLower(), q.value(i));
                    rows << row;
                }))
        return std::nullopt;
    HungarianOrder::sort<QVariantMap>(
        rows, [](const QVariantMap &r) { return r.value(QStringLiteral("ceg_nev")).toString(); });
    return rows;
}

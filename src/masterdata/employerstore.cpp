#include "employerstore.h"

#include "datamodule.h"
#include "datetext.h"
#include "runstate.h"
#include "transaction.h"

namespace
{
// Runs a select and hands every row to the reader; false when the query fails.
template <typename Reader>
bool select(DataModule &data, const QStringList &lines, const QList<QVariant> &params, Reader read)
{
    Query q = data.query();
    for (const QString &line : lines)
        q.add(line);
    for (int i = 0; i < params.size(); ++i)
        q.setParam(i, params[i]);
    if (!q.open()) return false;
    while (q.next())
        read(q);
    q.close();
    return true;
}
// Whether the select finds any row; empty when it fails.
std::optional<bool> any(DataModule &data, const QStringList &lines, const QList<QVariant> &params)
{
    bool found = false;
    if (!select(data, lines, params, [&](Query &) { found = true; })) return std::nullopt;
    return found;
}
// One field of the first row the select finds (empty when none); empty optional when it fails.
std::optional<QString> firstText(DataModule &data, const QStringList &lines,
                                 const QList<QVariant> &params, const QString &field)
{
    std::optional<QString> first;
    if (!select(data, lines, params, [&](Query &q) {
            if (!first) first = q.text(field);
        }))
        return std::nullopt;
    return first.value_or(QString());
}
} // namespace

std::optional<QList<QSqlRecord>> EmployerStore::employers()
{
    QList<QSqlRecord> rows;
    if (!select(m_data, {QStringLiteral("select * from foglalk order by ceg_nev, id")}, {},
                [&](Query &q) { rows << q.record(); }))
        return std::nullopt;
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
    Query q = m_data.query();
    QStringList names, marks;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        names << it.key();
        marks << QStringLiteral(":p") + QString::number(marks.size());
    }
    q.add(QStringLiteral("insert into foglalk (%1)").arg(names.join(QStringLiteral(", "))));
    q.add(QStringLiteral("values (%1)").arg(marks.join(QStringLiteral(", "))));
    int i = 0;
    for (const QVariant &v : fields)
        q.setParam(i++, v);
    if (!transaction.isOpen() || !q.exec()) {
        m_error = q.lastError();
        return InsertResult::EmployerFailed;
    }

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
    Query q = m_data.query();
    for (const QString &line : lines)
        q.add(line);
    for (int i = 0; i < params.size(); ++i)
        q.setParam(i, params[i]);
    if (q.exec()) return true;
    m_error = q.lastError();
    return false;
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

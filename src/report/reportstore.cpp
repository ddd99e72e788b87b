#include "reportstore.h"
#include "storefailure.h"

#include "dialect.h"

#include "datamodule.h"
#include "hungarianorder.h"
#include "namekeys.h"
#include "pagedquerymodel.h"
#include "reportgenerator.h"
#include "runstate.h"
#include "storequery.h"
#include "transaction.h"

#include <QSqlError>

using StoreQuery::any;
using StoreQuery::records;
using StoreQuery::select;

namespace
{
const QString PersonColumns =
    QStringLiteral("select t2.taj, t2.vez_nev, t2.uto_nev, t2.p_kod, t2.o_kod");
const QString PersonColumns2 =
    QStringLiteral(",t2.szul_dat, t2.szul_hely,t2.uto_nev_2, t2.sz_vez_nev, t2.sz_uto_nev_1, "
                   "t2.sz_uto_nev_2, t2.a_vez_nev, t2.a_uto_nev_1, t2.a_uto_nev_2");
} // namespace

QString ReportStore::Employer::identifier() const
{
    if (azonTip == u"1") return registration;
    if (azonTip == u"2") return fszla;
    return taxNumber;
}

std::optional<QStringList> ReportStore::settlementNames()
{
    QStringList names;
    if (!select(m_data,
                {QStringLiteral("select distinct telepules  from irsz"),
                 QStringLiteral("order by telepules")},
                {}, [&](Query &q) { names << q.text(QStringLiteral("telepules")); }))
        return std::nullopt;
    return names;
}

std::optional<int> ReportStore::activeEmployerCount()
{
    int n = -1;
    if (!select(m_data,
                {QStringLiteral("select count(*) db from foglalk"),
                 QStringLiteral("where ceg_vege is null")},
                {}, [&](Query &q) { n = q.integer(QStringLiteral("db")); }) ||
        n < 0)
        return std::nullopt;
    return n;
}

std::optional<QStringList> ReportStore::activeEmployerNames()
{
    QStringList names;
    if (!select(m_data,
                {QStringLiteral("select * from foglalk"), QStringLiteral("where ceg_vege is null"),
                 QStringLiteral("order by ceg_nev")},
                {}, [&](Query &q) { names << q.text(QStringLiteral("CEG_NEV")); }))
        return std::nullopt;
    std::stable_sort(names.begin(), names.end(), HungarianOrder::less);
    return names;
}

std::optional<ReportStore::Employer> ReportStore::employerByName(const QString &name)
{
    Employer e;
    const bool ok = select(
        m_data,
        {QStringLiteral("select t1.id, t1.azon_tip, t1.ado_szam, t1.fszla, t1.nyilv_szam, "
                        "t1.sz_irsz, t2.telepules,"),
         QStringLiteral("t1.sz_utca, t3.kozternev, t1.sz_haz, t1.sz_emelet,"),
         QStringLiteral("t1.sz_ajto, t1.sz_epulet, t1.sz_lh, t1.tbkifh, t1.ceg_indul"),
         QStringLiteral("from foglalk t1, irsz t2, koz_ter t3"),
         QStringLiteral("where ceg_nev = :cn and t1.sz_irsz = t2.irsz and t1.sz_irsz_s=t2.suly "),
         QStringLiteral("and t1.sz_cim_jell = t3.kod")},
        {name}, [&](Query &q) {
            if (e.id >= 0) return;
            e.id = q.integer(QStringLiteral("id"));
            e.azonTip = q.text(QStringLiteral("azon_tip"));
            e.taxNumber = q.text(QStringLiteral("ado_szam"));
            e.fszla = q.text(QStringLiteral("fszla"));
            e.registration = q.text(QStringLiteral("nyilv_szam"));
            e.postcode = q.text(QStringLiteral("sz_irsz"));
            e.settlement = q.text(QStringLiteral("telepules"));
            QStringList street;
            for (const char *f :
                 {"sz_utca", "kozternev", "sz_haz", "sz_emelet", "sz_ajto", "sz_epulet", "sz_lh"})
                street << q.text(QLatin1String(f));
            e.streetLine = street.join(u' ');
            e.founded = q.text(QStringLiteral("ceg_indul"));
        });
    if (!ok) return std::nullopt;
    return e;
}

bool ReportStore::showPersons(PagedQueryModel &model, int employerId, PersonOrder order,
                              const PersonFilter &filter)
{
    // Each person once, however many relations the employer has with them; the list runs in
    // the order of idx_vnev or idx_taj and is fetched a page at a time.
    QString where = QStringLiteral(
        " from taj t2 where exists (select 1 from taj_jogcim t1 where t1.taj = t2.taj and "
        "t1.foglalk_id = ?)");
    QList<QVariant> params = {employerId};
    if (!filter.taj.isEmpty()) {
        where += QStringLiteral(" and t2.taj = ?");
        params << filter.taj;
    } else if (!filter.familyName.isEmpty()) {
        where += QStringLiteral(" and t2.vez_nev like ?");
        params << filter.familyName + u'%';
    }
    const QString orderBy = order == PersonOrder::Taj
                                ? QStringLiteral(" order by t2.taj")
                                : QStringLiteral(" order by t2.nev_kulcs, t2.taj");
    NameKeys::refresh(m_data.db());
    return model.setQuery(m_data.db(), PersonColumns + PersonColumns2 + where + orderBy,
                          QStringLiteral("select count(*)") + where, params);
}

std::optional<QSqlRecord> ReportStore::person(const QString &taj)
{
    const auto rows = records(m_data, {QStringLiteral("select * from taj where taj = :t")}, {taj});
    if (!rows) return std::nullopt;
    return rows->isEmpty() ? QSqlRecord() : rows->first();
}

namespace
{
std::optional<QList<ReportStore::CodeName>> codeNames(DataModule &data, const QString &sql,
                                                      const char *code, const char *name)
{
    QList<ReportStore::CodeName> rows;
    if (!select(data, {sql}, {}, [&](Query &q) {
            rows << ReportStore::CodeName{q.text(QLatin1String(code)), q.text(QLatin1String(name))};
        }))
        return std::nullopt;
    return rows;
}

ReportStore::Title title(const Query &q)
{
    return {q.text(QStringLiteral("JOGCIMKOD")), q.text(QStringLiteral("JOGCIM")),
            q.text(QStringLiteral("ERV_KEZD")),  q.text(QStringLiteral("ERV_VEGE")),
            q.text(QStringLiteral("SZUNETEL")),  q.text(QStringLiteral("MUNKAIDO"))};
}
} // namespace

std::optional<QList<ReportStore::CodeName>> ReportStore::countries()
{
    return codeNames(m_data, QStringLiteral("select nev, iso_szam from orszag order by nev"),
                     "iso_szam", "nev");
}

std::optional<QList<ReportStore::CodeName>> ReportStore::pensionFunds()
{
    return codeNames(m_data, QStringLiteral("select pkod, pkodmegn from nyugdij order by pkodmegn"),
                     "pkod", "pkodmegn");
}

std::optional<QList<ReportStore::CodeName>> ReportStore::occupations()
{
    auto rows =
        codeNames(m_data, QStringLiteral("select feor_szam,feor_meg from feor order by feor_meg"),
                  "feor_szam", "feor_meg");
    if (rows) rows->removeIf([](const CodeName &c) { return c.first.trimmed().size() != 4; });
    return rows;
}

std::optional<QList<ReportStore::Title>> ReportStore::titlesOfType(const QString &type)
{
    QList<Title> rows;
    if (!select(m_data,
                {QStringLiteral("select * from jogcim where adatl_tip = :at order by jogcimkod")},
                {type}, [&](Query &q) { rows << title(q); }))
        return std::nullopt;
    return rows;
}

std::optional<QStringList> ReportStore::titleTexts(const QString &type, const QString &taxNumber)
{
    QStringList lines = {QStringLiteral("select jogcim from jogcim where (ellatas is null or "
                                        "ellatas = 'N')and adatl_tip = :at ")};
    if (taxNumber.startsWith(RunState::PrisonServiceBase))
        lines << QStringLiteral("and (jogcimkod = '2771' or jogcimkod = '2772') ");
    if (taxNumber.startsWith(RunState::SecondSpecialBase))
        lines << QStringLiteral("and (jogcimkod = '2511' or jogcimkod = '2512') ");
    lines << QStringLiteral("order by jogcim");
    QStringList texts;
    if (!select(m_data, lines, {type},
                [&](Query &q) { texts << q.text(QStringLiteral("jogcim")); }))
        return std::nullopt;
    return texts;
}

std::optional<QList<ReportStore::Title>> ReportStore::benefits(const QString &type)
{
    QList<Title> rows;
    if (!select(m_data,
                {QStringLiteral("select jogcim, ERV_KEZD, jogcimkod from jogcim where ellatas = "
                                "\"I\" and adatl_tip = :a order by jogcim")},
                {type}, [&](Query &q) {
                    Title t;
                    t.code = q.text(QStringLiteral("jogcimkod"));
                    t.text = q.text(QStringLiteral("jogcim"));
                    t.validFrom = q.text(QStringLiteral("ERV_KEZD"));
                    rows << t;
                }))
        return std::nullopt;
    return rows;
}

std::optional<QList<QSqlRecord>> ReportStore::pendingLines(int employerId, const QString &type)
{
    // Item order, so that the grid and the file list the lines as they were prepared.
    return records(m_data,
                   {QStringLiteral("select * "), QStringLiteral("from jel_temp"),
                    QStringLiteral("where foglalk_id = :nysz and jel_tip = :jt"),
                    QStringLiteral("order by jel_tete")},
                   {employerId, type});
}

std::optional<int> ReportStore::lastReportNumber(int employerId, const QString &type)
{
    int n = 0;
    if (!select(m_data,
                {QStringLiteral("select max(jel_szam) db "), QStringLiteral("from jel_fej"),
                 QStringLiteral("where foglalk_id = :nysz and jel_tip = :jt")},
                {employerId, type}, [&](Query &q) { n = q.integer(QStringLiteral("db")); }))
        return std::nullopt;
    return n;
}

std::optional<QList<QSqlRecord>> ReportStore::earlierRelations(const QString &taj, int employerId,
                                                               const QString &type,
                                                               const QString &title)
{
    return records(m_data,
                   {QStringLiteral("select * from taj_jogcim"),
                    QStringLiteral("where taj = :t and foglalk_id = :ny and jel_tip = :j and "
                                   "jogcim = :c"),
                    QStringLiteral("order by kezdet desc")},
                   {taj, employerId, type, title});
}

std::optional<bool> ReportStore::pendingLineExists(const QString &taj, int employerId,
                                                   const QString &type, const QString &title,
                                                   const QString &start)
{
    return any(m_data,
               {QStringLiteral("select * from jel_temp"),
                QStringLiteral("where taj = :t and foglalk_id = :ny and jel_tip = :j and "
                               "jogcim = :c"),
                QStringLiteral("and kezdet = :ke")},
               {taj, employerId, type, title, start});
}

std::optional<QString> ReportStore::highestProvisionalTaj()
{
    QString highest;
    for (const char *table : {"taj", "taj_jogcim", "jel_temp", "jel_tete"}) {
        // Each table from its highest value down, through its TAJ index, to the first value
        // of nine digits.
        QString found;
        bool done = false;
        if (!select(m_data,
                    {QStringLiteral("select taj from %1").arg(QLatin1String(table)),
                     QStringLiteral("where taj >= :a and taj <= :b"),
                     QStringLiteral("order by taj desc")},
                    {QStringLiteral("900000000"), QStringLiteral("999999999")}, [&](Query &q) {
                        const QString taj = q.text(QStringLiteral("taj"));
                        if (done || taj.size() != 9) return;
                        for (QChar c : taj)
                            if (!c.isDigit() || c.unicode() > 127) return;
                        found = taj;
                        done = true;
                    }))
            return std::nullopt;
        if (found > highest) highest = found;
    }
    return highest;
}

std::optional<QList<QSqlRecord>> ReportStore::completedNewLines(const QString &taj)
{
    return records(m_data,
                   {QStringLiteral("select * from jel_tete"),
                    QStringLiteral("where taj = :jt and javitas = :j")},
                   {taj, QStringLiteral("N")});
}

ReportStore::AddResult ReportStore::addLine(const QVariantMap &line, const QVariantMap &cancelling)
{
    struct Attempt {
        bool ok;
        AddResult result;
    };
    return Dialect::retryOnConflict([&] {
               const AddResult r = addLineOnce(line, cancelling);
               return Attempt{r == AddResult::Ok, r};
           })
        .result;
}

ReportStore::AddResult ReportStore::addLineOnce(const QVariantMap &line,
                                                const QVariantMap &cancelling)
{
    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) {
        m_error = StoreFailure::text(m_data.db().lastError());
        return AddResult::LineFailed;
    }
    const QString number = QStringLiteral("JEL_SZAM"), item = QStringLiteral("JEL_TETE");
    const int employerId = line.value(QStringLiteral("FOGLALK_ID")).toInt();
    const QString type = line.value(QStringLiteral("JEL_TIP")).toString();
    // The report in preparation is numbered by the store, under the lock of the employer's
    // reports: another clerk may have added lines to it, or made it, since this window counted.
    // A number a completed report has (filed from an external file meanwhile) is not reused.
    if (!Dialect::lockReports(m_data.db(), employerId, type, &m_error) ||
        !ReportGenerator::movePendingAboveCompleted(m_data, employerId, type, &m_error))
        return AddResult::LineFailed;
    const auto pending =
        StoreQuery::firstText(m_data,
                              {QStringLiteral("select max(jel_szam) m from jel_temp"),
                               QStringLiteral("where foglalk_id = :ny and jel_tip = :jt")},
                              {employerId, type}, QStringLiteral("m"));
    if (!pending) return AddResult::LineFailed;
    const int sequence = pending->isEmpty() ? line.value(number).toInt() : pending->toInt();
    const auto last = StoreQuery::firstText(
        m_data,
        {QStringLiteral("select coalesce(max(jel_tete), 0) m from jel_temp"),
         QStringLiteral("where foglalk_id = :ny and jel_tip = :jt and jel_szam = :jsz")},
        {employerId, type, sequence}, QStringLiteral("m"));
    if (!last) return AddResult::LineFailed;
    int next = last->toInt() + 1;
    if (!cancelling.isEmpty()) {
        QVariantMap numbered = cancelling;
        numbered[number] = sequence;
        numbered[item] = next++;
        if (!StoreQuery::insert(m_data, QStringLiteral("jel_temp"), numbered, &m_error))
            return AddResult::CancellingFailed;
    }
    QVariantMap numbered = line;
    numbered[number] = sequence;
    numbered[item] = next;
    if (!StoreQuery::insert(m_data, QStringLiteral("jel_temp"), numbered, &m_error) ||
        !ReportGenerator::movePendingAboveCompleted(m_data, employerId, type, &m_error))
        return AddResult::LineFailed;
    return transaction.commit() ? AddResult::Ok : AddResult::LineFailed;
}

bool ReportStore::deleteLines(int employerId, int reportNumber, const QString &type,
                              const QString &familyName, const QString &givenName)
{
    Transaction transaction(m_data.db());
    // The renumbering below holds the lock of the employer's reports, as adding a line does.
    if (!transaction.isOpen() || !Dialect::lockReports(m_data.db(), employerId, type, &m_error) ||
        !StoreQuery::execute(
            m_data,
            {QStringLiteral("delete from jel_temp"), QStringLiteral("where foglalk_id = :ny"),
             QStringLiteral("and jel_szam = :jsz"), QStringLiteral("and jel_tip = :jt"),
             QStringLiteral("and vez_nev = :un"), QStringLiteral("and uto_nev = :vn")},
            {employerId, reportNumber, type, familyName, givenName}, &m_error))
        return false;
    // The remaining lines keep their order and run 1..n again.
    const QString row = Dialect::rowKey(m_data.db());
    QList<QVariant> rows;
    if (!select(m_data,
                {QStringLiteral("select %1 r from jel_temp").arg(row),
                 QStringLiteral("where foglalk_id = :ny and jel_szam = :jsz and jel_tip = :jt"),
                 QStringLiteral("order by jel_tete, %1").arg(row)},
                {employerId, reportNumber, type},
                [&](Query &q) { rows << q.value(QStringLiteral("r")); }))
        return false;
    Query update = m_data.query();
    update.add(QStringLiteral("update jel_temp set jel_tete = :n where %1 = :r").arg(row));
    for (int i = 0; i < rows.size(); ++i) {
        update.setParams({i + 1, rows[i]});
        if (!update.exec()) {
            m_error = update.lastError();
            return false;
        }
    }
    return transaction.commit();
}

bool ReportStore::undoReport(int employerId, const QString &type)
{
    return StoreQuery::execute(m_data,
                               {QStringLiteral("delete from jel_temp"),
                                QStringLiteral("where foglalk_id = :ny"),
                                QStringLiteral("and jel_tip = :jt")},
                               {employerId, type}, &m_error);
}

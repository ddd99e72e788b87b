#include "reportgenerator.h"

#include "datamodule.h"
#include "hungarianorder.h"
#include "installation.h"
#include "registrydatabase.h"
#include "reportfile.h"
#include "schema.h"
#include "stagedfile.h"
#include "storequery.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>

namespace
{

QString text(const QVariantMap &m, const char *field)
{
    return m.value(QLatin1String(field)).toString();
}

const char *const HeaderCopy[] = {
    "NYILV_SZAM", "FSZLA",   "CEG_NEV",   "SZ_IRSZ", "SZ_IRSZ_S", "SZ_UTCA",   "SZ_HAZ",
    "SZ_EMELET",  "SZ_AJTO", "SZ_EPULET", "SZ_LH",   "T_IRSZ",    "T_IRSZ_S",  "T_UTCA",
    "T_CIM_JELL", "T_HAZ",   "T_EMELET",  "T_AJTO",  "T_EPULET",  "T_LH",      "TELEFON",
    "FAX",        "EMAIL",   "BANKSZAM",  "TBKIFH",  "TAKISZ",    "UGYVEZETO", "CEG_INDUL",
    "CEG_AZON",   "MEGYE",   "ADO_SZAM"};

// One statement prepared once and run for every line.
struct Statement {
    Query q;
    Statement(DataModule &data, const QStringList &lines) : q(data.query())
    {
        for (const QString &l : lines)
            q.add(l);
    }
    bool run(const QList<QVariant> &params, QString *error)
    {
        for (int i = 0; i < params.size(); ++i)
            q.setParam(i, params[i]);
        if (q.exec()) return true;
        *error = q.lastError();
        return false;
    }
};

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral(":p%1").arg(i);
    return m.join(u", ");
}

} // namespace

std::optional<int> ReportGenerator::pendingLineCount()
{
    int n = -1;
    if (!StoreQuery::select(m_data,
                            {QStringLiteral("select count(*) x "), QStringLiteral("from jel_temp")},
                            {}, [&](Query &q) { n = q.integer(QStringLiteral("x")); }))
        return std::nullopt;
    return n;
}

std::optional<QList<PendingReport>> ReportGenerator::pendingReports()
{
    QList<PendingReport> reports;
    if (!StoreQuery::select(
            m_data,
            {QStringLiteral("select t1.nyilv_szam, t1.foglalk_id ,t2.ceg_nev, count(t1.foglalk_id) "
                            "db, t1.jel_tip, t1.jel_szam,"),
             QStringLiteral("t2.sz_irsz, t3.telepules, t2.sz_utca, t4.kozternev, t2.sz_haz , "
                            "t2.telefon , t2.fax"),
             QStringLiteral("from jel_temp t1, foglalk t2, irsz t3, koz_ter t4  "),
             QStringLiteral("where t2.id = t1.foglalk_id  and t2.sz_irsz = t3.irsz and "
                            "t2.sz_irsz_s = t3.suly and t2.sz_cim_jell = t4.kod "),
             QStringLiteral("group by t1.nyilv_szam, t1.foglalk_id , t2.ceg_nev, t1.jel_tip, "
                            "t2.sz_irsz, t3.telepules,"),
             QStringLiteral("t2.sz_utca, t2.telefon, t2.fax, t4.kozternev, t2.sz_haz, "
                            "t1.jel_szam"),
             QStringLiteral("order by t1.jel_tip, t1.jel_szam")},
            {}, [&](Query &q) {
                PendingReport r;
                r.employerId = q.integer(QStringLiteral("foglalk_id"));
                r.identifier = q.text(QStringLiteral("nyilv_szam"));
                r.name = q.text(QStringLiteral("ceg_nev"));
                r.type = q.text(QStringLiteral("jel_tip"));
                r.sequence = q.integer(QStringLiteral("jel_szam"));
                r.lines = q.integer(QStringLiteral("db"));
                r.address = q.text(QStringLiteral("sz_irsz")) + QStringLiteral("  ") +
                            q.text(QStringLiteral("telepules")) + QStringLiteral(" , ") +
                            q.text(QStringLiteral("sz_utca")) + QStringLiteral("  ") +
                            q.text(QStringLiteral("kozternev")) + QStringLiteral("  ") +
                            q.text(QStringLiteral("sz_haz"));
                r.phone = q.text(QStringLiteral("telefon"));
                r.fax = q.text(QStringLiteral("fax"));
                reports << r;
            }))
        return std::nullopt;
    // In the Hungarian order of the employers' names; type and number as the select gave them.
    HungarianOrder::sort<PendingReport>(reports, [](const PendingReport &r) { return r.name; });
    return reports;
}

void ReportGenerator::sortInFileOrder(QList<ReportFile::ReportLine> &lines)
{
    using namespace ReportFile;
    QList<QPair<QByteArray, int>> keys;
    keys.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const ReportLine &l = lines[i];
        // Family and first given name in the Hungarian order, then the start date, then the
        // item number (its digits right-aligned, so that the bytes compare as numbers).
        keys << qMakePair(HungarianOrder::nameKey(l[VEZ_NEV], l[UTO_NEV], QString()) +
                              l[KEZDET].toLatin1() + '\0' +
                              l[JEL_TETE].rightJustified(10, u'0').toLatin1(),
                          i);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<ReportLine> sorted;
    sorted.reserve(lines.size());
    for (const auto &k : keys)
        sorted << std::move(lines[k.second]);
    lines = std::move(sorted);
}

std::optional<QList<ReportFile::ReportLine>>
ReportGenerator::lines(int employerId, const QString &type, int sequence)
{
    auto lines = readLines(
        m_data,
        {QStringLiteral("select t1.*,"),
         QStringLiteral("t2.nyilv_szam, t2.megye, t2.azon_tip, t2.jaras_kod, t3.mep_nev"),
         QStringLiteral("from jel_temp t1, foglalk t2, mep t3"),
         QStringLiteral("where t2.id = :ny and  t2.id = t1.foglalk_id and t1.jel_tip = :jt"),
         QStringLiteral("and t1.jel_szam = :jsz and t2.megye = t3.megyekod"),
         QStringLiteral("order by t1.jel_tete")},
        {employerId, type, sequence});
    if (lines) sortInFileOrder(*lines);
    return lines;
}

std::optional<QList<ReportFile::ReportLine>>
ReportGenerator::readLines(DataModule &data, const QStringList &sql, const QList<QVariant> &params)
{
    QList<ReportFile::ReportLine> rows;
    // Field positions are found once; the line's own fields come first in the result.
    int at[ReportFile::FieldCount];
    int megye = -1, azonTip = -1, jarasKod = -1, mepNev = -1;
    bool first = true;
    if (!StoreQuery::select(data, sql, params, [&](Query &q) {
            if (first) {
                const QSqlRecord r = q.record();
                for (int f = 0; f < ReportFile::FieldCount; ++f)
                    at[f] = r.indexOf(QLatin1String(ReportFile::fieldName(ReportFile::Field(f))));
                megye = r.indexOf(QStringLiteral("megye"));
                azonTip = r.indexOf(QStringLiteral("azon_tip"));
                jarasKod = r.indexOf(QStringLiteral("jaras_kod"));
                mepNev = r.indexOf(QStringLiteral("mep_nev"));
                first = false;
            }
            auto value = [&](int index) {
                return index < 0 ? QString() : Query::rightTrimmed(q.value(index).toString());
            };
            ReportFile::ReportLine line;
            for (int f = 0; f < ReportFile::FieldCount; ++f)
                line.values[f] = value(at[f]);
            line.megye = value(megye);
            line.azonTip = value(azonTip);
            line.jarasKod = value(jarasKod);
            line.mepNev = value(mepNev);
            rows << line;
        }))
        return std::nullopt;
    return rows;
}

QString ReportGenerator::floppyFolder()
{
    const QString folder = Settings::read(QStringLiteral("Floppy"));
    return folder.trimmed().isEmpty() ? QStringLiteral("/media/floppy") : folder;
}

QString ReportGenerator::defaultFolder(const Installation &installation)
{
    QString folder = Settings::read(QStringLiteral("Alap jelent"));
    if (folder.trimmed().isEmpty()) {
        folder = QDir(installation.programFolder()).filePath(QStringLiteral("jelentesek"));
        QDir().mkpath(folder);
    }
    return folder;
}

QString ReportGenerator::fileNameOf(const ReportFile::ReportLine &first)
{
    using namespace ReportFile;
    return ReportFile::fileName(first[JEL_TIP], first.megye, first.azonTip, first[NYILV_SZAM],
                                first.jarasKod, first[JEL_SZAM].toInt());
}

ReportGenerator::Result ReportGenerator::make(const PendingReport &report, const Options &options,
                                              const Progress &progress)
{
    Result r;
    const auto lines = this->lines(report.employerId, report.type, report.sequence);
    const auto employers = StoreQuery::records(
        m_data, {QStringLiteral("select * from foglalk"), QStringLiteral("where id = :ny")},
        {report.employerId});
    if (!lines || lines->isEmpty() || !employers || employers->isEmpty()) {
        r.error = QStringLiteral("a jelentés sorai vagy a bejelentő nem olvashatók");
        return r;
    }
    using namespace ReportFile;
    const ReportLine &first = lines->first();
    const QVariantMap employer = StoreQuery::toMap(employers->first());
    const int sequence = first[JEL_SZAM].toInt();
    const auto key = codingKey(first[NYILV_SZAM]);
    if (!key) {
        r.error = QStringLiteral("a bejelentő azonosítója nem csak számjegy");
        return r;
    }
    r.fileName = fileNameOf(first);
    const QString shortName = ReportFile::shortName(first[JEL_TIP], first.megye, first.azonTip,
                                                    first[NYILV_SZAM], sequence);

    // Every line is built before anything is written: a value that does not fit refuses the
    // whole report.
    const Content content = buildContent(
        headerSlots(options.version, report.type, sequence, int(lines->size()), shortName,
                    options.today, employer),
        text(employer, "CEG_NEV"), *lines, sequence, options.coded ? key : std::nullopt);
    if (!content.refusal.isEmpty()) {
        r.refusal = content.refusal;
        return r;
    }

    Transaction transaction(m_data.db());
    if (!transaction.isOpen()) {
        r.error = QStringLiteral("a tranzakció nem indítható");
        return r;
    }
    const Filing filing{report.employerId, report.type,   sequence, int(lines->size()),
                        r.fileName,        options.today, employer};
    if (!fileReport(filing, *lines, progress, &r.error) ||
        !StoreQuery::execute(
            m_data,
            {QStringLiteral("delete from jel_temp"), QStringLiteral("where foglalk_id = :ny"),
             QStringLiteral("and jel_szam = :jsz"), QStringLiteral("and jel_tip = :jt")},
            {report.employerId, sequence, report.type}, &r.error) ||
        !movePendingAboveCompleted(m_data, report.employerId, report.type, &r.error))
        return r;
    r.ok =
        commitWithFile(transaction, options.folder, r.fileName, content.bytes, &r.path, &r.error);
    return r;
}

ReportGenerator::Content ReportGenerator::buildContent(const QList<ReportFile::Slot> &header,
                                                       const QString &employerName,
                                                       const QList<ReportFile::ReportLine> &lines,
                                                       int sequence, std::optional<int> key)
{
    using namespace ReportFile;
    Content c;
    const Line head = assemble(HeaderBlanks, header);
    if (!head.ok()) {
        c.refusal = refusalText(head, QStringLiteral("A(z) \"%1\" bejelentő").arg(employerName));
        return c;
    }
    c.bytes = fileLine(head.text, key);
    c.bytes.reserve(int(lines.size()) * 600);
    for (const ReportLine &line : lines) {
        const Line item = assemble(ItemBlanks, itemSlots(sequence, line));
        if (!item.ok()) {
            c.refusal = refusalText(
                item, QStringLiteral("A(z) %1. tétel (%2 %3, TAJ: %4)")
                          .arg(line[JEL_TETE], line[VEZ_NEV], line[UTO_NEV], line[TAJ]));
            c.bytes.clear();
            return c;
        }
        c.bytes += fileLine(item.text, key);
    }
    return c;
}

bool ReportGenerator::commitWithFile(Transaction &transaction, const QString &folder,
                                     const QString &fileName, const QByteArray &content,
                                     QString *path, QString *error)
{
    if (!folder.isEmpty() && QFileInfo::exists(QDir(folder).filePath(fileName))) {
        *error = QStringLiteral("a(z) %1 fájl már létezik a mappában; egy másik jelentés fájlja "
                                "nem írható felül")
                     .arg(fileName);
        return false;
    }
    // The file goes under a temporary name beside its place and takes its name only now.
    StagedFile file;
    if (!file.write(folder, fileName, content, error) || !file.place(error)) return false;
    *path = file.path();
    if (!transaction.commit()) {
        // The tables stay as they were: so must the folder.
        file.undo();
        *error = QStringLiteral("a változások nem véglegesíthetők");
        return false;
    }
    file.keep();
    return true;
}

bool ReportGenerator::movePendingAboveCompleted(DataModule &data, int employerId,
                                                const QString &type, QString *error)
{
    return StoreQuery::execute(
        data,
        {QStringLiteral("update jel_temp set jel_szam = (select coalesce(max(jel_szam), 0) + 1 "
                        "from jel_fej where foglalk_id = :a and jel_tip = :b)"),
         QStringLiteral("where foglalk_id = :c and jel_tip = :d and jel_szam <= (select "
                        "coalesce(max(jel_szam), 0) from jel_fej where foglalk_id = :e and "
                        "jel_tip = :f)")},
        {employerId, type, employerId, type, employerId, type}, error);
}

bool ReportGenerator::fileReport(const Filing &filing, const QList<ReportFile::ReportLine> &lines,
                                 const Progress &progress, QString *error)
{
    using namespace ReportFile;
    // A number is filed once per employer and type (the start row only marks where the count
    // of the reports made elsewhere ended).
    const auto taken = StoreQuery::any(
        m_data,
        {QStringLiteral("select jel_szam from jel_fej"),
         QStringLiteral("where foglalk_id = :ny and jel_tip = :jt and jel_szam = :jsz"),
         QStringLiteral("and (fajl_nev is null or fajl_nev <> :f)")},
        {filing.employerId, filing.type, filing.sequence, QStringLiteral("*INDULÓ JELENTÉS*")});
    if (!taken) {
        *error = QStringLiteral("a kész jelentések nem olvashatók");
        return false;
    }
    if (*taken) {
        *error = QStringLiteral("a(z) %1. számú %2-es jelentés már elkészült ennél a bejelentőnél")
                     .arg(filing.sequence)
                     .arg(filing.type);
        return false;
    }
    QStringList lineNames;
    for (int f = 0; f < FieldCount; ++f)
        lineNames << QLatin1String(fieldName(Field(f)));
    Statement archive(m_data,
                      {QStringLiteral("insert into jel_tete (%1)").arg(lineNames.join(u", ")),
                       QStringLiteral("values (%1)").arg(marks(FieldCount))});
    const Field personFields[] = {VEZ_NEV,     UTO_NEV,      P_KOD,        O_KOD,     UTO_NEV_2,
                                  SZ_VEZ_NEV,  SZ_UTO_NEV_1, SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1,
                                  A_UTO_NEV_2, SZUL_DAT,     SZUL_HELY};
    // The register keeps a family name of 40 and a first given name of 15 characters while a
    // report line carries 50 and 20: the register's copy is cut to its columns, the archived
    // line and the file keep the name whole.
    QList<int> personWidths;
    const Schema::Table *person = Schema::table(QStringLiteral("taj"));
    QStringList personSets, personNames;
    for (Field f : personFields) {
        int width = 0;
        for (const Schema::Field &column : person->fields)
            if (column.name == QLatin1String(fieldName(f)) && column.kind == Schema::Kind::Text)
                width = column.width;
        personWidths << width;
        personSets
            << QStringLiteral("%1 = :p%2").arg(QLatin1String(fieldName(f))).arg(personSets.size());
        personNames << QLatin1String(fieldName(f));
    }
    Statement personUpdate(m_data, {QStringLiteral("update taj set ") + personSets.join(u", "),
                                    QStringLiteral("where taj = :t")});
    Statement personInsert(
        m_data, {QStringLiteral("insert into taj (TAJ, %1)").arg(personNames.join(u", ")),
                 QStringLiteral("values (:t, %1)").arg(marks(int(personNames.size())))});
    // An end or start that is empty on both sides counts as the same ("is" matches nulls).
    Statement relationDelete(
        m_data, {QStringLiteral("delete from taj_jogcim"),
                 QStringLiteral("where taj = :t and foglalk_id = :nyt and jogcim = :jc and "
                                "jel_tip = :jt"),
                 QStringLiteral("and kezdet is :ke and vege is :ve")});
    const QStringList relationSet = {
        QStringLiteral("update taj_jogcim set"),
        QStringLiteral("kezdet = :ke, vege = :ve, hora = :ho, feor = :fe, "),
        QStringLiteral("ell_kod = :elk, ell_kezd = :ek, ell_vege = :ev,"),
        QStringLiteral("szun_kezd = :szk, szun_vege = :szv, pakez = :pa ")};
    const QString where =
        QStringLiteral("where taj = :t and foglalk_id = :nyt and jogcim = :jc and jel_tip = :jt");
    Statement relationUpdate(m_data, QStringList(relationSet) << where);
    // An empty occupation code matches an empty one, as the delete's "is" does.
    Statement relationUpdate1101(m_data, QStringList(relationSet)
                                             << where + QStringLiteral(" and feor is :f"));
    Statement relationInsert(
        m_data, {QStringLiteral("insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, "
                                "KEZDET, VEGE, HORA, FEOR, ELL_KOD, ELL_KEZD, ELL_VEGE, "
                                "SZUN_KEZD, SZUN_VEGE, PAKEZ)"),
                 QStringLiteral("values (%1)").arg(marks(14))});
    const Field relationFields[] = {KEZDET,   VEGE,     HORA,      FEOR,      ELL_KOD,
                                    ELL_KEZD, ELL_VEGE, SZUN_KEZD, SZUN_VEGE, PAKEZD};

    int done = 0;
    QList<QVariant> params;
    for (const ReportLine &line : lines) {
        const int at = done++;
        if (progress) progress(at, int(lines.size()));
        params.clear();
        for (int f = 0; f < FieldCount; ++f)
            params << line.values[f];
        if (line[JAVITAS] == u"E") params[JAVITAS] = QStringLiteral("N");
        if (!archive.run(params, error)) return false;

        params.clear();
        const ReportLine &person = filing.persons ? (*filing.persons)[at] : line;
        for (int i = 0; i < int(std::size(personFields)); ++i)
            params << (personWidths[i] > 0 ? person[personFields[i]].left(personWidths[i])
                                           : person[personFields[i]]);
        params << line[TAJ];
        if (!personUpdate.run(params, error)) return false;
        if (personUpdate.q.rowsAffected() == 0) {
            params.prepend(params.takeLast());
            if (!personInsert.run(params, error)) return false;
        }

        const QList<QVariant> keys = {line[TAJ], line[FOGLALK_ID], line[JOGCIM], line[JEL_TIP]};
        if (line[JAVITAS] == u"I") {
            if (!relationDelete.run(QList<QVariant>(keys) << line[KEZDET] << line[VEGE], error))
                return false;
        } else if (line[JAVITAS] != u"E") {
            QList<QVariant> values;
            for (Field f : relationFields)
                values << line[f];
            const bool employment =
                line[JOGCIM] == u"1101" && !(filing.external && line[FEOR].isEmpty());
            Statement &update = employment ? relationUpdate1101 : relationUpdate;
            params = values + keys;
            if (employment) params << line[FEOR];
            if (!update.run(params, error)) return false;
            if (update.q.rowsAffected() == 0 && !relationInsert.run(keys + values, error))
                return false;
        }
    }

    const QVariantMap &employer = filing.employer;
    QVariantMap head{{QStringLiteral("JEL_TIP"), filing.type},
                     {QStringLiteral("JEL_SZAM"), filing.sequence},
                     {QStringLiteral("JEL_TETE"), filing.items},
                     {QStringLiteral("FAJL_NEV"), filing.fileName},
                     {QStringLiteral("OEP_NEV"), QString()},
                     {QStringLiteral("KESZ_DAT"), filing.today},
                     {QStringLiteral("FOGLALK_ID"), filing.employerId},
                     {QStringLiteral("SZ_CIM_JEL"), employer.value(QStringLiteral("SZ_CIM_JELL"))}};
    for (const char *f : HeaderCopy)
        head.insert(QLatin1String(f), employer.value(QLatin1String(f)));
    return StoreQuery::insert(m_data, QStringLiteral("jel_fej"), head, error);
}

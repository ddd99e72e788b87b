#include "reportgenerator.h"

#include "dialect.h"

#include "datamodule.h"
#include "hungarianorder.h"
#include "installation.h"
#include "registrydatabase.h"
#include "reportfile.h"
#include "rowreader.h"
#include "schema.h"
#include "sqlitenative.h"
#include "stagedfile.h"
#include "storefailure.h"
#include "storequery.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>

#include <span>

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

// The refusal of a report whose item line has a value that does not fit.
QString itemRefusal(const ReportFile::Line &item, const ReportFile::ReportLine &line)
{
    using namespace ReportFile;
    return refusalText(item, QStringLiteral("A(z) %1. tétel (%2 %3, TAJ: %4)")
                                 .arg(line[JEL_TETE], line[VEZ_NEV], line[UTO_NEV], line[TAJ]));
}

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral(":p%1").arg(i);
    return m.join(u", ");
}

// The width of a text column; 0 for any other.
int widthIn(const char *table, const QString &name)
{
    for (const Schema::Field &column : Schema::table(QLatin1String(table))->fields)
        if (column.name == name && column.kind == Schema::Kind::Text) return column.width;
    return 0;
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
            // The lines are counted first, then joined to their employer's seat.
            {QStringLiteral("select t1.nyilv_szam, t1.foglalk_id ,t2.ceg_nev, t1.db, t1.jel_tip, "
                            "t1.jel_szam,"),
             QStringLiteral("t2.sz_irsz, t3.telepules, t2.sz_utca, t4.kozternev, t2.sz_haz , "
                            "t2.telefon , t2.fax"),
             QStringLiteral("from (select nyilv_szam, foglalk_id, jel_tip, jel_szam, "
                            "count(foglalk_id) db from jel_temp group by nyilv_szam, foglalk_id, "
                            "jel_tip, jel_szam) t1, foglalk t2, irsz t3, koz_ter t4  "),
             QStringLiteral("where t2.id = t1.foglalk_id  and t2.sz_irsz = t3.irsz and "
                            "t2.sz_irsz_s = t3.suly and t2.sz_cim_jell = t4.kod "),
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

QByteArray ReportGenerator::fileOrderKey(const ReportFile::ReportLine &l)
{
    using namespace ReportFile;
    // Family and first given name in the Hungarian order, then the start date, then the item
    // number (its digits right-aligned, so that the bytes compare as numbers).
    return HungarianOrder::sortKey(l[VEZ_NEV].trimmed()) +
           HungarianOrder::sortKey(l[UTO_NEV].trimmed()) + l[KEZDET].toLatin1() + '\0' +
           l[JEL_TETE].rightJustified(10, u'0').toLatin1();
}

bool ReportGenerator::fitsItsColumns(const ReportFile::ReportLine &line)
{
    static const std::vector<int> widths = [] {
        std::vector<int> w(ReportFile::FieldCount);
        for (int f = 0; f < ReportFile::FieldCount; ++f)
            w[f] = widthIn("jel_temp", QLatin1String(ReportFile::fieldName(ReportFile::Field(f))));
        return w;
    }();
    for (int f = 0; f < ReportFile::FieldCount; ++f)
        if (widths[f] > 0 && line.values[f].size() > widths[f]) return false;
    return true;
}

void ReportGenerator::sortInFileOrder(QList<ReportFile::ReportLine> &lines)
{
    using namespace ReportFile;
    QList<QPair<QByteArray, int>> keys;
    keys.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        keys << qMakePair(fileOrderKey(lines[i]), i);
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

bool ReportGenerator::forEachLine(DataModule &data, const QStringList &sql,
                                  const QList<QVariant> &params,
                                  const std::function<void(ReportFile::ReportLine &&)> &take,
                                  bool *asWritten)
{
    RowReader rows(data.db(), sql, params);
    // Field positions are found once; the line's own fields come first in the result.
    int at[ReportFile::FieldCount];
    int megye = -1, azonTip = -1, jarasKod = -1, mepNev = -1;
    bool first = true;
    while (rows.next()) {
        if (first) {
            QStringList names;
            for (int i = 0; i < rows.columnCount(); ++i)
                names << rows.columnName(i).toUpper();
            for (int f = 0; f < ReportFile::FieldCount; ++f)
                at[f] =
                    int(names.indexOf(QLatin1String(ReportFile::fieldName(ReportFile::Field(f)))));
            megye = int(names.indexOf(QStringLiteral("MEGYE")));
            azonTip = int(names.indexOf(QStringLiteral("AZON_TIP")));
            jarasKod = int(names.indexOf(QStringLiteral("JARAS_KOD")));
            mepNev = int(names.indexOf(QStringLiteral("MEP_NEV")));
            first = false;
        }
        auto value = [&](int index) { return index < 0 ? QString() : rows.text(index); };
        ReportFile::ReportLine line;
        for (int f = 0; f < ReportFile::FieldCount; ++f)
            if (at[f] >= 0) line.values[f] = rows.text(at[f], asWritten);
        if (asWritten && *asWritten && !fitsItsColumns(line)) *asWritten = false;
        line.megye = value(megye);
        line.azonTip = value(azonTip);
        line.jarasKod = value(jarasKod);
        line.mepNev = value(mepNev);
        take(std::move(line));
    }
    return rows.lastError().isEmpty();
}

std::optional<QList<ReportFile::ReportLine>>
ReportGenerator::readLines(DataModule &data, const QStringList &sql, const QList<QVariant> &params)
{
    QList<ReportFile::ReportLine> rows;
    if (!forEachLine(data, sql, params,
                     [&](ReportFile::ReportLine &&line) { rows << std::move(line); }))
        return std::nullopt;
    return rows;
}

QString ReportGenerator::floppyFolder()
{
    const QString folder = Settings::read(QStringLiteral("Floppy"));
#ifdef Q_OS_WIN
    const QString drive = QStringLiteral("A:\\");
#else
    const QString drive = QStringLiteral("/media/floppy");
#endif
    return folder.trimmed().isEmpty() ? drive : folder;
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

namespace
{
// A line of the file on its way: its place in the file order and its bytes in the code page,
// coded only when every line is in (the key comes from the first line in that order).
struct PlacedLine {
    QByteArray order;
    QByteArray plain;
};
} // namespace

ReportGenerator::Result ReportGenerator::make(const PendingReport &report, const Options &options,
                                              const Progress &progress)
{
    Result made = Dialect::retryOnConflict([&] {
        Transaction transaction(m_data.db());
        Result r;
        if (!transaction.isOpen()) {
            r.error = QStringLiteral("a tranzakció nem indítható");
            return r;
        }
        // Another clerk's making of this report, a receiving of one or a line added to it waits
        // until this one is filed; what it then reads is what this one left.
        if (!Dialect::lockReports(m_data.db(), report.employerId, report.type, &r.error)) return r;
        return makeIn(transaction, report, options, progress);
    });
    // A clerk kept waiting for another's lock is told so, not only that the making failed; one
    // whose connection the server dropped, that it is gone, whatever step noticed it.
    if (!made.ok && made.error == StoreFailure::busyText()) made.refusal = made.error;
    if (!made.ok && made.refusal.isEmpty()) made.error = m_data.failureReason(made.error);
    return made;
}

ReportGenerator::Result ReportGenerator::makeIn(Transaction &transaction,
                                                const PendingReport &report, const Options &options,
                                                const Progress &progress)
{
    using namespace ReportFile;
    Result r;
    const auto employers = StoreQuery::records(
        m_data, {QStringLiteral("select * from foglalk"), QStringLiteral("where id = :ny")},
        {report.employerId});
    if (!employers || employers->isEmpty()) {
        r.error = QStringLiteral("a jelentés sorai vagy a bejelentő nem olvashatók");
        return r;
    }
    const QVariantMap employer = StoreQuery::toMap(employers->first());

    // One pass over the lines: each becomes its bytes at once, and only the lines filed one by
    // one are kept whole. Every line is built before anything is written: a value that does
    // not fit refuses the whole report (the first such line in file order is named).
    std::vector<PlacedLine> placed;
    QStringList tajs; // of every line, to find the persons reported more than once
    ReportLine first;
    QByteArray firstOrder, refusalOrder;
    // Lines under a number already filed (an outside writer's, an older installation's, a line
    // numbered a moment before another clerk filed that number) go into the next report.
    if (!movePendingAboveCompleted(m_data, report.employerId, report.type, &r.error)) return r;
    // The number the report has now: another clerk's receiving may have moved the lines on
    // since the list was read.
    const auto current =
        StoreQuery::firstText(m_data,
                              {QStringLiteral("select min(jel_szam) m from jel_temp"),
                               QStringLiteral("where foglalk_id = :ny and jel_tip = :jt")},
                              {report.employerId, report.type}, QStringLiteral("m"));
    const int sequence = current && !current->isEmpty() ? current->toInt() : report.sequence;
    const QStringList select = {
        QStringLiteral("select t1.*,"),
        QStringLiteral("t2.nyilv_szam, t2.megye, t2.azon_tip, t2.jaras_kod"),
        QStringLiteral("from jel_temp t1, foglalk t2, mep t3"),
        QStringLiteral("where t2.id = :ny and t2.id = t1.foglalk_id and t1.jel_tip = :jt"),
        QStringLiteral("and t1.jel_szam = :jsz and t2.megye = t3.megyekod")};
    const QList<QVariant> params = {report.employerId, report.type, sequence};
    bool asWritten = true;
    const bool read = forEachLine(
        m_data, select, params,
        [&](ReportLine &&line) {
            QByteArray order = fileOrderKey(line);
            LineBytes assembled = assembleBytes(ItemBlanks, itemSlots(sequence, line));
            const Line &item = assembled.line;
            if (!item.ok()) {
                if (r.refusal.isEmpty() || order < refusalOrder) {
                    r.refusal = itemRefusal(item, line);
                    refusalOrder = order;
                }
                return;
            }
            tajs << line[TAJ];
            if (placed.empty() || order < firstOrder) {
                first = line;
                firstOrder = order;
            }
            placed.push_back({std::move(order), std::move(assembled.bytes)});
        },
        &asWritten);
    if (!read || (placed.empty() && r.refusal.isEmpty())) {
        r.error = QStringLiteral("a jelentés sorai vagy a bejelentő nem olvashatók");
        return r;
    }
    if (!r.refusal.isEmpty()) return r;
    const auto key = codingKey(first[NYILV_SZAM]);
    if (!key) {
        r.error = QStringLiteral("a bejelentő azonosítója nem csak számjegy");
        return r;
    }
    r.fileName = fileNameOf(first);
    const QString shortName = ReportFile::shortName(first[JEL_TIP], first.megye, first.azonTip,
                                                    first[NYILV_SZAM], sequence);
    const int items = int(placed.size());
    const Line head =
        assemble(HeaderBlanks, headerSlots(options.version, report.type, sequence, items, shortName,
                                           options.today, employer));
    if (!head.ok()) {
        r.refusal = refusalText(
            head, QStringLiteral("A(z) \"%1\" bejelentő").arg(text(employer, "CEG_NEV")));
        return r;
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const PlacedLine &a, const PlacedLine &b) { return a.order < b.order; });
    if (!numberFree(report.employerId, report.type, sequence, &r.error)) return r;
    // The file is written as the lines come, each line's memory given back at once.
    StagedFile file;
    const std::optional<int> coding = options.coded ? key : std::nullopt;
    if (!openReportFile(m_data, file, options.folder, r.fileName, &r.error) ||
        !file.append(fileLine(head.text, coding), &r.error))
        return r;
    QByteArray chunk;
    for (PlacedLine &p : placed) {
        chunk += fileLine(p.plain, coding);
        p = {};
        if (chunk.size() > (1 << 20)) {
            if (!file.append(chunk, &r.error)) return r;
            chunk.clear();
        }
    }
    if (!file.append(chunk, &r.error) || !file.finish(&r.error)) return r;
    placed = {};
    // A person reported more than once in the report (or a line without a TAJ number) is filed
    // line by line, in file order, so that the later line wins; the store files every other
    // line in one statement per table. Such lines are rare: they are read again.
    std::sort(tajs.begin(), tajs.end());
    QSet<QString> repeated;
    for (qsizetype i = 0; i < tajs.size(); ++i)
        if (tajs[i].isEmpty() || (i > 0 && tajs[i] == tajs[i - 1])) repeated.insert(tajs[i]);
    tajs.clear();
    QList<ReportLine> oneByOne;
    if (options.lineByLine || !repeated.isEmpty()) {
        if (!forEachLine(m_data, select, params, [&](ReportLine &&line) {
                if (options.lineByLine || repeated.contains(line[TAJ])) oneByOne << std::move(line);
            })) {
            r.error = QStringLiteral("a jelentés sorai nem olvashatók");
            return r;
        }
        sortInFileOrder(oneByOne);
    }

    Filing filing{report.employerId, report.type,   sequence, items,
                  r.fileName,        options.today, employer};
    filing.lineByLine = options.lineByLine;
    filing.linesAsWritten = asWritten;
    if (!fileReport(filing, oneByOne, progress, &r.error) ||
        !StoreQuery::execute(
            m_data,
            {QStringLiteral("delete from jel_temp"), QStringLiteral("where foglalk_id = :ny"),
             QStringLiteral("and jel_szam = :jsz"), QStringLiteral("and jel_tip = :jt")},
            {report.employerId, sequence, report.type}, &r.error) ||
        !movePendingAboveCompleted(m_data, report.employerId, report.type, &r.error))
        return r;
    r.ok = commitWithFile(transaction, file, &r.path, &r.error);
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
        const LineBytes item = assembleBytes(ItemBlanks, itemSlots(sequence, line));
        if (!item.line.ok()) {
            c.refusal = itemRefusal(item.line, line);
            c.bytes.clear();
            return c;
        }
        c.bytes += fileLine(item.bytes, key);
    }
    return c;
}

namespace
{
// A mark beside a report file while it takes its name and the report is filed: a file found
// with its mark and no completed report of its name is what an interrupted making left.
QString markOf(const QString &path)
{
    return path + QStringLiteral(".keszul");
}

bool writeMark(const QString &path)
{
    QFile mark(markOf(path));
    return mark.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           mark.write("Tarvik: a jelentés készítése folyamatban.\r\n") > 0 &&
           StagedFile::syncFile(mark) && StagedFile::syncFolder(QFileInfo(path).absolutePath());
}
} // namespace

std::function<bool()> ReportGenerator::s_endsBeforeCommit;

bool ReportGenerator::commitWithFile(DataModule &data, Transaction &transaction,
                                     const QString &folder, const QString &fileName,
                                     const QByteArray &content, QString *path, QString *error)
{
    StagedFile file;
    return openReportFile(data, file, folder, fileName, error) && file.append(content, error) &&
           file.finish(error) && commitWithFile(transaction, file, path, error);
}

bool ReportGenerator::openReportFile(DataModule &data, StagedFile &file, const QString &folder,
                                     const QString &fileName, QString *error)
{
    const QString existing = folder.isEmpty() ? QString() : QDir(folder).filePath(fileName);
    if (!existing.isEmpty() && QFileInfo::exists(existing)) {
        bool leftover = false;
        if (QFileInfo::exists(markOf(existing))) {
            const auto filed = StoreQuery::any(
                data, {QStringLiteral("select 1 from jel_fej where FAJL_NEV = :f")}, {fileName});
            if (!filed) {
                *error = QStringLiteral("a kész jelentések nem olvashatók");
                return false;
            }
            leftover = !*filed;
            // The making that left the mark was filed after all: only the mark is left over.
            if (*filed) QFile::remove(markOf(existing));
        }
        if (!leftover) {
            *error = QStringLiteral("a(z) %1 fájl már létezik a mappában; egy másik jelentés "
                                    "fájlja nem írható felül")
                         .arg(fileName);
            return false;
        }
    }
    // The file goes under a temporary name beside its place and takes its name only at the end.
    return file.open(folder, fileName, error);
}

bool ReportGenerator::commitWithFile(Transaction &transaction, StagedFile &file, QString *path,
                                     QString *error)
{
    if (!writeMark(file.path())) {
        QFile::remove(markOf(file.path()));
        *error = QStringLiteral("a fájl nem írható: ") + QDir::toNativeSeparators(file.path());
        return false;
    }
    if (!file.place(error)) {
        QFile::remove(markOf(file.path()));
        return false;
    }
    *path = file.path();
    if (s_endsBeforeCommit && s_endsBeforeCommit()) {
        file.abandon();
        *error = QStringLiteral("a készítés megszakadt");
        return false;
    }
    if (!transaction.commit()) {
        // The tables stay as they were: so must the folder.
        file.undo();
        QFile::remove(markOf(file.path()));
        *error = QStringLiteral("a változások nem véglegesíthetők");
        return false;
    }
    file.keep();
    QFile::remove(markOf(file.path()));
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

namespace
{
// Two values are the same when equal or both missing, in the store's own words.
QString same(const QString &a, const QString &b)
{
    return QStringLiteral("(%1 = %2 or (%1 is null and %2 is null))").arg(a, b);
}

// A pending line's text as every write stores it: without trailing blanks, and null when empty
// (an outside writer may have left empty text in a pending line).
QString stored(const QString &value)
{
    return QStringLiteral("nullif(rtrim(%1), '')").arg(value);
}

// The relation columns a line fills, and the line's columns they come from: the keys, then the
// relation's own values.
const std::pair<const char *, const char *> RelationCopies[] = {
    {"TAJ", "TAJ"},           {"JOGCIM", "JOGCIM"},       {"JEL_TIP", "JEL_TIP"},
    {"KEZDET", "KEZDET"},     {"VEGE", "VEGE"},           {"HORA", "HORA"},
    {"FEOR", "FEOR"},         {"ELL_KOD", "ELL_KOD"},     {"ELL_KEZD", "ELL_KEZD"},
    {"ELL_VEGE", "ELL_VEGE"}, {"SZUN_KEZD", "SZUN_KEZD"}, {"SZUN_VEGE", "SZUN_VEGE"},
    {"PAKEZ", "PAKEZD"}};
const int RelationKeys = 3;

// No column a pending line is copied to is narrower than the line's own (the person register's
// narrower names are cut to it as they are copied).
bool copiesWiden()
{
    auto narrower = [](const char *table, const QString &column, const QString &source) {
        const int width = widthIn(table, column), sourceWidth = widthIn("jel_temp", source);
        return width > 0 && (sourceWidth == 0 || width < sourceWidth);
    };
    for (int f = 0; f < ReportFile::FieldCount; ++f) {
        const QString name = QLatin1String(ReportFile::fieldName(ReportFile::Field(f)));
        if (narrower("jel_tete", name, name)) return false;
    }
    for (const auto &[column, source] : RelationCopies)
        if (narrower("taj_jogcim", QLatin1String(column), QLatin1String(source))) return false;
    return true;
}
} // namespace

bool ReportGenerator::fileReport(const Filing &filing,
                                 const QList<ReportFile::ReportLine> &oneByOne,
                                 const Progress &progress, QString *error)
{
    using namespace ReportFile;
    if (!numberFree(filing.employerId, filing.type, filing.sequence, error)) return false;
    if (progress) progress(0, filing.items);
    if (!fileTogether(filing, oneByOne.isEmpty(), error) || !fileOneByOne(filing, oneByOne, error))
        return false;
    if (progress) progress(filing.items, filing.items);

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

bool ReportGenerator::numberFree(int employerId, const QString &type, int sequence, QString *error)
{
    // A number is filed once per employer and type (the start row only marks where the count
    // of the reports made elsewhere ended).
    const auto taken = StoreQuery::any(
        m_data,
        {QStringLiteral("select jel_szam from jel_fej"),
         QStringLiteral("where foglalk_id = :ny and jel_tip = :jt and jel_szam = :jsz"),
         QStringLiteral("and (fajl_nev is null or fajl_nev <> :f)")},
        {employerId, type, sequence, QStringLiteral("*INDULÓ JELENTÉS*")});
    if (!taken) {
        *error = QStringLiteral("a kész jelentések nem olvashatók");
        return false;
    }
    if (*taken) {
        *error = QStringLiteral("a(z) %1. számú %2-es jelentés már elkészült ennél a bejelentőnél")
                     .arg(sequence)
                     .arg(type);
        return false;
    }
    return true;
}

bool ReportGenerator::fileTogether(const Filing &filing, bool everyPersonOnce, QString *error)
{
    using namespace ReportFile;
    // The report's pending lines, and among them those of persons reported once: their rows in
    // the person and relation registers depend on no other line.
    const QString report =
        QStringLiteral("l.foglalk_id = :a and l.jel_tip = :b and l.jel_szam = :c");
    // A pending text as every write stores it (trimming costs the engine a copy of each value,
    // so lines known to be so are taken as they are).
    auto asStored = [&](const QString &value) {
        return filing.linesAsWritten ? value : stored(value);
    };
    // A line without a TAJ number is filed and written, but names no person: the registers
    // are left alone.
    const QString ofPerson =
        report +
        QStringLiteral(" and coalesce(%1, '') <> ''").arg(asStored(QStringLiteral("l.TAJ")));
    // When no person is reported twice, every line is such a line.
    const QString once =
        everyPersonOnce
            ? QString()
            : QStringLiteral(" and l.taj in (select s.taj from jel_temp s where s.foglalk_id = :d "
                             "and s.jel_tip = :e and s.jel_szam = :f group by s.taj having "
                             "count(*) = 1)");
    const QList<QVariant> reportParams = {filing.employerId, filing.type, filing.sequence};
    const QList<QVariant> onceParams = everyPersonOnce ? reportParams : reportParams + reportParams;
    auto run = [&](const QStringList &sql, const QList<QVariant> &params) {
        return StoreQuery::execute(m_data, sql, params, error);
    };
    const QSet<Field> upperCased = {VEZ_NEV,      UTO_NEV,   UTO_NEV_2,   SZ_VEZ_NEV,  SZ_UTO_NEV_1,
                                    SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2, SZUL_HELY};
    // Lines that fit their own columns fit every column they are copied to: the engine need
    // not test each value again (the widths are the schema's: compared once).
    static const bool widen = copiesWiden();
    const UncheckedCopy unchecked(m_data.db(), filing.linesAsWritten && widen);

    // The archive: every line as it is, "E" filed as "N"; an external report's names and birth
    // place upper-cased.
    QStringList names, values;
    for (int f = 0; f < FieldCount; ++f) {
        const QString name = QLatin1String(fieldName(Field(f)));
        names << name;
        const QString value = widthIn("jel_temp", name) > 0 ? asStored(QStringLiteral("l.") + name)
                                                            : QStringLiteral("l.") + name;
        if (f == JAVITAS)
            values << QStringLiteral("case when l.JAVITAS = 'E' then 'N' else %1 end").arg(value);
        else if (filing.external && upperCased.contains(Field(f)))
            values << QStringLiteral("upper(%1)").arg(value);
        else
            values << value;
    }
    if (!run({QStringLiteral("insert into jel_tete (%1)").arg(names.join(u", ")),
              QStringLiteral("select %1 from jel_temp l where ").arg(values.join(u", ")) + report},
             reportParams))
        return false;
    if (filing.lineByLine) return true;

    // The persons: recorded, or brought up to the line, their names cut to the register's
    // columns (an external report's names in use upper-cased).
    QStringList personNames, personValues, personSets;
    for (const Field f : {VEZ_NEV, UTO_NEV, P_KOD, O_KOD, UTO_NEV_2, SZ_VEZ_NEV, SZ_UTO_NEV_1,
                          SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2, SZUL_DAT, SZUL_HELY}) {
        const QString name = QLatin1String(fieldName(f));
        const int width = widthIn("taj", name);
        QString value = QStringLiteral("l.") + name;
        if (filing.external && (f == VEZ_NEV || f == UTO_NEV))
            value = QStringLiteral("upper(%1)").arg(value);
        if (width > 0 && width < widthIn("jel_temp", name)) {
            // A name cut short may end in a blank.
            const QString cut = stored(QStringLiteral("substr(%1, 1, %2)").arg(value).arg(width));
            value = filing.linesAsWritten
                        ? QStringLiteral("case when length(l.%1) > %2 then %3 else %4 end")
                              .arg(name)
                              .arg(width)
                              .arg(cut, value)
                        : cut;
        } else {
            value = asStored(value);
        }
        personNames << name;
        personValues << value;
        personSets << QStringLiteral("%1 = excluded.%1").arg(name);
    }
    if (!run({QStringLiteral("insert into taj (TAJ, %1)").arg(personNames.join(u", ")),
              QStringLiteral("select l.TAJ, %1 from jel_temp l where ")
                      .arg(personValues.join(u", ")) +
                  ofPerson + once,
              QStringLiteral("on conflict (TAJ) do update set ") + personSets.join(u", ")},
             onceParams))
        return false;

    // The relations: a correction or deletion removes the relation it names; a new line updates
    // the person's relation of that employer, title and type (an employment also by its
    // occupation code, which an external line carries only for type "08"), or adds one; a
    // late line changes nothing.
    const QString keys =
        QStringLiteral("l.TAJ = r.TAJ and l.FOGLALK_ID = r.FOGLALK_ID and l.JOGCIM = r.JOGCIM and "
                       "l.JEL_TIP = r.JEL_TIP");
    const QString lineFeor = asStored(QStringLiteral("l.FEOR"));
    const QString occupation = filing.external
                                   ? QStringLiteral(" and (l.JOGCIM <> '1101' or %1 is null or %2)")
                                         .arg(lineFeor, same(lineFeor, QStringLiteral("r.FEOR")))
                                   : QStringLiteral(" and (l.JOGCIM <> '1101' or %1)")
                                         .arg(same(lineFeor, QStringLiteral("r.FEOR")));
    // The relation's own values: its copies after the keys.
    QStringList relationNames, lineValues;
    for (const auto &[column, source] : std::span(RelationCopies).subspan(RelationKeys)) {
        relationNames << QLatin1String(column);
        lineValues << asStored(QStringLiteral("l.") + QLatin1String(source));
    }
    const QString relationFields = relationNames.join(u", ");
    const QString lineFields = lineValues.join(u", ");
    // Each relation row is matched through the line of its person (one at most).
    const QString matching = QStringLiteral("from jel_temp l where ") + report + once +
                             QStringLiteral(" and l.JAVITAS = '%1' and ") + keys;
    const QList<QVariant> matchParams = onceParams;
    // Only the relations of the report's persons are looked at, through the register's index.
    const QString ofPersons = QStringLiteral(
        "taj_jogcim.TAJ in (select l.TAJ from jel_temp l where %1 and l.JAVITAS = '%2') and ");
    if (!run({QStringLiteral("delete from taj_jogcim where ") +
              ofPersons.arg(report, QStringLiteral("I")) + QStringLiteral("exists (select 1 ") +
              QString(matching.arg(QStringLiteral("I")))
                  .replace(QStringLiteral("r."), QStringLiteral("taj_jogcim.")) +
              QStringLiteral(" and ") +
              same(asStored(QStringLiteral("l.KEZDET")), QStringLiteral("taj_jogcim.KEZDET")) +
              QStringLiteral(" and ") +
              same(asStored(QStringLiteral("l.VEGE")), QStringLiteral("taj_jogcim.VEGE")) +
              QStringLiteral(")")},
             reportParams + matchParams))
        return false;
    QString updated = matching.arg(QStringLiteral("N")) + occupation;
    updated.replace(QStringLiteral("r."), QStringLiteral("taj_jogcim."));
    if (!run({QStringLiteral("update taj_jogcim set (%1) = (select %2 ")
                      .arg(relationFields, lineFields) +
                  updated + QStringLiteral(")"),
              QStringLiteral("where ") + ofPersons.arg(report, QStringLiteral("N")) +
                  QStringLiteral("exists (select 1 ") + updated + QStringLiteral(")")},
             matchParams + reportParams + matchParams))
        return false;
    // The new relations are all found before the first goes in (the order makes the store read
    // them to the end first): a search of the register that reads it row by row, as a server
    // does while the register is small, would otherwise read every relation added so far.
    return run(
        {QStringLiteral("insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, %1)")
             .arg(relationFields),
         QStringLiteral("select l.TAJ, l.FOGLALK_ID, l.JOGCIM, l.JEL_TIP, %1 from jel_temp l "
                        "where ")
                 .arg(lineFields) +
             ofPerson + once +
             QStringLiteral(" and l.JAVITAS = 'N' and not exists (select 1 from taj_jogcim "
                            "r where ") +
             keys + occupation + QStringLiteral(") order by l.JEL_TETE")},
        onceParams);
}

bool ReportGenerator::fileOneByOne(const Filing &filing, const QList<ReportFile::ReportLine> &lines,
                                   QString *error)
{
    using namespace ReportFile;
    if (lines.isEmpty()) return true;
    const Field personFields[] = {VEZ_NEV,     UTO_NEV,      P_KOD,        O_KOD,     UTO_NEV_2,
                                  SZ_VEZ_NEV,  SZ_UTO_NEV_1, SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1,
                                  A_UTO_NEV_2, SZUL_DAT,     SZUL_HELY};
    // The register keeps a family name of 40 and a first given name of 15 characters while a
    // report line carries 50 and 20: the register's copy is cut to its columns, the archived
    // line and the file keep the name whole.
    QList<int> personWidths;
    QStringList personSets, personNames;
    for (Field f : personFields) {
        personWidths << widthIn("taj", QLatin1String(fieldName(f)));
        personSets
            << QStringLiteral("%1 = :p%2").arg(QLatin1String(fieldName(f))).arg(personSets.size());
        personNames << QLatin1String(fieldName(f));
    }
    Statement personUpdate(m_data, {QStringLiteral("update taj set ") + personSets.join(u", "),
                                    QStringLiteral("where taj = :t")});
    Statement personInsert(
        m_data, {QStringLiteral("insert into taj (TAJ, %1)").arg(personNames.join(u", ")),
                 QStringLiteral("values (:t, %1)").arg(marks(int(personNames.size())))});
    // An end or start that is empty on both sides counts as the same.
    Statement relationDelete(
        m_data,
        {QStringLiteral("delete from taj_jogcim"),
         QStringLiteral("where taj = :t and foglalk_id = :nyt and jogcim = :jc and "
                        "jel_tip = :jt"),
         QStringLiteral("and (kezdet = :ke or (kezdet is null and cast(:ke2 as varchar) is null))"),
         QStringLiteral("and (vege = :ve or (vege is null and cast(:ve2 as varchar) is null))")});
    const QStringList relationSet = {
        QStringLiteral("update taj_jogcim set"),
        QStringLiteral("kezdet = :ke, vege = :ve, hora = :ho, feor = :fe, "),
        QStringLiteral("ell_kod = :elk, ell_kezd = :ek, ell_vege = :ev,"),
        QStringLiteral("szun_kezd = :szk, szun_vege = :szv, pakez = :pa ")};
    const QString where =
        QStringLiteral("where taj = :t and foglalk_id = :nyt and jogcim = :jc and jel_tip = :jt");
    Statement relationUpdate(m_data, QStringList(relationSet) << where);
    // An empty occupation code matches an empty one, as the delete's dates do.
    Statement relationUpdate1101(
        m_data,
        QStringList(relationSet)
            << where + QStringLiteral(
                           " and (feor = :f or (feor is null and cast(:f2 as varchar) is null))"));
    Statement relationInsert(
        m_data, {QStringLiteral("insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, "
                                "KEZDET, VEGE, HORA, FEOR, ELL_KOD, ELL_KEZD, ELL_VEGE, "
                                "SZUN_KEZD, SZUN_VEGE, PAKEZ)"),
                 QStringLiteral("values (%1)").arg(marks(14))});
    const Field relationFields[] = {KEZDET,   VEGE,     HORA,      FEOR,      ELL_KOD,
                                    ELL_KEZD, ELL_VEGE, SZUN_KEZD, SZUN_VEGE, PAKEZD};

    QList<QVariant> params;
    for (int at = 0; at < lines.size(); ++at) {
        const ReportLine &line = lines[at];
        if (line[TAJ].trimmed().isEmpty()) continue;
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
            if (!relationDelete.run(QList<QVariant>(keys)
                                        << line[KEZDET] << line[KEZDET] << line[VEGE] << line[VEGE],
                                    error))
                return false;
        } else if (line[JAVITAS] != u"E") {
            QList<QVariant> values;
            for (Field f : relationFields)
                values << line[f];
            const bool employment =
                line[JOGCIM] == u"1101" && !(filing.external && line[FEOR].isEmpty());
            Statement &update = employment ? relationUpdate1101 : relationUpdate;
            params = values + keys;
            if (employment) params << line[FEOR] << line[FEOR];
            if (!update.run(params, error)) return false;
            if (update.q.rowsAffected() == 0 && !relationInsert.run(keys + values, error))
                return false;
        }
    }

    return true;
}

#include "completedreports.h"

#include "hungarianorder.h"

#include "datamodule.h"
#include "installation.h"
#include "registrydatabase.h"
#include "reportgenerator.h"
#include "stagedfile.h"
#include "storequery.h"

#include <QDir>

namespace
{
QString text(const QVariantMap &row, const char *field)
{
    return row.value(QLatin1String(field)).toString();
}
} // namespace

std::optional<QStringList> CompletedReports::employerNames()
{
    QStringList names;
    if (!StoreQuery::select(
            m_data, {QStringLiteral("select * from foglalk"), QStringLiteral("order by ceg_nev")},
            {}, [&](Query &q) { names << q.text(QStringLiteral("ceg_nev")); }))
        return std::nullopt;
    std::stable_sort(names.begin(), names.end(), HungarianOrder::less);
    return names;
}

std::optional<CompletedReports::Seat> CompletedReports::seat(const QString &where,
                                                             const QVariant &value)
{
    Seat seat;
    if (!StoreQuery::select(
            m_data,
            {QStringLiteral("select t1.nyilv_szam, t1.id, t1.sz_irsz, t2.telepules,"),
             QStringLiteral("t1.sz_utca, t3.kozternev, t1.sz_haz, t1.sz_emelet,"),
             QStringLiteral("t1.sz_ajto, t1.sz_epulet, t1.sz_lh"),
             QStringLiteral("from foglalk t1, irsz t2, koz_ter t3"),
             where + QStringLiteral(" and t1.sz_irsz = t2.irsz and t1.sz_irsz_s=t2.suly "),
             QStringLiteral("and t1.sz_cim_jell = t3.kod")},
            {value}, [&](Query &q) {
                if (seat.id >= 0) return;
                seat.id = q.integer(QStringLiteral("id"));
                seat.postcode = q.text(QStringLiteral("sz_irsz"));
                seat.settlement = q.text(QStringLiteral("telepules"));
                QStringList street;
                for (const char *f : {"sz_utca", "kozternev", "sz_haz", "sz_emelet", "sz_ajto",
                                      "sz_epulet", "sz_lh"})
                    street << q.text(QLatin1String(f));
                seat.street = street.join(u' ');
            }))
        return std::nullopt;
    return seat;
}

std::optional<CompletedReports::Seat> CompletedReports::seatByName(const QString &name)
{
    return seat(QStringLiteral("where ceg_nev = :cn"), name);
}

std::optional<CompletedReports::Seat> CompletedReports::seatById(int employerId)
{
    return seat(QStringLiteral("where t1.id = :id"), employerId);
}

std::optional<QList<QVariantMap>> CompletedReports::reports(int employerId, const QString &type)
{
    return StoreQuery::maps(
        m_data,
        {QStringLiteral("select * from jel_fej"),
         QStringLiteral("where jel_tip = :jt and foglalk_id = :nysz and jel_tete <> :jt2"),
         QStringLiteral("order by jel_szam desc")},
        {type.left(2), employerId, 0});
}

std::optional<QVariantMap> CompletedReports::reportByFileName(const QString &fileName)
{
    // Start-number rows carry a name of their own and no lines: they are no report to repeat.
    const auto rows = StoreQuery::maps(m_data,
                                       {QStringLiteral("select * from jel_fej"),
                                        QStringLiteral("where fajl_nev = :fn and jel_tete <> :n"),
                                        QStringLiteral("order by jel_szam desc")},
                                       {fileName, 0});
    if (!rows) return std::nullopt;
    return rows->isEmpty() ? QVariantMap() : rows->first();
}

std::optional<QList<ReportFile::ReportLine>> CompletedReports::lines(const QVariantMap &report)
{
    // In the order of the made file.
    auto lines = ReportGenerator::readLines(
        m_data,
        {QStringLiteral("select t1.* ,"), QStringLiteral("t2.nyilv_szam, t2.megye, t3.mep_nev"),
         QStringLiteral("from jel_tete t1, foglalk t2, mep t3"),
         QStringLiteral("where t2.id = :ny and t1.foglalk_id = t2.id and t1.jel_tip = :jt and "
                        "t1.jel_szam = :jsz "),
         QStringLiteral("and t2.megye = t3.megyekod"), QStringLiteral("order by t1.jel_tete")},
        {report.value(QStringLiteral("FOGLALK_ID")), text(report, "JEL_TIP"),
         report.value(QStringLiteral("JEL_SZAM"))});
    if (lines) ReportGenerator::sortInFileOrder(*lines);
    return lines;
}

std::optional<PrintedForms::CompletedReport> CompletedReports::formsOf(const QVariantMap &report,
                                                                       const QString &shownName)
{
    const auto lines = this->lines(report);
    const auto seat = seatById(report.value(QStringLiteral("FOGLALK_ID")).toInt());
    if (!lines || !seat) return std::nullopt;
    PrintedForms::CompletedReport r;
    r.fileName = text(report, "FAJL_NEV");
    r.name = shownName;
    if (r.name.isEmpty()) {
        const auto current = StoreQuery::firstText(
            m_data,
            {QStringLiteral("select ceg_nev from foglalk"), QStringLiteral("where id = :ny")},
            {report.value(QStringLiteral("FOGLALK_ID"))}, QStringLiteral("ceg_nev"));
        if (!current) return std::nullopt;
        r.name = *current;
    }
    r.declarationName = text(report, "CEG_NEV");
    r.postcode = seat->postcode;
    r.settlement = seat->settlement;
    r.street = seat->street;
    r.phone = text(report, "TELEFON");
    r.fax = text(report, "FAX");
    r.type = text(report, "JEL_TIP");
    r.lines = *lines;
    return r;
}

QString CompletedReports::repeatFolder(const Installation &installation)
{
    QString folder = Settings::read(QStringLiteral("Alap ismet"));
    if (folder.trimmed().isEmpty()) folder = installation.path(QStringLiteral("Text"));
    QDir().mkpath(folder);
    return folder;
}

QString CompletedReports::pathLabel(const Installation &installation)
{
    const QString folder = Settings::read(QStringLiteral("Alap ismet"));
    if (folder.trimmed().isEmpty())
        return installation.programFolder() + QStringLiteral("Text") + QDir::separator();
    return folder.endsWith(u'/') || folder.endsWith(u'\\') ? folder : folder + QDir::separator();
}

QString CompletedReports::madeMessage(const QString &path)
{
    return QStringLiteral("A jelentés fájl elkészült!\n\rHelye: ") + QDir::toNativeSeparators(path);
}

CompletedReports::Result CompletedReports::remake(const QVariantMap &report, const QString &folder,
                                                  const QString &version)
{
    using namespace ReportFile;
    Result r;
    const QString fileName = text(report, "FAJL_NEV");
    auto fail = [&](const QString &message, const QString &error) {
        r.message = message;
        r.error = error;
        return r;
    };
    const QString failed = QStringLiteral("A jelentés fájl nem készült el: %1").arg(fileName);
    const auto employers = StoreQuery::maps(
        m_data, {QStringLiteral("select * from foglalk"), QStringLiteral("where id = :ny")},
        {report.value(QStringLiteral("FOGLALK_ID"))});
    const auto lines = this->lines(report);
    if (!employers || !lines) return fail(failed, QStringLiteral("az adatok nem olvashatók"));
    if (employers->isEmpty())
        return fail(failed, QStringLiteral("a jelentés bejelentője nincs a nyilvántartásban"));
    const QVariantMap &employer = employers->first();

    // The key is that of the identifier the name was made from.
    const QChar kind = fileName.size() > 5 ? fileName[5] : QChar();
    const QString identifier = kind == u'A'   ? text(report, "ADO_SZAM")
                               : kind == u'T' ? text(report, "FSZLA").left(8)
                                              : text(report, "NYILV_SZAM").trimmed();
    const auto key = codingKey(identifier);
    if (!key)
        return fail(QStringLiteral("A(z) \"%1\" bejelentő azonosítója (%2) nem csak számjegyekből "
                                   "áll,\n\ra jelentés fájl nem készíthető el !")
                        .arg(text(employer, "CEG_NEV"), identifier),
                    QStringLiteral("kódolási kulcs"));

    const int sequence = report.value(QStringLiteral("JEL_SZAM")).toInt();
    const ReportGenerator::Content content = ReportGenerator::buildContent(
        headerSlots(version, text(report, "JEL_TIP"), sequence,
                    report.value(QStringLiteral("JEL_TETE")).toInt(), shortNameOf(fileName),
                    text(report, "KESZ_DAT"), employer),
        text(employer, "CEG_NEV"), *lines, sequence, key);
    if (!content.refusal.isEmpty()) return fail(content.refusal, QString());

    StagedFile file;
    if (!file.write(folder, fileName, content.bytes, &r.error) || !file.place(&r.error)) {
        r.message = failed + QStringLiteral("\n\r") + r.error;
        return r;
    }
    file.keep();
    r.ok = true;
    r.path = file.path();
    r.message = madeMessage(r.path);
    return r;
}

#include "referencefiles.h"

#include "datetext.h"
#include "query.h"

#include <QFileInfo>

namespace ReferenceFiles
{

namespace
{

QList<QVariant> pick(const QStringList &fields, std::initializer_list<int> indexes)
{
    QList<QVariant> values;
    values.reserve(qsizetype(indexes.size()) + 2); // room for the dates some tables add
    for (int i : indexes)
        values << fields[i];
    return values;
}

// A blank validity date is a typed null; anything else must be a real date.
std::optional<QVariant> validityDate(const QString &text, QString *error)
{
    if (text.trimmed().isEmpty()) return Query::null();
    if (!DateText::isValid(text)) {
        *error = QStringLiteral("Hibás dátum : \"%1\"").arg(text);
        return std::nullopt;
    }
    return QVariant(text);
}

QList<ReferenceFile> build()
{
    auto insert = [](const char *table, const char *columns, const char *values) {
        return QStringList{QStringLiteral("insert into ") + QLatin1String(table),
                           QLatin1String(columns), QStringLiteral("values"), QLatin1String(values)};
    };
    return {
        {QStringLiteral("rbtn_b"), QStringLiteral("jogcim"), QStringLiteral("Jogcim"),
         QStringLiteral("OEP->Jogviszony adatok beolvasása : BSJ_JOG.TXT"),
         QStringLiteral("bsj_jog.txt"),
         QStringLiteral("Jogviszony adatok (bsj_jog.txt)|bsj_jog.txt"), u',',
         QStringLiteral("delete from jogcim"),
         insert("jogcim",
                "(JOGCIMKOD,JOGCIM,ADATL_TIP,ELLATAS,SZUNETEL,MUNKAIDO,ERV_KEZD,ERV_VEGE)",
                "(:a, :b, :c, :d, :e, :f, :g, :h)"),
         8,
         [](const QStringList &f, QString *error) -> QList<QVariant> {
             QList<QVariant> values = pick(f, {0, 1, 2, 3, 4, 5});
             for (int i : {6, 7}) {
                 const auto date = validityDate(f[i], error);
                 if (!date) return {};
                 values << *date;
             }
             return values;
         }},
        {QStringLiteral("rbtn_f"), QStringLiteral("MEP"), QStringLiteral("Mep"),
         QStringLiteral("OEP->MEP adatok beolvasása : MEP.TXT"), QStringLiteral("mep.txt"),
         QStringLiteral("MEP adatok (mep.txt)|mep.txt"), u',', QStringLiteral("delete from MEP"),
         insert("MEP", "(MEGYEKOD, MEP_NEV)", "( :a, :b )"), 2,
         [](const QStringList &f, QString *) {
             return pick(f, {0, 1});
         }},
        {QStringLiteral("rbtn_g"), QStringLiteral("ORSZAG"), QStringLiteral("Orszag"),
         QStringLiteral("OEP->Országok adatok beolvasása : ORSZAG.TXT"),
         QStringLiteral("orszag.txt"), QStringLiteral("Ország adatok (orszag.txt)|orszag.txt"),
         u',', QStringLiteral("delete from ORSZAG"),
         insert("ORSZAG", "( NEV, ISO_SZAM)", "( :a, :b )"), 3,
         [](const QStringList &f, QString *) {
             return pick(f, {1, 2});
         }},
        {QStringLiteral("rbtn_h"), QStringLiteral("IRSZ"), QStringLiteral("Irsz"),
         QStringLiteral("OEP->Irányítószámok beolvasása : IRSZ.TXT"), QStringLiteral("irsz.txt"),
         QStringLiteral("Irányítoszám adatok (irsz.txt)|irsz.txt"), u',',
         QStringLiteral("delete from IRSZ"),
         insert("IRSZ", "(IRSZ, SULY, TELEPULES)", "( :a, :b, :c )"), 3,
         [](const QStringList &f, QString *) {
             return pick(f, {0, 1, 2});
         }},
        {QStringLiteral("rbtn_i"), QStringLiteral("KOZ_TER"), QStringLiteral("Koz_ter"),
         QStringLiteral("OEP->Közterületek beolvasása : KOZ_TER.TXT"),
         QStringLiteral("koz_ter.txt"),
         QStringLiteral("Közterület adatok (koz_ter.txt)|koz_ter.txt"), u',',
         QStringLiteral("delete from KOZ_TER"), insert("KOZ_TER", "(KOD, KOZTERNEV)", "( :a, :b )"),
         2,
         [](const QStringList &f, QString *) {
             return pick(f, {0, 1});
         }},
        {QStringLiteral("rbtn_j"), QStringLiteral("FEOR"), QStringLiteral("Feor"),
         QStringLiteral("OEP->FEOR adatok beolvasása : FEOR.TXT"), QStringLiteral("feor.txt"),
         QStringLiteral("FEOR adatok (feor.txt)|feor.txt"), u';',
         QStringLiteral("delete from FEOR"), insert("FEOR", "( FEOR_SZAM, FEOR_MEG)", "( :a, :b )"),
         3,
         [](const QStringList &f, QString *) {
             return pick(f, {1, 2});
         }},
        {QStringLiteral("rbtn_l"), QStringLiteral("NYUGDIJ"), QStringLiteral("Nyugdij"),
         QStringLiteral("OEP->Nyugdíjpénztár adatok beolvasása : MNYPT.TXT"),
         QStringLiteral("mnypt.txt"), QStringLiteral("Nyugdíjpénztár adatok (mnypt.txt)|mnypt.txt"),
         u',', QStringLiteral("delete from NYUGDIJ"),
         insert("NYUGDIJ", "(PKOD, PKODMEGN)", "( :a, :b )"), 2,
         [](const QStringList &f, QString *) {
             return QList<QVariant>{f[0], f[1].left(150)};
         }},
        {QStringLiteral("rbtn_jar"), QStringLiteral("JARASOK"), QStringLiteral("Jarasok"),
         QStringLiteral("OEP->FEOR adatok beolvasása : JARASOK.TXT"), QStringLiteral("jarasok.txt"),
         QStringLiteral("Járások törzsadatok (jarasok.txt)|jarasok.txt"), u',',
         QStringLiteral("delete from Jarasok"),
         insert("JARASOK", "(ID, ADO_SZAM, MEGYE_KOD, JARAS_KOD, JARAS_NEV, ERV_KEZD, ERV_VEGE)",
                "( :a, :b, :C, :D, :E, :F, :G )"),
         7,
         [](const QStringList &f, QString *) {
             return pick(f, {0, 1, 2, 3, 4, 5, 6});
         }},
    };
}

} // namespace

const QList<ReferenceFile> &all()
{
    static const QList<ReferenceFile> files = build();
    return files;
}

const ReferenceFile *byRadio(const QString &radio)
{
    for (const ReferenceFile &f : all())
        if (f.radio == radio) return &f;
    return nullptr;
}

const ReferenceFile *byFileName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    for (const ReferenceFile &f : all())
        if (name.compare(f.fileName, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

QStringList splitLine(QStringView line, QChar separator)
{
    QStringList fields;
    fields.reserve(line.count(separator) + 1);
    qsizetype start = 0;
    while (start < line.size()) {
        const qsizetype at = line.indexOf(separator, start);
        if (at < 0) {
            fields << line.mid(start).toString();
            break;
        }
        fields << line.mid(start, at - start).toString();
        start = at + 1;
    }
    return fields;
}

} // namespace ReferenceFiles

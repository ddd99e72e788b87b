#include "datasetgrid.h"

#include "datamodule.h"
#include "registrydatabase.h"

namespace DataSetGrid
{

const QList<Row> &rows()
{
    auto count = [](const char *sql) { return QStringList{QString::fromUtf8(sql)}; };
    static const QList<Row> all = {
        {QStringLiteral("rbtn_a"),
         QStringLiteral("Foglalkoztatói adatbázis"),
         count("select count(*) db from foglalk "),
         {},
         QStringLiteral("Fogl")},
        {QStringLiteral("rbtn_b"),
         QStringLiteral("Biztosítotti jogcímek"),
         count("select count(*) db from jogcim "),
         {},
         QStringLiteral("Jogcim")},
        {QStringLiteral("rbtn_d"),
         QStringLiteral("Jelentett személyek adatai"),
         count("select count(*) db from taj "),
         {},
         QStringLiteral("Szem_adat")},
        {QStringLiteral("rbtn_e"),
         QStringLiteral("Jelentett személyek jogcímei"),
         count("select count(*) db from TAJ_JOGCIM "),
         {},
         QStringLiteral("Szem_jogcim")},
        {QStringLiteral("rbtn_f"),
         QStringLiteral("Egészségbiztosítási Pénztár"),
         count("select count(*) db from MEP "),
         {},
         QStringLiteral("Mep")},
        {QStringLiteral("rbtn_g"),
         QStringLiteral("Országok"),
         count("select count(*) db from ORSZAG "),
         {},
         QStringLiteral("Orszag")},
        {QStringLiteral("rbtn_h"),
         QStringLiteral("Irányítószámok, helységek "),
         count("select count(*) db from IRSZ "),
         {},
         QStringLiteral("Irsz")},
        {QStringLiteral("rbtn_i"),
         QStringLiteral("Közterületek"),
         count("select count(*) db from KOZ_TER "),
         {},
         QStringLiteral("Koz_ter")},
        {QStringLiteral("rbtn_j"),
         QStringLiteral("FEOR adatbázis"),
         count("select count(*) db from FEOR "),
         {},
         QStringLiteral("Feor")},
        {QStringLiteral("rbtn_k"),
         QStringLiteral("Jelszavak, felhasználók"),
         {QStringLiteral("select count(*) db from JELSZO "),
          QStringLiteral("where USER_ID <> :ui")},
         {1},
         QStringLiteral("Jelszo")},
        {QStringLiteral("rbtn_l"),
         QStringLiteral("Nyugdíjpénztárak"),
         count("select count(*) db from NYUGDIJ "),
         {},
         QStringLiteral("Nyugdij")},
        {QStringLiteral("rbtn_jar"),
         QStringLiteral("Járások"),
         count("select count(*) db from jarasok where erv_vege is null"),
         {},
         QStringLiteral("jarasok")},
        {QStringLiteral("rbtn_osszes"),
         QStringLiteral("Jelentéshez tartozó állomány(jelentésfej, tételek, jogviszonyok)"),
         {},
         {},
         QStringLiteral("Mentes")},
    };
    return all;
}

Values read(DataModule &data, const Row &row)
{
    Values v{QStringLiteral("OK"), QString(), Settings::read(row.settingsName)};
    if (row.countSql.isEmpty()) return v;
    Query q = data.query();
    for (const QString &line : row.countSql)
        q.add(line);
    for (int i = 0; i < row.params.size(); ++i)
        q.setParam(i, row.params[i]);
    if (q.open() && q.next()) v.count = QString::number(q.integer(QStringLiteral("db")));
    q.close();
    return v;
}

} // namespace DataSetGrid

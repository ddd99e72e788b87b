#include "demodata.h"

#include "datamodule.h"
#include "datetext.h"
#include "employerstore.h"
#include "registrydatabase.h"
#include "storequery.h"
#include "transaction.h"

namespace DemoData
{

namespace
{

// Two employers for trying the program: an ordinary company and the prison service, recorded
// through the register's own saving code.
bool addDemoEmployers(DataModule &data, QString *error)
{
    auto employer = [](const char *name, const char *tax, const char *postcode, const char *street,
                       const char *house, const char *district, const char *founded,
                       const char *bank) {
        return QVariantMap{{"CEG_NEV", QString::fromUtf8(name)},
                           {"ADO_SZAM", QString::fromLatin1(tax)},
                           {"AZON_TIP", "0"},
                           {"TBKIFH", "0"},
                           {"TAKISZ", "0"},
                           {"BANKSZAM", QString::fromLatin1(bank)},
                           {"JARAS_KOD", QString::fromLatin1(district)},
                           {"MEGYE", "010"},
                           {"SZ_IRSZ", QString::fromLatin1(postcode)},
                           {"SZ_IRSZ_S", "0"},
                           {"SZ_CIM_JELL", "001"},
                           {"SZ_UTCA", QString::fromUtf8(street)},
                           {"SZ_HAZ", QString::fromLatin1(house)},
                           {"TELEFON", "06-1-5550100"},
                           {"UGYVEZETO", "MINTA PÉTER"},
                           {"EMAIL", "berszamfejtes@pelda.hu"},
                           {"CEG_INDUL", QString::fromLatin1(founded)}};
    };
    EmployerStore store(data);
    const QList<QVariantMap> employers = {
        employer("DEMO KERESKEDELMI KFT", "12345676242", "1011", "Fő", "12", "020", "2010.01.04",
                 "1234567610000001"),
        employer("BÜNTETÉS-VÉGREHAJTÁS ORSZÁGOS PARANCSNOKSÁGA", "15752026241", "1054",
                 "Steindl Imre", "8", "024", "1995.07.01", ""),
    };
    for (const QVariantMap &fields : employers) {
        if (store.insert(fields, 1, QString()) != EmployerStore::InsertResult::Ok) {
            *error = QStringLiteral("A bemutató bejelentő nem rögzíthető: ") +
                     fields.value("CEG_NEV").toString() + QStringLiteral(": ") + store.lastError();
            return false;
        }
    }
    Settings::write(QStringLiteral("Fogl"), DateText::today());
    return true;
}

// Three persons of the demo company with relations on record (an open and an ended employment,
// an agency relation) and the completed report that recorded them, so that the report-kind
// question, the employment choice and the correction window have something to show.
bool addDemoPersons(DataModule &data, QString *error)
{
    const auto id =
        StoreQuery::firstText(data, {QStringLiteral("select id from foglalk where ado_szam = :a")},
                              {QStringLiteral("12345676242")}, QStringLiteral("id"));
    if (!id || id->isEmpty()) {
        *error = QStringLiteral("A bemutató bejelentő nem található.");
        return false;
    }
    struct Person {
        const char *taj, *family, *given, *birth, *place, *mother, *title, *start, *end, *feor,
            *hours;
    };
    const Person persons[] = {
        {"123456788", "KOVÁCS", "ANNA", "1985.04.12", "BUDAPEST", "SZABÓ", "1101", "2024.03.01", "",
         "4131", "40"},
        {"038521467", "NAGY", "PÉTER", "1979.11.30", "GYŐR", "TÓTH", "1101", "2023.01.02",
         "2025.06.30", "5113", "40"},
        {"111222337", "SZABÓ", "JÁNOS", "1990.07.08", "SZEGED", "KISS", "1202", "2025.09.01", "",
         "", ""},
    };
    const QString made = QStringLiteral("2025.10.06");
    const QString fileName = QStringLiteral("J0901A12345676242_020.001");
    Transaction transaction(data.db());
    QString failure;
    auto put = [&](const char *table, const QVariantMap &row) {
        return failure.isEmpty() && StoreQuery::insert(data, QLatin1String(table), row, &failure);
    };
    int item = 0;
    for (const Person &p : persons) {
        const QVariantMap person{{"TAJ", p.taj},
                                 {"VEZ_NEV", QString::fromUtf8(p.family)},
                                 {"UTO_NEV", QString::fromUtf8(p.given)},
                                 {"O_KOD", "348"},
                                 {"SZUL_DAT", p.birth},
                                 {"SZUL_HELY", QString::fromUtf8(p.place)},
                                 {"SZ_VEZ_NEV", QString::fromUtf8(p.family)},
                                 {"SZ_UTO_NEV_1", QString::fromUtf8(p.given)},
                                 {"A_VEZ_NEV", QString::fromUtf8(p.mother)},
                                 {"A_UTO_NEV_1", QStringLiteral("MÁRIA")}};
        QVariantMap relation{{"TAJ", p.taj},      {"FOGLALK_ID", id->toInt()},
                             {"JOGCIM", p.title}, {"JEL_TIP", "09"},
                             {"KEZDET", p.start}, {"VEGE", QString::fromLatin1(p.end)},
                             {"HORA", p.hours},   {"FEOR", p.feor}};
        QVariantMap line = person;
        line.insert(relation);
        // The report line names the employer; the relation, as report making leaves it, not.
        line.insert({{"JEL_SZAM", 1},
                     {"JEL_TETE", ++item},
                     {"JAVITAS", "N"},
                     {"PAKEZD", "N"},
                     {"NYILV_SZAM", "12345676242"}});
        relation.insert(QStringLiteral("PAKEZ"), QStringLiteral("N"));
        if (!put("taj", person) || !put("taj_jogcim", relation) || !put("jel_tete", line)) break;
    }
    put("jel_fej", {{"JEL_SZAM", 1},
                    {"JEL_TIP", "09"},
                    {"JEL_TETE", item},
                    {"FAJL_NEV", fileName},
                    {"KESZ_DAT", made},
                    {"FOGLALK_ID", id->toInt()},
                    {"CEG_NEV", "DEMO KERESKEDELMI KFT"},
                    {"ADO_SZAM", "12345676242"},
                    {"MEGYE", "010"}});
    if (!failure.isEmpty() || !transaction.commit()) {
        *error = QStringLiteral("A bemutató személyek nem rögzíthetők: ") + failure;
        return false;
    }
    Settings::write(QStringLiteral("Szem_adat"), made);
    Settings::write(QStringLiteral("Szem_jogcim"), made);
    return true;
}

} // namespace

bool add(DataModule &data, QString *error)
{
    QString dummy;
    if (!error) error = &dummy;
    return addDemoEmployers(data, error) && addDemoPersons(data, error);
}

} // namespace DemoData

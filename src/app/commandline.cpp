#include "commandline.h"

#include "appcontext.h"
#include "datetext.h"
#include "employerstore.h"
#include "referenceloader.h"
#include "registrydatabase.h"
#include "storequery.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <termios.h>
#include <unistd.h>
#endif

namespace CommandLine
{

Options parse(const QStringList &arguments)
{
    Options o;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size()) {
                o.error = QStringLiteral("Hiányzik a(z) %1 értéke.").arg(a);
                return {};
            }
            return arguments[++i];
        };
        if (a == u"--home")
            o.home = value();
        else if (a == u"--init")
            o.init = true;
        else if (a == u"--demo")
            o.demo = true;
        else if (a == u"--admin-password") {
            o.adminPassword = value();
            o.hasPassword = true;
        } else if (a == u"--load") {
            while (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QStringLiteral("--")))
                o.loadFiles << arguments[++i];
            if (o.loadFiles.isEmpty())
                o.error = QStringLiteral("A --load után meg kell adni a fájlokat.");
        } else if (a == u"--help" || a == u"-h")
            o.help = true;
        else if (a.startsWith(QStringLiteral("-platform")) ||
                 a.startsWith(QStringLiteral("-style")))
            ++i; // Qt's own options
        else
            o.error = QStringLiteral("Ismeretlen kapcsoló: %1").arg(a);
    }
    return o;
}

bool isBatch(const Options &options)
{
    return options.init || !options.loadFiles.isEmpty() || options.help || !options.error.isEmpty();
}

QString usage()
{
    return QStringLiteral(
        "Használat:\n"
        "  tarvik [--home MAPPA]                      a program indítása\n"
        "  tarvik --init [--demo] [--home MAPPA] [--admin-password JELSZÓ]\n"
        "                                             új telepítés létrehozása\n"
        "  tarvik [--home MAPPA] --load FÁJL...       OEP törzsfájlok beolvasása\n");
}

namespace
{

QString askPassword(QTextStream &out)
{
#ifdef Q_OS_UNIX
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
#endif
    out << "Az ADMIN felhasználó jelszava (legfeljebb 8 karakter): " << Qt::flush;
    QTextStream in(stdin);
    const QString password = in.readLine();
#ifdef Q_OS_UNIX
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        out << Qt::endl;
    }
#endif
    return password;
}

// Two employers for trying the program: an ordinary company and the prison service, recorded
// through the register's own saving code.
bool addDemoEmployers(DataModule &data, QTextStream &err)
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
            err << "A bemutató bejelentő nem rögzíthető: " << fields.value("CEG_NEV").toString()
                << ": " << store.lastError() << Qt::endl;
            return false;
        }
    }
    Settings::write(QStringLiteral("Fogl"), DateText::today());
    return true;
}

// Three persons of the demo company with relations on record (an open and an ended employment,
// an agency relation) and the completed report that recorded them, so that the report-kind
// question, the employment choice and the correction window have something to show.
bool addDemoPersons(DataModule &data, QTextStream &err)
{
    const auto id =
        StoreQuery::firstText(data, {QStringLiteral("select id from foglalk where ado_szam = :a")},
                              {QStringLiteral("12345676242")}, QStringLiteral("id"));
    if (!id || id->isEmpty()) {
        err << "A bemutató bejelentő nem található." << Qt::endl;
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
    QString error;
    auto put = [&](const char *table, const QVariantMap &row) {
        return error.isEmpty() && StoreQuery::insert(data, QLatin1String(table), row, &error);
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
        QVariantMap relation{{"TAJ", p.taj},
                             {"FOGLALK_ID", id->toInt()},
                             {"NYILV_SZAM", "12345676242"},
                             {"JOGCIM", p.title},
                             {"JEL_TIP", "09"},
                             {"KEZDET", p.start},
                             {"VEGE", QString::fromLatin1(p.end)},
                             {"HORA", p.hours},
                             {"FEOR", p.feor}};
        QVariantMap line = person;
        line.insert(relation);
        line.insert({{"JEL_SZAM", 1}, {"JEL_TETE", ++item}, {"JAVITAS", "N"}, {"PAKEZD", "N"}});
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
    if (!error.isEmpty() || !transaction.commit()) {
        err << "A bemutató személyek nem rögzíthetők: " << error << Qt::endl;
        return false;
    }
    Settings::write(QStringLiteral("Szem_adat"), made);
    Settings::write(QStringLiteral("Szem_jogcim"), made);
    return true;
}

} // namespace

int initialise(const Options &options, QTextStream &out, QTextStream &err)
{
    Installation installation(Installation::resolveHome(options.home));
    const QString shown = QDir::toNativeSeparators(installation.home());
    if (installation.isInstalled()) {
        out << "A telepítés már létezik, nem változott semmi: " << shown << Qt::endl;
        return 0;
    }
    const QString password = options.hasPassword ? options.adminPassword : askPassword(out);
    QString error;
    if (!installation.create(password, &error)) {
        err << "A telepítés nem sikerült: " << error << Qt::endl;
        return 1;
    }
    out << "Új telepítés: " << shown << Qt::endl;
    if (!options.demo) return 0;

    // The demo gets the bundled reference files through the same loader as the window.
    AppContext context{installation, {}, {}};
    if (!context.data.connect(installation.dataFolder(), &error)) {
        err << error << Qt::endl;
        return 1;
    }
    for (const ReferenceFile &ref : ReferenceFiles::all()) {
        const ReferenceLoader::Result r =
            ReferenceLoader(context.data).load(ref, QStringLiteral(":/refdata/") + ref.fileName);
        if (!r.ok) {
            err << r.error << Qt::endl;
            return 1;
        }
        out << ref.fileName << ": " << r.lines << " sor" << Qt::endl;
    }
    if (!addDemoEmployers(context.data, err) || !addDemoPersons(context.data, err)) return 1;
    out << "Bemutató bejelentők: 2, személyek: 3" << Qt::endl;
    return 0;
}

int load(const Options &options, QTextStream &out, QTextStream &err)
{
    Installation installation(Installation::resolveHome(options.home));
    AppContext context{installation, {}, {}};
    QString error;
    if (!context.data.connect(installation.dataFolder(), &error)) {
        err << "Az adatbázis nem nyitható meg: " << error << Qt::endl;
        return 1;
    }
    for (const QString &file : options.loadFiles) {
        const ReferenceFile *ref = ReferenceFiles::byFileName(file);
        if (!ref) {
            err << file
                << ": ismeretlen törzsfájl (bsj_jog.txt, mep.txt, orszag.txt, irsz.txt, "
                   "koz_ter.txt, feor.txt, mnypt.txt, jarasok.txt)"
                << Qt::endl;
            return 1;
        }
        const ReferenceLoader::Result r = ReferenceLoader(context.data).load(*ref, file);
        if (r.emptyFailed) err << "Hiba lépett fel a tábla ürítésnél!" << Qt::endl;
        if (!r.ok) {
            err << QString(r.error).replace(QStringLiteral("\n\r"), QStringLiteral("\n"))
                << Qt::endl;
            return 1;
        }
        out << QDir::toNativeSeparators(file) << ": " << r.lines << " sor betöltve ("
            << ref->table.toLower() << ")" << Qt::endl;
    }
    return 0;
}

} // namespace CommandLine

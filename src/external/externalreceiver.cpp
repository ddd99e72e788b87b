#include "externalreceiver.h"

#include "dialect.h"

#include "bulkinsert.h"
#include "codepage.h"
#include "datamodule.h"
#include "externalstore.h"
#include "reportgenerator.h"
#include "reportlinerules.h"
#include "reportstore.h"
#include "storequery.h"
#include "transaction.h"

#include <QDateTime>
#include <QDir>

using namespace ExternalFile;

namespace
{
QList<MemoLine> red(const QStringList &lines)
{
    QList<MemoLine> memo;
    for (const QString &l : lines)
        memo << MemoLine{l, true};
    return memo;
}

void add(QList<MemoLine> &memo, const QStringList &lines, bool isRed = false)
{
    for (const QString &l : lines)
        memo << MemoLine{l, isRed};
}

const QString ReadFailed = QStringLiteral("Hiba lépett fel az adatok olvasásánál !");
} // namespace

int ExternalReceiver::Opened::employerId() const
{
    return employer.value(QStringLiteral("ID")).toInt();
}

ExternalReceiver::Opened ExternalReceiver::open(const QString &path)
{
    Opened o;
    const QString name = bareName(path);
    if (name.size() == 24) {
        o.outcome = Opened::OldStructure;
        o.message = QStringLiteral("EZ a fájl 1.0.4.0 verzió előtti struktúra!");
        return o;
    }
    bool conversion = false;
    const QStringList refusal = nameRefusal(name, &conversion);
    if (conversion) {
        o.outcome = Opened::Message;
        o.message = refusal.first();
        return o;
    }
    if (!refusal.isEmpty()) {
        o.memo = red(refusal);
        return o;
    }
    ExternalStore store(m_data);
    const auto duplicate = store.alreadyRead(name);
    if (!duplicate) {
        o.outcome = Opened::Message;
        o.message = ReadFailed;
        return o;
    }
    if (*duplicate) {
        o.memo = red({QStringLiteral("  A kiválasztott fájl : ") + name,
                      QStringLiteral("  Ezt a sorszámú jelentést már beolvasták !"),
                      QStringLiteral("  Válasszon másikat !")});
        return o;
    }
    QString error;
    if (!read(path, &o.report, &error)) {
        o.outcome = Opened::Message;
        o.message = QStringLiteral("A fájl nem olvasható: ") + error;
        return o;
    }
    if (!identifierMatches(o.report)) {
        o.memo = red({QStringLiteral(
                          "  A fájlnévben szereplő azonosító nem egyezik a jelentésben lévővel !"),
                      QStringLiteral("  A jelentés nem olvasható be !")});
        return o;
    }
    o.header = headerView(o.report);
    const auto settlement = store.settlement(o.header.postcode);
    if (!settlement) {
        o.outcome = Opened::Message;
        o.message = ReadFailed;
        return o;
    }
    o.settlement = *settlement;
    o.postcodeFound = !settlement->isEmpty();
    if (!o.postcodeFound) {
        o.memo =
            red({QStringLiteral("  A jelentés fejsorában rossz, vagy hiányzik az irányítószám ! !"),
                 QStringLiteral("  A jelentés nem olvasható be !")});
        return o;
    }
    const auto employer = store.employer(nameTax(name), nameDistrict(name));
    if (!employer) {
        o.outcome = Opened::Message;
        o.message = ReadFailed;
        return o;
    }
    o.employer = *employer;
    if (!o.employer.isEmpty()) {
        const auto own = store.settlement(o.employer.value(QStringLiteral("SZ_IRSZ")).toString());
        o.employerSettlement = own.value_or(QString());
    }
    o.outcome = Opened::Accepted;
    add(o.memo, {QStringLiteral("  Jelentésfájl ellenőrzése.."),
                 QStringLiteral("  Szintaktikai ellenőrzés indulhat...")});
    return o;
}

ExternalReceiver::Step ExternalReceiver::syntax(const Opened &opened, bool *prisonService)
{
    Step s;
    *prisonService = isPrisonService(opened.header.tax);
    const Findings f = syntaxCheck(opened.report, *prisonService, QDate::currentDate(),
                                   ExternalStore(m_data).lookups());
    add(s.memo, f.lines);
    add(s.memo, {separator(), QStringLiteral("  Szintaktikai ellenőrzés kész .")});
    if (f.failed) {
        s.message = ReadFailed;
        return s;
    }
    if (f.errors > 0) {
        add(s.memo, {separator()});
        add(s.memo,
            {QStringLiteral("  A jelentés : %1 darab szintaktikai hibát tartalmaz.").arg(f.errors),
             QStringLiteral("  A fájl nem olvasható be !")},
            true);
        return s;
    }
    add(s.memo, {separator(), QStringLiteral("  A jelentés szintaktikailag hibátlan ."),
                 QStringLiteral("  Tartalmi ellenőrzés indulhat...")});
    s.ok = true;
    return s;
}

ExternalReceiver::Step ExternalReceiver::content(const Opened &opened, bool prisonService)
{
    Step s;
    add(s.memo, {separator()});
    ContentContext c;
    c.sequence = opened.header.sequence;
    c.items = opened.header.items;
    c.tax = taxDigits(opened.header.tax);
    c.founded = opened.header.founded;
    c.type = opened.header.type;
    c.prisonService = prisonService;
    c.today = QDate::currentDate();
    ExternalStore store(m_data);
    const Findings f = contentCheck(opened.report, c, store.lookups());
    add(s.memo, f.lines);
    add(s.memo, {QStringLiteral("  A jelentés ellenőrzése kész .")});
    if (f.failed) {
        s.message = ReadFailed;
        return s;
    }
    if (f.errors > 0) {
        add(s.memo, {separator()});
        add(s.memo,
            {QStringLiteral("  A jelentés : %1 darab hibát tartalmaz.").arg(f.errors),
             QStringLiteral("  A jelentés nem készíthető el !")},
            true);
        return s;
    }
    if (opened.employer.isEmpty()) {
        add(s.memo, {separator(),
                     QStringLiteral("  Az új foglalkoztató adatainak rögzítése az adatbázisba..")});
        QString error;
        if (!store.recordEmployer(opened.report, &error)) {
            s.message =
                QStringLiteral("Hiba lépett fel a foglalkoztató rögzítésénél !\n\r") + error;
            return s;
        }
        add(s.memo, {QStringLiteral("  A rögzítés sikeresen megtörtént.")});
    }
    add(s.memo, {separator(), QStringLiteral("  A jelentés hibátlan ."),
                 QStringLiteral("  A jelentés készítés indulhat..")});
    s.ok = true;
    return s;
}

namespace
{
using namespace ReportFile;

// The fields of an item line, as jel_temp takes them (1-based columns of the input layout).
struct Column {
    Field field;
    int from, width;
};
const Column PersonColumns[] = {
    {JAVITAS, 13, 1},        {VEZ_NEV, 77, 50},    {UTO_NEV, 127, 20},     {P_KOD, 347, 4},
    {O_KOD, 34, 3},          {JOGCIM, 351, 4},     {JEL_TIP, 1, 2},        {KEZDET, 355, 10},
    {VEGE, 365, 10},         {SZUN_KEZD, 375, 10}, {SZUN_VEGE, 385, 10},   {SZUL_DAT, 37, 10},
    {SZUL_HELY, 47, 30},     {UTO_NEV_2, 147, 20}, {SZ_VEZ_NEV, 167, 50},  {SZ_UTO_NEV_1, 217, 20},
    {SZ_UTO_NEV_2, 237, 20}, {A_VEZ_NEV, 257, 50}, {A_UTO_NEV_1, 307, 20}, {A_UTO_NEV_2, 327, 20}};
const Column BenefitColumns[] = {{HORA, 395, 2},      {FEOR, 397, 4},      {ELL_KOD, 401, 4},
                                 {ELL_KEZD, 405, 10}, {ELL_VEGE, 415, 10}, {PAKEZD, 425, 1}};
const Field UpperCased[] = {VEZ_NEV,      UTO_NEV,   UTO_NEV_2,   SZ_VEZ_NEV,  SZ_UTO_NEV_1,
                            SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2, SZUL_HELY};
} // namespace

ExternalReceiver::Made ExternalReceiver::make(const Opened &opened, bool prisonService,
                                              const Options &options, const Progress &progress)
{
    Made made = Dialect::retryOnConflict([&] {
        Transaction transaction(m_data.db());
        if (!transaction.isOpen()) {
            Made m;
            m.message = ReportGenerator::failureMessage();
            m.error = QStringLiteral("a tranzakció nem indítható");
            return m;
        }
        return makeIn(transaction, opened, prisonService, options, progress);
    });
    // A connection the server dropped is said as such, whatever step noticed it.
    if (!made.ok) made.error = m_data.failureReason(made.error);
    return made;
}

ExternalReceiver::Made ExternalReceiver::makeIn(Transaction &transaction, const Opened &opened,
                                                bool prisonService, const Options &options,
                                                const Progress &progress)
{
    Made m;
    const Report &r = opened.report;
    const QString name = r.name, tax = nameTax(name), type = opened.header.type;
    const int sequence = opened.header.sequence.toInt(), items = opened.header.items.toInt();
    add(m.memo, {separator(), QStringLiteral("  Beolvasás az átmeneti táblába indul..")});
    auto fail = [&](const QString &error) {
        m.ok = false;
        m.message = ReportGenerator::failureMessage();
        m.error = error;
        return m;
    };

    const auto employer = ExternalStore(m_data).employer(tax, nameDistrict(name));
    if (!employer || employer->isEmpty())
        return fail(QStringLiteral("a bejelentő nincs a nyilvántartásban"));
    const int id = employer->value(QStringLiteral("ID")).toInt();
    // The employer's reports of the type are this one's until it is filed.
    QString locked;
    if (!Dialect::lockReports(m_data.db(), id, type, &locked)) return fail(locked);
    // What was pending before stays pending; the clerk's own lines that carry this number move
    // on to the next free one first, so that the number names the received report's lines only.
    const auto highest = ReportStore(m_data).highestProvisionalTaj();
    const auto last =
        StoreQuery::firstText(m_data,
                              {QStringLiteral("select coalesce(max(jel_szam), 0) m from jel_fej"),
                               QStringLiteral("where foglalk_id = :ny and jel_tip = :jt")},
                              {id, type}, QStringLiteral("m"));
    if (!highest || !last) return fail(QStringLiteral("a függő tételek nem olvashatók"));
    QString error;
    if (!StoreQuery::execute(m_data,
                             {QStringLiteral("update jel_temp set jel_szam = :uj"),
                              QStringLiteral("where foglalk_id = :ny and jel_tip = :jt and "
                                             "jel_szam = :jsz")},
                             {qMax(last->toInt(), sequence) + 1, id, type, sequence}, &error))
        return fail(error);
    qint64 provisional = ReportLineRules::nextProvisionalBase(*highest);

    const bool benefits = type == u"08";
    QStringList columns = {
        QStringLiteral("insert into JEL_TEMP"),
        QStringLiteral("(JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM,"),
        QStringLiteral("VEZ_NEV, UTO_NEV, P_KOD, O_KOD, JOGCIM, JEL_TIP, KEZDET, VEGE,"),
        QStringLiteral("SZUN_KEZD, SZUN_VEGE, SZUL_DAT, SZUL_HELY, UTO_NEV_2, "
                       "SZ_VEZ_NEV, SZ_UTO_NEV_1, SZ_UTO_NEV_2, A_VEZ_NEV, "
                       "A_UTO_NEV_1, A_UTO_NEV_2")};
    QStringList values = {QStringLiteral(")"), QStringLiteral("values"),
                          QStringLiteral("( :a,:d,:b,:c,:e,:f,:g,:h,:i,:j,:k,:l,:m,:n,:p,:q,:r,:s,:"
                                         "t,:z,:x,:y, :x1, :x2, :x3")};
    if (benefits) {
        columns << QStringLiteral(",HORA, FEOR, ELL_KOD, ELL_KEZD, ELL_VEGE, PAKEZD");
        values << QStringLiteral(",:xa,:xd,:xb,:xc,:xe,:xf");
    }
    // Detainees without a TAJ number carry their sex; the column is there for every line and
    // stays empty where it does not apply.
    columns << QStringLiteral(", IMAGE");
    values << QStringLiteral(", :xy") << QStringLiteral(")");
    BulkInsert insert(m_data.db(), columns + values);
    QList<QVariant> row;

    // A person the file names more than once (or a line without a TAJ number that gets none) is
    // filed line by line, in the file's order, so that the later line wins.
    const bool detaineeNumbers = prisonService && type == u"09";
    QHash<QString, int> times;
    for (const QByteArray &raw : r.items) {
        const QString taj = trimmed(raw, 25, 9);
        if (!taj.isEmpty() || !detaineeNumbers) ++times[taj];
    }
    QList<ReportLine> lines, oneByOne, oneByOnePersons;
    bool linesFit = true;
    lines.reserve(r.items.size());
    for (int i = 0; i < r.items.size(); ++i) {
        if (progress) progress(i, items);
        const QByteArray &raw = r.items[i];
        // The line is decoded once; a byte of the code page is one character.
        const QString text = ReportFile::decodeText(raw);
        auto at = [&](int from, int width) {
            return QStringView(text).mid(from - 1, width).trimmed().toString();
        };
        ReportLine l;
        l[JEL_SZAM] = QString::number(at(3, 5).toInt());
        l[JEL_TETE] = QString::number(at(8, 5).toInt());
        l[TAJ] = at(25, 9);
        l[FOGLALK_ID] = QString::number(id);
        l[NYILV_SZAM] = text.mid(13, 11).leftJustified(11, u' ');
        for (const Column &c : PersonColumns)
            l[c.field] = at(c.from, c.width);
        if (benefits)
            for (const Column &c : BenefitColumns)
                l[c.field] = at(c.from, c.width);
        const bool alone = l[TAJ].isEmpty() ? detaineeNumbers : times.value(l[TAJ]) <= 1;
        if (detaineeNumbers && l[TAJ].isEmpty()) {
            l[TAJ] = ReportLineRules::provisionalTaj(provisional++);
            if (l[TAJ].isEmpty())
                return fail(QStringLiteral("a(z) %1. tételhez nem képezhető több ideiglenes TAJ "
                                           "szám")
                                .arg(trimmed(raw, 8, 5)));
            l[IMAGE] = trimmed(raw, 426, 1);
        }
        linesFit = linesFit && ReportGenerator::fitsItsColumns(l);
        row.clear();
        for (Field f : {JEL_SZAM,     JEL_TETE,     JAVITAS,   TAJ,         FOGLALK_ID,
                        NYILV_SZAM,   VEZ_NEV,      UTO_NEV,   P_KOD,       O_KOD,
                        JOGCIM,       JEL_TIP,      KEZDET,    VEGE,        SZUN_KEZD,
                        SZUN_VEGE,    SZUL_DAT,     SZUL_HELY, UTO_NEV_2,   SZ_VEZ_NEV,
                        SZ_UTO_NEV_1, SZ_UTO_NEV_2, A_VEZ_NEV, A_UTO_NEV_1, A_UTO_NEV_2})
            row << l[f];
        if (benefits)
            for (const Column &c : BenefitColumns)
                row << l[c.field];
        row << l[IMAGE];
        if (!insert.insert(row, l[JEL_TETE].toLongLong()))
            return fail(QStringLiteral("a(z) %1. tétel nem vehető át: %2")
                            .arg(insert.failedTag())
                            .arg(insert.lastError()));
        // The person register takes the names in use upper-cased and the rest as the line has
        // them; the filed line and the file have every name and the birth place upper-cased.
        if (!alone) {
            ReportLine person = l;
            for (Field f : {VEZ_NEV, UTO_NEV})
                person[f] = CodePage::upperSameLength(person[f]);
            oneByOnePersons << person;
        }
        for (Field f : UpperCased)
            l[f] = CodePage::upperSameLength(l[f]);
        if (!alone) oneByOne << l;
        lines << std::move(l);
    }
    if (!insert.finish())
        return fail(QStringLiteral("a(z) %1. tétel nem vehető át: %2")
                        .arg(insert.failedTag())
                        .arg(insert.lastError()));
    add(m.memo, {QStringLiteral("  Beolvasás kész."), separator(),
                 QStringLiteral("  Jelentéskészítés indul..."), separator(),
                 QStringLiteral("  Állományba írás folyamatban...")});

    QVariantMap headerEmployer = *employer;
    headerEmployer.insert(
        QStringLiteral("CEG_NEV"),
        CodePage::upperSameLength(employer->value(QStringLiteral("CEG_NEV")).toString()));
    const auto key = codingKey(tax);
    ReportGenerator generator(m_data);
    const ReportGenerator::Content content = ReportGenerator::buildContent(
        headerSlots(options.version, type, sequence, items, madeShortName(name), options.today,
                    headerEmployer),
        employer->value(QStringLiteral("CEG_NEV")).toString(), lines, sequence, key);
    if (!content.refusal.isEmpty()) return fail(content.refusal);
    m.fileName = name.left(5) + u'A' + tax + u'_' +
                 employer->value(QStringLiteral("JARAS_KOD")).toString() + u'.' +
                 nameSequence(name);
    ReportGenerator::Filing filing{id, type, sequence, items, m.fileName, options.today, *employer};
    filing.external = true;
    filing.persons = &oneByOnePersons;
    // The lines under the number are the ones written just now.
    filing.linesAsWritten = linesFit;
    if (!generator.fileReport(filing, oneByOne, progress, &error) ||
        !StoreQuery::execute(
            m_data,
            {QStringLiteral("delete from jel_temp"), QStringLiteral("where foglalk_id = :ny"),
             QStringLiteral("and jel_szam = :jsz"), QStringLiteral("and jel_tip = :jt")},
            {id, sequence, type}, &error) ||
        !ReportGenerator::movePendingAboveCompleted(m_data, id, type, &error) ||
        !ReportGenerator::commitWithFile(m_data, transaction, options.folder, m.fileName,
                                         content.bytes, &m.path, &error))
        return fail(error);
    if (progress) progress(0, items);
    add(m.memo, {QStringLiteral(" A jelentés elkészült : ") + QDir::toNativeSeparators(m.path)});

    if (options.forms) {
        const QString shortName = madeShortName(name);
        const ExternalFile::HeaderView &h = opened.header;
        const FormParty party{employer->value(QStringLiteral("CEG_NEV")).toString(), h.tax,
                              h.postcode + u' ' + opened.settlement + QStringLiteral(" , ") +
                                  h.street + u' ' + h.house + u' ' + h.floor,
                              employer->value(QStringLiteral("TELEFON")).toString(),
                              employer->value(QStringLiteral("FAX")).toString()};
        QList<ReportLine> withFund = lines;
        const QString fund = m_data.mepNev(employer->value(QStringLiteral("MEGYE")).toString());
        for (ReportLine &l : withFund)
            l.mepNev = fund;
        const QDateTime now = QDateTime::currentDateTime();
        m.sheet = Tqrp_bejelento({party, type, shortName, items, withFund, options.today});
        m.declaration =
            Tqrp_nyilatkozat({party, shortName, items, options.version, options.userName,
                              now.toString(QStringLiteral("yyyy.MM.dd")),
                              now.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"))});
        add(m.memo, {QStringLiteral("  Bejelentő lap nyomtatása folyamatban..."),
                     QStringLiteral("  Nyilatkozat nyomtatása folyamatban...")});
    }
    add(m.memo, {QStringLiteral("  A feldolgozás kész. A jelentés elkészült !")});
    m.ok = true;
    return m;
}

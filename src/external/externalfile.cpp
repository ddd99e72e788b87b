#include "externalfile.h"

#include "codepage.h"
#include "datetext.h"
#include "identifierchecks.h"
#include "reportfile.h"

#include <QFile>
#include <QFileInfo>

namespace ExternalFile
{

bool read(const QString &path, Report *report, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray all = file.readAll();
    report->path = path;
    report->name = bareName(path);
    report->header.clear();
    report->items.clear();
    QList<QByteArray> lines = all.split('\n');
    // The end of the last line leaves an empty piece behind; a last line without one does not.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        if (i == 0)
            report->header = line;
        else
            report->items << line;
    }
    return true;
}

QString column(const QByteArray &line, int from, int width)
{
    QByteArray bytes = line.mid(from - 1, width);
    if (bytes.size() < width) bytes += QByteArray(width - bytes.size(), ' ');
    return ReportFile::decodeText(bytes);
}

QString trimmed(const QByteArray &line, int from, int width)
{
    // Only the characters inside the blanks are decoded.
    const QByteArrayView all(line);
    QByteArrayView bytes = from - 1 < all.size() ? all.sliced(from - 1) : QByteArrayView();
    if (bytes.size() > width) bytes.truncate(width);
    return ReportFile::decodeText(bytes.trimmed()).trimmed();
}

QString madeFileName(const QString &name)
{
    return name.left(5) + u'A' + nameTax(name) + u'_' + nameDistrict(name) + u'.' +
           nameSequence(name);
}

QString madeShortName(const QString &name)
{
    return name.left(5) + u'A' + nameTax(name) + name.mid(20, 1) + nameSequence(name);
}

QString bareName(const QString &path)
{
    QString name = path;
    const int cut = qMax(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    if (cut >= 0) name = name.mid(cut + 1);
    return name.left(50);
}

HeaderView headerView(const Report &r)
{
    const QByteArray &h = r.header;
    HeaderView v;
    v.type = nameType(r.name);
    v.sequence = QString::number(nameSequence(r.name).toInt());
    v.items = trimmed(h, 8, 5);
    v.fileName = r.name;
    v.madeOn = trimmed(h, 41, 10);
    v.name = CodePage::upperSameLength(trimmed(h, 51, 50));
    const QString tax = nameTax(r.name);
    v.tax = tax.left(8) + u'-' + tax.mid(8, 1) + u'-' + tax.mid(9, 2);
    v.postcode = column(h, 101, 4);
    v.street = trimmed(h, 105, 50);
    v.house = trimmed(h, 155, 7);
    v.floor = trimmed(h, 162, 5);
    v.door = trimmed(h, 167, 5);
    v.building = trimmed(h, 172, 5);
    v.staircase = trimmed(h, 177, 5);
    v.phone = trimmed(h, 182, 12);
    v.fax = trimmed(h, 194, 12);
    v.email = trimmed(h, 206, 30);
    v.bank = trimmed(h, 236, 8) + u'-' + trimmed(h, 244, 8) + u'-' + trimmed(h, 252, 8);
    v.founded = trimmed(h, 263, 10);
    v.payingAgent = column(h, 283, 1) == u"I";
    v.treasury = column(h, 284, 1) == u"I";
    v.director = trimmed(h, 285, 50);
    return v;
}

QString taxDigits(const QString &shown)
{
    return shown.mid(0, 8) + shown.mid(9, 1) + shown.mid(11, 2);
}

QStringList nameRefusal(const QString &name, bool *conversion)
{
    if (conversion) *conversion = false;
    const QString start = name.left(3).toUpper();
    if ((start != u"J09" && start != u"J08") || name.mid(5, 1).toUpper() != u"K" ||
        name.size() != 28)
        return {QStringLiteral("  A kiválasztott fájl : ") + name,
                QStringLiteral("  Ez nem lehet az OEP álltal előírt jelentés fájl !"),
                QStringLiteral("  Válasszon másikat !")};
    bool number = false, sequence = false;
    const qint64 tax = nameTax(name).toLongLong(&number);
    nameSequence(name).toInt(&sequence);
    if (!number || !sequence) {
        if (conversion) *conversion = true;
        return {QStringLiteral("'%1' nem érvényes egész szám.")
                    .arg(number ? nameSequence(name) : nameTax(name))};
    }
    if (!AdoszamEllenor(tax))
        return {QStringLiteral("  A fájlnévben szereplő azonosító nem megfelelő !"),
                QStringLiteral("  A jelentés nem olvasható be !")};
    return {};
}

bool identifierMatches(const Report &report)
{
    return nameTax(report.name) == column(report.header, 335, 11);
}

bool isPrisonService(const QString &taxNumber)
{
    return taxNumber.left(8) == u"15752026";
}

namespace
{
// One check run: findings counted, a failed lookup remembered.
struct Run {
    Findings f;
    void finding(const QString &line)
    {
        f.lines << line;
        ++f.errors;
    }
    template <typename T> std::optional<T> ask(const std::optional<T> &answer)
    {
        if (!answer) f.failed = true;
        return answer;
    }
};

// A rule group of "missing / invalid / later than allowed" on one date.
enum class DateFault { None, Missing, Invalid, Late };
DateFault dateFault(const QString &text, const QDate &latest)
{
    if (text.isEmpty()) return DateFault::Missing;
    const QDate d = DateText::parse(text);
    if (!d.isValid()) return DateFault::Invalid;
    if (d > latest) return DateFault::Late;
    return DateFault::None;
}

bool containsAny(const QString &text, const QString &chars)
{
    for (QChar c : chars)
        if (text.contains(c)) return true;
    return false;
}

void headerRules(Run &run, const Report &r, const QDate &today, const Lookups &lookups)
{
    const QByteArray &h = r.header;
    const QString type = trimmed(h, 1, 2);
    if (type != u"09" && type != u"08")
        run.finding(QStringLiteral("  - Hibás a jelentés típusa a jelentés fejsorában"));
    switch (dateFault(trimmed(h, 41, 10), today)) {
    case DateFault::Missing:
        run.finding(QStringLiteral("  - Hiányzik a készítés dátuma a jelentés fejsorából !"));
        break;
    case DateFault::Invalid:
        run.finding(QStringLiteral("  - Hibás a készítés dátuma a jelentés fejsorában !"));
        break;
    case DateFault::Late:
        run.finding(QStringLiteral("  - Rossz a készítés dátuma a jelentés fejsorában !"));
        break;
    case DateFault::None:
        break;
    }
    switch (dateFault(trimmed(h, 263, 10), today)) {
    case DateFault::Missing:
        run.finding(
            QStringLiteral("  - Hiányzik a cég megalakulásának dátuma a jelentés fejsorából !"));
        break;
    case DateFault::Invalid:
        run.finding(QStringLiteral("  - Hibás cég alakulás dátum a jelentés fejsorában !"));
        break;
    case DateFault::Late:
        run.finding(
            QStringLiteral("  - Rossz a cég alakulásának időpontja a jelentés fejsorában !"));
        break;
    case DateFault::None:
        break;
    }
    bool ok = false;
    const int nameNumber = nameSequence(r.name).toInt(&ok);
    if (!ok)
        run.finding(QStringLiteral("  - Hibás a jelentés sorszáma a fájlnévben !"));
    else if (trimmed(h, 3, 5) != QString::number(nameNumber))
        run.finding(QStringLiteral(
            "  - A fejsorban lévő jelentés sorszáma eltér a fájlnévben szereplővel !!"));
    const int items = trimmed(h, 8, 5).toInt(&ok);
    if (!ok)
        run.finding(QStringLiteral("  - Hibás tételszám a jelentés fejsorában !"));
    else if (items >= 10000)
        run.finding(QStringLiteral("  - A jelentés tételszáma több mint 10000 !!"));
    if (trimmed(h, 51, 50).isEmpty())
        run.finding(QStringLiteral("  - Hiányzik a cég megnevezése a jelentés fejsorából !"));
    if (trimmed(h, 101, 4).isEmpty() || trimmed(h, 105, 50).isEmpty())
        run.finding(
            QStringLiteral("  - Hiányos a cég székhelyének megadása a jelentés fejsorából !"));
    const QString district = nameDistrict(r.name);
    if (district != u"000") {
        const auto county = run.ask(lookups.districtCounty(district));
        if (!county) return;
        if (*county != column(h, 260, 3))
            run.finding(QStringLiteral("  - A fájlnévben szereplő járáskód nem a fejsorban "
                                       "szereplő megyébe tartozik!"));
    }
    const QString county = trimmed(h, 260, 3);
    if (county.isEmpty()) {
        run.finding(QStringLiteral("  - Hiányzik a megyekód a jelentés fejsorából !"));
    } else {
        const auto exists = run.ask(lookups.countyExists(county));
        if (!exists) return;
        if (!*exists)
            run.finding(QStringLiteral("  - Hibás megyekód a jelentés fejsorában !"));
        else if (trimmed(h, 260, 2) != nameCounty(r.name))
            run.finding(QStringLiteral("  - A jelentés fejsorban lévő megyekód nem egyezik meg a "
                                       "fájlban szereplővel!"));
    }
    const QString tax = trimmed(h, 335, 11);
    if (!tax.isEmpty()) {
        const qint64 number = tax.toLongLong(&ok);
        if (!ok || !AdoszamEllenor(number))
            run.finding(QStringLiteral("  - Hibás adószám a jelentés fejsorában"));
    }
}

bool isTaj(const QString &taj)
{
    if (taj.size() != 9 || taj == u"000000000") return false;
    for (QChar c : taj)
        if (c < u'0' || c > u'9') return false;
    return TajEllenor(taj);
}

// The letters of code page 852 that give away a file written in DOS: Ő É Ö Ü ó Á Ó Ű.
bool isDosByte(quint8 b)
{
    switch (b) {
    case 138:
    case 144:
    case 153:
    case 154:
    case 162:
    case 181:
    case 224:
    case 235:
        return true;
    default:
        return false;
    }
}

void itemRules(Run &run, const QByteArray &line, bool prisonService, bool *dos)
{
    const QString n = trimmed(line, 8, 5);
    const QString type = trimmed(line, 1, 2);
    auto missing = [&](const char *what) {
        run.finding(QStringLiteral("  - %1 hiányzik a :%2-ik jelentés sorból")
                        .arg(QString::fromUtf8(what), n));
    };
    if (!prisonService && type != u"09" && !isTaj(column(line, 25, 9)))
        run.finding(QStringLiteral("  - TAJ hiba a :%1-ik jelentés sorban").arg(n));
    // An item number is filed as a number: one that is none would be filed as 0.
    bool numbered = false;
    n.toInt(&numbered);
    if (!numbered || n.startsWith(u'-') || n.startsWith(u'+'))
        run.finding(QStringLiteral("  - Hibás tételszám a :%1-ik jelentés sorban").arg(n));
    if (trimmed(line, 14, 11).isEmpty()) missing("Az adó szám");
    const QString family = trimmed(line, 77, 50);
    if (family.isEmpty())
        missing("Vezetéknév");
    else if (containsAny(family, QStringLiteral("(),")))
        run.finding(QStringLiteral("  - Érvénytelen karakter a vezetéknévben a: %1-ik jelentés "
                                   "sorban. pl.:\"(\", \")\", \",\"")
                        .arg(n));
    const QString given = trimmed(line, 127, 20);
    if (given.isEmpty())
        missing("Utónév 1");
    else if (containsAny(given, QStringLiteral("(),-")))
        run.finding(QStringLiteral("  - Érvénytelen karakter az utónévben a: %1-ik jelentés "
                                   "sorban. pl.:\"(\", \")\", \",\", \"-\"")
                        .arg(n));
    if (trimmed(line, 34, 3).isEmpty()) missing("Állampolgáráság azonosító");
    if (type == u"09" && trimmed(line, 351, 4).isEmpty()) missing("A biztosítás jogcíme");
    if (type == u"08" && !trimmed(line, 351, 4).isEmpty() && !trimmed(line, 401, 4).isEmpty())
        run.finding(QStringLiteral("  - A biztosítás jogcíme ki van töltve a :%1-ik jelentés "
                                   "sorban")
                        .arg(n));
    if (type.isEmpty()) missing("A jelentés típusa");
    for (char b : line) {
        if (!isDosByte(quint8(b))) continue;
        *dos = true;
        run.f.lines << QStringLiteral("  - DOS karakter : ") +
                           ReportFile::decodeText(QByteArray(1, b)) +
                           QStringLiteral("  a :%1-ik sorban").arg(n);
    }
}
} // namespace

Findings syntaxCheck(const Report &report, bool prisonService, const QDate &today,
                     const Lookups &lookups)
{
    Run run;
    headerRules(run, report, today, lookups);
    bool dos = false;
    for (int i = 0; i < report.items.size() && !run.f.failed; ++i)
        itemRules(run, report.items[i], prisonService, &dos);
    if (dos) run.finding(QStringLiteral("  - A jelentés DOS-karaktereket tartalmaz !"));
    return run.f;
}

namespace
{
// The fields of the layout, for naming where a control byte stands.
struct Span {
    int from, width;
    const char *name;
};
const Span HeaderSpans[] = {{1, 2, "jelentés típusa"}, {3, 5, "sorszám"},
                            {8, 5, "tételszám"},       {41, 10, "készítés dátuma"},
                            {51, 50, "cégnév"},        {101, 4, "irányítószám"},
                            {105, 50, "utca"},         {155, 7, "házszám"},
                            {162, 5, "emelet"},        {167, 5, "ajtó"},
                            {172, 5, "épület"},        {177, 5, "lépcsőház"},
                            {182, 12, "telefon"},      {194, 12, "fax"},
                            {206, 30, "e-mail"},       {236, 24, "bankszámlaszám"},
                            {260, 3, "megyekód"},      {263, 10, "alakulás dátuma"},
                            {283, 1, "kifizetőhely"},  {284, 1, "államkincstár"},
                            {285, 50, "ügyvezető"},    {335, 11, "adószám"}};
const Span ItemSpans[] = {{1, 2, "jelentés típusa"},
                          {3, 5, "sorszám"},
                          {8, 5, "tételszám"},
                          {13, 1, "javítás"},
                          {14, 11, "adószám"},
                          {25, 9, "TAJ szám"},
                          {34, 3, "állampolgárság"},
                          {37, 10, "születési dátum"},
                          {47, 30, "születési hely"},
                          {77, 50, "vezetéknév"},
                          {127, 20, "utónév 1"},
                          {147, 20, "utónév 2"},
                          {167, 50, "születési vezetéknév"},
                          {217, 20, "születési utónév 1"},
                          {237, 20, "születési utónév 2"},
                          {257, 50, "anyja vezetékneve"},
                          {307, 20, "anyja utóneve 1"},
                          {327, 20, "anyja utóneve 2"},
                          {347, 4, "magánnyugdíjpénztár"},
                          {351, 4, "jogcím"},
                          {355, 10, "kezdet"},
                          {365, 10, "vég"},
                          {375, 10, "szüneteltetés kezdete"},
                          {385, 10, "szüneteltetés vége"},
                          {395, 2, "óraszám"},
                          {397, 4, "FEOR"},
                          {401, 4, "ellátás kódja"},
                          {405, 10, "ellátás kezdete"},
                          {415, 10, "ellátás vége"},
                          {425, 1, "pályakezdő"},
                          {426, 1, "neme"}};

// The fields of a line that hold a control byte (0x00-0x1F, 0x7F): such a byte would be cut
// off or refused by the store, or stored unseen in a name.
template <std::size_t N> QStringList controlBytesIn(const QByteArray &line, const Span (&spans)[N])
{
    QStringList fields;
    for (const Span &span : spans)
        for (int i = span.from - 1; i < span.from - 1 + span.width && i < line.size(); ++i)
            if (quint8(line[i]) < 0x20 || quint8(line[i]) == 0x7F) {
                fields << QString::fromUtf8(span.name);
                break;
            }
    return fields;
}

void contentRules(Run &run, const QByteArray &line, const ContentContext &c, const Lookups &lookups)
{
    const QString n = trimmed(line, 8, 5);
    const QString type = trimmed(line, 1, 2);
    auto finding = [&](const char *text, const char *ending = "-ik jelentés sorban") {
        run.finding(QStringLiteral("  - %1 a(z) :%2%3")
                        .arg(QString::fromUtf8(text), n, QString::fromUtf8(ending)));
    };
    for (const QString &field : controlBytesIn(line, ItemSpans))
        run.finding(QStringLiteral("  - Vezérlőkarakter van a(z) %1 mezőben a(z) :%2-ik jelentés "
                                   "sorban")
                        .arg(field, n));
    bool whole = false;
    const qint64 tax = trimmed(line, 14, 11).toLongLong(&whole);
    if (!whole)
        finding("Az adószám hibás, vagy hiányos");
    else if (!AdoszamEllenor(tax))
        finding("Az adószám hibás");
    if (trimmed(line, 3, 5) != c.sequence) finding("A jelentés sorszáma nem egyezik");
    const QString mark = trimmed(line, 13, 1);
    if (mark != u"I" && mark != u"N") finding("A javítás mező rossz");
    if (trimmed(line, 14, 11) != c.tax)
        finding("A jelentés azonosító nem egyezik a foglalkozató adószámával");
    if (type != u"09" && type != u"08")
        finding("A jelentés típusa rossz");
    else if (!c.type.isEmpty() && type != c.type)
        // A line of the other type would be filed into this report and stay pending as well.
        finding("A jelentés típusa eltér a fejsorban megadottól");
    const QString taj = trimmed(line, 25, 9);
    if (type == u"09") {
        const QString start = trimmed(line, 355, 10);
        const QDate startDate = DateText::parse(start);
        if (start.isEmpty())
            finding("Hiányzik a munkaviszony kezdete", "-ik jelentés sorból");
        else if (!startDate.isValid())
            finding("A munkaviszony kezdete hibás");
        else if (startDate < DateText::parse(c.founded) || startDate > c.today.addDays(7))
            finding("Rossz a munkaviszony kezdete");
        const QString end = trimmed(line, 365, 10);
        if (!end.isEmpty() && !DateText::isValid(end)) finding("A munkaviszony vége hibás");
        if (c.prisonService) {
            if (taj.isEmpty() && !end.isEmpty()) finding("Nem lehet jogosultság vége");
            const QString sex = trimmed(line, 426, 1);
            if (sex.isEmpty())
                finding("Hiányzik a NEME mező");
            else if (sex != u"1" && sex != u"2")
                run.finding(QStringLiteral("  - Hibás a NEME mező értéke a(z) :%1-ik jelentés "
                                           "sorban : %2")
                                .arg(n, sex));
            const QString title = trimmed(line, 351, 4);
            if (title != u"2771" && title != u"2772")
                finding("Ezt a jogcímet nem lehet itt jelenteni");
            if (title == u"2771" && trimmed(line, 34, 3) != u"348")
                finding("Külföldit nem lehet ezen a jogcímen (2771) jelenteni");
        }
        if (!trimmed(line, 395, 31).isEmpty())
            finding("09-as jelentésnél a 395-425 karakterek nem tartalmazhat értéket");
    }
    const QString birth = trimmed(line, 37, 10);
    if (birth.isEmpty())
        finding("A születési dátum hiányzik");
    else if (!DateText::isValid(birth))
        finding("A születési dátum hibás");
    const QString suspended = trimmed(line, 375, 10), resumed = trimmed(line, 385, 10);
    if (!suspended.isEmpty() && !DateText::isValid(suspended))
        finding("Az szüneteltetés kezdete hibás");
    if (!resumed.isEmpty() && !DateText::isValid(resumed)) finding("Az szüneteltetés vége hibás");
    const QString title = trimmed(line, 351, 4);
    if (!title.isEmpty()) {
        const auto exists = run.ask(lookups.titleExists(title));
        if (!exists) return;
        if (!*exists) finding("Hibás jogcímkód a jelentés");
    }
    if (!taj.isEmpty() && c.prisonService && !birth.isEmpty()) {
        const auto registered = run.ask(lookups.birthDate(taj));
        if (!registered) return;
        if (!registered->isEmpty() && *registered != birth)
            finding("A jelenteni kívánt szül.dátum rossz a jelentés");
    }
}
} // namespace

Findings contentCheck(const Report &report, const ContentContext &context, const Lookups &lookups)
{
    Run run;
    for (const QString &field : controlBytesIn(report.header, HeaderSpans))
        run.finding(
            QStringLiteral("  - Vezérlőkarakter van a(z) %1 mezőben a jelentés fejsorában !")
                .arg(field));
    for (int i = 0; i < report.items.size() && !run.f.failed; ++i)
        contentRules(run, report.items[i], context, lookups);
    if (run.f.failed) return run.f;
    const QString count = QString::number(report.items.size());
    if (count != context.items)
        run.finding(QStringLiteral("  - Nem egyezik meg a jelentés sorok száma a fejsorban "
                                   "megadottal: ") +
                    count + QStringLiteral("<>") + context.items);
    if (report.items.isEmpty()) run.finding(QStringLiteral("  - A jelentés sorok szám 0 !!!"));
    return run.f;
}

} // namespace ExternalFile

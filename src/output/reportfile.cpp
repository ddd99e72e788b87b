#include "reportfile.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace ReportFile
{

QString sequenceText(int number)
{
    const QString digits = QString::number(number);
    return digits.size() >= 3 ? digits : QString(3 - digits.size(), u'0') + digits;
}

QString kindLetter(const QString &azonTip)
{
    const QString kind = azonTip.trimmed();
    if (kind.isEmpty()) return {};
    bool ok = false;
    const int n = kind.toInt(&ok);
    if (ok && n == 0) return QStringLiteral("A");
    if (ok && n == 1) return QStringLiteral("N");
    if (ok && n == 2) return QStringLiteral("T");
    return QStringLiteral("X");
}

namespace
{
QString identifierText(const QString &identifier)
{
    return (QStringLiteral("00000000000") + identifier.trimmed()).right(11);
}
} // namespace

QString fileName(const QString &type, const QString &county, const QString &azonTip,
                 const QString &identifier, const QString &district, int sequence)
{
    return u'J' + type + county.left(2) + kindLetter(azonTip) + identifierText(identifier) + u'_' +
           district + u'.' + sequenceText(sequence);
}

QString shortName(const QString &type, const QString &county, const QString &azonTip,
                  const QString &identifier, int sequence)
{
    return u'J' + type + county.left(2) + kindLetter(azonTip) + identifierText(identifier) + u'.' +
           sequenceText(sequence);
}

namespace
{
// The code page as two tables, built once: a report of ten thousand lines converts every
// value, and a converter per value costs more than the whole file.
struct CodePage {
    QString toUnicode[256];
    // The same where every byte is one character, as in Windows-1250.
    char16_t single[256] = {};
    bool allSingle = true;
    QHash<char16_t, char> fromUnicode;
    CodePage()
    {
        QStringDecoder decoder("windows-1250");
        for (int b = 0; b < 256; ++b) {
            const QString c = decoder.decode(QByteArray(1, char(b)));
            decoder.resetState();
            toUnicode[b] = c;
            if (c.size() == 1)
                single[b] = c[0].unicode();
            else
                allSingle = false;
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter)
                fromUnicode.insert(c[0].unicode(), char(b));
        }
    }
};

const CodePage &codePage()
{
    static const CodePage page;
    return page;
}
} // namespace

QString decodeText(QByteArrayView bytes)
{
    const CodePage &page = codePage();
    if (page.allSingle) {
        QString text(bytes.size(), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            out[i] = page.single[quint8(bytes[i])];
        return text;
    }
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes) {
        const QString &c = page.toUnicode[quint8(b)];
        if (c.size() == 1)
            text.append(c.front());
        else
            text.append(c);
    }
    return text;
}

std::optional<QByteArray> encode(const QString &text)
{
    const CodePage &page = codePage();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 128) {
            bytes[i] = char(c);
            continue;
        }
        const auto it = page.fromUnicode.constFind(c);
        if (it == page.fromUnicode.constEnd()) return std::nullopt;
        bytes[i] = *it;
    }
    return bytes;
}

namespace
{
bool encodable(const QString &text)
{
    const CodePage &page = codePage();
    for (QChar c : text)
        if (c.unicode() >= 128 && !page.fromUnicode.contains(c.unicode())) return false;
    return true;
}

// Checks every value against its slot and the code page, in column order; tells whether no
// value reaches into the next one's place (as in every layout here) and the line's length.
bool check(QList<Slot> &slots, int blanks, Line &line, bool *apart, qsizetype *total)
{
    const auto byColumn = [](const Slot &a, const Slot &b) { return a.column < b.column; };
    if (!std::is_sorted(slots.cbegin(), slots.cend(), byColumn))
        std::stable_sort(slots.begin(), slots.end(), byColumn);
    *apart = true;
    *total = blanks;
    for (int i = 0; i < slots.size(); ++i) {
        const Slot &s = slots[i];
        if (s.value.size() > s.width) {
            line.fault = Line::Fault::TooLong;
            line.badField = QString::fromUtf8(s.field);
            return false;
        }
        if (!encodable(s.value)) {
            line.fault = Line::Fault::NotEncodable;
            line.badField = QString::fromUtf8(s.field);
            return false;
        }
        if (i > 0 && s.column - 1 < slots[i - 1].column - 1 + slots[i - 1].value.size())
            *apart = false;
        *total += s.value.size();
    }
    return true;
}
} // namespace

Line assemble(int blanks, QList<Slot> slots)
{
    Line line;
    bool apart = true;
    qsizetype total = 0;
    if (!check(slots, blanks, line, &apart, &total)) return line;
    // Each value is inserted at its column into the blanks (the line grows by its length).
    line.text = QString(blanks, u' ');
    for (const Slot &s : slots)
        line.text.insert(s.column - 1, s.value);
    return line;
}

LineBytes assembleBytes(int blanks, QList<Slot> slots)
{
    LineBytes out;
    bool apart = true;
    qsizetype total = 0;
    if (!check(slots, blanks, out.line, &apart, &total)) return out;
    if (!apart) {
        // Values that reach into each other: inserted one by one, as the layout says.
        out.line.text = QString(blanks, u' ');
        for (const Slot &s : slots)
            out.line.text.insert(s.column - 1, s.value);
        out.bytes = encode(out.line.text).value_or(QByteArray());
        return out;
    }
    // Every value lands at its own column: the bytes are written there at once.
    const CodePage &page = codePage();
    out.bytes = QByteArray(total, ' ');
    char *bytes = out.bytes.data();
    for (const Slot &s : slots) {
        char *at = bytes + s.column - 1;
        for (QChar c : s.value)
            *at++ = c.unicode() < 128 ? char(c.unicode()) : page.fromUnicode.value(c.unicode());
    }
    return out;
}

namespace
{
QString text(const QVariantMap &row, const char *field)
{
    QString v = row.value(QLatin1String(field)).toString();
    while (v.endsWith(u' '))
        v.chop(1);
    return v;
}
} // namespace

QList<Slot> headerSlots(const QString &version, const QString &type, int sequence, int items,
                        const QString &shortFileName, const QString &madeOn, const QVariantMap &e)
{
    QList<Slot> s = {{1, 7, version, "verzió"},
                     {8, 2, type, "JEL_TIP"},
                     {10, 5, QString::number(sequence), "JEL_SZAM"},
                     {15, 5, QString::number(items), "JEL_TETE"},
                     {20, 21, shortFileName, "FAJL_NEV"},
                     {41, 21, shortFileName, "FAJL_NEV"},
                     {62, 10, madeOn, "KESZ_DAT"}};
    struct F {
        int column, width;
        const char *field;
    };
    static const F fields[] = {
        {72, 10, "NYILV_SZAM"},  {82, 14, "FSZLA"},      {96, 50, "CEG_NEV"},
        {146, 4, "SZ_IRSZ"},     {150, 1, "SZ_IRSZ_S"},  {151, 50, "SZ_UTCA"},
        {201, 3, "SZ_CIM_JELL"}, {204, 5, "SZ_HAZ"},     {209, 5, "SZ_EMELET"},
        {214, 5, "SZ_AJTO"},     {219, 5, "SZ_EPULET"},  {224, 5, "SZ_LH"},
        {229, 4, "T_IRSZ"},      {233, 1, "T_IRSZ_S"},   {234, 50, "T_UTCA"},
        {284, 3, "T_CIM_JELL"},  {287, 5, "T_HAZ"},      {292, 5, "T_EMELET"},
        {297, 5, "T_AJTO"},      {302, 5, "T_EPULET"},   {307, 5, "T_LH"},
        {312, 12, "TELEFON"},    {324, 12, "FAX"},       {336, 30, "EMAIL"},
        {366, 24, "BANKSZAM"},   {390, 1, "TBKIFH"},     {391, 1, "TAKISZ"},
        {392, 50, "UGYVEZETO"},  {442, 10, "CEG_INDUL"}, {452, 15, "CEG_AZON"},
        {467, 3, "MEGYE"},       {470, 11, "ADO_SZAM"},  {481, 3, "JARAS_KOD"}};
    for (const F &f : fields)
        s << Slot{f.column, f.width, text(e, f.field), f.field};
    return s;
}

const char *fieldName(Field field)
{
    static const char *const names[FieldCount] = {
        "JEL_SZAM",    "JEL_TETE",   "JAVITAS",      "TAJ",          "FOGLALK_ID", "NYILV_SZAM",
        "VEZ_NEV",     "UTO_NEV",    "UTO_NEV_2",    "P_KOD",        "O_KOD",      "JOGCIM",
        "JEL_TIP",     "KEZDET",     "VEGE",         "SZUN_KEZD",    "SZUN_VEGE",  "SZUL_DAT",
        "SZUL_HELY",   "SZ_VEZ_NEV", "SZ_UTO_NEV_1", "SZ_UTO_NEV_2", "A_VEZ_NEV",  "A_UTO_NEV_1",
        "A_UTO_NEV_2", "HORA",       "FEOR",         "ELL_KOD",      "ELL_KEZD",   "ELL_VEGE",
        "PAKEZD",      "IMAGE"};
    return names[field];
}

QList<Slot> itemSlots(int sequence, const ReportLine &line)
{
    QString javitas = line[JAVITAS];
    if (javitas == u"E") javitas = QStringLiteral("N");
    QList<Slot> s = {{1, 5, QString::number(sequence), "JEL_SZAM"},
                     {6, 5, line[JEL_TETE], "JEL_TETE"},
                     {11, 1, javitas, "JAVITAS"}};
    struct F {
        int column, width;
        Field field;
    };
    static const F fields[] = {{12, 9, TAJ},
                               {21, 10, SZUL_DAT},
                               {31, 30, SZUL_HELY},
                               {61, 11, NYILV_SZAM},
                               {72, 50, VEZ_NEV},
                               {122, 20, UTO_NEV},
                               {142, 20, UTO_NEV_2},
                               {162, 50, SZ_VEZ_NEV},
                               {212, 20, SZ_UTO_NEV_1},
                               {232, 20, SZ_UTO_NEV_2},
                               {252, 50, A_VEZ_NEV},
                               {302, 20, A_UTO_NEV_1},
                               {322, 20, A_UTO_NEV_2},
                               {342, 4, P_KOD},
                               {346, 3, O_KOD},
                               {349, 4, JOGCIM},
                               {353, 2, JEL_TIP},
                               {355, 10, KEZDET},
                               {365, 10, VEGE},
                               {375, 10, SZUN_KEZD},
                               {385, 10, SZUN_VEGE},
                               {395, 2, HORA},
                               {397, 4, FEOR},
                               {401, 4, ELL_KOD},
                               {405, 10, ELL_KEZD},
                               {415, 10, ELL_VEGE},
                               {425, 1, PAKEZD},
                               {426, 2, IMAGE}};
    for (const F &f : fields)
        s << Slot{f.column, f.width, line[f.field], fieldName(f.field)};
    return s;
}

std::optional<int> codingKey(const QString &identifier)
{
    QString digits = identifier;
    while (digits.endsWith(u' '))
        digits.chop(1);
    digits = digits.left(11);
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i) {
        if (!digits[i].isDigit() || digits[i].unicode() > 127) return std::nullopt;
        sum += (i + 1) * digits[i].digitValue();
    }
    return sum % 11;
}

namespace
{
// Adds (column modulo 10) + `sign` × key to each byte, wrapping within a byte, into `out`.
void shift(const QByteArray &in, int key, int sign, char *out)
{
    const auto *from = reinterpret_cast<const quint8 *>(in.constData());
    int step = 1; // column 1
    for (qsizetype i = 0, n = in.size(); i < n; ++i) {
        out[i] = char(quint8(from[i] + sign * (step + key)));
        if (++step == 10) step = 0;
    }
}
} // namespace

QByteArray code(const QByteArray &plain, int key)
{
    QByteArray out(plain.size(), Qt::Uninitialized);
    shift(plain, key, 1, out.data());
    return out;
}

QByteArray decode(const QByteArray &coded, int key)
{
    QByteArray out(coded.size(), Qt::Uninitialized);
    shift(coded, key, -1, out.data());
    return out;
}

QByteArray fileLine(const QString &text, std::optional<int> key)
{
    // Every value was checked against the code page when the line was assembled.
    return fileLine(encode(text).value_or(QByteArray()), key);
}

QByteArray fileLine(const QByteArray &plain, std::optional<int> key)
{
    QByteArray bytes(plain.size() + 2, Qt::Uninitialized);
    char *out = bytes.data();
    if (key)
        shift(plain, *key, 1, out);
    else
        std::memcpy(out, plain.constData(), size_t(plain.size()));
    out[plain.size()] = '\r';
    out[plain.size() + 1] = '\n';
    return bytes;
}

QString fieldCaption(const QString &field)
{
    static const QHash<QString, QString> captions = {{"verzió", "Programverzió"},
                                                     {"JEL_SZAM", "Jelentés sorszáma"},
                                                     {"JEL_TETE", "Tételszám"},
                                                     {"JAVITAS", "Javítás"},
                                                     {"TAJ", "TAJ szám"},
                                                     {"NYILV_SZAM", "Nyilvántartási szám"},
                                                     {"VEZ_NEV", "Vezetéknév"},
                                                     {"UTO_NEV", "Utónév"},
                                                     {"UTO_NEV_2", "2. utónév"},
                                                     {"SZ_VEZ_NEV", "Születési vezetéknév"},
                                                     {"SZ_UTO_NEV_1", "Születési utónév"},
                                                     {"SZ_UTO_NEV_2", "Születési 2. utónév"},
                                                     {"A_VEZ_NEV", "Anyja születési vezetékneve"},
                                                     {"A_UTO_NEV_1", "Anyja születési utóneve"},
                                                     {"A_UTO_NEV_2", "Anyja születési 2. utóneve"},
                                                     {"SZUL_DAT", "Születési dátum"},
                                                     {"SZUL_HELY", "Születési hely"},
                                                     {"P_KOD", "Nyugdíjpénztár"},
                                                     {"O_KOD", "Állampolgárság"},
                                                     {"JOGCIM", "Jogcím"},
                                                     {"JEL_TIP", "Jelentés típusa"},
                                                     {"KEZDET", "Jogosultság kezdete"},
                                                     {"VEGE", "Jogosultság vége"},
                                                     {"SZUN_KEZD", "Szüneteltetés kezdete"},
                                                     {"SZUN_VEGE", "Szüneteltetés vége"},
                                                     {"HORA", "Heti munkaidő"},
                                                     {"FEOR", "FEOR"},
                                                     {"ELL_KOD", "Ellátás"},
                                                     {"ELL_KEZD", "Ellátás kezdete"},
                                                     {"ELL_VEGE", "Ellátás vége"},
                                                     {"PAKEZD", "Pályakezdő"},
                                                     {"IMAGE", "Nem (férfi/nő)"},
                                                     {"FAJL_NEV", "Fájlnév"},
                                                     {"KESZ_DAT", "Készítés dátuma"},
                                                     {"FSZLA", "Folyószámla szám"},
                                                     {"CEG_NEV", "Cégnév"},
                                                     {"SZ_IRSZ", "Székhely irányítószáma"},
                                                     {"SZ_IRSZ_S", "Székhely irányítószám súlya"},
                                                     {"SZ_UTCA", "Székhely utca"},
                                                     {"SZ_CIM_JELL", "Székhely közterület jellege"},
                                                     {"SZ_HAZ", "Székhely házszám"},
                                                     {"SZ_EMELET", "Székhely emelet"},
                                                     {"SZ_AJTO", "Székhely ajtó"},
                                                     {"SZ_EPULET", "Székhely épület"},
                                                     {"SZ_LH", "Székhely lépcsőház"},
                                                     {"T_IRSZ", "Telephely irányítószáma"},
                                                     {"T_IRSZ_S", "Telephely irányítószám súlya"},
                                                     {"T_UTCA", "Telephely utca"},
                                                     {"T_CIM_JELL", "Telephely közterület jellege"},
                                                     {"T_HAZ", "Telephely házszám"},
                                                     {"T_EMELET", "Telephely emelet"},
                                                     {"T_AJTO", "Telephely ajtó"},
                                                     {"T_EPULET", "Telephely épület"},
                                                     {"T_LH", "Telephely lépcsőház"},
                                                     {"TELEFON", "Telefon"},
                                                     {"FAX", "Fax"},
                                                     {"EMAIL", "E-mail cím"},
                                                     {"BANKSZAM", "Bankszámlaszám"},
                                                     {"TBKIFH", "TB kifizetőhely"},
                                                     {"TAKISZ", "TAKISZ"},
                                                     {"UGYVEZETO", "Ügyvezető"},
                                                     {"CEG_INDUL", "Cég alakulásának ideje"},
                                                     {"CEG_AZON", "Cég azonosító"},
                                                     {"MEGYE", "Megye"},
                                                     {"ADO_SZAM", "Adószám"},
                                                     {"JARAS_KOD", "Járás"}};
    return captions.value(field, field);
}

QString refusalText(const Line &line, const QString &who)
{
    const QString what = line.fault == Line::Fault::TooLong
                             ? QStringLiteral("hosszabb, mint a jelentésben neki jutó hely")
                             : QStringLiteral("olyan karaktert tartalmaz, amely nem írható a "
                                              "jelentésbe");
    return who + QStringLiteral(" %1 adata %2.\n\rA jelentés nem készült el, javítsa az "
                                "adatot !")
                     .arg(fieldCaption(line.badField), what);
}

QString shortNameOf(const QString &fileName)
{
    const int bar = fileName.indexOf(u'_');
    if (bar < 0) return fileName;
    return fileName.left(bar) + fileName.mid(bar + 4);
}

} // namespace ReportFile

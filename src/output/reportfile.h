#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

// The layout of the report file OEP receives: its name, the header line and the item lines,
// their assembly, the optional coding and the code page. Pure functions of their values; no
// window and no table.
namespace ReportFile
{

// The fields of a report line (jel_temp, jel_tete), in table order.
enum Field {
    JEL_SZAM,
    JEL_TETE,
    JAVITAS,
    TAJ,
    FOGLALK_ID,
    NYILV_SZAM,
    VEZ_NEV,
    UTO_NEV,
    UTO_NEV_2,
    P_KOD,
    O_KOD,
    JOGCIM,
    JEL_TIP,
    KEZDET,
    VEGE,
    SZUN_KEZD,
    SZUN_VEGE,
    SZUL_DAT,
    SZUL_HELY,
    SZ_VEZ_NEV,
    SZ_UTO_NEV_1,
    SZ_UTO_NEV_2,
    A_VEZ_NEV,
    A_UTO_NEV_1,
    A_UTO_NEV_2,
    HORA,
    FEOR,
    ELL_KOD,
    ELL_KEZD,
    ELL_VEGE,
    PAKEZD,
    IMAGE,
    FieldCount
};
// The field's name in the tables.
const char *fieldName(Field field);

// One line of a report, held by field position: a report may have ten thousand of them.
struct ReportLine {
    QString values[FieldCount];
    // The employer's fields the file name needs, and its fund's name for the printed sheet.
    QString megye, azonTip, jarasKod, mepNev;

    QString &operator[](Field f) { return values[f]; }
    const QString &operator[](Field f) const { return values[f]; }
};

inline constexpr int HeaderBlanks = 484;
inline constexpr int ItemBlanks = 427;

// "1" → "001", "12" → "012"; three digits stay as they are.
QString sequenceText(int number);
// AZON_TIP 0 "A", 1 "N", 2 "T", another number "X"; nothing for an empty kind.
QString kindLetter(const QString &azonTip);
// J + type + county (2) + kind letter + identifier (11, zero-filled) + "_" + district + "." +
// sequence: 25 characters.
QString fileName(const QString &type, const QString &county, const QString &azonTip,
                 const QString &identifier, const QString &district, int sequence);
// The name without "_" and the district: 21 characters.
QString shortName(const QString &type, const QString &county, const QString &azonTip,
                  const QString &identifier, int sequence);

// One value of a line: its 1-based start column, its slot width and its text.
struct Slot {
    int column;
    int width;
    QString value;
    const char *field; // for the message when the value does not fit
};

// A line assembled from its slots, or the field whose value does not fit its slot or cannot be
// written in the code page.
struct Line {
    QString text;
    QString badField;
    enum class Fault { None, TooLong, NotEncodable } fault = Fault::None;
    bool ok() const { return fault == Fault::None; }
};

// Inserts each value at its start column into a run of blanks, in column order.
Line assemble(int blanks, QList<Slot> slots);
// The same line as its bytes in the code page, without the text (which stays empty unless the
// values overlap): report making builds ten thousand lines at a time.
struct LineBytes {
    Line line; // its fault, when it has one
    QByteArray bytes;
};
LineBytes assembleBytes(int blanks, QList<Slot> slots);

// The header: the employer row (foglalk field names), the report's type, number, item count,
// short name and the day it is made.
QList<Slot> headerSlots(const QString &version, const QString &type, int sequence, int items,
                        const QString &shortFileName, const QString &madeOn,
                        const QVariantMap &employer);
// An item: one pending line; a stored "E" is written as "N".
QList<Slot> itemSlots(int sequence, const ReportLine &line);

// The coding key: sum of position × digit of the identifier (first 11 characters, trimmed)
// modulo 11; empty when a character is not a digit.
std::optional<int> codingKey(const QString &identifier);
// Windows-1250 bytes of a line, each raised by (column modulo 10) + K, wrapping past 255.
QByteArray code(const QByteArray &plain, int key);
QByteArray decode(const QByteArray &coded, int key);
// One line of the file as written: its code-page bytes, coded when a key is given, and CR LF.
QByteArray fileLine(const QString &text, std::optional<int> key);
// The same from the line's bytes in the code page.
QByteArray fileLine(const QByteArray &plain, std::optional<int> key);

// The caption a clerk knows a field by ("Vezetéknév" for VEZ_NEV); the name itself when it has
// none.
QString fieldCaption(const QString &field);
// The message that refuses a report whose value does not fit: who (an employer or a line),
// the field by its caption and why.
QString refusalText(const Line &line, const QString &who);
// The short form of a stored file name: without "_" and the district; a name without "_" is
// already short.
QString shortNameOf(const QString &fileName);
// The line in the Hungarian Windows code page; empty optional when a character has no place
// in it.
std::optional<QByteArray> encode(const QString &text);
QString decodeText(QByteArrayView bytes);

} // namespace ReportFile

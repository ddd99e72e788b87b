#include "persontransfer.h"
#include "storefailure.h"

#include "codepage.h"
#include "datamodule.h"
#include "datetext.h"
#include "identifierchecks.h"
#include "query.h"
#include "registrydatabase.h"
#include "stagedfile.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <span>

namespace PersonTransfer
{

namespace
{
struct Slot {
    const char *field;
    int from, width; // 1-based position
};
// taj.txt and Taj_e.txt.
const Slot PersonSlots[] = {
    {"TAJ", 1, 9}, {"VEZ_NEV", 10, 40}, {"UTO_NEV", 50, 15}, {"P_KOD", 65, 4}, {"O_KOD", 69, 4}};
// tajj.txt and Tajj_e.txt.
const Slot RelationSlots[] = {{"TAJ", 1, 9},         {"NYILV_SZAM", 10, 10}, {"JOGCIM", 20, 4},
                              {"JEL_TIP", 24, 2},    {"KEZDET", 26, 10},     {"VEGE", 36, 10},
                              {"HORA", 46, 2},       {"FEOR", 48, 4},        {"ELL_KOD", 52, 4},
                              {"ELL_KEZD", 56, 10},  {"ELL_VEGE", 66, 10},   {"SZUN_KEZD", 76, 10},
                              {"SZUN_VEGE", 86, 10}, {"PAKEZ", 96, 1}};

// A file's slots, and its code page: taj.txt is of the DOS era (852), tajj.txt Windows-1250.
std::span<const Slot> slotsOf(Kind kind)
{
    if (kind == Kind::Persons) return PersonSlots;
    return RelationSlots;
}
QByteArray encode(Kind kind, const QString &text)
{
    return kind == Kind::Persons ? CodePage::toIbm852(text) : CodePage::toWin1250(text);
}
QString decode(Kind kind, const QByteArray &bytes)
{
    return kind == Kind::Persons ? CodePage::fromIbm852(bytes) : CodePage::fromWin1250(bytes);
}

const QString ExportFailed = QStringLiteral("Hiba lépett fel az exportálás közben !!");

// Why a line cannot be taken in: a TAJ number that is not nine digits with a valid check digit
// (a provisional number is one), a date that is not a date. Empty when the line is sound.
QString lineFault(std::span<const Slot> slots, const QStringList &values)
{
    for (int i = 0; i < int(slots.size()); ++i) {
        const QString field = QLatin1String(slots[i].field);
        const QString &value = values[i];
        if (field == u"TAJ") {
            if (value.isEmpty()) return QStringLiteral("hiányzik a TAJ szám");
            if (value.size() != 9 || value == u"000000000" || !TajEllenor(value))
                return QStringLiteral("a TAJ szám (%1) hibás").arg(value);
        } else if (slots[i].width == 10 && field != u"NYILV_SZAM" && !value.isEmpty() &&
                   !DateText::isValid(value)) {
            return QStringLiteral("a(z) %1 mező (%2) nem dátum").arg(field, value);
        }
    }
    return {};
}
} // namespace

std::optional<Kind> kindOfFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    if (name.startsWith(u"tajj")) return Kind::Relations;
    if (name.startsWith(u"taj")) return Kind::Persons;
    return std::nullopt;
}

QString exportFileName(Kind kind)
{
    return kind == Kind::Persons ? QStringLiteral("Taj_e.txt") : QStringLiteral("Tajj_e.txt");
}

Result exportTable(DataModule &data, Kind kind, const QString &folder)
{
    Result r;
    const QString table =
        kind == Kind::Persons ? QStringLiteral("taj") : QStringLiteral("taj_jogcim");
    auto fail = [&](const QString &error) {
        r.ok = false;
        r.message = ExportFailed;
        r.error = error;
        return r;
    };
    const std::span<const Slot> slots = slotsOf(kind);
    const int width = slots.back().from + slots.back().width - 1;

    Query q = data.query();
    q.add(QStringLiteral("select * from  ") + table);
    if (!q.open()) return fail(q.lastError());
    QByteArray content;
    int rows = 0;
    while (q.next()) {
        QString line(width, u' ');
        for (const Slot &slot : slots) {
            const QString value = q.text(QLatin1String(slot.field));
            if (value.size() > slot.width)
                return fail(
                    QStringLiteral("A(z) %1 TAJ számú személy %2 mezője (%3) hosszabb "
                                   "%4 karakternél.")
                        .arg(q.text(QStringLiteral("TAJ")), QLatin1String(slot.field), value)
                        .arg(slot.width));
            line.replace(slot.from - 1, value.size(), value);
        }
        const QByteArray bytes = encode(kind, line);
        if (decode(kind, bytes) != line)
            return fail(QStringLiteral("A(z) %1 TAJ számú személy adataiban olyan betű van, "
                                       "amely a fájl kódlapján nem írható le.")
                            .arg(q.text(QStringLiteral("TAJ"))));
        content += bytes + "\r\n";
        ++rows;
    }
    q.close();
    StagedFile file;
    QString error;
    if (!file.write(folder, exportFileName(kind), content, &error) || !file.place(&error))
        return fail(error);
    file.keep();
    r.ok = true;
    r.path = file.path();
    r.nothing = rows == 0;
    r.message = r.nothing ? QStringLiteral("Nincs exportálni való tétel !!")
                          : QStringLiteral("Az exportálás megtörtént a \n\r") +
                                QDir::toNativeSeparators(r.path) + QStringLiteral(" nevű fájlba");
    return r;
}

Result importFile(DataModule &data, Kind kind, const QString &path, const Progress &progress)
{
    Result r;
    r.path = path;
    const bool persons = kind == Kind::Persons;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.message = QStringLiteral("A fájl nem nyitható meg: ") + QDir::toNativeSeparators(path);
        r.error = file.errorString();
        return r;
    }
    Transaction transaction(data.db());
    if (!transaction.isOpen()) {
        r.message = QStringLiteral("Hiba lépett fel a beolvasás közben !");
        return r;
    }
    Query insert = data.query();
    if (persons) {
        insert.add(QStringLiteral("insert into TAJ"))
            .add(QStringLiteral("(TAJ, VEZ_NEV, UTO_NEV, P_KOD, O_KOD)"))
            .add(QStringLiteral("values"))
            .add(QStringLiteral("(:a, :b, :c, :d, :e)"));
    } else {
        insert.add(QStringLiteral("insert into TAJ_JOGCIM"))
            .add(QStringLiteral("(TAJ, NYILV_SZAM, JOGCIM, JEL_TIP,"))
            .add(QStringLiteral("KEZDET, VEGE, HORA, FEOR, ELL_KOD,"))
            .add(QStringLiteral("ELL_KEZD,ELL_VEGE,SZUN_KEZD,SZUN_VEGE,PAKEZ)"))
            .add(QStringLiteral("values"))
            .add(QStringLiteral("(:a, :b, :c, :d, :e, :f, :g, :i,"))
            .add(QStringLiteral(":j, :k, :l, :m, :n, :o)"));
    }
    const std::span<const Slot> slots = slotsOf(kind);
    const int width = slots.back().from + slots.back().width - 1;
    // A person file is small beside the memory of any PC: it is read whole, and every line end
    // counts, CR LF, LF and a lone CR alike (an old Mac-style or damaged file).
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.message = QStringLiteral("A fájl nem nyitható meg: ") + QDir::toNativeSeparators(path);
        r.error = file.errorString();
        return r;
    }
    const qint64 size = all.size();
    qsizetype at = 0;
    int number = 0;
    bool ended = false;
    while (!ended && at < all.size()) {
        qsizetype end = at;
        while (end < all.size() && all[end] != '\r' && all[end] != '\n')
            ++end;
        QByteArray raw = all.mid(at, end - at);
        at = end;
        if (at < all.size() && all[at] == '\r') ++at;
        if (at < all.size() && all[at] == '\n' && (at == end || all[at - 1] == '\r')) ++at;
        ++number;
        // A DOS end-of-file mark ends the file.
        if (const qsizetype mark = raw.indexOf('\x1A'); mark >= 0) {
            raw.truncate(mark);
            ended = true;
        }
        if (progress) progress(number, at, size);
        // Blank lines carry nobody.
        if (raw.trimmed().isEmpty()) continue;
        if (!raw.mid(width).trimmed().isEmpty()) {
            r.message = QStringLiteral("A(z) %1. sor hibás: a(z) %2. karakter után is szöveg "
                                       "áll. A fájlból semmi sem került be.")
                            .arg(number)
                            .arg(width);
            return r;
        }
        const QString line = decode(kind, raw);
        QStringList values;
        for (const Slot &slot : slots)
            values << line.mid(slot.from - 1, slot.width).trimmed();
        if (const QString fault = lineFault(slots, values); !fault.isEmpty()) {
            r.message = QStringLiteral("A(z) %1. sor hibás: %2. A fájlból semmi sem került be.")
                            .arg(number)
                            .arg(fault);
            return r;
        }
        for (int i = 0; i < int(values.size()); ++i)
            insert.setParam(i, values[i]);
        ++r.rows;
        if (!insert.exec()) {
            r.message = QStringLiteral("A(z) %1. sor nem tölthető be, a fájlból semmi sem "
                                       "került be.")
                            .arg(number);
            r.error = insert.lastError();
            return r;
        }
    }
    if (!transaction.commit()) {
        r.message = QStringLiteral("Hiba lépett fel a beolvasás közben !");
        r.error = StoreFailure::text(data.db().lastError());
        return r;
    }
    Settings::write(persons ? QStringLiteral("Szem_adat") : QStringLiteral("Szem_jogcim"),
                    DateText::today());
    r.ok = true;
    return r;
}

} // namespace PersonTransfer

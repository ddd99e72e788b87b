#include "printedforms.h"

#include "registrydatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPdfWriter>

namespace
{
using BF = BandedForm;
constexpr int Left = BF::Margin;
constexpr int Right = BF::PageWidth - BF::Margin;
constexpr int RowStep = 55;    // one line of 10-point text and its spacing
constexpr int DetailStep = 46; // one line of the 9-point detail bands

void centred(QPainter &p, int y, const QString &text, const QFont &font)
{
    p.setFont(font);
    p.drawText(QRect(Left, y, Right - Left, QFontMetrics(font).height() * 2),
               Qt::AlignHCenter | Qt::AlignTop, text);
}

void rule(QPainter &p, int y)
{
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(Left, y, Right, y);
}

// The framed block " A jelentésre kötelezett adatai : " of the sheet and the declaration.
int partyBlock(QPainter &p, int y, const FormParty &party)
{
    const int height = 6 * RowStep + 30;
    p.setPen(QPen(Qt::black, 4));
    p.drawRect(Left, y, Right - Left, height);
    const int x = Left + 30;
    int row = y + 20;
    BF::text(p, x, row, QStringLiteral(" A jelentésre kötelezett adatai : "), BF::font(11, true));
    row += RowStep + 10;
    BF::pair(p, x, row, QStringLiteral("Név :"), party.name, Right - x - 30);
    row += RowStep;
    BF::pair(p, x, row, QStringLiteral("Jelentéshez használt azonosító :"), party.identifier);
    row += RowStep;
    BF::pair(p, x, row, QStringLiteral("Székhely cím :"), party.address, Right - x - 30);
    row += RowStep;
    BF::pair(p, x, row, QStringLiteral("Telefon :"), party.phone, 800);
    BF::pair(p, x + 850, row, QStringLiteral("Fax :"), party.fax, 800);
    return height;
}

void signature(QPainter &p, int y)
{
    BF::text(p, Left + 200, y + 40, QStringLiteral("P.H."), BF::font(10, true));
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(Right - 650, y + 70, Right - 50, y + 70);
    BF::text(p, Right - 530, y + 85, QStringLiteral("Cégszerű aláírás"), BF::font(10));
}
} // namespace

QList<Tqrp_bejelento::TypePair> Tqrp_bejelento::typePairs(const QString &type)
{
    using namespace ReportFile;
    if (type == u"08")
        return {{QStringLiteral("Ellátás kód :"), ELL_KOD},
                {QStringLiteral("Ellátás kezdete :"), ELL_KEZD},
                {QStringLiteral("Ellátás vége :"), ELL_VEGE}};
    return {{QStringLiteral("Jogcím kód :"), JOGCIM},
            {QStringLiteral("Jogosultság kezdete :"), KEZDET},
            {QStringLiteral("Jogosultság vége :"), VEGE}};
}

BandedForm Tqrp_bejelento::form() const
{
    BandedForm f;
    const Data d = m_data;
    const bool completed = m_completed;
    f.setTitle(620, [d, completed](BF::Context &c) {
        QPainter &p = c.painter;
        // The form number, with the report type in its two-character box.
        const QFont number = BF::font(12, true, true);
        p.setFont(number);
        const QFontMetrics m = p.fontMetrics();
        const QString before = QStringLiteral("A 3517-"), after = QStringLiteral("/B.r.sz.");
        const int box = m.horizontalAdvance(QStringLiteral("00")) + 20;
        int x = Right - m.horizontalAdvance(before) - box - m.horizontalAdvance(after);
        BF::text(p, x, c.top, before, number);
        x += m.horizontalAdvance(before);
        p.setPen(QPen(Qt::black, 3));
        p.drawRect(x, c.top - 5, box, m.height() + 10);
        p.drawText(QRect(x, c.top - 5, box, m.height() + 10), Qt::AlignCenter, d.type);
        BF::text(p, x + box, c.top, after, number);
        centred(p, c.top + 90,
                completed ? QStringLiteral("Bejelentő lap a jogosultakróll")
                          : QStringLiteral("Bejelentő lap a jogosultakról"),
                BF::font(16, true, true));
        partyBlock(p, c.top + 220, d.party);
    });
    const QList<TypePair> pairs = typePairs(d.type);
    f.setDetail(
        6 * DetailStep + 40, int(d.lines.size()), [d, pairs, completed](BF::Context &c, int row) {
            using namespace ReportFile;
            QPainter &p = c.painter;
            const ReportLine &l = d.lines[row];
            p.setPen(QPen(Qt::gray, 2));
            p.drawLine(Left, c.top + 10, Right, c.top + 10);
            p.setPen(Qt::black);
            // Names get two columns' width; the type-dependent pairs keep the third.
            const int x1 = Left, x2 = Left + 560, x3 = Left + 1200, w = x2 - x1 - 20,
                      wide = x3 - x1 - 20, w3 = Right - x3;
            constexpr int pt = 9;
            int y = c.top + 30;
            BF::pair(p, x1, y, QStringLiteral("TAJ szám :"), l[TAJ], w, pt);
            BF::pair(p, x2, y, QStringLiteral("Szül.dátum :"), l[SZUL_DAT], x3 - x2 - 20, pt);
            BF::pair(p, x3, y, pairs[0].caption, l[pairs[0].field], w3, pt);
            y += DetailStep;
            BF::pair(p, x1, y, QStringLiteral("Családi név :"), l[VEZ_NEV], wide, pt);
            BF::pair(p, x3, y, pairs[1].caption, l[pairs[1].field], w3, pt);
            y += DetailStep;
            BF::pair(p, x1, y, QStringLiteral("Utónév :"),
                     (l[UTO_NEV] + u' ' + l[UTO_NEV_2]).trimmed(), wide, pt);
            BF::pair(p, x3, y, pairs[2].caption, l[pairs[2].field], w3, pt);
            y += DetailStep;
            BF::pair(p, x1, y, QStringLiteral("Állampolg.kód:"), l[O_KOD], w, pt);
            BF::pair(p, x2, y, QStringLiteral("Javítandó ? :"), l[JAVITAS], x3 - x2 - 20, pt);
            if (completed) BF::pair(p, x3, y, QStringLiteral("MNYP.kód :"), l[P_KOD], w3, pt);
            y += DetailStep;
            BF::pair(p, x1, y, QStringLiteral("Szüneteltetés kezdete :"), l[SZUN_KEZD], 740, pt);
            BF::pair(p, x1 + 760, y, QStringLiteral("Szüneteltetés vége :"), l[SZUN_VEGE],
                     Right - x1 - 760, pt);
            y += DetailStep;
            BF::pair(p, x1, y, QStringLiteral("MEP neve :"), l.mepNev, Right - x1, pt);
        });
    f.setFooter(430, [d](BF::Context &c) {
        QPainter &p = c.painter;
        int y = c.top + 10;
        BF::pair(p, Left, y, QStringLiteral("Dátum : "), d.printDate, 440);
        BF::pair(p, Left + 450, y, QStringLiteral("Fájl neve :"), d.fileName, 800);
        BF::pair(p, Left + 1270, y, QStringLiteral("Küldött tételek száma :"),
                 QString::number(d.lineCount));
        signature(p, y + 40);
        y += 230;
        rule(p, y);
        y += 25;
        BF::text(p, Left, y, QStringLiteral("MEP tölti ki :"), BF::font(10, true));
        BF::pair(p, Right - 300, y, QStringLiteral("Oldal :"), QString::number(c.page));
        y += RowStep;
        BF::text(p, Left, y, QStringLiteral("Megyekód :_____"), BF::font(10));
        BF::text(p, Left + 400, y,
                 QStringLiteral("Iktató szám: _____________ - ____ - ___________ / __________ / "
                                "_________"),
                 BF::font(10));
    });
    return f;
}

BandedForm Tqrp_nyilatkozat::form() const
{
    BandedForm f;
    const Data d = m_data;
    f.setTitle(2400, [d](BF::Context &c) {
        QPainter &p = c.painter;
        centred(p, c.top + 40, QStringLiteral("NYILATKOZAT"), BF::font(16, true, true));
        int y = c.top + 200;
        y += partyBlock(p, y, d.party) + 150;
        const QFont statement = BF::font(12, true, true), value = BF::font(12, false, true);
        const int step = 90;
        auto line = [&](const QList<QPair<QString, bool>> &parts) {
            int x = Left + 40;
            for (const auto &[text, isValue] : parts) {
                BF::text(p, x, y, text, isValue ? value : statement);
                x += p.fontMetrics().horizontalAdvance(text);
            }
            y += step;
        };
        line({{QStringLiteral("A mellékelt ......................................... felíratú "
                              "floppy lemezen található :"),
               false}});
        line({{d.fileName + u' ', true}, {QStringLiteral("nevű adatállomány"), false}});
        line({{QString::number(d.lineCount), true},
              {QStringLiteral(" tételsort tartalmaz."), false}});
        line({{QStringLiteral("A jelentés az "), false},
              {d.version + u' ', true},
              {QStringLiteral("verziószámú programmal készült."), false}});
        line({{QStringLiteral("Egyben cégszerű aláírásommal igazolom, hogy a közölt adatok "
                              "hitelesek,"),
               false}});
        line(
            {{QStringLiteral("azaz a nyilvántartásomban szereplő adatokkal megegyeznek."), false}});
        line({{QStringLiteral("A floppy lemez vírust nem tartalmaz."), false}});
        y += 150;
        BF::pair(p, Left + 40, y, QStringLiteral("Dátum :"), d.printDate);
        signature(p, y + 60);
    });
    f.setFooter(200, [d](BF::Context &c) {
        QPainter &p = c.painter;
        int y = c.top + 20;
        BF::pair(p, Left, y, QStringLiteral("A nyomtatást készítette : "), d.userName, 900);
        BF::pair(p, Left + 950, y, QStringLiteral("Nyomtatás időpontja :"), d.printTime);
        y += RowStep + 10;
        rule(p, y);
        y += 20;
        BF::pair(p, Right - 300, y, QStringLiteral("Oldal :"), QString::number(c.page));
    });
    return f;
}

BandedForm Tqrp_foglriport::form() const
{
    BandedForm f;
    const QList<QVariantMap> rows = m_employers;
    f.setTitle(200, [](BF::Context &c) {
        centred(c.painter, c.top + 20, QStringLiteral("Foglalkoztatók listája"),
                BF::font(16, true, true));
    });
    f.setDetail(8 * RowStep + 40, int(rows.size()), [rows](BF::Context &c, int row) {
        QPainter &p = c.painter;
        const QVariantMap &e = rows[row];
        auto v = [&](const char *field) { return e.value(QLatin1String(field)).toString(); };
        p.setPen(QPen(Qt::gray, 2));
        p.drawLine(Left, c.top + 10, Right, c.top + 10);
        p.setPen(Qt::black);
        int y = c.top + 30;
        BF::pair(p, Left, y, QStringLiteral("Cég neve :"), v("ceg_nev"), Right - Left, 12);
        y += RowStep + 15;
        const int x2 = Left + 900, w = 880;
        const QList<QPair<QString, QString>> left = {
            {"Nyilvántartási szám :", v("nyilv_szam")},   {"Ügyvezető ig.neve :", v("ugyvezeto")},
            {"Cég alakulásának ideje :", v("ceg_indul")}, {"Bankszámlaszám :", v("bankszam")},
            {"Cég azonosító :", v("ceg_azon")},           {"E-mail cím :", v("email")}};
        const QList<QPair<QString, QString>> right = {{"Folyószámla szám : ", v("fszla")},
                                                      {"Adószám : ", v("ado_szam")},
                                                      {"Cég megszünésének ideje :", v("ceg_vege")},
                                                      {"Telefon :", v("telefon")},
                                                      {"Fax :", v("fax")}};
        for (int i = 0; i < left.size(); ++i)
            BF::pair(p, Left, y + i * RowStep, left[i].first, left[i].second, w);
        for (int i = 0; i < right.size(); ++i)
            BF::pair(p, x2, y + i * RowStep, right[i].first, right[i].second, Right - x2);
        const QString address = v("sz_irsz") + u' ' + v("telepules") + QStringLiteral(" , ") +
                                v("sz_utca") + QStringLiteral("  ") + v("kozternev") +
                                QStringLiteral("  ") + v("sz_haz");
        BF::pair(p, Left, y + 6 * RowStep, QStringLiteral("Cím :"), address, Right - Left);
    });
    return f;
}

namespace PrintedForms
{

FormParty partyOf(const PendingReport &report)
{
    return {report.name, report.identifier, report.address, report.phone, report.fax};
}

Tqrp_bejelento sheetOf(const PendingReport &report, const QList<ReportFile::ReportLine> &lines,
                       const QString &fileName, const QString &today)
{
    return Tqrp_bejelento(
        {partyOf(report), report.type, fileName, int(lines.size()), lines, today});
}

namespace
{
// The declaration printed now.
Tqrp_nyilatkozat declarationNow(const FormParty &party, const QString &fileName, int lineCount,
                                const QString &version, const QString &userName)
{
    const QDateTime now = QDateTime::currentDateTime();
    return Tqrp_nyilatkozat({party, fileName, lineCount, version, userName,
                             now.toString(QStringLiteral("yyyy.MM.dd")),
                             now.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"))});
}
} // namespace

Tqrp_nyilatkozat declarationOf(const PendingReport &report, int lineCount, const QString &fileName,
                               const QString &version, const QString &userName)
{
    return declarationNow(partyOf(report), fileName, lineCount, version, userName);
}

QString identifierFromFileName(const QString &fileName)
{
    return fileName.mid(6, 11);
}

Tqrp_bejelentoi completedSheetOf(const CompletedReport &report, const QString &today)
{
    const FormParty party{report.name, identifierFromFileName(report.fileName),
                          report.postcode + u' ' + report.settlement + u' ' + report.street,
                          report.phone, report.fax};
    return Tqrp_bejelentoi({party, report.type.left(2), report.fileName, int(report.lines.size()),
                            report.lines, today});
}

Tqrp_nyilatkozat completedDeclarationOf(const CompletedReport &report, int lineCount,
                                        const QString &version, const QString &userName)
{
    const FormParty party{report.declarationName.isEmpty() ? report.name : report.declarationName,
                          identifierFromFileName(report.fileName),
                          report.postcode + u' ' + report.settlement + QStringLiteral(" , ") +
                              report.street,
                          report.phone, report.fax};
    return declarationNow(party, report.fileName, lineCount, version, userName);
}

int copies(const QString &setting, bool *repair)
{
    if (repair) *repair = setting.isEmpty();
    bool ok = false;
    const int n = setting.left(2).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 1;
}

int copiesSetting(const QString &name)
{
    bool repair = false;
    const int n = copies(Settings::read(name), &repair);
    if (repair) Settings::write(name, QStringLiteral("1"));
    return n;
}

bool exportPdf(const BandedForm &form, const QString &path)
{
    QFile::remove(path);
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    pdf.setCreator(QStringLiteral("Tarvik"));
    return form.render(&pdf) && QFile::exists(path);
}

QString savePdf(const BandedForm &form, const QString &programFolder, Form kind,
                const QString &fileName)
{
    const QString prefix = kind == Form::Sheet ? QStringLiteral("Text/bejelentolap_")
                                               : QStringLiteral("Text/nyilatkozat_");
    const QString path = QDir(programFolder).filePath(prefix + fileName + QStringLiteral(".pdf"));
    if (!exportPdf(form, path)) return {};
    return (kind == Form::Sheet ? QStringLiteral("A bejelentőlap elkészült:\n\r")
                                : QStringLiteral("A nyilatkozat elkészült:\n\r")) +
           QDir::toNativeSeparators(path);
}

} // namespace PrintedForms

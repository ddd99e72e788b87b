#include "hosttool.h"
#include "printedforms.h"
#include "testinstallation.h"

#include "registrydatabase.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace ReportFile;

namespace
{
// The text of a PDF as pdftotext reads it, one page or all of them (page 0).
QString pdfText(const QString &path, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    const HostTool::Result r =
        HostTool::run(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
    // A page past the last one is an error to pdftotext, with nothing written.
    if (r.exitCode < 0) return QStringLiteral("pdftotext did not run (poppler-utils)");
    return QString::fromUtf8(r.output);
}

ReportLine line(int item, const QString &family, const QString &taj)
{
    ReportLine l;
    l[JEL_TETE] = QString::number(item);
    l[JAVITAS] = QStringLiteral("N");
    l[TAJ] = taj;
    l[VEZ_NEV] = family;
    l[UTO_NEV] = QStringLiteral("ÉVA");
    l[UTO_NEV_2] = QStringLiteral("ROZÁLIA");
    l[SZUL_DAT] = QStringLiteral("1980.01.01");
    l[O_KOD] = QStringLiteral("348");
    l[JOGCIM] = QStringLiteral("1101");
    l[KEZDET] = QStringLiteral("2026.11.02");
    l[VEGE] = QStringLiteral("2026.11.30");
    l[ELL_KOD] = QStringLiteral("2110");
    l[ELL_KEZD] = QStringLiteral("2026.10.01");
    l[ELL_VEGE] = QStringLiteral("2026.10.31");
    l[P_KOD] = QStringLiteral("0901");
    l.mepNev = QStringLiteral("Budapest Főváros Egészségbiztosítási Pénztár");
    return l;
}

PendingReport demoReport(const QString &type)
{
    PendingReport r;
    r.employerId = 1;
    r.identifier = QStringLiteral("12345676242");
    r.name = QStringLiteral("DEMO SZOLGÁLTATÓ KFT");
    r.type = type;
    r.address = QStringLiteral("1011  Budapest , Fő  utca  12");
    r.phone = QStringLiteral("06-1-2345678");
    r.fax = QStringLiteral("06-1-2345679");
    return r;
}

// Page texts of a form written as PDF.
QStringList pages(const BandedForm &form, const QString &path)
{
    if (!PrintedForms::exportPdf(form, path)) return {};
    QStringList out;
    for (int p = 1; p <= form.pageCount(); ++p)
        out << pdfText(path, p);
    return out;
}

// The text with runs of blanks made one, so that a caption and its value read as one phrase,
// and ligatures ("ﬂ") as their letters.
QString flat(QString text)
{
    return text.normalized(QString::NormalizationForm_KC)
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}
} // namespace

class TestForms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void copiesFromTheSetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("repair");
        QTest::newRow("three") << "3" << 3 << false;
        QTest::newRow("first two of 120") << "120" << 12 << false;
        QTest::newRow("no number") << "x" << 1 << false;
        QTest::newRow("digit then letter") << "2x" << 1 << false;
        QTest::newRow("zero") << "0" << 1 << false;
        QTest::newRow("empty") << "" << 1 << true;
    }
    void copiesFromTheSetting()
    {
        QFETCH(QString, setting);
        QFETCH(int, copies);
        QFETCH(bool, repair);
        bool repaired = !repair;
        QCOMPARE(PrintedForms::copies(setting, &repaired), copies);
        QCOMPARE(repaired, repair);
    }

    void absentCopiesSettingIsStoredAsOne()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        QVERIFY(Settings::read("Bejelentolap db").isEmpty());
        QCOMPARE(PrintedForms::copiesSetting("Bejelentolap db"), 1);
        QCOMPARE(Settings::read("Bejelentolap db"), QStringLiteral("1"));
        Settings::write("Nyilatkozat db", "120");
        QCOMPARE(PrintedForms::copiesSetting("Nyilatkozat db"), 12);
        QCOMPARE(Settings::read("Nyilatkozat db"), QStringLiteral("120"));
    }

    void sheetCaptionsFollowTheType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("absent");
        const QStringList benefit{"Ellátás kód : 2110", "Ellátás kezdete : 2026.10.01",
                                  "Ellátás vége : 2026.10.31"};
        const QStringList title{"Jogcím kód : 1101", "Jogosultság kezdete : 2026.11.02",
                                "Jogosultság vége : 2026.11.30"};
        QTest::newRow("08") << "08" << benefit << title;
        QTest::newRow("09") << "09" << title << benefit;
    }
    void sheetCaptionsFollowTheType()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        QTemporaryDir dir;
        const QString name = ReportFile::fileName(type, "01", "0", "12345676242", "020", 3);
        const QStringList text =
            pages(PrintedForms::sheetOf(demoReport(type), {line(1, "KOVÁCS", "123456788")}, name,
                                        "2026.12.09")
                      .form(),
                  dir.filePath("sheet.pdf"));
        QCOMPARE(text.size(), 1);
        const QString page = flat(text[0]);
        QVERIFY2(page.contains(QRegularExpression("A 3517- ?" + type + " ?/B\\.r\\.sz\\.")),
                 qPrintable(page));
        for (const QString &s : shown)
            QVERIFY2(page.contains(s), qPrintable(s + " in " + page));
        for (const QString &s : absent)
            QVERIFY2(!page.contains(s.section(" : ", 0, 0)), qPrintable(s));
        for (const char *s :
             {"Bejelentő lap a jogosultakról",
              "A jelentésre kötelezett adatai :",
              "Név : DEMO SZOLGÁLTATÓ KFT",
              "Jelentéshez használt azonosító : 12345676242",
              "Székhely cím : 1011 Budapest , Fő utca 12",
              "Telefon : 06-1-2345678",
              "Fax : 06-1-2345679",
              "TAJ szám : 123456788",
              "Családi név : KOVÁCS",
              "Utónév : ÉVA ROZÁLIA",
              "Szül.dátum : 1980.01.01",
              "Állampolg.kód: 348",
              "Javítandó ? : N",
              "Szüneteltetés kezdete :",
              "Szüneteltetés vége :",
              "MEP neve : Budapest Főváros Egészségbiztosítási Pénztár",
              "Dátum : 2026.12.09",
              "Fájl neve : J" /* the name follows */,
              "Küldött tételek száma : 1",
              "P.H.",
              "Cégszerű aláírás",
              "MEP tölti ki :",
              "Oldal : 1",
              "Megyekód :_____",
              "Iktató szám: _____________ - ____ - ___________ / __________ / _________"})
            QVERIFY2(page.contains(QString::fromUtf8(s)), s);
        QVERIFY(page.contains(name));
        // The pension fund code belongs to the sheet of a completed report only.
        QVERIFY(!page.contains("MNYP.kód"));
    }

    void fortyLinesRunOverSeveralPages()
    {
        QList<ReportLine> lines;
        for (int i = 1; i <= 40; ++i)
            lines << line(i, QString("CSALÁD%1").arg(i, 2, 10, QChar('0')),
                          QString("9000000%1").arg(i, 2, 10, QChar('0')));
        const BandedForm form = PrintedForms::sheetOf(demoReport("09"), lines,
                                                      "J0901A12345676242_020.003", "2026.12.09")
                                    .form();
        QVERIFY(form.pageCount() > 1);
        QTemporaryDir dir;
        const QStringList text = pages(form, dir.filePath("sheet.pdf"));
        QCOMPARE(text.size(), form.pageCount());
        QVERIFY(pdfText(dir.filePath("sheet.pdf"), form.pageCount() + 1).trimmed().isEmpty());
        QString all;
        for (int p = 0; p < text.size(); ++p) {
            const QString page = flat(text[p]);
            // The footer on every page, with that page's number; the title on the first only.
            QVERIFY2(page.contains(QString("Oldal : %1").arg(p + 1)), qPrintable(page));
            QVERIFY(page.contains("Küldött tételek száma : 40"));
            QVERIFY(page.contains("Cégszerű aláírás"));
            QCOMPARE(page.contains("Bejelentő lap a jogosultakról"), p == 0);
            QVERIFY2(page.contains("CSALÁD"), "a page without lines");
            all += page;
        }
        // Every line once, none cut by a page break: each detail band is whole on its page.
        for (int i = 1; i <= 40; ++i) {
            const QString family = QString("CSALÁD%1").arg(i, 2, 10, QChar('0'));
            QCOMPARE(all.count("Családi név : " + family), 1);
            QCOMPARE(all.count(QString("TAJ szám : 9000000%1").arg(i, 2, 10, QChar('0'))), 1);
        }
        QCOMPARE(all.count("MEP neve :"), 40);
    }

    void declarationText()
    {
        QTemporaryDir dir;
        const QString name = "J0901A12345676242_020.003";
        const QStringList text = pages(
            PrintedForms::declarationOf(demoReport("09"), 17, name, "1.0.4.3", "KISS ANNA").form(),
            dir.filePath("declaration.pdf"));
        QCOMPARE(text.size(), 1);
        const QString page = flat(text[0]);
        for (const QString &s :
             {QString("NYILATKOZAT"), QString("A jelentésre kötelezett adatai :"),
              QString("Név : DEMO SZOLGÁLTATÓ KFT"),
              QString("A mellékelt ......................................... felíratú floppy "
                      "lemezen található :"),
              name + " nevű adatállomány", QString("17 tételsort tartalmaz."),
              QString("A jelentés az 1.0.4.3 verziószámú programmal készült."),
              QString("Egyben cégszerű aláírásommal igazolom, hogy a közölt adatok hitelesek,"),
              QString("azaz a nyilvántartásomban szereplő adatokkal megegyeznek."),
              QString("A floppy lemez vírust nem tartalmaz."), QString("Cégszerű aláírás"),
              QString("P.H."), QString("A nyomtatást készítette : KISS ANNA"),
              QString("Nyomtatás időpontja :"), QString("Oldal : 1")})
            QVERIFY2(page.contains(s), qPrintable(s + " in " + page));
        QVERIFY(page.indexOf("NYILATKOZAT") < page.indexOf("A mellékelt"));
        QVERIFY(page.indexOf("A floppy lemez") < page.indexOf("Dátum :"));
    }

    // A completed report shows the identifier inside its file name, not the employer's data.
    void completedReportTakesItsIdentifierFromTheFileName()
    {
        QCOMPARE(PrintedForms::identifierFromFileName("J0801N00000000123_045.007"),
                 QStringLiteral("00000000123"));
        PrintedForms::CompletedReport r;
        r.fileName = "J0801N00000000123_045.007";
        r.name = "ÁTNEVEZETT KFT";
        r.postcode = "7621";
        r.settlement = "Pécs";
        r.street = "Király utca 5";
        r.type = "08 Ellátások";
        r.lines = {line(1, "NAGY", "038521467"), line(2, "SZABÓ", "111222337")};
        QTemporaryDir dir;
        const QString sheet = flat(
            pages(PrintedForms::completedSheetOf(r, "2026.12.09").form(), dir.filePath("s.pdf"))
                .value(0));
        QVERIFY(sheet.contains(QRegularExpression("A 3517- ?08 ?/B\\.r\\.sz\\.")));
        for (const char *s : {"Bejelentő lap a jogosultakróll", "Név : ÁTNEVEZETT KFT",
                              "Jelentéshez használt azonosító : 00000000123",
                              "Székhely cím : 7621 Pécs Király utca 5", "MNYP.kód : 0901",
                              "Ellátás kód : 2110", "Küldött tételek száma : 2"})
            QVERIFY2(sheet.contains(QString::fromUtf8(s)),
                     qPrintable(QString::fromUtf8(s) + " in " + sheet));
        const QString declaration =
            flat(pages(PrintedForms::completedDeclarationOf(r, 2, "1.0.4.3", "KISS ANNA").form(),
                       dir.filePath("d.pdf"))
                     .value(0));
        QVERIFY(declaration.contains("Jelentéshez használt azonosító : 00000000123"));
        QVERIFY(declaration.contains("Székhely cím : 7621 Pécs , Király utca 5"));
        QVERIFY(declaration.contains("2 tételsort tartalmaz."));
    }

    void savedPdfReplacesTheOldOneAndSaysWhere()
    {
        QTemporaryDir program;
        const QString name = "J0901A12345676242_020.001";
        const BandedForm form =
            PrintedForms::sheetOf(demoReport("09"), {line(1, "KOVÁCS", "123456788")}, name,
                                  "2026.12.09")
                .form();
        // Text/ is part of the installation and is not made here.
        QVERIFY(
            PrintedForms::savePdf(form, program.path(), PrintedForms::Form::Sheet, name).isEmpty());
        QVERIFY(QDir(program.path()).mkdir("Text"));
        const QString path = program.filePath("Text/bejelentolap_" + name + ".pdf");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        QCOMPARE(PrintedForms::savePdf(form, program.path(), PrintedForms::Form::Sheet, name),
                 "A bejelentőlap elkészült:\n\r" + QDir::toNativeSeparators(path));
        QVERIFY(flat(pdfText(path)).contains("Családi név : KOVÁCS"));
        QCOMPARE(PrintedForms::savePdf(
                     PrintedForms::declarationOf(demoReport("09"), 1, name, "1", "U").form(),
                     program.path(), PrintedForms::Form::Declaration, name),
                 "A nyilatkozat elkészült:\n\r" + QDir::toNativeSeparators(program.filePath(
                                                      "Text/nyilatkozat_" + name + ".pdf")));
    }
};

int runFormsTests(int argc, char **argv)
{
    TestForms t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_forms.moc"

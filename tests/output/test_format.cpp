#include "reportfile.h"

#include <QtTest>

using namespace ReportFile;

class TestFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileNames()
    {
        QCOMPARE(fileName("08", "01", "1", "123", "045", 7),
                 QStringLiteral("J0801N00000000123_045.007"));
        QCOMPARE(shortName("08", "01", "1", "123", 7), QStringLiteral("J0801N00000000123.007"));
        QCOMPARE(fileName("09", "010", "0", "12345676242", "020", 1),
                 QStringLiteral("J0901A12345676242_020.001"));
        QCOMPARE(fileName("09", "010", "0", "12345676242", "020", 1).size(), 25);
        QCOMPARE(sequenceText(12), QStringLiteral("012"));
        QCOMPARE(sequenceText(999), QStringLiteral("999"));
        QCOMPARE(kindLetter("2"), QStringLiteral("T"));
        QCOMPARE(kindLetter("7"), QStringLiteral("X"));
        QCOMPARE(kindLetter(""), QString());
        QCOMPARE(shortName("08", "01", "", "123", 7), QStringLiteral("J080100000000123.007"));
    }

    void codingKeyAndShifts()
    {
        // 1×1 + 2×2 + … + 9×9 + 10×0 + 11×1 = 296; 296 mod 11 = 10.
        QCOMPARE(codingKey("12345678901"), std::optional<int>(10));
        QCOMPARE(codingKey(""), std::optional<int>(0));
        QCOMPARE(codingKey("12345676242   "), std::optional<int>(4));
        QVERIFY(!codingKey("1234A").has_value());

        const QByteArray plain = "AAAAAAAAA A";
        const QByteArray coded = code(plain, 0);
        QCOMPARE(quint8(coded[0]), quint8('A' + 1));
        QCOMPARE(quint8(coded[8]), quint8('A' + 9));
        QCOMPARE(coded[9], ' '); // column 10 is raised by 0
        QCOMPARE(quint8(coded[10]), quint8('A' + 1));
        QCOMPARE(quint8(code(plain, 10)[9]), quint8(' ' + 10));
        // Past 255 the code goes on from 0.
        const QByteArray high("\xFE\xFF", 2);
        const QByteArray wrapped = code(high, 4);
        QCOMPARE(quint8(wrapped[0]), quint8((0xFE + 1 + 4) % 256));
        QCOMPARE(quint8(wrapped[1]), quint8((0xFF + 2 + 4) % 256));
        QCOMPARE(decode(wrapped, 4), high);
    }

    void assembly()
    {
        // Values are inserted, so blanks move behind them; an empty value inserts nothing.
        Line l = assemble(10, {{4, 2, "AB", "X"}, {1, 3, "1", "Y"}, {6, 3, "", "Z"}});
        QCOMPARE(l.text, QStringLiteral("1  AB        "));
        // A value as wide as its slot is followed directly by the next one.
        QCOMPARE(assemble(4, {{1, 2, "12", "Y"}, {3, 2, "AB", "X"}}).text,
                 QStringLiteral("12AB    "));
        QVERIFY(l.ok());
        l = assemble(4, {{1, 2, "ABC", "HAZ"}});
        QCOMPARE(l.fault, Line::Fault::TooLong);
        QCOMPARE(l.badField, QStringLiteral("HAZ"));
        l = assemble(4, {{1, 2, QString::fromUtf8("Ж"), "NEV"}});
        QCOMPARE(l.fault, Line::Fault::NotEncodable);
        QVERIFY(encode(QString::fromUtf8("ŐRSÉG ű")).has_value());
        QCOMPARE(encode(QString::fromUtf8("Ő"))->at(0), char(0xD5));
    }

    void headerLine()
    {
        const QVariantMap employer{{"NYILV_SZAM", "1234567890"},
                                   {"CEG_NEV", "DEMO KFT"},
                                   {"SZ_IRSZ", "1011"},
                                   {"SZ_IRSZ_S", "0"},
                                   {"SZ_HAZ", "12345"},
                                   {"CEG_INDUL", "2010.01.04"},
                                   {"MEGYE", "010"},
                                   {"ADO_SZAM", "12345676242"},
                                   {"JARAS_KOD", "020"}};
        const QList<Slot> slots =
            headerSlots("1.0.4.3", "09", 2, 3, "J0901A12345676242.002", "2026.12.08", employer);
        const Line h = assemble(HeaderBlanks, slots);
        QVERIFY(h.ok());
        int total = 0;
        for (const Slot &s : slots)
            total += int(s.value.size());
        QCOMPARE(h.text.size(), HeaderBlanks + total);
        // Each value at its column once every earlier slot is full width: the fixed layout.
        const QString filled = h.text;
        auto at = [&](int column, int width) { return filled.mid(column - 1, width); };
        QCOMPARE(at(1, 7), QStringLiteral("1.0.4.3"));
        QCOMPARE(at(8, 2), QStringLiteral("09"));
        QCOMPARE(at(10, 5), QStringLiteral("2    "));
        QCOMPARE(at(15, 5), QStringLiteral("3    "));
        QCOMPARE(at(20, 21), QStringLiteral("J0901A12345676242.002"));
        QCOMPARE(at(41, 21), QStringLiteral("J0901A12345676242.002"));
        QCOMPARE(at(62, 10), QStringLiteral("2026.12.08"));
        QCOMPARE(at(72, 10), QStringLiteral("1234567890"));
        QCOMPARE(at(96, 8), QStringLiteral("DEMO KFT"));
        // Without a foundation date its columns stay blank.
        QVariantMap young = employer;
        young.remove("CEG_INDUL");
        const Line noDate =
            assemble(HeaderBlanks, headerSlots("1.0.4.3", "09", 2, 3, "J", "2026.12.08", young));
        QVERIFY(noDate.text.indexOf("2010") < 0);
        young.insert("SZ_HAZ", "123456");
        const Line longHouse =
            assemble(HeaderBlanks, headerSlots("1.0.4.3", "09", 2, 3, "J", "2026.12.08", young));
        QCOMPARE(longHouse.badField, QStringLiteral("SZ_HAZ"));
    }

    void itemLine()
    {
        // Every slot filled to its width puts each value at its column.
        ReportLine line;
        line[JEL_TETE] = "12";
        line[JAVITAS] = "E";
        line[TAJ] = "123456788";
        line[SZUL_DAT] = "1985.04.12";
        line[NYILV_SZAM] = "12345676242";
        line[O_KOD] = "348";
        line[JOGCIM] = "2771";
        line[JEL_TIP] = "09";
        line[KEZDET] = "2026.11.02";
        line[PAKEZD] = "N";
        line[IMAGE] = "2";
        const QList<Slot> slots = itemSlots(3, line);
        int total = 0;
        for (const Slot &s : slots)
            total += int(s.value.size());
        const Line item = assemble(ItemBlanks, slots);
        QCOMPARE(item.text.size(), ItemBlanks + total);
        QCOMPARE(item.text.left(11), QStringLiteral("3    12   N"));
        QCOMPARE(item.text.mid(11, 9), QStringLiteral("123456788"));
        QCOMPARE(item.text.mid(20, 10), QStringLiteral("1985.04.12"));
        // The line carries the values in order; the total length proves nothing was cut.
        QVERIFY(item.text.contains(QStringLiteral("3482771092026.11.02")));
        QVERIFY(item.text.trimmed().endsWith(QStringLiteral("N2")));
    }
};

int runFormatTests(int argc, char **argv)
{
    TestFormat t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_format.moc"

#include "identifierchecks.h"

#include <QtTest>

class TestIdentifiers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void taj();
    void tajShortTexts();
    void taxNumber();
    void taxBaseCheckDigit();
    void registrationNumber();
    void preNinetyEightBase();
    void bankAccount();
    void bankAccountJoin();
    void email();
};

void TestIdentifiers::taj()
{
    QVERIFY(TajEllenor("123456788"));
    // Every one-digit change of a valid number breaks it.
    const QString valid = QStringLiteral("123456788");
    for (int pos = 0; pos < 9; ++pos)
        for (char d = '0'; d <= '9'; ++d) {
            if (valid[pos] == QLatin1Char(d)) continue;
            QString changed = valid;
            changed[pos] = QLatin1Char(d);
            QVERIFY2(!TajEllenor(changed), qPrintable(changed));
        }
    QVERIFY(TajEllenor("000000000")); // the callers refuse the value 0 themselves
    QVERIFY(!TajEllenor("12345678A"));
    QVERIFY(!TajEllenor(""));
}

void TestIdentifiers::tajShortTexts()
{
    QVERIFY(TajEllenor("0"));
    for (const char *one : {"1", "5", "9"})
        QVERIFY(!TajEllenor(one));
    // 1*3 = 3: "13" is valid, "12" is not.
    QVERIFY(TajEllenor("13"));
    QVERIFY(!TajEllenor("12"));
}

void TestIdentifiers::taxNumber()
{
    QVERIFY(AdoszamEllenor(12345676242LL));
    QVERIFY(!AdoszamEllenor(12345675242LL));
    // The VAT code and the county code take no part.
    for (int tail = 0; tail < 1000; tail += 37)
        QVERIFY(AdoszamEllenor(12345676000LL + tail));
    QVERIFY(AdoszamEllenor(15752026241LL));
    QVERIFY(!AdoszamEllenor(-1));
}

void TestIdentifiers::taxBaseCheckDigit()
{
    QCOMPARE(AdoszamCdv(1234567), 6); // weighted sum 144
    QCOMPARE(AdoszamCdv(0), 0);
    QCOMPARE(AdoszamCdv(1575202), 6);
    QCOMPARE(AdoszamCdv(-5), -1);
    QCOMPARE(AdoszamCdv(12345678), -1);
    // Leading zeros count: 0000001 weighs its digit by 3.
    QCOMPARE(AdoszamCdv(1), 7);
}

void TestIdentifiers::registrationNumber()
{
    // "116" pads to 0000000116: 8*1 + 9*1 = 17, 17 mod 11 = 6.
    QVERIFY(NyilvszamEllenor("116"));
    QVERIFY(NyilvszamEllenor("0000000116"));
    QVERIFY(NyilvszamEllenor("  116 "));
    QVERIFY(!NyilvszamEllenor("117"));
    // 0000003310: 7*3 + 8*3 + 9*1 = 54, 54 mod 11 = 10, so the check digit must be 0.
    QVERIFY(NyilvszamEllenor("0000003310"));
    QVERIFY(!NyilvszamEllenor("0000003311"));
    // Nine digits are padded with one zero in front.
    QVERIFY(NyilvszamEllenor("000003310"));
    // A longer text keeps its last ten characters.
    QVERIFY(NyilvszamEllenor("990000003310"));
    QVERIFY(!NyilvszamEllenor("12a"));
}

void TestIdentifiers::preNinetyEightBase()
{
    QVERIFY(FoszamlaEllenor("1234561"));
    QVERIFY(FoszamlaEllenor("12345679"));
    QVERIFY(!FoszamlaEllenor("12345678"));
    QVERIFY(!FoszamlaEllenor("1"));
    QVERIFY(!FoszamlaEllenor(""));
    QVERIFY(!FoszamlaEllenor("12x4561"));
}

void TestIdentifiers::bankAccount()
{
    QVERIFY(BankszamlaEllenor("1234567600000000"));
    QVERIFY(BankszamlaEllenor("123456760000000000000000"));
    QVERIFY(BankszamlaEllenor("1234567610000001"));
    QVERIFY(!BankszamlaEllenor("1234567610000002"));
    QVERIFY(!BankszamlaEllenor("1234567510000001"));
    // 24 digits whose second group is zeros: judged over digits 16-23 with 1,9,7,3,1,9,7,3.
    // digits 16..23 = 1,0,0,0,0,0,0,0 -> 1 -> check 9.
    QVERIFY(BankszamlaEllenor("123456760000000"
                              "1"
                              "0000000"
                              "9"));
    QVERIFY(!BankszamlaEllenor("123456760000000"
                               "1"
                               "0000000"
                               "8"));
    QVERIFY(!BankszamlaEllenor("12345676"));
    QVERIFY(!BankszamlaEllenor("12345676000000000"));
}

void TestIdentifiers::bankAccountJoin()
{
    QCOMPARE(BankszamOsszevon("12345676-10000001-00000000"),
             QStringLiteral("123456761000000100000000"));
    QCOMPARE(BankszamOsszevon("12345676-10000001-        ").trimmed(),
             QStringLiteral("1234567610000001"));
}

void TestIdentifiers::email()
{
    QVERIFY(EmailEllenor(""));
    QVERIFY(EmailEllenor("a@b.hu"));
    QVERIFY(EmailEllenor(".a@b"));
    QVERIFY(!EmailEllenor("a@bhu"));
    QVERIFY(!EmailEllenor("a.b.hu"));
}

int runIdentifierTests(int argc, char **argv)
{
    TestIdentifiers t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_identifiers.moc"

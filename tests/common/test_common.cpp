#include "codepage.h"
#include "datetext.h"
#include "registrydatabase.h"
#include "runstate.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCommon : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dateText_data();
    void dateText();
    void dateTextEmptyMask();
    void codePages();
    void settingsRoundTrip();
    void settingsMissingKeyReadsEmpty();
    void settingsNamesIgnoreCase();
    void settingsTypedValues();
    void runStateFromToday();
    void rightsLevelNames();
};

void TestCommon::dateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ordinary") << "2024.03.15" << true;
    QTest::newRow("leap day") << "2024.02.29" << true;
    QTest::newRow("no leap day") << "2023.02.29" << false;
    QTest::newRow("month 13") << "2024.13.01" << false;
    QTest::newRow("dashes") << "2024-03-15" << false;
    QTest::newRow("short") << "2024.3.15" << false;
    QTest::newRow("blanks") << "2024.03. 5" << false;
    QTest::newRow("empty mask") << "    .  .  " << false;
}

void TestCommon::dateText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(DateText::isValid(text), valid);
    if (valid) QCOMPARE(DateText::format(DateText::parse(text)), text);
}

void TestCommon::dateTextEmptyMask()
{
    QVERIFY(DateText::isEmpty(DateText::EmptyMask));
    QVERIFY(DateText::isEmpty(QString()));
    QVERIFY(!DateText::isEmpty(QStringLiteral("2024.  .  ")));
    QCOMPARE(DateText::format(QDate(2005, 1, 2)), QStringLiteral("2005.01.02"));
    QCOMPARE(DateText::today(), QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
}

void TestCommon::codePages()
{
    const QString text = QStringLiteral("Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");
    const QByteArray win = CodePage::toWin1250(text);
    QCOMPARE(win.size(), text.size());
    // ő and ű are where Latin-1 has õ and û: the proof it is really 1250.
    QCOMPARE(quint8(CodePage::toWin1250(QStringLiteral("ő"))[0]), quint8(0xF5));
    QCOMPARE(quint8(CodePage::toWin1250(QStringLiteral("Ű"))[0]), quint8(0xDB));
    QCOMPARE(CodePage::fromWin1250(win), text);
    QCOMPARE(quint8(CodePage::toIbm852(QStringLiteral("ő"))[0]), quint8(0x8B));
    QCOMPARE(quint8(CodePage::toIbm852(QStringLiteral("Á"))[0]), quint8(0xB5));
    QCOMPARE(CodePage::fromIbm852(CodePage::toIbm852(text)), text);
}

void TestCommon::settingsRoundTrip()
{
    QTemporaryDir dir;
    qputenv("TARVIK_SETTINGS_DIR", dir.path().toLocal8Bit());
    Settings::write(QStringLiteral("Alap jelent"), QStringLiteral("C:\\tarvik\\jelentesek\\"));
    Settings::write(QStringLiteral("Felhasznalo"), QStringLiteral("KOVÁCS"));
    QCOMPARE(Settings::read(QStringLiteral("Alap jelent")),
             QStringLiteral("C:\\tarvik\\jelentesek\\"));
    QCOMPARE(Settings::read(QStringLiteral("Felhasznalo")), QStringLiteral("KOVÁCS"));
    // Another root keeps its own values.
    QCOMPARE(Settings::readMachine(Settings::AppPathsKey, QStringLiteral("Felhasznalo")),
             QString());
    Settings::writeMachine(Settings::AppPathsKey, QStringLiteral("Path"),
                           QStringLiteral("/opt/t/"));
    QCOMPARE(Settings::readMachine(Settings::AppPathsKey, QStringLiteral("Path")),
             QStringLiteral("/opt/t/"));
    qunsetenv("TARVIK_SETTINGS_DIR");
}

void TestCommon::settingsMissingKeyReadsEmpty()
{
    QTemporaryDir dir;
    qputenv("TARVIK_SETTINGS_DIR", dir.path().toLocal8Bit());
    TRegistryDataBase reg;
    reg.SubKey = QStringLiteral("\\Software\\Nincs\\Ilyen");
    reg.DataName = QStringLiteral("Jelszo");
    QCOMPARE(reg.ReadValue().toString(), QString());
    QCOMPARE(Settings::read(QStringLiteral("Jelszo")), QString());
    qunsetenv("TARVIK_SETTINGS_DIR");
}

void TestCommon::settingsNamesIgnoreCase()
{
    QTemporaryDir dir;
    qputenv("TARVIK_SETTINGS_DIR", dir.path().toLocal8Bit());
    Settings::write(QStringLiteral("Jarasok"), QStringLiteral("2024.01.02"));
    QCOMPARE(Settings::read(QStringLiteral("jarasok")), QStringLiteral("2024.01.02"));
    Settings::write(QStringLiteral("JARASOK"), QStringLiteral("2024.01.03"));
    QCOMPARE(Settings::read(QStringLiteral("Jarasok")), QStringLiteral("2024.01.03"));
    qunsetenv("TARVIK_SETTINGS_DIR");
}

void TestCommon::settingsTypedValues()
{
    QTemporaryDir dir;
    qputenv("TARVIK_SETTINGS_DIR", dir.path().toLocal8Bit());
    TRegistryDataBase reg;
    reg.SubKey = Settings::Key;
    reg.DataName = QStringLiteral("Mentes");
    reg.DataType = TRegistryDataBase::dtDate;
    reg.WriteValue(QDate(2024, 5, 6));
    QCOMPARE(Settings::read(QStringLiteral("Mentes")), QStringLiteral("2024.05.06"));
    QCOMPARE(reg.ReadValue().toDate(), QDate(2024, 5, 6));
    reg.DataName = QStringLiteral("Nyilatkozat db");
    reg.DataType = TRegistryDataBase::dtInteger;
    reg.WriteValue(3);
    QCOMPARE(Settings::read(QStringLiteral("Nyilatkozat db")), QStringLiteral("3"));
    qunsetenv("TARVIK_SETTINGS_DIR");
}

void TestCommon::runStateFromToday()
{
    RunState run;
    run.initialise();
    const QDate today = QDate::currentDate();
    QCOMPARE(run.year, QString::number(today.year()));
    QCOMPARE(run.month, QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0')));
    QCOMPARE(run.day, QStringLiteral("%1").arg(today.day(), 2, 10, QLatin1Char('0')));
    QCOMPARE(run.version, QStringLiteral("1.0.4.3"));
    QCOMPARE(RunState::PrisonServiceBase, QStringLiteral("15752026"));
    QCOMPARE(RunState::SecondSpecialBase, QStringLiteral("15329729"));
}

void TestCommon::rightsLevelNames()
{
    QCOMPARE(RunState::rightsLevelName(0), QStringLiteral("Megszünt felhasználó"));
    QCOMPARE(RunState::rightsLevelName(1), QStringLiteral("Lekérdező felhasználó"));
    QCOMPARE(RunState::rightsLevelName(2), QStringLiteral("Általános felhasználó"));
    QCOMPARE(RunState::rightsLevelName(3), QStringLiteral("Rendszergazda"));
    QCOMPARE(RunState::rightsLevelName(4), QStringLiteral("Azonosítatlan jogszint"));
}

QTEST_GUILESS_MAIN(TestCommon)
#include "test_common.moc"

#include "employerrules.h"
#include "employerstore.h"
#include "fieldkeys.h"
#include "registrydatabase.h"
#include "scriptedprompter.h"
#include "testinstallation.h"
#include "tfrm_foglalk.h"
#include "windowdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

namespace
{

const QString Yesterday = QDate::currentDate().addDays(-1).toString("yyyy.MM.dd");
const QString Today = QDate::currentDate().toString("yyyy.MM.dd");
const QString BudapestFund = QStringLiteral("Budapest Főváros Egészségbiztosítási Pénztár");

bool exec(TestInstallation &t, const QString &sql)
{
    QSqlQuery q(t.data().db());
    return q.exec(sql);
}

using Driver = WindowDriver;

// An employer entered through the new-mode fields, ready to save.
void fillNewEmployer(Driver &d, const QString &name, const QString &tax, const QString &district,
                     const QString &fund = BudapestFund)
{
    d.type("ed_cegnev", name);
    d.type("ed_azon", tax);
    d.type("med_alakul", Yesterday);
    d.type("ed_szisz", "1011");
    d.type("ed_szutca", "Fő");
    d.choose("cmb_mep", fund);
    d.choose("cmb_jarasok", district);
}

std::unique_ptr<Tfrm_foglalk> openWindow(TestInstallation &t, int rights = 3)
{
    t.context().run.rightsLevel = rights;
    auto w = std::make_unique<Tfrm_foglalk>(t.context());
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("register window not active");
    QCoreApplication::processEvents();
    return w;
}

} // namespace

class TestFoglalk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newEmployerPastEveryRule();
    void taxNumberRules();
    void foundingDate();
    void enterMovesOnAndRulesRun();
    void countyMismatchStaysInNewMode();
    void startNumber();
    void modifyWithChangeMarks();
    void fundAndDistrictTogether();
    void failedStatementDoesNotStopTheNext();
    void modifyAndDeleteRefused();
    void deleteConfirmed();
    void queryUser();
    void leavingSetsPrisonServiceFlag();
    void employerSheet();
    void screenshots();
};

void TestFoglalk::newEmployerPastEveryRule()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    QCOMPARE(prompter.messages, (QStringList{"Nincs még bejelentő felvéve !!",
                                             "Kérem figyelmesen adja meg az adatokat !!"}));
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::New);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Bejelentő(k) adatai ;  Felvitel-mód"));
    QCOMPARE(d.get<QLabel>("lbl_foglrec")->text(), QStringLiteral("0"));
    QVERIFY(!d.button("bbtn_ment")->isEnabled());
    QCOMPARE(d.combo("cmb_jarasok")->currentText(), QStringLiteral("Nem járási hivatal"));
    QCOMPARE(d.combo("cmb_szkter")->currentIndex(), 0);
    QCOMPARE(Tfrm_foglalk::maskedText(d.edit("med_alakul")), QStringLiteral("    .  .  "));
    prompter.messages.clear();

    // An empty name is refused and emptied.
    d.type("ed_cegnev", "   ");
    QCOMPARE(prompter.messages.value(0),
             QStringLiteral("A cég/szervezet neve nem lehet üres!\n\rEnnek hiányában nem lehet "
                            "menteni az adatokat!"));
    prompter.messages.clear();
    d.type("ed_cegnev", "proba kft");
    QCOMPARE(d.edit("ed_cegnev")->text(), QStringLiteral("PROBA KFT"));
    // Digit fields swallow letters.
    d.type("ed_azon", "12a345676242");
    QCOMPARE(d.edit("ed_ado")->text(), QStringLiteral("12345676"));
    QCOMPARE(d.edit("ed_ado2")->text(), QStringLiteral("2"));
    QCOMPARE(d.edit("ed_ado3")->text(), QStringLiteral("42"));
    d.type("med_alakul", Yesterday);
    d.type("ed_szisz", "1011");
    QCOMPARE(d.combo("cmb_szhely")->currentText(), QStringLiteral("Budapest"));
    d.type("ed_szisz", "0001");
    QCOMPARE(prompter.messages.value(0), QStringLiteral("Nincs ilyen helység !!"));
    QVERIFY(d.edit("ed_szisz")->text().isEmpty());
    prompter.messages.clear();
    d.type("ed_szisz", "7400");
    QCOMPARE(d.combo("cmb_szhely")->count(), 2);
    d.choose("cmb_szhely", d.combo("cmb_szhely")->itemText(1));
    d.type("ed_szutca", "Fő");
    d.choose("cmb_szkter", "út");
    d.type("med_bank", "1234567610000001");
    d.type("ed_email", "berosztaly");
    QCOMPARE(prompter.messages,
             QStringList{"A beírt e-mail cím valószínű, hogy nem jó !\n\rKérem ellenőrizze !!"});
    QVERIFY(!d.button("bbtn_ment")->isEnabled());
    d.choose("cmb_mep", "Somogy Megyei Egészségbiztosítási Pénztár");
    QVERIFY(d.button("bbtn_ment")->isEnabled());
    // Same site as the seat.
    d.get<QCheckBox>("cbx_ugyanaz")->click();
    QCOMPARE(d.edit("ed_tisz")->text(), QStringLiteral("7400"));
    QCOMPARE(d.combo("cmb_tkter")->currentText(), QStringLiteral("út"));
    d.click("bbtn_ment");

    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Bejelentő(k) adatai ;  \"Megtekintés\"-mód"));
    QCOMPARE(d.get<QLabel>("lbl_foglrec")->text(), QStringLiteral("1"));
    QCOMPARE(t.scalar("select CEG_NEV || '|' || ADO_SZAM || '|' || AZON_TIP || '|' || JARAS_KOD || "
                      "'|' || MEGYE || '|' || SZ_IRSZ || SZ_IRSZ_S || '|' || SZ_CIM_JELL || '|' || "
                      "T_IRSZ || T_IRSZ_S || T_CIM_JELL || '|' || BANKSZAM || '|' || CEG_INDUL || "
                      "'|' || TBKIFH || TAKISZ || '|' || EMAIL from foglalk")
                 .toString(),
             "PROBA KFT|12345676242|0|000|140|74001|002|74001002|1234567610000001|" + Yesterday +
                 "|00|berosztaly");
    QVERIFY(t.scalar("select CEG_VEGE is null and NYILV_SZAM is null from foglalk").toBool());
    QCOMPARE(Settings::read("Fogl"), Today);
    QCOMPARE(d.edit("dbed_nev")->text(), QStringLiteral("PROBA KFT"));
    QCOMPARE(d.combo("cmb_modszhely")->currentText(), d.combo("cmb_szhely")->currentText());
    QCOMPARE(d.combo("cmb_modmep")->currentText(),
             QStringLiteral("Somogy Megyei Egészségbiztosítási Pénztár"));
    QCOMPARE(t.scalar("select count(*) from jel_fej").toInt(), 0);
}

void TestFoglalk::taxNumberRules()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('ELSO KFT', '12345676242')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    d.click("bbtn_uj");
    prompter.messages.clear();
    d.type("ed_cegnev", "ELSO KFT");
    QCOMPARE(prompter.messages, QStringList{"Ez a név már szerepel az adatbázisban !\n\rAdjon meg "
                                            "másikat, vagy egészítse ki !"});
    QCOMPARE(d.edit("ed_cegnev")->text(), QStringLiteral("ELSO KFT"));
    prompter.messages.clear();
    QTRY_VERIFY(d.edit("ed_cegnev")->hasFocus());

    const QList<QPair<QString, QString>> refused = {
        {"", "Az azonosító szám mezőt kötelező kitölteni.\n\rEnnek hiányában nem lehet jelentést "
             "feladni !"},
        {"1234567624", "Az adószámot 11 hosszan kell beírni !"},
        {"12345675242", "Az adószám érvénytelen !"},
        {"12345676242", "Ez az adó szám már szerepel !!"},
    };
    for (const auto &[typed, expected] : refused) {
        prompter.messages.clear();
        d.type("ed_azon", typed);
        QCOMPARE(prompter.messages, QStringList{expected});
        QVERIFY(d.edit("ed_azon")->text().isEmpty());
        QVERIFY(d.edit("ed_ado")->text().isEmpty());
        QTRY_VERIFY(d.edit("ed_azon")->hasFocus());
    }
    // Under another name the same tax number is accepted.
    prompter.messages.clear();
    d.type("ed_cegnev", "MASODIK KFT");
    d.type("ed_azon", "12345676242");
    QVERIFY(prompter.messages.isEmpty());
    QCOMPARE(d.edit("ed_ado")->text(), QStringLiteral("12345676"));
}

void TestFoglalk::foundingDate()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    prompter.messages.clear();
    d.type("med_alakul", Today);
    QCOMPARE(prompter.messages, QStringList{"Nem lehet nagyobb az alakulás ideje \r\nmint az "
                                            "aktuális dátum  !"});
    QCOMPARE(Tfrm_foglalk::maskedText(d.edit("med_alakul")), QStringLiteral("    .  .  "));
    QTRY_VERIFY(d.edit("med_alakul")->hasFocus());
    prompter.messages.clear();
    d.type("med_alakul", "20230230");
    QCOMPARE(prompter.messages, QStringList{"Nem helyes időpont megadás !"});
    prompter.messages.clear();
    QTRY_VERIFY(d.edit("med_alakul")->hasFocus());
    d.type("med_alakul", "");
    QCOMPARE(prompter.messages, QStringList{"Kötelező megadni az alakulás időpontját !"});
    prompter.messages.clear();
    QTRY_VERIFY(d.edit("med_alakul")->hasFocus());
    d.type("med_alakul", Yesterday);
    QVERIFY(prompter.messages.isEmpty());
    QCOMPARE(Tfrm_foglalk::maskedText(d.edit("med_alakul")), Yesterday);
}

void TestFoglalk::enterMovesOnAndRulesRun()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    prompter.messages.clear();
    QLineEdit *name = d.edit("ed_cegnev");
    d.focus(name);
    QTest::keyClicks(name, "enter kft");
    QTest::keyClick(name, Qt::Key_Return);
    // The disabled identifier type list is passed over.
    QTRY_VERIFY(d.edit("ed_azon")->hasFocus());
    QVERIFY(prompter.messages.isEmpty());
    // Leaving the empty tax number by Enter runs its rule and comes back.
    QTest::keyClick(d.edit("ed_azon"), Qt::Key_Return);
    QCOMPARE(prompter.messages, QStringList{"Az azonosító szám mezőt kötelező kitölteni.\n\rEnnek "
                                            "hiányában nem lehet jelentést feladni !"});
    QTRY_VERIFY(d.edit("ed_azon")->hasFocus());
    QTest::keyClicks(d.edit("ed_azon"), "12345676242");
    QTest::keyClick(d.edit("ed_azon"), Qt::Key_Enter);
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(d.edit("ed_ado3")->text(), QStringLiteral("42"));
    QVERIFY(!d.edit("ed_azon")->hasFocus());
}

void TestFoglalk::countyMismatchStaysInNewMode()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    fillNewEmployer(d, "AJKAI KFT", "12345676242", "Ajkai járás"); // a Veszprém district
    prompter.messages.clear();
    d.click("bbtn_ment");
    QCOMPARE(prompter.messages, QStringList{"A kiválasztott TH megyekódja nem egyezik\n\ra "
                                            "beállított járási hivatal megyekódjával!"});
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::New);
    QVERIFY(d.button("bbtn_ment")->isEnabled());
    QCOMPARE(t.scalar("select count(*) from foglalk").toInt(), 0);
    // With the matching fund it saves, and the district code is the district's own.
    d.choose("cmb_mep", "Veszprém Megyei Egészségbiztosítási Pénztár");
    d.click("bbtn_ment");
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
    QCOMPARE(t.scalar("select JARAS_KOD || MEGYE from foglalk").toString(),
             QStringLiteral("001190"));
}

void TestFoglalk::startNumber()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    fillNewEmployer(d, "KEZDO KFT", "12345676242", "Budapest 01. kerületi Hivatal");
    auto *spin = d.get<QSpinBox>("spn_kezdo");
    prompter.messages.clear();
    spin->setValue(5);
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(prompter.messages[0].startsWith("Csak abban az esetben adjon meg nagyobbat mint 1,"));
    QCOMPARE(d.combo("cmb_jelnev")->currentText(),
             QStringLiteral("09 - Eü.szolg. jogosultak jelentése"));
    spin->setValue(6);
    spin->setValue(5);
    QCOMPARE(prompter.messages.size(), 1); // warned once
    d.click("bbtn_ment");
    QCOMPARE(
        t.scalar("select JEL_TIP || '|' || JEL_SZAM || '|' || JEL_TETE || '|' || FAJL_NEV || "
                 "'|' || KESZ_DAT || '|' || CEG_NEV || '|' || ADO_SZAM || '|' || "
                 "(case when FOGLALK_ID = (select ID from foglalk) then 1 else 0 end) from jel_fej")
            .toString(),
        "09|4|0|*INDULÓ JELENTÉS*|" + Today + "|KEZDO KFT|12345676242|1");

    // Start number 1 writes no start row.
    d.click("bbtn_uj");
    fillNewEmployer(d, "MASIK KFT", "12345676241", "Budapest 01. kerületi Hivatal");
    spin->setValue(3);
    spin->setValue(1);
    QVERIFY(!d.combo("cmb_jelnev")->isEnabled());
    d.click("bbtn_ment");
    QCOMPARE(t.scalar("select count(*) from foglalk").toInt(), 2);
    QCOMPARE(t.scalar("select count(*) from jel_fej").toInt(), 1);
}

void TestFoglalk::modifyWithChangeMarks()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(
        exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, AZON_TIP, MEGYE, JARAS_KOD, SZ_IRSZ, "
                "SZ_IRSZ_S, SZ_CIM_JELL, T_IRSZ, T_IRSZ_S, T_CIM_JELL, CEG_INDUL, BANKSZAM) values "
                "('REGI KFT', '12345676242', '0', '010', '020', '1011', '0', '001', '1011', '0', "
                "'001', '2001.02.03', '1234567600000000')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
    QCOMPARE(d.edit("dbed_ado")->text(), QStringLiteral("12345676"));
    QCOMPARE(d.combo("cmb_mjarasok")->currentText(),
             QStringLiteral("Budapest 01. kerületi Hivatal"));
    QVERIFY(d.edit("dbed_nev")->isReadOnly());
    d.click("bbtn_modosit");
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::Modify);
    QCOMPARE(w->windowTitle(), QStringLiteral(" Bejelentő(k) adatai ;  \" Módosítás-mód \""));
    QVERIFY(!d.edit("dbed_nev")->isReadOnly());
    QVERIFY(d.edit("dbed_ado")->isReadOnly());
    QVERIFY(!d.combo("cmb_mazontip")->isEnabled());
    QVERIFY(!d.button("bbtn_uj")->isVisible());

    prompter.messages.clear();
    d.type("dbed_ado2", "");
    QCOMPARE(prompter.messages, QStringList{"Az áfakör nem lehet üres !"});
    QCOMPARE(d.edit("dbed_ado2")->text(), QStringLiteral("1"));
    d.type("dbed_ado2", "9"); // refused key
    QCOMPARE(d.edit("dbed_ado2")->text(), QStringLiteral("1"));
    prompter.messages.clear();
    d.type("dbed_ado3", "4");
    QCOMPARE(prompter.messages, QStringList{"Nem helyes megyekód !"});
    QCOMPARE(d.edit("dbed_ado3")->text(), QStringLiteral("11"));
    prompter.messages.clear();
    d.type("dbed_ado3", "13");
    QCOMPARE(prompter.messages.value(0), QStringLiteral("Amennyiben megváltozott a megyekód, \n\r"
                                                        "megváltozhatott az illetékes megye is.\n\r"
                                                        "Kérem ellenőrizze !"));
    d.type("dbed_nev", "UJ NEV KFT");
    d.type("ed_modszisz", "7400");
    d.choose("cmb_mszkter", "tér");
    d.type("ed_modtisz", "1012");
    d.choose("cmb_mtkter", "út");
    d.type("med_vege", "20000101");
    QVERIFY(prompter.messages.last().startsWith("Nem lehet kisebb/egyenlő a megszünés"));
    d.type("med_vege", "20300101");
    prompter.messages.clear();
    d.click("bbtn_ment");
    QCOMPARE(prompter.messages, QStringList{"A módosítás megtörtént !!"});
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
    QCOMPARE(
        t.scalar("select CEG_NEV || '|' || ADO_SZAM || '|' || SZ_IRSZ || SZ_IRSZ_S || '|' || "
                 "SZ_CIM_JELL || '|' || T_IRSZ || T_IRSZ_S || T_CIM_JELL || '|' || CEG_VEGE || "
                 "'|' || MEGYE || JARAS_KOD || '|' || BANKSZAM from foglalk")
            .toString(),
        QStringLiteral("UJ NEV KFT|12345676113|74000|%1|10120002|2030.01.01|010020|"
                       "1234567600000000")
            .arg(t.scalar("select KOD from koz_ter where KOZTERNEV = 'tér'").toString()));

    // Unmarked fields stay as they were: a second save without changes touches no address.
    QVERIFY(exec(t, "update foglalk set SZ_IRSZ_S = '1'"));
    d.click("bbtn_modosit");
    d.click("bbtn_ment");
    QCOMPARE(t.scalar("select SZ_IRSZ_S from foglalk").toString(), QStringLiteral("1"));
    // An end date cleared is stored as null.
    d.click("bbtn_modosit");
    d.type("med_vege", "");
    d.click("bbtn_ment");
    QVERIFY(t.scalar("select CEG_VEGE is null from foglalk").toBool());
}

void TestFoglalk::fundAndDistrictTogether()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t,
                 "insert into foglalk (CEG_NEV, ADO_SZAM, AZON_TIP, MEGYE, JARAS_KOD, CEG_INDUL) "
                 "values ('KOLTOZO KFT', '12345676242', '0', '010', '020', '2001.02.03')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    d.click("bbtn_modosit");
    d.choose("cmb_modmep", "Veszprém Megyei Egészségbiztosítási Pénztár");
    d.choose("cmb_mjarasok", "Ajkai járás");
    prompter.messages.clear();
    d.click("bbtn_ment");
    QCOMPARE(prompter.messages, (QStringList{"A kiválasztott járás megyekódja nem egyezik\n\ra "
                                             "beállított TH megyekódjával!",
                                             "A módosítás nem történt meg!"}));
    QCOMPARE(t.scalar("select MEGYE || JARAS_KOD from foglalk").toString(),
             QStringLiteral("190020"));
    // The second save finds the fund already moved.
    d.click("bbtn_modosit");
    d.choose("cmb_mjarasok", "Ajkai járás");
    prompter.messages.clear();
    d.click("bbtn_ment");
    QCOMPARE(prompter.messages, QStringList{"A módosítás megtörtént !!"});
    QCOMPARE(t.scalar("select MEGYE || JARAS_KOD from foglalk").toString(),
             QStringLiteral("190001"));
}

void TestFoglalk::failedStatementDoesNotStopTheNext()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, MEGYE, JARAS_KOD, SZ_IRSZ, "
                    "SZ_CIM_JELL) values ('A KFT', '12345676242', '010', '000', '1011', '001')"));
    EmployerStore store(t.data());
    EmployerChange c;
    c.id = 1;
    c.posted = {{"CEG_NEV", "A KFT"}};
    c.seatPostcode = EmployerStore::CodeName{"12345", "0"}; // too long for the store
    c.seatStreetType = QStringLiteral("002");
    c.endDate = Query::null();
    c.azonTip = "0";
    c.taxNumber = "12345676213";
    c.district = "000";
    c.fundBefore = "010";
    const auto r = EmployerRules(store).saveChange(c);
    QVERIFY(r.posted);
    QCOMPARE(r.messages,
             (QStringList{"Hiba lépett fel a módosításnál !", "A módosítás megtörtént !!"}));
    QCOMPARE(t.scalar("select SZ_IRSZ || SZ_CIM_JELL || ADO_SZAM from foglalk").toString(),
             QStringLiteral("101100212345676213"));

    // A posting the store refuses writes nothing else.
    c.posted = {{"CEG_INDUL", "2020.02.30"}};
    c.taxNumber = "12345676299";
    const auto refused = EmployerRules(store).saveChange(c);
    QVERIFY(!refused.posted);
    QCOMPARE(refused.messages, QStringList{"Hiba lépett fel a rögzítésnél !!"});
    QCOMPARE(t.scalar("select ADO_SZAM from foglalk").toString(), QStringLiteral("12345676213"));
}

void TestFoglalk::modifyAndDeleteRefused()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, CEG_INDUL) values ('A KFT', "
                    "'12345676242', '2001.01.01')"));
    QVERIFY(exec(t, "insert into jel_temp (FOGLALK_ID, TAJ) values (1, '123456788')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    prompter.messages.clear();
    d.click("bbtn_modosit");
    QCOMPARE(prompter.messages, QStringList{"Van előkészített jelentése a bejelentőnek!\n\rNem "
                                            "lehet módosítani az adatokat !!"});
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
    prompter.messages.clear();
    d.click("bbtn_torol");
    QCOMPARE(prompter.messages, QStringList{"Van előkészített jelentése a bejelentőnek!\n\rVissza "
                                            "kell ezeket vonni, csak utána törölhető !"});
    QVERIFY(exec(t, "delete from jel_temp"));
    QVERIFY(exec(t, "insert into taj_jogcim (FOGLALK_ID, TAJ) values (1, '123456788')"));
    prompter.messages.clear();
    d.click("bbtn_torol");
    QCOMPARE(prompter.messages, QStringList{"Ezt a bejelentőt nem lehet törölni !\n\rMár adott le "
                                            "jelentést."});
    QVERIFY(prompter.bottomQuestions.isEmpty());
    QCOMPARE(t.scalar("select count(*) from foglalk").toInt(), 1);
}

void TestFoglalk::deleteConfirmed()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('A KFT', '12345676242'), "
                    "('B KFT', '12345676241')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    BottomAnswer no;
    no.result = 7;
    prompter.bottomAnswers = {no};
    d.click("bbtn_torol");
    QCOMPARE(t.scalar("select count(*) from foglalk").toInt(), 2);
    QCOMPARE(prompter.bottomQuestions.size(), 1);
    QCOMPARE(prompter.bottomQuestions[0].page, BottomQuestion::Default);
    QCOMPARE(prompter.bottomQuestions[0].line1, QStringLiteral("Figyelem !"));
    QCOMPARE(prompter.bottomQuestions[0].line2, QStringLiteral("Valóban törli a bejelentőt ?!"));
    prompter.messages.clear();
    d.get<QTableWidget>("dbg_fogl")->setCurrentCell(1, 0);
    d.click("bbtn_torol");
    QCOMPARE(prompter.messages.last(), QStringLiteral("A bejelentő törölve lett !!"));
    QCOMPARE(t.scalar("select group_concat(CEG_NEV) from foglalk").toString(),
             QStringLiteral("A KFT"));
    QCOMPARE(d.get<QLabel>("lbl_foglrec")->text(), QStringLiteral("1"));
    QCOMPARE(w->mode(), Tfrm_foglalk::Mode::View);
}

void TestFoglalk::employerSheet()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    // An employer without a seat address is not listable: nothing to print, the register closes.
    QVERIFY(
        exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('CÍM NÉLKÜL', '12345676242')"));
    {
        auto w = openWindow(t);
        Driver d{*w};
        d.click("bbtn_nyomtat");
        QCOMPARE(prompter.messages, QStringList{"Nincs bejelentő rögzítve !"});
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(prompter.dialogsShown.isEmpty());
    }
    QCOMPARE(t.scalar("select count(*) from koz_ter where KOD = '999'").toInt(), 0);
    QVERIFY(exec(t,
                 "insert into foglalk (CEG_NEV, ADO_SZAM, SZ_IRSZ, SZ_IRSZ_S, SZ_CIM_JELL, "
                 "SZ_UTCA, SZ_HAZ, CEG_INDUL) values "
                 "('RENDBEN KFT', '12345676241', '1011', '0', '001', 'Fő', '12', '2001.02.03'), "
                 "('ISMERETLEN TÍPUS KFT', '12345676240', '1011', '0', '999', 'Fő', '1', NULL)"));
    const auto rows = EmployerStore(t.data()).sheetRows();
    QVERIFY(rows);
    QCOMPARE(rows->size(), 1);
    QCOMPARE(rows->first().value("ceg_nev").toString(), QStringLiteral("RENDBEN KFT"));
    QCOMPARE(rows->first().value("telepules").toString(), QStringLiteral("Budapest"));
    QCOMPARE(rows->first().value("kozternev").toString(),
             t.scalar("select KOZTERNEV from koz_ter where KOD = '001'").toString());
    prompter.messages.clear();
    int pages = 0;
    prompter.dialogActions << [&pages](QDialog *dialog) {
        auto *view = dialog->findChild<QPrintPreviewWidget *>();
        if (!view) return int(QDialog::Rejected);
        view->updatePreview();
        pages = view->pageCount();
        return int(QDialog::Accepted);
    };
    auto w = openWindow(t);
    Driver d{*w};
    d.click("bbtn_nyomtat");
    QCOMPARE(prompter.dialogsShown, QStringList{"previewDialog"});
    QCOMPARE(pages, 1);
    QVERIFY(prompter.messages.isEmpty());
    QVERIFY(w->isVisible());
}

void TestFoglalk::queryUser()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    ScriptedPrompter prompter;
    {
        auto w = openWindow(t, 1);
        QCOMPARE(prompter.messages, QStringList{"Nincs joga bejelentő felvitelére !!"});
        QTRY_VERIFY(!w->isVisible());
    }
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('A KFT', '12345676242')"));
    auto w = openWindow(t, 1);
    Driver d{*w};
    for (const char *hidden : {"bbtn_uj", "bbtn_modosit", "bbtn_torol", "bbtn_ment", "bbtn_megse"})
        QVERIFY2(!d.button(hidden)->isVisible(), hidden);
    QVERIFY(d.button("bbtn_vissza")->isVisible());
}

void TestFoglalk::leavingSetsPrisonServiceFlag()
{
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('A KFT', '12345676242')"));
    ScriptedPrompter prompter;
    t.context().run.prisonService = true;
    auto w = openWindow(t);
    Driver d{*w};
    d.click("bbtn_vissza");
    QVERIFY(!t.context().run.prisonService);
    QVERIFY(exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM) values ('BV', '15752026241')"));
    auto again = openWindow(t);
    Driver{*again}.click("bbtn_vissza");
    QVERIFY(t.context().run.prisonService);
}

void TestFoglalk::screenshots()
{
    const QString dir = qEnvironmentVariable("TARVIK_SCREENSHOTS");
    if (dir.isEmpty()) QSKIP("TARVIK_SCREENSHOTS not set");
    TestInstallation t(TestInstallation::WithReferenceData);
    QVERIFY(t.ok());
    QVERIFY(
        exec(t, "insert into foglalk (CEG_NEV, ADO_SZAM, AZON_TIP, MEGYE, JARAS_KOD, SZ_IRSZ, "
                "SZ_IRSZ_S, SZ_CIM_JELL, SZ_UTCA, SZ_HAZ, CEG_INDUL, BANKSZAM, TELEFON, EMAIL, "
                "UGYVEZETO) values ('DEMO KERESKEDELMI KFT', '12345676242', '0', '010', '020', "
                "'1011', '0', '001', 'Fő', '12', '2010.01.04', '1234567610000001', '06-1-5550100', "
                "'bér@pelda.hu', 'MINTA PÉTER')"));
    ScriptedPrompter prompter;
    auto w = openWindow(t);
    Driver d{*w};
    w->grab().save(dir + "/foglalk_view.png");
    d.click("bbtn_modosit");
    w->grab().save(dir + "/foglalk_modify.png");
    d.click("bbtn_megse");
    d.click("bbtn_uj");
    fillNewEmployer(d, "UJ KFT", "12345676241", "Budapest 01. kerületi Hivatal");
    w->grab().save(dir + "/foglalk_new.png");
}

int runEmployerTests(int argc, char **argv)
{
    TestFoglalk t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_foglalk.moc"

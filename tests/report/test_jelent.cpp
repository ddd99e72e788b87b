#include "reportstore.h"
#include "scriptedprompter.h"
#include "tablecheck.h"
#include "testinstallation.h"
#include "tfrm_javitas.h"
#include "tfrm_jelent.h"
#include "tfrm_munkaviszony.h"
#include "tokbottomdlg.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace
{
const QString Demo = QStringLiteral("DEMO KERESKEDELMI KFT");
const QString Prison = QStringLiteral("BÜNTETÉS-VÉGREHAJTÁS ORSZÁGOS PARANCSNOKSÁGA");
const QString Today = QDate::currentDate().toString("yyyy.MM.dd");
const QString LastMonth = QDate::currentDate().addDays(-30).toString("yyyy.MM.dd");

BottomAnswer yes(const QString &choice = {}, bool noTaj = false)
{
    BottomAnswer a;
    a.result = 6;
    a.choice = choice;
    a.noTaj = noTaj;
    return a;
}

BottomAnswer cancel()
{
    return BottomAnswer{};
}

bool exec(TestInstallation &t, const QString &sql)
{
    QSqlQuery q(t.data().db());
    return q.exec(sql);
}

struct Entry : WindowDriver {
    TestInstallation &t;
    ScriptedPrompter &prompter;

    QLabel *label(const char *name) { return get<QLabel>(name); }
    QCheckBox *check(const char *name) { return get<QCheckBox>(name); }
    QTableView *grid(const char *name) { return get<QTableView>(name); }
    QString masked(const char *name) { return Tfrm_jelent::maskText(edit(name)); }
    int keys = 0; // sent by key()
    // One key to whatever control has the focus, as the keyboard sends it.
    bool key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        if (!focus) return false;
        QTest::keyClick(focus, Qt::Key(k), m);
        QCoreApplication::processEvents();
        ++keys;
        return true;
    }

    void employerAndType(const QString &employer, int type)
    {
        choose("cmb_fogl", employer);
        choose("cmb_jelnev", combo("cmb_jelnev")->itemText(type));
    }
    // Double click on a person of the list, found by TAJ.
    void takePerson(const QString &taj)
    {
        QAbstractItemModel *m = grid("dbg_taj")->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 2).data().toString() == taj) {
                grid("dbg_taj")->setCurrentIndex(m->index(r, 0));
                Q_EMIT grid("dbg_taj")->doubleClicked(m->index(r, 0));
                QCoreApplication::processEvents();
                return;
            }
        QFAIL(qPrintable("person not in the list: " + taj));
    }
    // A new person's data up to the country and the fund.
    void newPersonData(const QString &taj, const QString &family, const QString &given)
    {
        type("ed_taj", taj);
        type("ed_vnev", family);
        type("ed_knev", given);
        check("cbx_egyezik")->click();
        type("ed_avnev", "KISS");
        type("ed_aunev1", "ÉVA");
        type("med_szuldat", "1988.02.14");
    }
    QString pending(const QString &fields, const QString &where = "1=1")
    {
        QSqlQuery q(t.data().db());
        const bool count = fields.startsWith("count(");
        q.exec("select " + fields + " from jel_temp where " + where +
               (count ? QString() : QStringLiteral(" order by jel_tete")));
        QStringList rows;
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << TableCheck::text(q.value(i));
            rows << values.join(u'|');
        }
        return rows.join(u';');
    }
};

std::unique_ptr<Tfrm_jelent> openWindow(TestInstallation &t,
                                        Tfrm_jelent::Page page = Tfrm_jelent::Page::Rogzit)
{
    auto w = std::make_unique<Tfrm_jelent>(t.context(), page);
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("entry window not active");
    QCoreApplication::processEvents();
    return w;
}

} // namespace

class TestJelent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noActiveEmployerCloses()
    {
        TestInstallation t(TestInstallation::WithReferenceData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        QCOMPARE(prompter.messages,
                 QStringList{"Nincs olyan aktív bejelentő \r\nakire jelentést lehet rögzíteni !"});
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    // With the keyboard alone: Tab leaves the person grid for the next control and Shift+Tab
    // comes back, Enter on a person takes it as a double click does, Esc leaves the window as
    // "Vissza" does. Every key goes to the control that has the focus.
    void keyboardOnlyInTheGridAndOut()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, 2);
        auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QVERIFY(d.key(k, m)); };
        QTableView *persons = d.grid("dbg_taj");
        persons->setFocus();
        persons->setCurrentIndex(persons->model()->index(0, 0));
        key(Qt::Key_Down);
        QCOMPARE(persons->currentIndex().row(), 1);
        key(Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != persons);
        key(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), persons);
        QCOMPARE(persons->currentIndex().row(), 1);
        const QString taj = persons->model()->index(1, 2).data().toString();
        key(Qt::Key_Return);
        QCOMPARE(d.edit("ed_taj")->text(), taj);
        QCOMPARE(persons->accessibleName(), QStringLiteral("Munkavállalók"));
        // Every button, check box, radio button and group has an Alt key of its own: the
        // window's own apart from all, each page's apart from the window's.
        QHash<QWidget *, QSet<QChar>> keys;
        auto altKey = [&](QWidget *control, const QString &text) {
            QWidget *page = nullptr;
            for (QWidget *up = control; up && up != w.get(); up = up->parentWidget())
                if (qobject_cast<QStackedWidget *>(up->parentWidget())) page = up;
            const qsizetype at = text.indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
            const QChar key = text[at + 1].toLower();
            QVERIFY2(!keys[page].contains(key), qPrintable(text));
            keys[page].insert(key);
        };
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            if (!b->text().isEmpty()) altKey(b, b->text());
        for (QGroupBox *g : w->findChildren<QGroupBox *>())
            if (!g->title().isEmpty()) altKey(g, g->title());
        for (auto page = keys.cbegin(); page != keys.cend(); ++page)
            if (page.key()) QVERIFY((page.value() & keys.value(nullptr)).isEmpty());
        QVERIFY(keys.size() >= 3);
        QCOMPARE(d.edit("ed_vnev")->accessibleName(), QStringLiteral("Viselt név"));
        QCOMPARE(d.edit("med_bkezd")->accessibleName(), QStringLiteral("Jogosultság kezdete"));
        persons->setFocus();
        key(Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());
    }

    // A whole report from the keyboard alone, every key sent to the control that has the focus:
    // the employer and the type looked through with the arrows and chosen with Enter, a person
    // taken from the list, Enter through the fields to the legal title, the line added and the
    // report recorded with Alt keys, on to the making page.
    void wholeReportFromTheKeyboard()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QVERIFY(d.key(k, m)); };
        auto typeText = [&](const QString &text) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            d.keys += int(text.size());
        };
        auto altKey = [&](const char *button) {
            const QString text = d.button(button)->text();
            const qsizetype at = text.indexOf(u'&');
            QVERIFY2(at >= 0, qPrintable(text));
            key(text[at + 1].toUpper().unicode(), Qt::AltModifier);
        };
        QCOMPARE(QApplication::focusWidget(), d.combo("cmb_fogl"));
        // The arrows only look through the employers: nothing is chosen before Enter.
        while (d.combo("cmb_fogl")->currentText() != Demo && d.keys < 5)
            key(Qt::Key_Down);
        QVERIFY(d.edit("ed_adoszam")->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), d.combo("cmb_fogl"));
        key(Qt::Key_Return);
        QTRY_COMPARE(d.edit("ed_adoszam")->text(), QStringLiteral("12345676242"));
        QCOMPARE(QApplication::focusWidget(), d.combo("cmb_jelnev"));
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        QVERIFY(d.combo("cmb_jelnev")->isEnabled());
        key(Qt::Key_Return);
        QTRY_VERIFY(!d.combo("cmb_jelnev")->isEnabled());
        QCOMPARE(d.combo("cmb_jelnev")->currentText().left(2), QStringLiteral("09"));
        QTableView *persons = d.grid("dbg_taj");
        QCOMPARE(QApplication::focusWidget(), persons);
        key(Qt::Key_Home);
        for (int row = 0; persons->currentIndex().data().isValid() &&
                          persons->model()->index(persons->currentIndex().row(), 2).data() !=
                              QStringLiteral("123456788") &&
                          row < persons->model()->rowCount();
             ++row)
            key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(d.edit("ed_vnev")->text(), QStringLiteral("KOVÁCS"));
        prompter.bottomAnswers << yes("rbtn_valtozas");
        for (int i = 0; i < 30 && QApplication::focusWidget() != d.edit("ed_jkod"); ++i)
            key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), d.edit("ed_jkod"));
        typeText("1101");
        key(Qt::Key_Return);
        QTRY_VERIFY(d.button("btn_ad")->isEnabled());
        // An Alt key presses its button as a click does, a moment later.
        altKey("btn_ad");
        QTRY_COMPARE(d.pending("TAJ"), QStringLiteral("123456788"));
        QVERIFY(d.button("bbtn_rogzit")->isEnabled());
        altKey("bbtn_rogzit");
        QTRY_COMPARE(d.get<QStackedWidget>("ntb_jelent")->currentWidget(),
                     d.get<QWidget>("keszit"));
        // Only the question of the report's kind was asked.
        QCOMPARE(prompter.messages.size(), prompter.bottomQuestions.size());
        // Close to the number of things typed: no detours through other controls.
        QVERIFY2(d.keys <= 40, qPrintable(QString::number(d.keys)));
    }

    // Tab walks the entry page in a cycle that comes back to where it started and visits every
    // control that takes the focus; none keeps the key for itself.
    void tabCycleVisitsEveryControl()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, 2);
        QWidget *start = d.edit("ed_keres");
        start->setFocus();
        QSet<QWidget *> visited;
        for (int i = 0; i < 200; ++i) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            visited.insert(focus);
            QTest::keyClick(focus, Qt::Key_Tab);
            QCoreApplication::processEvents();
            if (QApplication::focusWidget() == start) break;
        }
        QCOMPARE(QApplication::focusWidget(), start);
        QSet<QWidget *> expected;
        for (QWidget *c : w->findChildren<QWidget *>())
            if (c->isVisible() && c->isEnabled() && (c->focusPolicy() & Qt::TabFocus) &&
                !c->focusProxy() && c->window() == w.get())
                expected.insert(c);
        QStringList missed;
        for (QWidget *c : expected - visited)
            missed << c->objectName();
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(", ")));
        QVERIFY2(prompter.messages.isEmpty() && prompter.bottomQuestions.isEmpty(),
                 qPrintable(prompter.messages.join('|')));
    }

    void newPersonToAddedLine()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        QCOMPARE(d.label("lbl_foglrec")->text(), QStringLiteral("2"));
        QCOMPARE(w->windowTitle(), QStringLiteral(" Jelentés adatok  - új jelentés rögzítése "));
        d.choose("cmb_fogl", Demo);
        QCOMPARE(d.edit("ed_adoszam")->text(), QStringLiteral("12345676242"));
        QCOMPARE(d.edit("ed_hely")->text(), QStringLiteral("Budapest"));
        QCOMPARE(d.label("lbl_dolgrec")->text(), QStringLiteral("3"));
        // The first text counts as type "08"; the report number follows the filed "09" report.
        QCOMPARE(d.combo("cmb_jelnev")->currentIndex(), 0);
        QTest::keyClick(d.combo("cmb_jelnev"), Qt::Key_Return);
        QCOMPARE(d.combo("cmb_jelnev")->currentText().left(2), QStringLiteral("08"));
        QCOMPARE(d.label("lbl_sorszam")->text(), QStringLiteral("1"));
        d.click("bbtn_ujjel");
        d.employerAndType(Demo, 2);
        QCOMPARE(d.label("lbl_sorszam")->text(), QStringLiteral("2"));
        QVERIFY(!d.combo("cmb_jelnev")->isEnabled());

        // Enter in the empty search field asks for a new person.
        d.type("ed_keres", "", WindowDriver::Enter);
        QCOMPARE(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1).line1,
                 QStringLiteral("Nem adott meg azonosítót !"));
        QVERIFY(!d.edit("ed_taj")->isReadOnly());
        prompter.messages.clear();
        d.type("ed_taj", "123456789");
        QCOMPARE(prompter.messages, QStringList{"Nem jó a TAJ-szám"});
        // A refused number does not stay in its field.
        QCOMPARE(d.edit("ed_taj")->text(), QString());
        d.type("ed_taj", "04a4332217");
        QCOMPARE(d.edit("ed_taj")->text(), QStringLiteral("044332217"));
        prompter.messages.clear();
        d.newPersonData("044332217", "VARGA", "ILONA");
        QCOMPARE(d.edit("ed_szvnev")->text(), QStringLiteral("VARGA"));
        QCOMPARE(d.edit("ed_okod")->text(), QStringLiteral("348"));
        QCOMPARE(d.combo("cmb_allamp")->currentText(), QStringLiteral("Magyarország"));
        d.type("med_szuldat", "2011.02.30");
        QCOMPARE(prompter.messages, QStringList{"Nem helyes időpont megadás !"});
        QCOMPARE(d.masked("med_szuldat"), QStringLiteral("    .  .  "));
        d.type("med_szuldat", "1988.02.14");
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        QCOMPARE(d.combo("cmb_jogcim")->currentText(), QStringLiteral("Munkaviszony"));
        QVERIFY(!d.button("btn_ad")->isEnabled());
        d.type("med_bkezd", LastMonth);
        QVERIFY(d.button("btn_ad")->isEnabled());
        d.type("ed_mido", "40");
        d.type("ed_fkod", "4131");
        QCOMPARE(d.combo("cmb_feor")->currentText(),
                 QStringLiteral("Készlet- és anyagnyilvántartó"));
        // A wrong TAJ number typed last, the field never left: the line is not written.
        prompter.messages.clear();
        d.type("ed_taj", "123456789", WindowDriver::Stay);
        d.click("btn_ad");
        QCOMPARE(prompter.messages, QStringList{"Nem jó a TAJ-szám"});
        QCOMPARE(d.pending("TAJ"), QString());
        QCOMPARE(d.edit("ed_taj")->text(), QString());
        // Typing the number again looks the person up: an unknown one comes without names.
        d.type("ed_taj", "044332217");
        QCOMPARE(d.edit("ed_vnev")->text(), QString());
        d.type("ed_vnev", "VARGA");
        d.type("ed_knev", "ILONA", WindowDriver::Stay);
        prompter.messages.clear();
        d.click("btn_ad");
        QVERIFY2(prompter.messages.isEmpty(), qPrintable(prompter.messages.join("|")));
        QCOMPARE(d.pending("JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, NYILV_SZAM, VEZ_NEV, "
                           "UTO_NEV, SZ_VEZ_NEV, A_VEZ_NEV, SZUL_DAT, O_KOD, JOGCIM, JEL_TIP, "
                           "KEZDET, VEGE is null, HORA, FEOR, PAKEZD, IMAGE is null"),
                 "2|1|N|044332217|1|12345676242|VARGA|ILONA|VARGA|KISS|1988.02.14|348|1101|09|" +
                     LastMonth + "|1|40|4131|N|1");
        QCOMPARE(d.label("lbl_fo")->text(), QStringLiteral("1"));
        QCOMPARE(d.grid("dbg_temp")->model()->rowCount(), 1);
        QVERIFY(d.edit("ed_taj")->text().isEmpty() && d.edit("ed_taj")->isReadOnly());
        QVERIFY(d.button("bbtn_rogzit")->isEnabled());

        // The pending line is there again after closing and reopening.
        w.reset();
        w = openWindow(t);
        Entry again{{*w}, t, prompter};
        again.employerAndType(Demo, 2);
        QCOMPARE(again.label("lbl_fo")->text(), QStringLiteral("1"));
        QCOMPARE(again.label("lbl_sorszam")->text(), QStringLiteral("2"));
    }

    void personOnRecordThroughEachKind()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, 2);

        // Data change of the open employment: the recorded start is kept and not checked again.
        d.takePerson("123456788");
        QCOMPARE(d.edit("ed_vnev")->text(), QStringLiteral("KOVÁCS"));
        QVERIFY(d.edit("ed_taj")->isReadOnly());
        prompter.bottomAnswers << yes("rbtn_valtozas");
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        QCOMPARE(d.masked("med_bkezd"), QStringLiteral("2024.03.01"));
        QVERIFY(d.edit("med_bkezd")->isReadOnly());
        QCOMPARE(d.edit("ed_fkod")->text(), QStringLiteral("4131"));
        const BottomQuestion asked =
            prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1);
        QCOMPARE(asked.page, BottomQuestion::Gomb);
        QCOMPARE(asked.preselected, QStringLiteral("rbtn_valtozas"));
        QVERIFY(!asked.disabledChoices.contains("rbtn_uj"));
        QVERIFY(!asked.showLateAgency);
        QVERIFY(d.button("btn_ad")->isEnabled());
        d.click("btn_ad");

        // Deletion of the agency relation; its question offers the late agency relation.
        d.takePerson("111222337");
        prompter.bottomAnswers << yes("rbtn_torol");
        d.type("ed_jkod", "1202", WindowDriver::Enter);
        QVERIFY(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1).showLateAgency);
        QVERIFY(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1)
                    .disabledChoices.contains("rbtn_szunet"));
        QVERIFY(d.check("cbx_torles")->isChecked() && !d.check("cbx_torles")->isEnabled());
        d.click("btn_ad");

        // A late agency relation before the recorded one: stored as "E".
        d.takePerson("111222337");
        prompter.bottomAnswers << yes("rbtn_eljog");
        prompter.messages.clear();
        d.type("ed_jkod", "1202", WindowDriver::Enter);
        QVERIFY(prompter.messages.last().startsWith("Figyelem !\n\rAz elmaradt megbízásos"));
        QCOMPARE(d.masked("med_bkezd"), QStringLiteral("    .  .  "));
        d.type("med_bkezd", "2025.07.01");
        d.type("med_bvege", "2025.08.31");
        QVERIFY(d.button("btn_ad")->isEnabled());
        d.click("btn_ad");

        // A new relation after the ended employment.
        d.takePerson("038521467");
        prompter.bottomAnswers << yes("rbtn_uj");
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        QVERIFY(!prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1)
                     .disabledChoices.contains("rbtn_uj"));
        QVERIFY(!d.edit("med_bkezd")->isReadOnly());
        QCOMPARE(d.masked("med_bkezd"), QStringLiteral("    .  .  "));
        d.type("med_bkezd", LastMonth);
        d.type("ed_fkod", "5113");
        d.click("btn_ad");

        QCOMPARE(d.pending("JEL_TETE, JAVITAS, TAJ, JOGCIM, KEZDET, VEGE"),
                 "1|N|123456788|1101|2024.03.01|;2|I|111222337|1202|2025.09.01|;"
                 "3|E|111222337|1202|2025.07.01|2025.08.31;4|N|038521467|1101|" +
                     LastMonth + "|");
        // A second pending line of the same start is refused.
        d.takePerson("038521467");
        prompter.bottomAnswers << yes("rbtn_uj");
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        prompter.messages.clear();
        d.type("med_bkezd", LastMonth);
        QCOMPARE(prompter.messages, QStringList{"Van már előkészített jelentés !"});
    }

    // Every kind of line, correctly filled, is added without a word, in both report types; the
    // add button's own refusals keep their messages ahead of the second look.
    void everyKindAddedWithoutMessage_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("08") << 1;
        QTest::newRow("09") << 2;
    }
    void everyKindAddedWithoutMessage()
    {
        QFETCH(int, type);
        const QString jelTip = type == 1 ? "08" : "09";
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, type);
        auto added = [&](const char *what) {
            prompter.messages.clear();
            const int before = d.pending("count(*)").toInt();
            d.click("btn_ad");
            QVERIFY2(prompter.messages.isEmpty(),
                     qPrintable(QString(what) + ": " + prompter.messages.join("|")));
            QCOMPARE(d.pending("count(*)").toInt(), before + 1);
        };
        auto kind = [&](const char *taj, const QString &code, const char *choice) {
            d.takePerson(taj);
            prompter.bottomAnswers << yes(choice);
            d.type("ed_jkod", code, WindowDriver::Enter);
        };
        if (jelTip == u"08") {
            // Benefit lines: no title, no occupation; a plain line and a correction.
            d.takePerson("123456788");
            d.type("ed_ekod", "2110");
            d.type("med_ekezd", "2025.01.06");
            d.type("med_evege", "2025.01.31", WindowDriver::Stay);
            added("benefit");
            d.takePerson("038521467");
            d.type("ed_ekod", "2110");
            d.type("med_ekezd", "2025.02.03");
            d.check("cbx_javit")->setChecked(true);
            added("benefit correction");
            QCOMPARE(d.pending("JAVITAS, TAJ, ELL_KOD, ELL_KEZD, ELL_VEGE, JEL_TIP"),
                     "N|123456788|2110|2025.01.06|2025.01.31|08;"
                     "I|038521467|2110|2025.02.03||08");
            return;
        }
        kind("123456788", "1101", "rbtn_valtozas");
        added("data change");
        kind("038521467", "1101", "rbtn_uj");
        d.type("med_bkezd", LastMonth);
        d.type("ed_fkod", "5113");
        added("new relation");
        kind("123456788", "1101", "rbtn_javit");
        d.type("med_bkezd", "2024.03.04");
        d.type("ed_fkod", "4131", WindowDriver::Stay);
        added("correction");
        // A late suspension: only the suspension is typed; the occupation is never visited.
        kind("123456788", "1101", "rbtn_elmaradt");
        d.type("med_szkezd", "2025.01.06");
        d.type("med_szvege", "2025.01.31");
        d.press(d.edit("ed_mido"), WindowDriver::Tab);
        added("late suspension");
        kind("123456788", "1101", "rbtn_szunet");
        d.type("med_szkezd", "2025.02.03");
        d.type("med_szvege", "2025.02.28", WindowDriver::Stay);
        added("suspension");
        kind("111222337", "1202", "rbtn_eljog");
        d.type("med_bkezd", "2025.07.01");
        d.type("med_bvege", "2025.08.31", WindowDriver::Stay);
        added("late agency relation");
        kind("111222337", "1202", "rbtn_torol");
        added("deletion");
        QCOMPARE(d.pending("JAVITAS, TAJ, JOGCIM, KEZDET, SZUN_KEZD, SZUN_VEGE"),
                 "N|123456788|1101|2024.03.01||;N|038521467|1101|" + LastMonth +
                     "||;N|123456788|1101|2024.03.04||"
                     ";E|123456788|1101|2024.03.01|2025.01.06|2025.01.31"
                     ";N|123456788|1101|2024.03.01|2025.02.03|2025.02.28"
                     ";E|111222337|1202|2025.07.01||;I|111222337|1202|2025.09.01||");

        // The birth name missing and the occupation left empty: the window's own message.
        kind("123456788", "1101", "rbtn_javit");
        d.type("med_bkezd", "2024.03.05");
        QCOMPARE(d.edit("ed_fkod")->text(), QString());
        d.edit("ed_szvnev")->clear();
        prompter.messages.clear();
        d.click("btn_ad");
        QCOMPARE(prompter.messages,
                 QStringList{"HIBA !\n\rNem lehet rögzíthéshez előkészíteni a jelentést "
                             "!\n\rHiányzik valamelyik kötelező adat :\n\rszületési/viselt "
                             "név vagy szül.dátum vagy taj"});
        QCOMPARE(d.pending("count(*)"), QStringLiteral("7"));
    }

    void correctionAndEmploymentChoice()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        // A second employment of the same person.
        QVERIFY(exec(t, "insert into taj_jogcim (TAJ, FOGLALK_ID, JOGCIM, JEL_TIP, KEZDET, FEOR, "
                        "HORA) values ('123456788', 1, '1101', '09', '2025.01.06', '3621', '20')"));
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, 2);
        d.takePerson("123456788");
        // The choice lists both, the newest first; the second (2024.03.01) is taken.
        prompter.dialogActions << [](QDialog *dialog) {
            auto *grid = dialog->findChild<QTableView *>("dbg_munkaviszony");
            if (grid->model()->rowCount() != 2 ||
                grid->model()->index(0, 0).data().toString() != u"2025.01.06")
                return int(QDialog::Rejected);
            grid->setCurrentIndex(grid->model()->index(1, 0));
            return int(QDialog::Accepted);
        };
        prompter.bottomAnswers << yes("rbtn_javit");
        prompter.messages.clear();
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        QCOMPARE(prompter.messages.value(0),
                 QStringLiteral("Több munkaviszonya is van.\n\rVálassza ki a kívánt sort!"));
        QCOMPARE(prompter.dialogsShown, QStringList{"Tfrm_munkaviszony"});
        QCOMPARE(d.masked("med_bkezd"), QStringLiteral("2024.03.01"));
        QVERIFY(d.check("cbx_javit")->isChecked() && !d.check("cbx_javit")->isEnabled());
        // The correction window cancels the filed line, then the corrected line follows.
        d.type("med_bkezd", "2024.03.04");
        d.type("ed_fkod", "4131");
        prompter.dialogActions << [](QDialog *dialog) {
            auto *grid = dialog->findChild<QTableView *>("dbg_javitas");
            if (grid->model()->rowCount() != 1) return int(QDialog::Rejected);
            grid->setCurrentIndex(grid->model()->index(0, 0));
            return int(QDialog::Accepted);
        };
        d.click("btn_ad");
        QCOMPARE(prompter.dialogsShown.last(), QStringLiteral("Tfrm_javitas"));
        QCOMPARE(d.pending("JEL_SZAM, JEL_TETE, JAVITAS, TAJ, JOGCIM, KEZDET, FEOR"),
                 QStringLiteral("2|1|I|123456788|1101|2024.03.01|4131;"
                                "2|2|N|123456788|1101|2024.03.04|4131"));
        QCOMPARE(d.label("lbl_fo")->text(), QStringLiteral("2"));
    }

    void deleteRenumbersAndUndo()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        for (const char *line :
             {"1, 'N', '123456788', 'KOVÁCS', 'ANNA'", "2, 'N', '038521467', 'NAGY', 'PÉTER'",
              "3, 'I', '123456788', 'KOVÁCS', 'ANNA'", "4, 'N', '111222337', 'SZABÓ', 'JÁNOS'"})
            QVERIFY(
                exec(t, QString("insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, VEZ_NEV, "
                                "UTO_NEV, FOGLALK_ID, JEL_TIP) values (2, %1, 1, '09')")
                            .arg(QString::fromUtf8(line))));
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Demo, 2);
        QCOMPARE(d.label("lbl_fo")->text(), QStringLiteral("4"));
        QCOMPARE(d.label("lbl_sorszam")->text(), QStringLiteral("2"));
        QTableView *lines = d.grid("dbg_temp");
        lines->setCurrentIndex(lines->model()->index(0, 0));
        d.click("bbtn_torol");
        QCOMPARE(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1).line2,
                 QStringLiteral("Valóban törli a kijelölt sort ?!"));
        QCOMPARE(d.pending("JEL_TETE, TAJ"), QStringLiteral("1|038521467;2|111222337"));
        QCOMPARE(d.label("lbl_fo")->text(), QStringLiteral("2"));
        // "Mégse" deletes nothing.
        prompter.bottomAnswers << cancel();
        lines->setCurrentIndex(lines->model()->index(0, 0));
        d.click("bbtn_torol");
        QCOMPARE(d.pending("count(*)"), QStringLiteral("2"));
        // Undoing the report empties it and starts again.
        d.click("bbtn_visszavon");
        QCOMPARE(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1).line2,
                 QStringLiteral("Valóban visszavonja az összes jelentéssort ?!"));
        QCOMPARE(d.pending("count(*)"), QStringLiteral("0"));
        QVERIFY(d.combo("cmb_jelnev")->isEnabled());
        QCOMPARE(d.label("lbl_fo")->text(), QStringLiteral("0"));
    }

    void prisonServiceLines()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        Entry d{{*w}, t, prompter};
        d.employerAndType(Prison, 2);
        // Only the two detainee titles are offered.
        QCOMPARE(d.combo("cmb_jogcim")->count(), 2);
        prompter.bottomAnswers << yes({}, true);
        d.click("bbtn_ujjog");
        QVERIFY(prompter.bottomQuestions.value(prompter.bottomQuestions.size() - 1).showNoTaj);
        QVERIFY(t.context().run.prisonService);
        QCOMPARE(d.edit("ed_taj")->text(), QStringLiteral("900000014"));
        d.newPersonData("900000014", "FOGOLY", "ELSŐ");
        d.edit("ed_okod")->clear();
        d.type("ed_okod", "276");
        d.type("ed_jkod", "2771");
        d.type("med_bkezd", LastMonth);
        prompter.messages.clear();
        d.type("med_bvege", Today);
        QVERIFY(prompter.messages.value(0).startsWith("Képzett TAJ-nál a jogosultság vége"));
        QCOMPARE(d.masked("med_bvege"), QStringLiteral("    .  .  "));
        prompter.messages.clear();
        d.click("btn_ad");
        QCOMPARE(prompter.messages,
                 QStringList{"Külföldit nem lehet ezen a jogcímen (2771) jelenteni !"});
        d.type("ed_okod", "348");
        prompter.messages.clear();
        d.click("btn_ad");
        QCOMPARE(prompter.messages.value(0).left(40),
                 QStringLiteral("Nem lehet rögzíthéshez előkészíteni a je"));
        d.get<QRadioButton>("rbtn_no")->click();
        d.click("btn_ad");
        QCOMPARE(d.pending("TAJ, JOGCIM, O_KOD, IMAGE, JEL_TETE"),
                 QStringLiteral("900000014|2771|348|2|1"));
        // The next detainee without TAJ continues the numbers.
        prompter.bottomAnswers << yes({}, true);
        d.click("bbtn_ujjog");
        QCOMPARE(d.edit("ed_taj")->text(), QStringLiteral("900000021"));
        // A made-up TAJ takes no other title.
        d.newPersonData("900000021", "FOGOLY", "MÁSODIK");
        prompter.messages.clear();
        d.type("ed_jkod", "2511", WindowDriver::Enter);
        QCOMPARE(prompter.messages,
                 QStringList{"Képzett TAJ esetén csak 2771, és 2772 adható le !"});
        QVERIFY(d.edit("ed_jkod")->text().isEmpty());
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("TARVIK_SCREENSHOTS");
        if (dir.isEmpty()) QSKIP("TARVIK_SCREENSHOTS not set");
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        auto w = openWindow(t);
        w->resize(w->sizeHint());
        Entry d{{*w}, t, prompter};
        w->grab().save(dir + "/jelent_1_empty.png");
        d.choose("cmb_fogl", Demo);
        w->grab().save(dir + "/jelent_2_employer.png");
        d.choose("cmb_jelnev", d.combo("cmb_jelnev")->itemText(2));
        w->grab().save(dir + "/jelent_3_type.png");
        d.takePerson("123456788");
        prompter.bottomAnswers << yes("rbtn_valtozas");
        d.type("ed_jkod", "1101", WindowDriver::Enter);
        w->grab().save(dir + "/jelent_4_person.png");
        d.click("btn_ad");
        w->grab().save(dir + "/jelent_5_added.png");
        d.click("bbtn_rogzit");
        w->grab().save(dir + "/jelent_6_keszit.png");
        ReportStore store(t.data());
        Tfrm_munkaviszony choice(*store.earlierRelations("123456788", 1, "09", "1101"), w.get());
        choice.show();
        choice.grab().save(dir + "/munkaviszony.png");
        Tfrm_javitas correction(*store.completedNewLines("123456788"), w.get());
        correction.show();
        correction.grab().save(dir + "/javitas.png");
        // The report-kind page of the question dialog, grabbed while it waits for an answer.
        TOKBottomDlg question(w.get());
        BottomQuestion kinds;
        kinds.page = BottomQuestion::Gomb;
        kinds.showLateAgency = true;
        kinds.disabledChoices = {"rbtn_szunet"};
        QTimer::singleShot(100, &question, [&] {
            question.grab().save(dir + "/kerdes_gomb.png");
            question.done(TOKBottomDlg::Megse);
        });
        question.ask(kinds);
    }
};

int runEntryTests(int argc, char **argv)
{
    TestJelent t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_jelent.moc"

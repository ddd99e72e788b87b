// Every window in its states, as a clerk sees it: it must fit a screen of 1280 x 720 logical
// pixels with its frame, keep its size when its state changes, and show every label whole.
// Run at scale 1.0 and 1.5 (QT_SCALE_FACTOR); TARVIK_SCREENSHOTS=DIR also saves the images.
#include "answerlogin.h"
#include "appstyle.h"
#include "formprinter.h"
#include "printedforms.h"
#include "reportstore.h"
#include "scriptedprompter.h"
#include "testinstallation.h"
#include "tfrm_about.h"
#include "tfrm_beallit.h"
#include "tfrm_bvop.h"
#include "tfrm_dolgozo.h"
#include "tfrm_felhasznalok.h"
#include "tfrm_foglalk.h"
#include "tfrm_frissit.h"
#include "tfrm_ismetel.h"
#include "tfrm_javitas.h"
#include "tfrm_jelent.h"
#include "tfrm_jelszo.h"
#include "tfrm_kulso.h"
#include "tfrm_main.h"
#include "tfrm_munkaviszony.h"
#include "tfrm_status.h"
#include "tfrm_sugo.h"
#include "tfrm_technikai.h"
#include "tfrm_telepites.h"
#include "tokbottomdlg.h"
#include "windowdriver.h"
#include "windowkeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QScreen>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace
{
// Room the window manager's frame takes: borders and a title bar.
constexpr int FrameWidth = 16, FrameHeight = 40;
const QSize Screen(1280, 720);

QString scaleName()
{
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
    return scale == u"1" ? QStringLiteral("100") : QString::number(int(scale.toDouble() * 100));
}

// What does not fit, one line each; empty when everything does.
QStringList misfits(QWidget *w)
{
    QStringList found;
    const QSize limit = Screen - QSize(FrameWidth, FrameHeight);
    const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
    if (least.width() > limit.width() || least.height() > limit.height())
        found << QStringLiteral("least size %1 x %2").arg(least.width()).arg(least.height());
    if (w->width() > limit.width() || w->height() > limit.height())
        found << QStringLiteral("size %1 x %2").arg(w->width()).arg(w->height());
    for (QLabel *l : w->findChildren<QLabel *>()) {
        if (!l->isVisibleTo(w) || l->wordWrap() || l->text().isEmpty() ||
            Qt::mightBeRichText(l->text()))
            continue;
        const int room = l->contentsRect().width() - 2 * l->margin() - qMax(0, l->indent());
        for (const QString &line : l->text().split(u'\n')) {
            const int need = l->fontMetrics().horizontalAdvance(line);
            if (need > room)
                found << QStringLiteral("label %1 \"%2\" needs %3, has %4")
                             .arg(l->objectName(), line)
                             .arg(need)
                             .arg(room);
        }
    }
    return found;
}

// What a clerk without a mouse meets, one line each: Tab from the first control must come back
// to it and pass every enabled control on the way; every button and group has an Alt key of its
// own (a page of a page control apart from the rest), every input a name a screen reader says.
QStringList keyboardFaults(QWidget *w)
{
    QStringList found;
    QList<QWidget *> controls;
    for (QWidget *c : w->findChildren<QWidget *>())
        if (c->isVisible() && c->isEnabled() && (c->focusPolicy() & Qt::TabFocus) &&
            !c->focusProxy() && c->window() == w)
            controls << c;
    // A group of radio buttons is one stop of Tab; the arrows move within the group.
    auto stop = [](QWidget *c) -> QObject * {
        auto *radio = qobject_cast<QRadioButton *>(c);
        return radio && radio->autoExclusive() ? radio->parent() : c;
    };
    if (!controls.isEmpty()) {
        QApplication::setActiveWindow(w);
        QWidget *start = w->focusWidget() && controls.contains(w->focusWidget()) ? w->focusWidget()
                                                                                 : controls.first();
        start->setFocus(Qt::TabFocusReason);
        QSet<QObject *> visited;
        for (int i = 0; i < 2 * int(controls.size()) + 2; ++i) {
            QWidget *focus = QApplication::focusWidget();
            if (!focus) break;
            visited.insert(stop(focus));
            QTest::keyClick(focus, Qt::Key_Tab);
            if (QApplication::focusWidget() == start) break;
        }
        if (QApplication::focusWidget() != start)
            found << QStringLiteral("Tab from %1 does not come back (stops at %2)")
                         .arg(start->objectName(), QApplication::focusWidget()
                                                       ? QApplication::focusWidget()->objectName()
                                                       : QStringLiteral("nothing"));
        for (QWidget *c : controls)
            if (!visited.contains(stop(c)))
                found << QStringLiteral("Tab never reaches %1").arg(c->objectName());
    }
    QHash<QWidget *, QSet<QChar>> keys;
    auto altKey = [&](QWidget *control, const QString &text) {
        QWidget *page = nullptr;
        for (QWidget *up = control; up && up != w; up = up->parentWidget())
            if (qobject_cast<QStackedWidget *>(up->parentWidget())) page = up;
        // A button of signs alone ("...") has no letter to give.
        if (std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isLetter(); }))
            return;
        const qsizetype at = text.indexOf(u'&');
        if (at < 0 || at + 1 >= text.size()) {
            found << QStringLiteral("no Alt key: %1 \"%2\"").arg(control->objectName(), text);
            return;
        }
        const QChar key = text[at + 1].toLower();
        if (keys[page].contains(key) || (page && keys[nullptr].contains(key)))
            found << QStringLiteral("Alt+%1 twice: %2").arg(key).arg(control->objectName());
        keys[page].insert(key);
    };
    for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
        if (b->isVisibleTo(w) && !b->text().isEmpty() && !qobject_cast<QToolButton *>(b))
            altKey(b, b->text());
    for (QGroupBox *g : w->findChildren<QGroupBox *>())
        if (g->isVisibleTo(w) && !g->title().isEmpty()) altKey(g, g->title());
    for (QWidget *c : w->findChildren<QWidget *>()) {
        const bool input = qobject_cast<QLineEdit *>(c) || qobject_cast<QComboBox *>(c) ||
                           qobject_cast<QAbstractSpinBox *>(c) ||
                           qobject_cast<QAbstractItemView *>(c) ||
                           qobject_cast<QPlainTextEdit *>(c) || qobject_cast<QTextEdit *>(c);
        if (!input || !c->isVisibleTo(w) || c->focusProxy() || qobject_cast<QHeaderView *>(c) ||
            qobject_cast<QComboBox *>(c->parentWidget()) ||
            qobject_cast<QAbstractSpinBox *>(c->parentWidget()))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(c);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            found << QStringLiteral("no name for a screen reader: %1 %2")
                         .arg(c->metaObject()->className(), c->objectName());
    }
    return found;
}

struct Screens {
    QStringList failures;
    QHash<QWidget *, QSize> firstSize;

    void look(QWidget *w, const QString &state)
    {
        if (!w->isVisible()) w->show();
        // Layouts settle over a few rounds of events after texts change.
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        const QString name =
            w->metaObject()->className() + (state.isEmpty() ? QString() : u'_' + state);
        for (const QString &m : misfits(w))
            failures << name + ": " + m;
        // A window keeps its size when its state changes.
        const QSize size = w->size();
        if (!firstSize.contains(w)) {
            firstSize.insert(w, size);
            // The program's own windows; Qt's print preview is Qt's.
            if (QByteArray(w->metaObject()->className()).startsWith('T'))
                for (const QString &m : keyboardFaults(w))
                    failures << name + ": " + m;
            QObject::connect(w, &QObject::destroyed, [this, w] { firstSize.remove(w); });
        } else if (firstSize[w] != size)
            failures << name + QStringLiteral(": size changed to %1 x %2")
                                   .arg(size.width())
                                   .arg(size.height());
        if (const QString dir = qEnvironmentVariable("TARVIK_SCREENSHOTS"); !dir.isEmpty())
            w->grab().save(QStringLiteral("%1/%2_%3.png").arg(dir, name, scaleName()));
    }
};
} // namespace

class TestScreens : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The windows as the program sets them up.
    void initTestCase()
    {
        AppStyle::apply();
        WindowKeys::installEverywhere();
    }

    void disabledTextReadsWell()
    {
        const QPalette p = QApplication::palette();
        for (const auto &[text, back] : {std::pair{QPalette::Text, QPalette::Base},
                                         std::pair{QPalette::WindowText, QPalette::Window},
                                         std::pair{QPalette::ButtonText, QPalette::Button}}) {
            const double ratio = AppStyle::contrast(p.color(QPalette::Disabled, text),
                                                    p.color(QPalette::Disabled, back));
            QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
        }
    }

    // The login's password field shows a "*" for every character, as the program always has.
    void passwordsShowStars()
    {
        TestInstallation t;
        QVERIFY(t.ok());
        ScriptedPrompter prompter;
        Tfrm_jelszo w(t.context());
        w.show();
        auto *password = w.findChild<QLineEdit *>("ed_jelszo");
        QVERIFY(password && password->echoMode() == QLineEdit::Password);
        password->setText("ab1");
        QCOMPARE(password->displayText(), QStringLiteral("***"));
    }

    void everyWindowFits()
    {
        TestInstallation t(TestInstallation::WithDemoData);
        QVERIFY(t.ok());
        t.context().run.initialise();
        t.context().run.rightsLevel = 3;
        t.context().run.userName = "ADMIN";
        ScriptedPrompter prompter;
        Screens s;
        AppContext &c = t.context();
        {
            Tfrm_jelszo w(c);
            s.look(&w, {});
        }
        {
            Tfrm_foglalk w(c);
            WindowDriver d{w};
            s.look(&w, "view");
            d.click("bbtn_uj");
            s.look(&w, "new");
        }
        {
            Tfrm_jelent w(c, Tfrm_jelent::Page::Rogzit);
            WindowDriver d{w};
            s.look(&w, "empty");
            d.choose("cmb_fogl", "DEMO KERESKEDELMI KFT");
            s.look(&w, "employer");
            d.choose("cmb_jelnev", d.combo("cmb_jelnev")->itemText(2));
            s.look(&w, "type");
        }
        {
            // The making page with a report waiting.
            QSqlQuery q(c.data.db());
            QVERIFY(q.exec("insert into jel_temp (JEL_SZAM, JEL_TETE, JAVITAS, TAJ, FOGLALK_ID, "
                           "NYILV_SZAM, VEZ_NEV, UTO_NEV, JOGCIM, JEL_TIP, KEZDET, PAKEZD) values "
                           "(2, 1, 'N', '123456788', 1, '12345676242', 'KOVÁCS', 'ANNA', '1101', "
                           "'09', '2026.11.01', 'N')"));
            Tfrm_jelent w(c, Tfrm_jelent::Page::Keszit);
            s.look(&w, "keszit");
            QVERIFY(q.exec("delete from jel_temp"));
        }
        ReportStore store(c.data);
        {
            Tfrm_munkaviszony w(*store.earlierRelations("123456788", 1, "09", "1101"));
            s.look(&w, {});
            Tfrm_javitas j(*store.completedNewLines("123456788"));
            s.look(&j, {});
        }
        {
            Tfrm_ismetel w(c);
            s.look(&w, {});
        }
        {
            Tfrm_kulso w(c);
            s.look(&w, {});
        }
        {
            Tfrm_technikai w(c);
            for (int mode : {0, 1, 2, 3, 4}) {
                w.hide(); // each mode is an opening of its own
                w.setMode(mode);
                s.firstSize.remove(&w); // each mode is its own opening
                s.look(&w, QString::number(mode));
            }
        }
        {
            Tfrm_dolgozo w(c);
            s.look(&w, "view");
            Tfrm_felhasznalok u(c);
            WindowDriver d{u};
            s.look(&u, "view");
            d.click("bbtn_uj");
            s.look(&u, "new");
        }
        {
            Tfrm_bvop w(c);
            s.look(&w, {});
            Tfrm_beallit b(c);
            s.look(&b, "folders");
            b.findChild<QTabWidget *>()->setCurrentIndex(1);
            s.look(&b, "printing");
            Tfrm_frissit f(c);
            s.look(&f, {});
        }
        {
            Tfrm_sugo w(c.installation.helpFolder());
            s.look(&w, {});
            Tfrm_about a(c.run.version);
            s.look(&a, {});
            Tfrm_status st;
            st.setText("Verzió ellenőrzés indul...");
            s.look(&st, {});
            Tfrm_telepites tp(c.installation.home());
            s.look(&tp, {});
        }
        // The question dialog on each of its pages, looked at while it waits for an answer.
        for (const BottomQuestion::Page page :
             {BottomQuestion::Default, BottomQuestion::Gomb, BottomQuestion::Kilep}) {
            TOKBottomDlg question;
            BottomQuestion q;
            q.page = page;
            q.line1 = "Valóban menti az adatbázist ?!";
            q.line2 = "Az eddigi mentett adat felülíródik !";
            q.showLateAgency = true;
            QTimer::singleShot(50, &question, [&] {
                s.look(&question, QString::number(int(page)));
                question.done(TOKBottomDlg::Megse);
            });
            question.ask(q);
        }
        // The main window after the login.
        {
            answerLogin("ADMIN", "pw");
            Tfrm_main w(c);
            s.look(&w, {});
        }
        // The print preview: most of the screen, the page fitted to its width, printing first.
        prompter.dialogActions << [&](QDialog *d) {
            const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
            const QSize want(qMin(room.width() * 9 / 10, 1240), qMin(room.height() * 9 / 10, 660));
            if (d->size() != want)
                s.failures << QStringLiteral("preview: %1 x %2").arg(d->width()).arg(d->height());
            auto *view = d->findChild<QPrintPreviewWidget *>();
            if (!view || view->zoomMode() != QPrintPreviewWidget::FitToWidth)
                s.failures << QStringLiteral("preview: not fitted to the page width");
            auto *bar = d->findChild<QToolBar *>();
            if (!bar || bar->actions().value(0)->text() != u"Print")
                s.failures << QStringLiteral("preview: printing is not the first button");
            d->show();
            QCoreApplication::processEvents();
            if (bar && !bar->widgetForAction(bar->actions().value(0))->isVisible())
                s.failures << QStringLiteral("preview: the print button is hidden");
            s.look(d, {});
            return int(QDialog::Rejected);
        };
        PrintedForms::preview(
            Tqrp_nyilatkozat({{"DEMO KFT", "12345676-2-42", "1011 Budapest", "", ""},
                              "J0901A12345676242_002",
                              1,
                              "1.0.4.3",
                              "ADMIN",
                              "2026.12.09",
                              "2026.12.09 10:00:00"})
                .form(),
            nullptr);
        for (const QString &f : std::as_const(s.failures))
            qWarning("%s", qPrintable(f));
        QVERIFY2(s.failures.isEmpty(), "windows that do not fit, listed above");
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestScreens t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_screens.moc"

#pragma once

#include "fieldkeys.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Drives a window by its control names, as a clerk would with the keyboard.
struct WindowDriver {
    QWidget &w;
    template <typename T> T *get(const char *name) { return w.findChild<T *>(name); }
    QLineEdit *edit(const char *name) { return get<QLineEdit>(name); }
    QComboBox *combo(const char *name) { return get<QComboBox>(name); }
    QPushButton *button(const char *name) { return get<QPushButton>(name); }

    // Puts the cursor into a field, as a click would, without running the rule of the field
    // the focus was in: each step checks one rule.
    void focus(QWidget *field)
    {
        auto *exits = w.findChild<FieldExit *>("fieldExit");
        const bool rulesOn = exits->isEnabled();
        exits->setEnabled(false);
        field->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        exits->setEnabled(rulesOn);
    }
    // Types into a field key by key (a masked date without its points); leaves it with Tab,
    // Enter or not at all.
    enum Leave { Tab, Enter, Stay };
    void type(const char *name, const QString &text, Leave leave = Tab)
    {
        QLineEdit *e = edit(name);
        QVERIFY2(e, name);
        focus(e);
        if (!e->text().isEmpty() && e->text() != u"..") {
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Backspace);
        }
        e->setCursorPosition(0);
        QString keys = text;
        if (!e->inputMask().isEmpty()) keys.remove(u'.');
        for (QChar c : keys) {
            if (c.unicode() < 128)
                QTest::keyClick(e, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        press(e, leave);
    }
    void press(QWidget *e, Leave leave)
    {
        if (leave == Tab) QTest::keyClick(e, Qt::Key_Tab);
        if (leave == Enter) QTest::keyClick(e, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void choose(const char *name, const QString &text)
    {
        QComboBox *c = combo(name);
        const int i = c->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        c->setCurrentIndex(i);
        Q_EMIT c->activated(i);
        Q_EMIT c->textActivated(text);
        QCoreApplication::processEvents();
    }
    void click(const char *name)
    {
        QVERIFY2(button(name)->isVisible() && button(name)->isEnabled(), name);
        button(name)->click();
        QCoreApplication::processEvents();
    }
};

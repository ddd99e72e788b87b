#pragma once

#include "tfrm_jelszo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Answers the login window that a constructor opens modally.
inline void answerLogin(const QString &name, const QString &password, bool cancel = false)
{
    QTimer::singleShot(0, [=] {
        auto *login = qobject_cast<Tfrm_jelszo *>(QApplication::activeModalWidget());
        if (!login) return;
        if (cancel) {
            login->findChild<QPushButton *>("bbtn_megse")->click();
            return;
        }
        auto *nev = login->findChild<QLineEdit *>("ed_nev");
        nev->clear();
        QTest::keyClicks(nev, name);
        QTest::keyClicks(login->findChild<QLineEdit *>("ed_jelszo"), password);
        login->findChild<QPushButton *>("bbtn_ok")->click();
    });
}

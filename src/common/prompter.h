#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// A question for the report-kind question dialog: which page, its texts and what it offers.
struct BottomQuestion {
    enum Page { Default, Gomb, Kilep };
    Page page = Default;
    QString line1, line2; // the two lines of the "Default" or the "kilep" page
    bool cancelEnabled = true;
    bool showNoTaj = false;      // "Nem rendelkezik TAJ számmal" (prison-service mode)
    QStringList disabledChoices; // radio buttons of the "gomb" page that cannot be chosen
    bool showLateAgency = false; // "Elmaradt mb. jogviszonyt" (title 1202)
    QString preselected;         // the radio button chosen when the page opens
};

struct BottomAnswer {
    int result = 7; // 6 "Igen", 7 "Mégse"
    bool noTaj = false;
    QString choice; // the chosen radio button of the "gomb" page
};

// Every modal interaction of the program goes through one Prompter: the application installs the
// one with real dialogs, tests install a scripted one.
class Prompter
{
public:
    enum class Icon { Information, Warning, Error, Question };
    // Answers as the question dialogs return them ("Igen" is 6).
    enum Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    virtual ~Prompter() = default;

    virtual void message(QWidget *parent, const QString &text, Icon icon = Icon::Information) = 0;
    virtual Answer question(QWidget *parent, const QString &text, bool okCancel = false) = 0;
    // Empty when cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &fileName, const QStringList &filters) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &fileName, const QStringList &filters) = 0;
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) = 0;
    virtual BottomAnswer bottomQuestion(QWidget *parent, const BottomQuestion &question) = 0;
    // Shows one of the program's own modal windows (a choice list, the correction window) and
    // returns its result.
    virtual int runDialog(QDialog *dialog) = 0;

    static Prompter &instance();
    static void install(Prompter *prompter);
};

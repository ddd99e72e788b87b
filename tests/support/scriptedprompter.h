#pragma once

#include "prompter.h"

#include <QList>

#include <QStringList>
#include <functional>

// Records every text shown and answers from queues; an empty queue answers Yes/Ok and
// cancels file choices.
class ScriptedPrompter : public Prompter
{
public:
    ScriptedPrompter() { Prompter::install(this); }
    ~ScriptedPrompter() override { Prompter::install(nullptr); }

    QStringList messages;  // every message and question text, in order
    QStringList questions; // the questions alone
    QList<Answer> answers;
    QStringList files; // answers of the file and folder choices
    QStringList fileTitles;
    QStringList fileFilters;
    QStringList fileNames;             // default file names offered
    QList<BottomAnswer> bottomAnswers; // empty: "Igen"
    QList<BottomQuestion> bottomQuestions;
    // Each shown window is handed to the next action, which works it as a user would and
    // returns its result; with none left the window is cancelled.
    QList<std::function<int(QDialog *)>> dialogActions;
    QStringList dialogsShown; // object names of the windows shown

    void message(QWidget *parent, const QString &text, Icon icon) override;
    Answer question(QWidget *parent, const QString &text, bool okCancel) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &fileName, const QStringList &filters) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &fileName, const QStringList &filters) override;
    QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) override;
    BottomAnswer bottomQuestion(QWidget *parent, const BottomQuestion &question) override;
    int runDialog(QDialog *dialog) override;

private:
    QString nextFile(const QString &title, const QString &fileName, const QStringList &filters);
};

#include "scriptedprompter.h"

#include <QDialog>

void ScriptedPrompter::message(QWidget *, const QString &text, Icon)
{
    messages << text;
}

Prompter::Answer ScriptedPrompter::question(QWidget *, const QString &text, bool okCancel)
{
    messages << text;
    questions << text;
    if (!answers.isEmpty()) return answers.takeFirst();
    return okCancel ? Ok : Yes;
}

QString ScriptedPrompter::nextFile(const QString &title, const QString &fileName,
                                   const QStringList &filters)
{
    fileTitles << title;
    fileNames << fileName;
    fileFilters << filters;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedPrompter::openFile(QWidget *, const QString &title, const QString &,
                                   const QString &fileName, const QStringList &filters)
{
    return nextFile(title, fileName, filters);
}

QString ScriptedPrompter::saveFile(QWidget *, const QString &title, const QString &,
                                   const QString &fileName, const QStringList &filters)
{
    return nextFile(title, fileName, filters);
}

QString ScriptedPrompter::chooseFolder(QWidget *, const QString &title, const QString &)
{
    return nextFile(title, {}, {});
}

BottomAnswer ScriptedPrompter::bottomQuestion(QWidget *, const BottomQuestion &question)
{
    bottomQuestions << question;
    messages << question.line1 + u'\n' + question.line2;
    if (!bottomAnswers.isEmpty()) return bottomAnswers.takeFirst();
    BottomAnswer yes;
    yes.result = 6;
    return yes;
}

int ScriptedPrompter::runDialog(QDialog *dialog)
{
    dialogsShown << dialog->objectName();
    if (dialogActions.isEmpty()) return QDialog::Rejected;
    return dialogActions.takeFirst()(dialog);
}

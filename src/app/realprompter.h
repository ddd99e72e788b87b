#pragma once

#include "prompter.h"

// Message boxes and file dialogs with Hungarian buttons.
class RealPrompter : public Prompter
{
public:
    void message(QWidget *parent, const QString &text, Icon icon) override;
    Answer question(QWidget *parent, const QString &text, bool okCancel) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &fileName, const QStringList &filters) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &fileName, const QStringList &filters) override;
    QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) override;
    BottomAnswer bottomQuestion(QWidget *parent, const BottomQuestion &question) override;
    int runDialog(QDialog *dialog) override;

    // The question dialog is made once, with the application, and reused.
    void setBottomDialog(class TOKBottomDlg *dialog) { m_bottom = dialog; }

private:
    class TOKBottomDlg *m_bottom = nullptr;
};

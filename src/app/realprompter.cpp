#include "realprompter.h"

#include "tokbottomdlg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace
{
// Messages carry the line breaks of their texts ("\n\r", "\r\n"); a label wants plain "\n".
QString displayText(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.remove(u'\r');
    return text;
}

QString filterText(const QStringList &filters)
{
    // "Description|pattern" pairs become "Description (pattern)".
    QStringList out;
    for (const QString &f : filters) {
        const int bar = f.indexOf(u'|');
        out << (bar < 0 ? f : f.left(bar) + QStringLiteral(" (") + f.mid(bar + 1) + u')');
    }
    return out.join(QStringLiteral(";;"));
}
} // namespace

void RealPrompter::message(QWidget *parent, const QString &text, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(displayText(text));
    box.setIcon(icon == Icon::Error     ? QMessageBox::Critical
                : icon == Icon::Warning ? QMessageBox::Warning
                                        : QMessageBox::Information);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

Prompter::Answer RealPrompter::question(QWidget *parent, const QString &text, bool okCancel)
{
    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(displayText(text));
    box.setIcon(QMessageBox::Question);
    QPushButton *yes = box.addButton(okCancel ? QStringLiteral("OK") : QStringLiteral("Igen"),
                                     QMessageBox::YesRole);
    QPushButton *no = box.addButton(okCancel ? QStringLiteral("Mégse") : QStringLiteral("Nem"),
                                    QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() == yes) return okCancel ? Ok : Yes;
    return okCancel ? Cancel : No;
}

QString RealPrompter::openFile(QWidget *parent, const QString &title, const QString &folder,
                               const QString &fileName, const QStringList &filters)
{
    return QFileDialog::getOpenFileName(parent, title, QDir(folder).filePath(fileName),
                                        filterText(filters));
}

QString RealPrompter::saveFile(QWidget *parent, const QString &title, const QString &folder,
                               const QString &fileName, const QStringList &filters)
{
    return QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(fileName),
                                        filterText(filters));
}

QString RealPrompter::chooseFolder(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

BottomAnswer RealPrompter::bottomQuestion(QWidget *parent, const BottomQuestion &question)
{
    if (m_bottom) return m_bottom->ask(question);
    TOKBottomDlg dialog(parent);
    return dialog.ask(question);
}

int RealPrompter::runDialog(QDialog *dialog)
{
    return dialog->exec();
}

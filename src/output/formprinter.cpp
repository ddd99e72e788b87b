#include "formprinter.h"

#include "prompter.h"

#include <QAction>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QToolBar>
#include <QWidget>

namespace PrintedForms
{

QString noPrinterReason()
{
    return QPrinterInfo::defaultPrinter().isNull()
               ? QStringLiteral("Nincs telepített nyomtató: a bejelentőlap és a nyilatkozat nem "
                                "nyomtatható ki.")
               : QString();
}

bool print(const BandedForm &form, int copies)
{
    if (QPrinterInfo::defaultPrinter().isNull()) return false;
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setCopyCount(copies);
    return form.render(&printer);
}

void preview(const BandedForm &form, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("previewDialog"));
    dialog.setWindowTitle(QStringLiteral("Nyomtatási kép"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&form](QPrinter *target) { form.render(target); });
    // Most of the screen, the page as wide as the window, and printing the first button, so that
    // it never hides behind the tool bar's overflow.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        dialog.resize(qMin(room.width() * 9 / 10, 1240), qMin(room.height() * 9 / 10, 660));
    }
    if (auto *fitWidth = dialog.findChild<QAction *>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    else if (auto *view = dialog.findChild<QPrintPreviewWidget *>())
        view->setZoomMode(QPrintPreviewWidget::FitToWidth);
    if (auto *bar = dialog.findChild<QToolBar *>(); bar && !bar->actions().isEmpty()) {
        QAction *print = bar->actions().last();
        bar->removeAction(print);
        QAction *first = bar->actions().value(0);
        bar->insertAction(first, print);
        bar->insertSeparator(first);
    }
    Prompter::instance().runDialog(&dialog);
}

} // namespace PrintedForms

#include "windowkeys.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace WindowKeys
{

namespace
{
const char *const Done = "tarvikWindowKeys";

bool isInput(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QAbstractItemView *>(w);
}

// The first input control of a layout item: the widget itself, or the first one of a layout.
QWidget *firstInput(QLayoutItem *item)
{
    if (!item) return nullptr;
    if (QWidget *w = item->widget()) return isInput(w) ? w : nullptr;
    if (QLayout *inner = item->layout())
        for (int i = 0; i < inner->count(); ++i)
            if (QWidget *w = firstInput(inner->itemAt(i))) return w;
    return nullptr;
}

// The control a label stands before in its layout: the next cell of its grid row, or the next
// item of its row.
QWidget *namedBy(QLabel *label, QLayout *layout)
{
    const int at = layout->indexOf(label);
    if (at < 0) {
        for (int i = 0; i < layout->count(); ++i)
            if (QLayout *inner = layout->itemAt(i)->layout())
                if (QWidget *w = namedBy(label, inner)) return w;
        return nullptr;
    }
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(at, &row, &column, &rows, &columns);
        return firstInput(grid->itemAtPosition(row, column + columns));
    }
    return at + 1 < layout->count() ? firstInput(layout->itemAt(at + 1)) : nullptr;
}

QString plain(QString text)
{
    text.remove(u'&');
    text = text.trimmed();
    while (text.endsWith(u':') || text.endsWith(u' '))
        text.chop(1);
    return text;
}

// Enter on a grid: what a double click on its current row does.
class GridKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        auto *view = qobject_cast<QAbstractItemView *>(watched);
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (!view || (key != Qt::Key_Return && key != Qt::Key_Enter)) return false;
        const QModelIndex current = view->currentIndex();
        if (!current.isValid()) return false;
        Q_EMIT view->doubleClicked(current);
        return true;
    }
};

// Every window of the program, as it is first shown.
class Everywhere : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            if (auto *w = qobject_cast<QWidget *>(watched); w && w->isWindow()) apply(w);
        return false;
    }
};
} // namespace

void apply(QWidget *window)
{
    if (!window || window->property(Done).toBool()) return;
    window->setProperty(Done, true);
    auto *gridKeys = new GridKeys(window);
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        // A combo box's list is its own: only the window's grids.
        if (view->window() != window) continue;
        view->setTabKeyNavigation(false);
        view->installEventFilter(gridKeys);
        if (view->accessibleName().isEmpty()) {
            for (QWidget *up = view->parentWidget(); up && up != window; up = up->parentWidget())
                if (auto *group = qobject_cast<QGroupBox *>(up);
                    group && !group->title().isEmpty()) {
                    view->setAccessibleName(plain(group->title()));
                    break;
                }
        }
    }
    for (QLabel *label : window->findChildren<QLabel *>()) {
        const QString text = plain(label->text());
        if (text.isEmpty() || label->textFormat() == Qt::RichText) continue;
        QWidget *holder = label->parentWidget();
        QLayout *layout = holder ? holder->layout() : nullptr;
        QWidget *control =
            label->buddy() ? label->buddy() : (layout ? namedBy(label, layout) : nullptr);
        if (!control) continue;
        if (!label->buddy()) label->setBuddy(control);
        if (control->accessibleName().isEmpty()) control->setAccessibleName(text);
    }
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>())
        if (view->window() == window && view->accessibleName().isEmpty())
            view->setAccessibleName(view->objectName());
}

void installEverywhere()
{
    static QPointer<Everywhere> installed;
    if (installed || !qApp) return;
    installed = new Everywhere(qApp);
    qApp->installEventFilter(installed);
}

} // namespace WindowKeys

#include "windowkeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSet>
#include <QStackedWidget>
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

// The letter of a text's Alt key ("&&" is a plain "&"); null when it has none.
QChar altKeyOf(const QString &text)
{
    for (qsizetype at = text.indexOf(u'&'); at >= 0 && at + 1 < text.size();
         at = text.indexOf(u'&', at + 2))
        if (text[at + 1] != u'&') return text[at + 1].toLower();
    return {};
}

// The text with an Alt key on its first letter that no other control of the window has.
QString withAltKey(const QString &text, QSet<QChar> &used)
{
    if (text.isEmpty() || !altKeyOf(text).isNull()) return text;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isLetter() && !used.contains(text[i].toLower())) {
            used.insert(text[i].toLower());
            return text.left(i) + u'&' + text.mid(i);
        }
    return text;
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

// The arrows move within a combo box; Enter or leaving it chooses where they stopped.
class ChoiceKeys : public QObject
{
public:
    using QObject::QObject;
    void watch(QComboBox *combo)
    {
        combo->installEventFilter(this);
        connect(combo, &QComboBox::activated, combo,
                [combo] { combo->setProperty(Chosen, combo->property(Chosen).toInt() + 1); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *combo = qobject_cast<QComboBox *>(watched);
        if (!combo) return false;
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                chooseLater(combo);
                return false;
            }
            const int steps = key->key() == Qt::Key_Down       ? 1
                              : key->key() == Qt::Key_Up       ? -1
                              : key->key() == Qt::Key_PageDown ? combo->count()
                              : key->key() == Qt::Key_PageUp   ? -combo->count()
                                                               : 0;
            if (steps == 0 || (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
                return false;
            const int at =
                qBound(0, (combo->currentIndex() < 0 ? -1 : combo->currentIndex()) + steps,
                       combo->count() - 1);
            if (combo->count() > 0 && at != combo->currentIndex()) {
                combo->setCurrentIndex(at);
                combo->setProperty(Moved, true);
            }
            return true;
        }
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            chooseLater(combo);
        return false;
    }

private:
    // After the key or the focus change is done, unless the combo box chose by itself meanwhile
    // (an editable one does on Enter).
    void chooseLater(QComboBox *combo)
    {
        if (!combo->property(Moved).toBool()) return;
        combo->setProperty(Moved, false);
        const int chosen = combo->property(Chosen).toInt();
        QMetaObject::invokeMethod(
            combo,
            [combo, chosen] {
                if (combo->property(Chosen).toInt() != chosen || combo->currentIndex() < 0) return;
                Q_EMIT combo->activated(combo->currentIndex());
                Q_EMIT combo->textActivated(combo->currentText());
            },
            Qt::QueuedConnection);
    }

    static constexpr const char *Moved = "tarvikChoiceMoved";
    static constexpr const char *Chosen = "tarvikChoiceChosen";
};

void giveAltKeys(QWidget *window);

// Every window of the program, as it is shown.
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
    if (!window) return;
    if (window->property(Done).toBool()) {
        giveAltKeys(window);
        return;
    }
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
    // A grid neither a group nor a label names goes by its own name.
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>())
        if (view->window() == window && view->accessibleName().isEmpty())
            view->setAccessibleName(view->objectName());
    giveAltKeys(window);
}

namespace
{
void giveAltKeys(QWidget *window)
{
    // Every button, check box, radio button and group an Alt key of its own in the window,
    // keeping those the window gives itself. The pages of a page control are never shown
    // together: each needs its keys apart from the rest of the window, not from the other pages.
    auto pageOf = [window](QWidget *w) -> QWidget * {
        for (QWidget *up = w; up && up != window; up = up->parentWidget())
            if (qobject_cast<QStackedWidget *>(up->parentWidget())) return up;
        return nullptr;
    };
    struct Control {
        QWidget *widget, *page;
        QString text() const
        {
            if (auto *g = qobject_cast<QGroupBox *>(widget)) return g->title();
            if (auto *b = qobject_cast<QAbstractButton *>(widget)) return b->text();
            return static_cast<QLabel *>(widget)->text();
        }
    };
    QList<Control> controls;
    // Only what the window shows now: a window that shows other buttons at another opening
    // (a mode of its own) gets their keys as it shows them.
    // A page not shown yet counts as shown.
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QWidget *page = pageOf(w);
        if (w->window() == window && w->isVisibleTo(page ? page : window) &&
            (qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w) ||
             qobject_cast<QLabel *>(w)))
            controls << Control{w, page};
    }
    QHash<QWidget *, QSet<QChar>> used; // by page; the window's own under nullptr
    for (const Control &c : controls)
        if (const QChar key = altKeyOf(c.text()); !key.isNull()) used[c.page].insert(key);
    // The window's own controls first: their keys hold on every page.
    for (const bool onPage : {false, true})
        for (const Control &c : controls) {
            if ((c.page != nullptr) != onPage || qobject_cast<QLabel *>(c.widget)) continue;
            const QString text = c.text();
            if (text.isEmpty() || text.contains(u'&')) continue;
            QSet<QChar> taken = used[nullptr];
            if (c.page)
                taken += used[c.page];
            else
                for (auto page = used.cbegin(); page != used.cend(); ++page)
                    taken += page.value();
            const QString keyed = withAltKey(text, taken);
            if (keyed == text) continue;
            used[c.page].insert(altKeyOf(keyed));
            if (auto *g = qobject_cast<QGroupBox *>(c.widget))
                g->setTitle(keyed);
            else
                static_cast<QAbstractButton *>(c.widget)->setText(keyed);
        }
}
} // namespace

void chooseOnLeave(QComboBox *combo)
{
    static QPointer<ChoiceKeys> keys;
    if (!keys) keys = new ChoiceKeys(qApp);
    keys->watch(combo);
}

void installEverywhere()
{
    static QPointer<Everywhere> installed;
    if (installed || !qApp) return;
    installed = new Everywhere(qApp);
    qApp->installEventFilter(installed);
}

} // namespace WindowKeys

#include "fieldkeys.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>

namespace
{
const char *FilterProperty = "tarvikKeyFilter";
}

void FieldKeys::install(QWidget *widget, Filter filter)
{
    widget->setProperty(FilterProperty, int(filter));
    widget->installEventFilter(this);
    // An editable combo box types into its own line edit.
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit()) {
        combo->lineEdit()->setProperty(FilterProperty, int(filter));
        combo->lineEdit()->installEventFilter(this);
    }
}

void FieldKeys::installAll(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(w)
                ? !qobject_cast<QComboBox *>(w->parentWidget())
                : qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
                      qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
            install(w);
    }
}

bool FieldKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // An open combo list takes Enter as its choice.
        if (auto *combo = qobject_cast<QComboBox *>(watched); combo && combo->view()->isVisible())
            return false;
        QWidget *window = widget->window();
        QWidget *next = widget->nextInFocusChain();
        while (next && next != widget &&
               (!next->isEnabled() || !next->isVisible() || !(next->focusPolicy() & Qt::TabFocus) ||
                next->focusProxy() || next->window() != window))
            next = next->nextInFocusChain();
        if (next && next != widget) next->setFocus(Qt::TabFocusReason);
        return true;
    }
    const int filter = watched->property(FilterProperty).toInt();
    if (filter == Tovabb) return false;
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
        key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Left ||
        key->key() == Qt::Key_Right || key->key() == Qt::Key_Home || key->key() == Qt::Key_End)
        return false;
    const QChar c = text[0];
    const bool digit = c >= u'0' && c <= u'9';
    bool allowed = false;
    switch (filter) {
    case Szam:
        allowed = digit;
        break;
    case AfaKod:
        allowed = c >= u'1' && c <= u'3';
        break;
    case Kod:
        allowed = digit || c == u' ';
        break;
    case CsaladiNev:
        allowed = c != u'(' && c != u')' && c != u',';
        break;
    case Utonev:
        allowed = c != u'(' && c != u')' && c != u',' && c != u'-';
        break;
    default:
        allowed = true;
    }
    if (allowed) return false;
    QApplication::beep();
    return true;
}

void FieldExit::watch(QWidget *field, Rule rule)
{
    m_rules.insert(field, std::move(rule));
    field->installEventFilter(this);
}

bool FieldExit::leave(QWidget *field)
{
    auto it = m_rules.find(field);
    if (it == m_rules.end() || m_busy) return false;
    m_busy = true;
    const bool refocus = it.value()();
    if (!refocus) {
        m_busy = false;
        return false;
    }
    // Back into the field once the focus move that left it has finished.
    QPointer<QWidget> target(field);
    QTimer::singleShot(0, this, [this, target] {
        if (target) target->setFocus(Qt::OtherFocusReason);
        m_busy = false;
    });
    return true;
}

bool FieldExit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && m_enabled) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // A message box or a popup list taking the focus is not leaving the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leave(static_cast<QWidget *>(watched));
    }
    return QObject::eventFilter(watched, event);
}

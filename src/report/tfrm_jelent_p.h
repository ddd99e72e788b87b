#pragma once

// Helpers shared by the entry window's source files.

#include "fieldkeys.h"

#include <QComboBox>
#include <QPointer>
#include <QSignalBlocker>
#include <QString>
#include <QTimer>

namespace JelentFields
{
inline const QString T1101 = QStringLiteral("1101");

// Shows a text in a combo box without running its change handler.
inline void setComboText(QComboBox *combo, const QString &text)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(combo->findText(text));
    if (combo->isEditable()) combo->setEditText(text);
}

// Puts the focus into a field once the current focus move has finished, without running the
// rules of the field it passes through.
inline void focusLater(FieldExit *exits, QWidget *field)
{
    QPointer<QWidget> target(field);
    QTimer::singleShot(0, field, [exits, target] {
        if (!target) return;
        const bool on = exits->isEnabled();
        exits->setEnabled(false);
        target->setFocus(Qt::OtherFocusReason);
        exits->setEnabled(on);
    });
}
} // namespace JelentFields

#include "tinccombo.h"

#include <QLineEdit>

TIncCombo::TIncCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Qt's own completer would fold case and pop up; the box completes by itself.
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &TIncCombo::complete);
}

void TIncCombo::complete(const QString &typed)
{
    if (!typed.isEmpty()) {
        for (int i = 0; i < count(); ++i) {
            const QString item = itemText(i);
            if (!item.startsWith(typed, Qt::CaseSensitive)) continue;
            const QSignalBlocker quiet(this);
            setCurrentIndex(i);
            lineEdit()->setText(item);
            lineEdit()->setSelection(int(typed.size()), int(item.size() - typed.size()));
            break;
        }
    }
    Q_EMIT changed(currentText());
}

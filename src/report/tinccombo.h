#pragma once

#include <QComboBox>

// An editable combo box that completes what is typed: the first item that begins with the
// typed text (exact case) takes its place, with the completed tail selected so that further
// typing replaces it.
class TIncCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit TIncCombo(QWidget *parent = nullptr);

Q_SIGNALS:
    // The text changed by typing or completion: the box's own change event.
    void changed(const QString &text);

private:
    void complete(const QString &typed);
};

#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QWidget;

// Key conventions of the entry windows: Enter moves on to the next control; digit fields take
// only 0-9 and backspace and beep at anything else.
class FieldKeys : public QObject
{
    Q_OBJECT
public:
    enum Filter { Tovabb, Szam, AfaKod, Kod, CsaladiNev, Utonev };

    explicit FieldKeys(QObject *parent) : QObject(parent) {}
    // TovabbKeyPress: Enter moves the focus on. Szam (KeyPressSzam): digits and backspace.
    // AfaKod (dbed_ado2KeyPress): 1, 2, 3 and backspace. Kod: digits, blank and backspace.
    // CsaladiNev: anything but "(", ")" and ","; Utonev: not "-" either.
    void install(QWidget *widget, Filter filter = Tovabb);
    // Enter moves on from every edit, combo box, spin box, check box and radio button of the
    // window; a combo box's own line edit is covered through its combo box.
    void installAll(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Runs a field's rule when the user leaves it (focus moves by Tab, Enter or the mouse). A rule
// that answers true takes the focus back into its field; meanwhile no other field's rule runs,
// so one refusal gives one message.
class FieldExit : public QObject
{
    Q_OBJECT
public:
    using Rule = std::function<bool()>;

    explicit FieldExit(QObject *parent) : QObject(parent) {}
    void watch(QWidget *field, Rule rule);
    // Rules stay quiet while the window itself moves the focus or fills fields.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    // Runs the rule of a field now, as leaving it would (also used by Save to re-check).
    bool leave(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QObject *, Rule> m_rules;
    bool m_busy = false;
    bool m_enabled = true;
};

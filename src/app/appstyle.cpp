#include "appstyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QWidget>

#include <cmath>

namespace AppStyle
{

namespace
{
// The style sheet chooses a field's look by its read-only mark when the field is polished; a
// field that changes its mark later is polished again.
class ReadOnlyFollower : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ReadOnlyChange)
            if (auto *w = qobject_cast<QWidget *>(watched)) {
                w->style()->unpolish(w);
                w->style()->polish(w);
                w->update();
            }
        return false;
    }
};

double luminance(const QColor &c)
{
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

void apply()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app) return;
    QPalette p = QApplication::palette();
    // Disabled text a step lighter than normal text, and no lighter: the data of a locked
    // field must still read at a glance.
    const QColor disabledText(0x55, 0x55, 0x55);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Window));
    QApplication::setPalette(p);
    // A field that can only be read has the window's colour, not the white of an entry field;
    // a password field shows "*" for every character typed.
    app->setStyleSheet(
        QStringLiteral("QLineEdit[readOnly=\"true\"] { background-color: palette(window); }\n"
                       "QLineEdit { lineedit-password-character: 42; }"));
    static ReadOnlyFollower *follower = nullptr;
    if (!follower) {
        follower = new ReadOnlyFollower(app);
        app->installEventFilter(follower);
    }
}

} // namespace AppStyle

#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows the busy cursor for the lifetime of the object, also when the work fails.
class WaitCursor
{
public:
    explicit WaitCursor(Qt::CursorShape shape = Qt::WaitCursor)
        : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active) QGuiApplication::setOverrideCursor(QCursor(shape));
    }
    ~WaitCursor()
    {
        if (m_active) QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_active;
};

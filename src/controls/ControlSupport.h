#pragma once
// Small rules every skinned control shares.

#include <QEvent>
#include <QThread>
#include <QWidget>

namespace controls {

// Controls are touched on the UI thread only.
inline void AssertUiThread([[maybe_unused]] const QObject* control)
{
    Q_ASSERT(QThread::currentThread() == control->thread());
}

// True for the events after which a press in progress gets no release:
// the control hidden or disabled, or its window deactivated (a box opened).
inline bool EndsPress(const QWidget& control, const QEvent& event)
{
    switch (event.type()) {
    case QEvent::Hide:
        return true;
    case QEvent::EnabledChange:
        return !control.isEnabled();
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
        return !control.isActiveWindow();
    default:
        return false;
    }
}

}  // namespace controls

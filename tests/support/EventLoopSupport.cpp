#include "EventLoopSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace testsupport {

bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    // The tick bounds each wait, so a condition set without an event is seen.
    QTimer tick;
    tick.start(5);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

}  // namespace testsupport

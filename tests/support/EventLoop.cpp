#include "support/EventLoop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace testsupport {

void EnsureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    EnsureCoreApplication();
    const QDeadlineTimer deadline(limit);
    // The tick bounds each blocking wait, so a condition set by another
    // thread without an event is still seen, and the loop never spins.
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace testsupport

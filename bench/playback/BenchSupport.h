#pragma once
// What the playback benches share: this process's CPU and age from /proc,
// and waiting in the event loop.

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The fields of /proc/self/stat from the state on (field 3).
inline QList<QByteArray> StatFields()
{
    QFile stat("/proc/self/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2).split(' ');
}

// utime + stime of this process, in clock ticks; -1 when unreadable.
inline long long CpuTicks()
{
    const QList<QByteArray> fields = StatFields();
    // Counted from the state (field 3): utime is 14, stime 15.
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// Milliseconds since this process started, from the kernel's start time.
inline double SinceProcessStart()
{
    const QList<QByteArray> fields = StatFields();
    const double startSeconds = fields.size() > 19 ? fields[19].toDouble() / double(sysconf(_SC_CLK_TCK)) : 0;
    timespec now = {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (double(now.tv_sec) + double(now.tv_nsec) / 1e9 - startSeconds) * 1000.0;
}

inline void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

inline bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        RunEventLoop(2);
    }
    return true;
}

}  // namespace bench

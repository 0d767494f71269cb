#include "ChildWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace testsupport {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

char ProcessState(long long pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // "pid (name) S ...": the name may hold blanks and parentheses.
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && close + 2 < text.size() ? text[close + 2] : 0;
}

bool ProcessEnded(long long pid)
{
    const char state = ProcessState(pid);
    return state == 0 || state == 'Z';
}

QString StubPlayerPath()
{
    // From the build, not __FILE__: a compiler cache may make that relative.
    return QStringLiteral(KESTROV_TEST_SUPPORT_DIR "/stub-player");
}

}  // namespace testsupport

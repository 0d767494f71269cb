#include "platform/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
#include <mutex>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// A write to a child that has ended would otherwise end the viewer; with
// SIGPIPE ignored it fails with EPIPE instead.
void IgnoreSigpipe()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = SIG_IGN;
        sigemptyset(&action.sa_mask);
        sigaction(SIGPIPE, &action, nullptr);
    });
}

}  // namespace

ChildProcess::ChildProcess()
{
    // Output nobody reads must still be taken, or the child stalls once the
    // pipe is full.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                     [this] { process.readAllStandardOutput(); });
    QObject::connect(&process, &QProcess::readyReadStandardError, &process,
                     [this] { process.readAllStandardError(); });

    const pid_t parent = getpid();
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        signal(SIGPIPE, SIG_DFL);
        // No terminal of its own, and none of the viewer's other files: only
        // the three standard streams survive exec.
        setsid();
        if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
            for (int fd = 3; fd < 65536; ++fd) {
                const int flags = fcntl(fd, F_GETFD);
                if (flags >= 0)
                    fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
            }
        }
    });
}

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const QString& program, const QStringList& arguments, bool keepStdout)
{
    if (process.state() != QProcess::NotRunning)
        return false;
    IgnoreSigpipe();
    process.setStandardOutputFile(keepStdout ? QString() : QProcess::nullDevice());
    process.start(program, arguments, QIODevice::ReadWrite);
    if (process.waitForStarted(kStartTimeoutMs))
        return true;
    Kill();
    return false;
}

bool ChildProcess::Write(const QByteArray& bytes, int timeoutMs)
{
    if (process.state() != QProcess::Running)
        return false;
    if (process.write(bytes) != bytes.size())
        return false;
    return process.waitForBytesWritten(timeoutMs);
}

void ChildProcess::Kill()
{
    if (process.state() == QProcess::NotRunning)
        return;
    if (process.waitForFinished(0))
        return;
    process.kill();
    process.waitForFinished(kReapTimeoutMs);
}

bool ChildProcess::IsRunning() const
{
    return process.state() != QProcess::NotRunning;
}

qint64 ChildProcess::ProcessId() const
{
    return process.processId();
}

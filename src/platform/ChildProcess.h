#pragma once
// A helper program run as a child: a program and its argument list (never a
// shell, so no text is ever re-parsed), its standard input written to, its
// output drained so that it never blocks on a full pipe, and no child left
// behind: a stopped child is reaped, and a child dies with the viewer.
//
// Use from one thread with an event loop (the output is drained there and
// during the waits). The child is tied to the thread that starts it: it is
// killed when that thread ends, so start children from the UI thread.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

class ChildProcess {
public:
    static constexpr int kStartTimeoutMs = 5000;
    static constexpr int kReapTimeoutMs = 5000;

    ChildProcess();
    // Stops a running child.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with arguments. keepStdout: the child's standard output
    // is a pipe (drained) rather than /dev/null; standard error always is.
    // False, and no child, when the program cannot be started or a child is
    // already running.
    bool Start(const QString& program, const QStringList& arguments, bool keepStdout);
    // Writes bytes to the child's standard input and waits at most timeoutMs
    // for them to leave. False when there is no child, it has ended or closed
    // its input, or the time ran out.
    bool Write(const QByteArray& bytes, int timeoutMs);
    // SIGKILL, then waits at most kReapTimeoutMs, reaping the child. A child
    // that has already ended is only reaped, never signalled.
    void Kill();
    bool IsRunning() const;
    // 0 when there is no child.
    qint64 ProcessId() const;

private:
    QProcess process;
};

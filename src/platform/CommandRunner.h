#pragma once
// Runs a program with an argument list (never through a shell) and reports
// how it ended, later, from the calling thread's event loop.

#include <QString>
#include <QStringList>
#include <functional>

struct CommandResult {
    bool started = false;
    int exitCode = -1;   // -1 when it did not start or did not exit normally
    QString output;      // standard output and error, merged
};

class CommandRunner {
public:
    using Done = std::function<void(const CommandResult&)>;
    virtual ~CommandRunner() = default;
    virtual void Run(const QString& program, const QStringList& arguments, Done done) = 0;
};

class ProcessCommandRunner : public CommandRunner {
public:
    void Run(const QString& program, const QStringList& arguments, Done done) override;
};

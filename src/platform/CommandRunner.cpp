#include "platform/CommandRunner.h"

#include <QProcess>

void ProcessCommandRunner::Run(const QString& program, const QStringList& arguments, Done done)
{
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    // Tools' messages in the C locale, so logs read the same everywhere.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process->setProcessEnvironment(environment);

    // finished (a crash included) and a failed start are the two ways a run
    // ends; exactly one of them happens.
    QObject::connect(process, &QProcess::finished, process, [process, done](int exitCode, QProcess::ExitStatus status) {
        CommandResult result;
        result.started = true;
        result.exitCode = status == QProcess::NormalExit ? exitCode : -1;
        result.output = QString::fromLocal8Bit(process->readAll());
        process->deleteLater();
        done(result);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        done(CommandResult{});
    });
    process->start(program, arguments);
}

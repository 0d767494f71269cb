#include "platform/MkfsCardFormatter.h"

#include <QFile>
#include <unistd.h>

namespace {

QString FailureText(const QString& program, const CommandResult& result)
{
    if (!result.started)
        return QStringLiteral("%1 could not be started").arg(program);
    QString text = QStringLiteral("%1 failed").arg(program);
    const QString output = result.output.trimmed();
    if (!output.isEmpty())
        text += QStringLiteral(": ") + output;
    return text;
}

}  // namespace

MkfsCardFormatter::MkfsCardFormatter(std::shared_ptr<CommandRunner> runner) : runner(std::move(runner)) {}

bool MkfsCardFormatter::MayWrite(const DriveInfo& drive, FormatDone& done) const
{
    if (!drive.deviceNode.isEmpty() && ::access(QFile::encodeName(drive.deviceNode).constData(), W_OK) == 0)
        return true;
    Deliver(std::move(done), Failure(FormatProblem::Unavailable, QStringLiteral("formatting needs the udisks2 service")));
    return false;
}

void MkfsCardFormatter::SetLabel(const DriveInfo& drive, const QString& label, FormatDone done)
{
    if (!MayWrite(drive, done))
        return;
    const QString program = QStringLiteral("fatlabel");
    runner->Run(program, {drive.deviceNode, label}, [program, done = std::move(done)](const CommandResult& result) {
        Deliver(done, result.exitCode == 0 ? Success() : Failure(FormatProblem::Failed, FailureText(program, result)));
    });
}

void MkfsCardFormatter::Format(const DriveInfo& drive, const QString& label, FormatDone done)
{
    if (!MayWrite(drive, done))
        return;
    if (drive.root.isEmpty()) {
        MakeFilesystem(runner, drive, label, std::move(done));
        return;
    }
    const QString program = QStringLiteral("umount");
    // The runner, not this formatter, must outlive the chain.
    runner->Run(program, {drive.root},
                [runner = runner, drive, label, program, done = std::move(done)](const CommandResult& result) mutable {
                    if (result.exitCode != 0) {
                        Deliver(std::move(done), Failure(FormatProblem::Failed, FailureText(program, result)));
                        return;
                    }
                    MakeFilesystem(runner, drive, label, std::move(done));
                });
}

void MkfsCardFormatter::MakeFilesystem(const std::shared_ptr<CommandRunner>& runner, const DriveInfo& drive,
                                       const QString& label, FormatDone done)
{
    const QString program = QStringLiteral("mkfs.vfat");
    const QStringList arguments{QStringLiteral("-F"), QStringLiteral("32"), QStringLiteral("--mbr=n"),
                                QStringLiteral("-n"), label, drive.deviceNode};
    runner->Run(program, arguments, [program, done = std::move(done)](const CommandResult& result) {
        if (result.exitCode != 0) {
            Deliver(done, Failure(FormatProblem::Failed, FailureText(program, result)));
            return;
        }
        Deliver(done, Success(QString(), FormatNotice::NotRemounted,
                              QStringLiteral("the card is formatted; remove it and insert it again to use it")));
    });
}

#include "playback/MplayerControl.h"

#include "core/Logger.h"
#include "core/Numbers.h"
#include "platform/Paths.h"

#include <QFileInfo>

MplayerControl::MplayerControl(QString playerPath) : playerPath(std::move(playerPath)) {}

MplayerControl::~MplayerControl()
{
    Stop();
}

void MplayerControl::SetVideoWindow(unsigned long long videoWindow)
{
    window = videoWindow;
    baseArguments = MakeBaseArguments(videoWindow);
}

QStringList MplayerControl::MakeBaseArguments(unsigned long long window)
{
    // Stream 0 is the front camera. Audio goes nowhere: previews are silent.
    return {"-nofs", "-noquiet", "-osdlevel", "0", "-slave", "-nomouseinput", "-sub-fuzziness", "1",
            "-vo", "xv,x11", "-vid", Numbers::FormatInt(0), "-vf", "eq=0:0", "-ao", "null",
            "-wid", Numbers::FormatInt(static_cast<long long>(window)), "-fs", "-zoom"};
}

QStringList MplayerControl::MakeLaunchArguments(const QStringList& base, const QString& file, const QString& start,
                                                int volume)
{
    QStringList arguments = base;
    arguments << "-softvol-max" << "300" << "-volume" << Numbers::FormatInt(volume) << "-ss" << start
              << QFileInfo(file).absoluteFilePath();
    return arguments;
}

QString MplayerControl::MakeSeekCommand(double seconds)
{
    return "pausing seek " + Numbers::FormatFixed(seconds, 1) + " 2";
}

void MplayerControl::Launch(const QString& file, const QString& start, int volume, bool redirect)
{
    Stop();
    if (window == 0 ||
        !child.Start(playerPath, MakeLaunchArguments(baseArguments, file, start, volume), redirect)) {
        Logger::GetInstance().Log("Mplayer Not Started", "MplayerControl", "Launch", 3, 3);
    }
}

bool MplayerControl::SendCommand(const QString& command)
{
    if (command.size() > kMaxCommandLength)
        return false;
    QByteArray bytes;
    bytes.reserve(command.size() + 1);
    // The slave commands are ASCII: one byte per character.
    for (QChar character : command)
        bytes.append(static_cast<char>(character.unicode() & 0xFF));
    bytes.append('\n');
    return child.Write(bytes, kWriteTimeoutMs);
}

bool MplayerControl::Seek(double seconds)
{
    return SendCommand(MakeSeekCommand(seconds));
}

void MplayerControl::Stop()
{
    child.Kill();
}

qint64 MplayerControl::ProcessId() const
{
    return child.ProcessId();
}

QString MplayerControl::GetProgramFolder()
{
    return Paths::ProgramFolder();
}

QString MplayerControl::GetMplayerPath()
{
    return GetMplayerPath(GetProgramFolder());
}

QString MplayerControl::GetMplayerPath(const QString& programFolder)
{
    const QFileInfo bundled(Paths::Join(programFolder, "Resource/mplayer"));
    if (bundled.isFile() && bundled.isExecutable())
        return bundled.filePath();
    return QStringLiteral("mplayer");
}

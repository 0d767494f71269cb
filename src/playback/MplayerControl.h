#pragma once
// Runs the command-line player in slave mode as a child drawing into a
// native window of the viewer, for still previews: builds its argument
// list, starts it, writes slave commands to it and stops it. Knows nothing
// of recordings.

#include "platform/ChildProcess.h"

#include <QString>
#include <QStringList>
#include <memory>

class MplayerControl {
public:
    // The player: the program folder's Resource/mplayer when that is an
    // executable file, else "mplayer" from PATH.
    explicit MplayerControl(QString playerPath = GetMplayerPath());
    // Stops a running child.
    ~MplayerControl();
    MplayerControl(const MplayerControl&) = delete;
    MplayerControl& operator=(const MplayerControl&) = delete;

    // The native window (X11 id) the player draws into; 0: none, nothing
    // will start.
    void SetVideoWindow(unsigned long long window);
    // Starts the player on file, paused at start ("HH:MM:SS"), stopping a
    // child that still runs first. Nothing starts without a window or when
    // the player is missing; the preview then stays empty.
    void Launch(const QString& file, const QString& start, int volume, bool redirect);
    // One command line; false for more than 255 characters, without a child,
    // or when it could not be written within a second.
    bool SendCommand(const QString& command);
    // Absolute seek to that second, staying paused.
    bool Seek(double seconds);
    // Kills and reaps the child; nothing when there is none.
    void Stop();
    // 0 when no child runs.
    qint64 ProcessId() const;

    // The options before the file, for window.
    static QStringList MakeBaseArguments(unsigned long long window);
    // The whole argument list of one launch; the file is made absolute, so a
    // name beginning with '-' is never taken for an option.
    static QStringList MakeLaunchArguments(const QStringList& base, const QString& file, const QString& start,
                                           int volume);
    static QString MakeSeekCommand(double seconds);

    static constexpr int kMaxCommandLength = 255;
    static constexpr int kWriteTimeoutMs = 1000;

    static QString GetProgramFolder();
    static QString GetMplayerPath();
    static QString GetMplayerPath(const QString& programFolder);

private:
    QString playerPath;
    unsigned long long window = 0;
    QStringList baseArguments;
    ChildProcess child;
};

#pragma once
// Opening a file or folder with the desktop's default handler (the file
// manager for a folder), as the shell's "open" verb does.

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Starts program with arguments; true when it started.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

// Starts the program detached from the viewer (never through a shell): it is
// not the viewer's child, so it outlives the viewer and the thread that asked.
bool StartDetached(const QString& program, const QStringList& arguments);

// Runs `xdg-open <absolute path>` through launch. The absolute form keeps a
// name starting with '-' from being read as an option. False, and nothing
// started, when the path does not exist or the program cannot be started;
// the caller decides what the user sees. Any thread.
bool OpenFolder(const QString& path, const Launcher& launch = StartDetached);

}  // namespace platform

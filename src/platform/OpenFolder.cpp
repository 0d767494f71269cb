#include "platform/OpenFolder.h"

#include <QFileInfo>
#include <QProcess>

namespace platform {

bool StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool OpenFolder(const QString& path, const Launcher& launch)
{
    const QFileInfo target(path);
    if (path.isEmpty() || !target.exists()) {
        return false;
    }
    return launch(QStringLiteral("xdg-open"), {target.absoluteFilePath()});
}

}  // namespace platform

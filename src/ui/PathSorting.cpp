#include "ui/PathSorting.h"

#include <QFile>

#include <sys/stat.h>

bool IsDirectory(const QString& path)
{
    struct stat status {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

SortedPaths SortPickedPaths(const QStringList& paths, const DirectoryTest& isDirectory)
{
    SortedPaths sorted;
    for (const QString& path : paths)
        (isDirectory(path) ? sorted.folders : sorted.files).append(path);
    return sorted;
}

SortedPaths SortDroppedPaths(const QStringList& paths, const DirectoryTest& isDirectory)
{
    SortedPaths sorted;
    for (const QString& path : paths) {
        const bool folder = isDirectory(path) || path.lastIndexOf(QLatin1Char('.')) <= 0;
        (folder ? sorted.folders : sorted.files).append(path);
    }
    return sorted;
}

#pragma once
// How the paths of an open or a drop are split into folders to scan and
// files to check. The two commands keep their own rule for a path that is
// not a folder: a dropped path without a '.' is taken for a folder, a picked
// one for a file.

#include <QString>
#include <QStringList>

#include <functional>

struct SortedPaths {
    QStringList folders;
    QStringList files;
};

using DirectoryTest = std::function<bool(const QString& path)>;

// stat() with links followed: any directory, a mount point included,
// whatever its permissions.
bool IsDirectory(const QString& path);

// Picked: a directory is a folder, anything else a file.
SortedPaths SortPickedPaths(const QStringList& paths, const DirectoryTest& isDirectory = IsDirectory);
// Dropped: a directory, or a path without a '.' (or whose last '.' is its
// first character) is a folder; anything else a file.
SortedPaths SortDroppedPaths(const QStringList& paths, const DirectoryTest& isDirectory = IsDirectory);

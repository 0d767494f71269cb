#pragma once
// Lists the recording files under a folder, recursively, in the order the
// file system returns the entries, each sub-folder's files in the place where
// the sub-folder was met.
//
// A "file" is a regular file and a "folder" a directory once symlinks are
// followed; FIFOs, sockets and devices are ignored, so none can block the
// scan. A folder whose name holds a '.' is not entered. Each directory is
// entered at most once per scan, by device and inode, so links back to an
// ancestor or bind mounts cannot make it loop.

#include <QString>
#include <QStringList>
#include <set>
#include <string>
#include <sys/types.h>
#include <utility>

class RecordingFolderScanner {
public:
    // Every recording path under folder ('/'-joined, never a doubled '/').
    QStringList Scan(const QString& folder);

    // The recording name rule: ends in "avi", lower case, compared exactly.
    static bool IsRecordingName(const QString& name);

private:
    void ScanDirectory(const QString& folder, const std::string& nativeFolder, QStringList& found);
    bool Enter(dev_t device, ino_t inode);

    std::set<std::pair<dev_t, ino_t>> visited;
};

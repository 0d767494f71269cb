#pragma once
// File fixtures: whole-file read and write, fixture trees, and a file-size
// limit that makes writes fail (as root too).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

namespace testsupport {

// Writes bytes to path, creating the missing folders on the way. Throws on
// failure.
void WriteFileBytes(const QString& path, const QByteArray& bytes);
// The file's bytes; throws when it cannot be read.
QByteArray ReadFileBytes(const QString& path);
bool Exists(const QString& path);  // lstat succeeds
// The names in folder (without "." and ".."), sorted.
QStringList EntryNames(const QString& folder);

// Lowers RLIMIT_FSIZE to limit bytes with SIGXFSZ ignored, so a write past
// the limit fails with EFBIG instead of ending the process. Restores both
// after.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t limit);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    struct rlimit previous {};
    struct sigaction previousAction {};
};

}  // namespace testsupport

#include "platform/FileRead.h"

#include "platform/FileDescriptor.h"
#include "platform/FullIo.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileRead {

namespace {

using platform::FileDescriptor;

Result Failure(int error) { return Result{QByteArray(), error}; }

}  // namespace

Result ReadWholeFile(const QString& path, qint64 maxBytes, Kind kind)
{
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        return Failure(errno);
    }
    if (kind == Kind::Regular) {
        struct stat info {};
        if (::fstat(file.Get(), &info) != 0) {
            return Failure(EINVAL);
        }
        if (!S_ISREG(info.st_mode)) {
            return Failure(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        }
        if (info.st_size > maxBytes) {
            return Failure(EFBIG);
        }
    }
    Result result;
    char buffer[65536];
    for (;;) {
        const ssize_t got = FullIo::ReadUpTo(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            return Failure(errno);
        }
        if (got == 0) {
            return result;
        }
        if (result.bytes.size() + got > maxBytes) {  // longer than its size said, or sizeless
            result.bytes.append(buffer, static_cast<qsizetype>(maxBytes - result.bytes.size()));
            result.error = EFBIG;
            return result;
        }
        result.bytes.append(buffer, got);
    }
}

}  // namespace FileRead

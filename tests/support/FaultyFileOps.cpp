#include "FaultyFileOps.h"

#include <cerrno>

namespace testsupport {

ssize_t FaultyFileOps::Pread(int fd, void* buffer, size_t count, off_t offset)
{
    if (reads++ == failRead) {
        return 0;
    }
    return PosixFileOps::Pread(fd, buffer, count, offset);
}

ssize_t FaultyFileOps::Write(int fd, const void* buffer, size_t count)
{
    if (writes++ == failWrite) {
        if (shortThenFail && count > 1) {
            --writes;
            shortThenFail = false;
            return PosixFileOps::Write(fd, buffer, count / 2);
        }
        errno = ENOSPC;
        return -1;
    }
    return PosixFileOps::Write(fd, buffer, count);
}

int FaultyFileOps::Fsync(int fd)
{
    if (failFsync) {
        errno = EIO;
        return -1;
    }
    return PosixFileOps::Fsync(fd);
}

int FaultyFileOps::Close(int fd)
{
    const int result = PosixFileOps::Close(fd);
    if (failClose) {
        errno = EIO;
        return -1;
    }
    return result;
}

}  // namespace testsupport

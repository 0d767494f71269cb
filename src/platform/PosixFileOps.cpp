#include "platform/PosixFileOps.h"

#include <fcntl.h>
#include <unistd.h>

int PosixFileOps::Open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t PosixFileOps::Pread(int fd, void* buffer, size_t count, off_t offset)
{
    return ::pread(fd, buffer, count, offset);
}

ssize_t PosixFileOps::Write(int fd, const void* buffer, size_t count)
{
    return ::write(fd, buffer, count);
}

int PosixFileOps::Fsync(int fd)
{
    return ::fsync(fd);
}

int PosixFileOps::Close(int fd)
{
    return ::close(fd);
}

int PosixFileOps::Unlink(const char* path)
{
    return ::unlink(path);
}

PosixFileOps& PosixFileOps::Real()
{
    static PosixFileOps real;
    return real;
}

#include "platform/PosixFileOps.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

int PosixFileOps::Open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t PosixFileOps::Read(int fd, void* buffer, size_t count)
{
    return ::read(fd, buffer, count);
}

ssize_t PosixFileOps::Pread(int fd, void* buffer, size_t count, off_t offset)
{
    return ::pread(fd, buffer, count, offset);
}

ssize_t PosixFileOps::Write(int fd, const void* buffer, size_t count)
{
    return ::write(fd, buffer, count);
}

ssize_t PosixFileOps::Pwrite(int fd, const void* buffer, size_t count, off_t offset)
{
    return ::pwrite(fd, buffer, count, offset);
}

off_t PosixFileOps::Lseek(int fd, off_t offset, int whence)
{
    return ::lseek(fd, offset, whence);
}

int PosixFileOps::Fstat(int fd, struct stat* info)
{
    return ::fstat(fd, info);
}

int PosixFileOps::Ftruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}

int PosixFileOps::Futimens(int fd, const timespec times[2])
{
    return ::futimens(fd, times);
}

int PosixFileOps::Flock(int fd, int operation)
{
    return ::flock(fd, operation);
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

int PosixFileOps::RenameNoReplace(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int PosixFileOps::Link(const char* from, const char* to)
{
    return ::link(from, to);
}

int PosixFileOps::Mkdir(const char* path, mode_t mode)
{
    return ::mkdir(path, mode);
}

PosixFileOps& PosixFileOps::Real()
{
    static PosixFileOps real;
    return real;
}

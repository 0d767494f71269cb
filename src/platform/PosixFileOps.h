#pragma once
// The system calls that write new files, behind one seam: tests replace it
// to count calls and to make any of them fail. Real() is plain POSIX.

#include <sys/types.h>

class PosixFileOps {
public:
    virtual ~PosixFileOps() = default;

    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);
    virtual ssize_t Write(int fd, const void* buffer, size_t count);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Unlink(const char* path);

    static PosixFileOps& Real();
};

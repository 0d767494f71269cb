#pragma once
// The file system calls of the code that reads recordings and writes new or
// repaired files, behind one seam: tests replace it to count calls and to
// make any of them fail. Real() is plain POSIX; each call returns what the
// system call does and leaves errno as it does.

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

class PosixFileOps {
public:
    virtual ~PosixFileOps() = default;

    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* buffer, size_t count);
    virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset);
    virtual ssize_t Write(int fd, const void* buffer, size_t count);
    virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset);
    virtual off_t Lseek(int fd, off_t offset, int whence);
    virtual int Fstat(int fd, struct stat* info);
    virtual int Ftruncate(int fd, off_t length);
    virtual int Futimens(int fd, const timespec times[2]);
    virtual int Flock(int fd, int operation);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Unlink(const char* path);
    // renameat2 with RENAME_NOREPLACE: never replaces what stands at to.
    virtual int RenameNoReplace(const char* from, const char* to);
    virtual int Link(const char* from, const char* to);
    virtual int Mkdir(const char* path, mode_t mode);

    static PosixFileOps& Real();
};

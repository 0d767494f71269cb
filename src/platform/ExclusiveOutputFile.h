#pragma once
// A new file that is either written completely or not left behind: created
// with O_EXCL (an existing file, folder or link is never opened), every
// write checked, Commit() = fsync + close, and the file removed when it is
// abandoned or destroyed uncommitted.

#include "platform/PosixFileOps.h"

#include <cstddef>
#include <string>

class ExclusiveOutputFile {
public:
    explicit ExclusiveOutputFile(PosixFileOps& ops = PosixFileOps::Real());
    ~ExclusiveOutputFile();
    ExclusiveOutputFile(const ExclusiveOutputFile&) = delete;
    ExclusiveOutputFile& operator=(const ExclusiveOutputFile&) = delete;

    // False (errno in Error()) when anything exists at the path or it cannot
    // be created. The umask applies to mode.
    bool Create(const std::string& nativePath, unsigned mode = 0666);
    // Writes all of data, continuing after partial writes.
    bool Write(const void* data, size_t count);
    // fsync and close; on failure the file is removed.
    bool Commit();
    // Closes and removes the file this object created.
    void Abandon();

    int Error() const { return error; }

private:
    PosixFileOps& ops;
    std::string path;
    int fd = -1;
    int error = 0;
    bool created = false;
};

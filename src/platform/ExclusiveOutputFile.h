#pragma once
// A new file that is either written completely or not left behind: created
// with O_EXCL (an existing file, folder or link is never opened), every
// write checked, Commit() = fsync + close, and the file removed when it is
// abandoned or destroyed uncommitted. The cutter writes its cuts and the
// repair its backups through it.

#include "platform/PosixFileOps.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <time.h>

class ExclusiveOutputFile {
public:
    explicit ExclusiveOutputFile(PosixFileOps& ops = PosixFileOps::Real());
    ~ExclusiveOutputFile();
    ExclusiveOutputFile(const ExclusiveOutputFile&) = delete;
    ExclusiveOutputFile& operator=(const ExclusiveOutputFile&) = delete;

    // False (errno in Error()) when anything exists at the path or it cannot
    // be created. The umask applies to mode.
    bool Create(const std::string& nativePath, unsigned mode = 0666);
    // A new file of a fresh name, folder/<prefix><six random characters>,
    // mode 0600 as mkstemp makes it.
    bool CreateUnique(const std::string& folder, const std::string& prefix);
    const std::string& Path() const { return path; }

    // Writes all of data at the end, continuing after partial writes.
    bool Write(const void* data, size_t count);
    // As Write, but a block of zeros becomes a hole (the file stays sparse
    // where its source was, at no cost in space).
    bool WriteSparse(const void* data, size_t count);
    // The times the file keeps (set after everything is written).
    bool SetTimes(const timespec& accessed, const timespec& modified);
    // fsync (the length set first when the file ends in a hole).
    bool Sync();
    // Sync and close; on failure the file is removed.
    bool Commit();
    // Closes and removes the file this object created.
    void Abandon();

    int Error() const { return error; }

private:
    bool Fail(int errorNumber);
    bool SettleLength();

    PosixFileOps& ops;
    std::string path;
    int fd = -1;
    int error = 0;
    bool created = false;
    int64_t length = 0;      // bytes written or skipped
    bool endsInHole = false;
};

#pragma once
// A PosixFileOps that fails chosen calls and counts reads and writes, for
// tests of code that writes new files.

#include "platform/PosixFileOps.h"

namespace testsupport {

class FaultyFileOps : public PosixFileOps {
public:
    int failWrite = -1;          // the n-th write (from 0) fails with ENOSPC
    bool shortThenFail = false;  // that write first writes half, then fails
    bool failFsync = false;      // EIO
    bool failClose = false;      // closes, then reports EIO
    int failRead = -1;           // the n-th read returns 0 (the file ended)
    int writes = 0;
    int reads = 0;

    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override;
    ssize_t Write(int fd, const void* buffer, size_t count) override;
    int Fsync(int fd) override;
    int Close(int fd) override;
};

}  // namespace testsupport

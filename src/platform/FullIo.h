#pragma once
// Whole reads and writes: the one place that retries a call interrupted by
// a signal (EINTR) and continues after a short transfer. Every call goes
// through a PosixFileOps, so tests can fail any of them.

#include "platform/PosixFileOps.h"

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace FullIo {

// 0 when all count bytes at offset were read; ENODATA when the file ended
// first; else the errno of the failed read.
int ReadAt(int fd, void* buffer, size_t count, int64_t offset, PosixFileOps& ops = PosixFileOps::Real());

// Reads from the current position until count bytes or the end of the file:
// the bytes read, or -1 with errno set.
ssize_t ReadUpTo(int fd, void* buffer, size_t count, PosixFileOps& ops = PosixFileOps::Real());

// 0 when all of data was written (at offset, or at the current position);
// else the errno of the failed write, EIO for a write that wrote nothing.
int WriteAt(int fd, const void* data, size_t count, int64_t offset, PosixFileOps& ops = PosixFileOps::Real());
int Write(int fd, const void* data, size_t count, PosixFileOps& ops = PosixFileOps::Real());

}  // namespace FullIo

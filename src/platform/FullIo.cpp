#include "platform/FullIo.h"

#include <cerrno>

namespace FullIo {

namespace {

// Runs transfer(done) until count bytes have moved; a negative result with
// EINTR is retried, a short one continued.
template <typename Transfer>
int Loop(size_t count, int endError, Transfer transfer)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = transfer(done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return endError;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace

int ReadAt(int fd, void* buffer, size_t count, int64_t offset, PosixFileOps& ops)
{
    auto* out = static_cast<char*>(buffer);
    return Loop(count, ENODATA, [&](size_t done) {
        return ops.Pread(fd, out + done, count - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
    });
}

ssize_t ReadUpTo(int fd, void* buffer, size_t count, PosixFileOps& ops)
{
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ops.Read(fd, out + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

int WriteAt(int fd, const void* data, size_t count, int64_t offset, PosixFileOps& ops)
{
    const auto* in = static_cast<const char*>(data);
    return Loop(count, EIO, [&](size_t done) {
        return ops.Pwrite(fd, in + done, count - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
    });
}

int Write(int fd, const void* data, size_t count, PosixFileOps& ops)
{
    const auto* in = static_cast<const char*>(data);
    return Loop(count, EIO, [&](size_t done) { return ops.Write(fd, in + done, count - done); });
}

}  // namespace FullIo

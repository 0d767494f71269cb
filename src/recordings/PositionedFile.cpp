#include "recordings/PositionedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PositionedFile::~PositionedFile()
{
    Close();
}

bool PositionedFile::OpenForReading(const std::string& nativePath)
{
    if (!OpenWithFlags(nativePath, O_RDONLY | O_NONBLOCK)) {
        return false;
    }
    // Chunk headers are read here and there, never streamed.
    posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    return true;
}

bool PositionedFile::OpenWithFlags(const std::string& nativePath, int flags)
{
    Close();
    lastError = 0;
    ioError = false;
    stats = {};
    const int opened = ::open(nativePath.c_str(), flags | O_CLOEXEC);
    if (opened < 0) {
        lastError = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(opened, &info) != 0) {
        lastError = errno;
        ::close(opened);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        lastError = ENODEV;
        ::close(opened);
        return false;
    }
    fd = opened;
    size = static_cast<int64_t>(info.st_size);
    return true;
}

void PositionedFile::Close()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    size = 0;
}

bool PositionedFile::ReadAt(int64_t offset, void* buffer, size_t count)
{
    if (fd < 0 || offset < 0) {
        return false;
    }
    ++stats.reads;
    stats.bytes += count;
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            lastError = errno;
            ioError = true;
            return false;
        }
        if (n == 0) {
            return false;  // the file ended (or shrank) before count bytes
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

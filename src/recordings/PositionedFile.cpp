#include "recordings/PositionedFile.h"

#include "platform/FullIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PositionedFile::PositionedFile(PosixFileOps& fileOps) : ops(fileOps) {}

PosixFileOps& PositionedFile::DefaultOps()
{
    return PosixFileOps::Real();
}

PositionedFile::~PositionedFile()
{
    Close();
}

bool PositionedFile::OpenForReading(const std::string& nativePath, bool adviseRandom)
{
    if (!OpenWithFlags(nativePath, O_RDONLY | O_NONBLOCK)) {
        return false;
    }
    // Chunk headers are read here and there, never streamed.
    if (adviseRandom) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    }
    return true;
}

bool PositionedFile::OpenWithFlags(const std::string& nativePath, int flags)
{
    Close();
    lastError = 0;
    ioError = false;
    stats = {};
    const int opened = ops.Open(nativePath.c_str(), flags | O_CLOEXEC, 0);
    if (opened < 0) {
        lastError = errno;
        return false;
    }
    struct stat info {};
    if (ops.Fstat(opened, &info) != 0) {
        lastError = errno;
        ops.Close(opened);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        lastError = ENODEV;
        ops.Close(opened);
        return false;
    }
    fd = opened;
    size = static_cast<int64_t>(info.st_size);
    modified = info.st_mtim;
    return true;
}

void PositionedFile::Close()
{
    if (fd >= 0) {
        ops.Close(fd);
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
    const int error = FullIo::ReadAt(fd, buffer, count, offset, ops);
    if (error != 0 && error != ENODATA) {
        lastError = error;
        ioError = true;
    }
    // ENODATA: the file ended (or shrank) before count bytes.
    return error == 0;
}

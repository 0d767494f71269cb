#include "platform/ExclusiveOutputFile.h"

#include "platform/FullIo.h"

#include <cerrno>
#include <fcntl.h>

ExclusiveOutputFile::ExclusiveOutputFile(PosixFileOps& fileOps) : ops(fileOps) {}

ExclusiveOutputFile::~ExclusiveOutputFile()
{
    Abandon();
}

bool ExclusiveOutputFile::Create(const std::string& nativePath, unsigned mode)
{
    if (created) {
        error = EEXIST;
        return false;
    }
    fd = ops.Open(nativePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) {
        error = errno;
        return false;
    }
    path = nativePath;
    created = true;
    return true;
}

bool ExclusiveOutputFile::Write(const void* data, size_t count)
{
    if (fd < 0) {
        error = EBADF;
        return false;
    }
    error = FullIo::Write(fd, data, count, ops);
    return error == 0;
}

bool ExclusiveOutputFile::Commit()
{
    if (fd < 0) {
        error = EBADF;
        return false;
    }
    if (ops.Fsync(fd) != 0) {
        error = errno;
        Abandon();
        return false;
    }
    const int closing = fd;
    fd = -1;
    // After a failed close the data may not have reached the medium.
    if (ops.Close(closing) != 0) {
        error = errno;
        Abandon();
        return false;
    }
    created = false;
    return true;
}

void ExclusiveOutputFile::Abandon()
{
    if (fd >= 0) {
        ops.Close(fd);
        fd = -1;
    }
    if (created) {
        ops.Unlink(path.c_str());
        created = false;
    }
}

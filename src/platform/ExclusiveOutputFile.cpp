#include "platform/ExclusiveOutputFile.h"

#include "platform/FullIo.h"

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

constexpr int kUniqueNameTries = 100;
// The file system's block: the unit a hole can replace.
constexpr size_t kHoleBlock = 4096;

bool AllZero(const void* data, size_t count)
{
    // Each byte equals the next and the first is 0: one memcmp pass.
    const auto* bytes = static_cast<const unsigned char*>(data);
    return count == 0 || (bytes[0] == 0 && std::memcmp(bytes, bytes + 1, count - 1) == 0);
}

}  // namespace

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
    length = 0;
    endsInHole = false;
    return true;
}

bool ExclusiveOutputFile::CreateUnique(const std::string& folder, const std::string& prefix)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < kUniqueNameTries; ++attempt) {
        std::string name = folder + "/" + prefix;
        for (int i = 0; i < 6; ++i) {
            name += kLetters[pick(random)];
        }
        if (Create(name, 0600)) {
            return true;
        }
        if (error != EEXIST) {
            return false;
        }
    }
    return false;
}

bool ExclusiveOutputFile::Fail(int errorNumber)
{
    error = errorNumber;
    return false;
}

bool ExclusiveOutputFile::Write(const void* data, size_t count)
{
    if (fd < 0) {
        return Fail(EBADF);
    }
    error = FullIo::Write(fd, data, count, ops);
    if (error != 0) {
        return false;
    }
    length += static_cast<int64_t>(count);
    endsInHole = endsInHole && count == 0;
    return true;
}

bool ExclusiveOutputFile::WriteSparse(const void* data, size_t count)
{
    if (fd < 0) {
        return Fail(EBADF);
    }
    // Block by block: a run of written blocks is one write, a run of zero
    // blocks one seek past them.
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < count) {
        const size_t first = done;
        const bool zeros = AllZero(bytes + first, std::min(kHoleBlock, count - first));
        while (done < count && AllZero(bytes + done, std::min(kHoleBlock, count - done)) == zeros) {
            done += std::min(kHoleBlock, count - done);
        }
        if (!zeros) {
            if (!Write(bytes + first, done - first)) {
                return false;
            }
            continue;
        }
        if (ops.Lseek(fd, static_cast<off_t>(done - first), SEEK_CUR) < 0) {
            return Fail(errno);
        }
        length += static_cast<int64_t>(done - first);
        endsInHole = true;
    }
    return true;
}

bool ExclusiveOutputFile::SettleLength()
{
    // A hole at the end is only a position until the length is set.
    if (endsInHole) {
        if (ops.Ftruncate(fd, static_cast<off_t>(length)) != 0) {
            return Fail(errno);
        }
        endsInHole = false;
    }
    return true;
}

bool ExclusiveOutputFile::SetTimes(const timespec& accessed, const timespec& modified)
{
    const timespec times[2] = {accessed, modified};
    if (fd < 0) {
        return Fail(EBADF);
    }
    // The length first: setting it later would change the times again.
    return SettleLength() && (ops.Futimens(fd, times) == 0 || Fail(errno));
}

bool ExclusiveOutputFile::Sync()
{
    if (fd < 0) {
        return Fail(EBADF);
    }
    return SettleLength() && (ops.Fsync(fd) == 0 || Fail(errno));
}

bool ExclusiveOutputFile::Commit()
{
    if (fd < 0) {
        return Fail(EBADF);
    }
    if (!Sync()) {
        const int failed = error;
        Abandon();
        return Fail(failed);
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

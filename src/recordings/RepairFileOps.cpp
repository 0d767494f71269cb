#include "recordings/RepairFileOps.h"

#include "platform/FullIo.h"
#include "recordings/PositionedFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

int Errno(int result)
{
    return result == 0 ? 0 : errno;
}

// The reader's positioned file, opened read-write, with the writes, syncs
// and the lock a repair needs.
class PosixRepairFile : public PositionedFile, public RepairFile {
public:
    static std::unique_ptr<PosixRepairFile> Open(const std::string& path, int& error)
    {
        auto file = std::make_unique<PosixRepairFile>();
        // O_NONBLOCK: whatever stands at the path, opening it never waits.
        if (!file->OpenWithFlags(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK)) {
            error = file->LastError();
            return nullptr;
        }
        error = 0;
        return file;
    }
    static std::unique_ptr<PosixRepairFile> Adopt(int descriptor)
    {
        auto file = std::make_unique<PosixRepairFile>();
        file->fd = descriptor;
        return file;
    }
    ~PosixRepairFile() override { Close(); }

    int Stat(struct stat& info) override { return Errno(fstat(fd, &info)); }

    int ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override
    {
        if (PositionedFile::ReadAt(int64_t(offset), buffer, count))
            return 0;
        return HadIoError() && LastError() != 0 ? LastError() : ENODATA;
    }

    int WriteAt(uint64_t offset, const uint8_t* buffer, size_t count) override
    {
        return FullIo::WriteAt(fd, buffer, count, int64_t(offset));
    }

    int Sync() override { return Errno(fsync(fd)); }
    int Truncate(uint64_t length) override { return Errno(ftruncate(fd, off_t(length))); }

    int SetTimes(const timespec& accessed, const timespec& modified) override
    {
        const timespec times[2] = {accessed, modified};
        return Errno(futimens(fd, times));
    }

    int TryLockExclusive() override { return Errno(flock(fd, LOCK_EX | LOCK_NB)); }
    void AdviseSequential() override { posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); }

    int Close() override
    {
        if (fd < 0)
            return 0;
        // Linux releases the descriptor even when close reports an error, so
        // it is never retried.
        const int result = Errno(::close(fd));
        fd = -1;
        return result;
    }
};

}  // namespace

std::unique_ptr<RepairFile> PosixRepairFileOps::OpenOriginal(const std::string& path, int& error)
{
    return PosixRepairFile::Open(path, error);
}

std::unique_ptr<RepairFile> PosixRepairFileOps::CreateTemporary(const std::string& folder, std::string& path,
                                                               int& error)
{
    std::string pattern = folder + "/.repair-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);  // O_EXCL inside
    error = fd < 0 ? errno : 0;
    if (fd < 0)
        return nullptr;
    path = name.data();
    return PosixRepairFile::Adopt(fd);
}

int PosixRepairFileOps::RenameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // File systems without the flag: a hard link never replaces either.
    if (link(from.c_str(), to.c_str()) != 0)
        return errno;
    unlink(from.c_str());
    return 0;
}

int PosixRepairFileOps::Remove(const std::string& path)
{
    return Errno(unlink(path.c_str()));
}

int PosixRepairFileOps::SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = Errno(fsync(fd));
    close(fd);
    return result;
}

int PosixRepairFileOps::CreateFolders(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error.value();
    return std::filesystem::is_directory(folder, error) ? 0 : ENOTDIR;
}

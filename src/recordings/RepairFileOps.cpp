#include "recordings/RepairFileOps.h"

#include "platform/ExclusiveOutputFile.h"
#include "platform/FullIo.h"
#include "platform/PosixFileOps.h"
#include "recordings/PositionedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

int Errno(int result)
{
    return result == 0 ? 0 : errno;
}

// The reader's positioned file, opened read-write, with the writes, syncs
// and the lock a repair needs.
class PosixRepairFile : public PositionedFile, public RepairFile {
public:
    explicit PosixRepairFile(PosixFileOps& ops) : PositionedFile(ops) {}

    static std::unique_ptr<PosixRepairFile> Open(PosixFileOps& ops, const std::string& path, int& error)
    {
        auto file = std::make_unique<PosixRepairFile>(ops);
        // O_NONBLOCK: whatever stands at the path, opening it never waits.
        if (!file->OpenWithFlags(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK)) {
            error = file->LastError();
            return nullptr;
        }
        error = 0;
        return file;
    }
    ~PosixRepairFile() override { Close(); }

    int Stat(struct stat& info) override { return Errno(ops.Fstat(fd, &info)); }

    int ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override
    {
        if (PositionedFile::ReadAt(int64_t(offset), buffer, count))
            return 0;
        return HadIoError() && LastError() != 0 ? LastError() : ENODATA;
    }

    int WriteAt(uint64_t offset, const uint8_t* buffer, size_t count) override
    {
        return FullIo::WriteAt(fd, buffer, count, int64_t(offset), ops);
    }

    int Sync() override { return Errno(ops.Fsync(fd)); }
    int Truncate(uint64_t length) override { return Errno(ops.Ftruncate(fd, off_t(length))); }

    int SetTimes(const timespec& accessed, const timespec& modified) override
    {
        const timespec times[2] = {accessed, modified};
        return Errno(ops.Futimens(fd, times));
    }

    int TryLockExclusive() override { return Errno(ops.Flock(fd, LOCK_EX | LOCK_NB)); }
    void AdviseSequential() override { posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); }

    int Close() override
    {
        if (fd < 0)
            return 0;
        // Linux releases the descriptor even when close reports an error, so
        // it is never retried.
        const int result = Errno(ops.Close(fd));
        fd = -1;
        return result;
    }
};

// A backup being written: only written, front to back, then kept by Close.
class BackupFile : public RepairFile {
public:
    explicit BackupFile(PosixFileOps& ops) : output(ops) {}
    ExclusiveOutputFile& Output() { return output; }

    int Stat(struct stat&) override { return ENOTSUP; }
    int ReadAt(uint64_t, uint8_t*, size_t) override { return ENOTSUP; }
    int WriteAt(uint64_t offset, const uint8_t* buffer, size_t count) override
    {
        if (offset != written)
            return EINVAL;
        if (!output.WriteSparse(buffer, count))
            return output.Error();
        written += count;
        return 0;
    }
    int Sync() override { return output.Sync() ? 0 : output.Error(); }
    int Truncate(uint64_t) override { return ENOTSUP; }
    int SetTimes(const timespec& accessed, const timespec& modified) override
    {
        return output.SetTimes(accessed, modified) ? 0 : output.Error();
    }
    int TryLockExclusive() override { return ENOTSUP; }
    void AdviseSequential() override {}
    // Keeps the file: the repair gives it its name or removes it.
    int Close() override
    {
        if (closed)
            return 0;
        closed = true;
        return output.Commit() ? 0 : output.Error();
    }

private:
    ExclusiveOutputFile output;
    uint64_t written = 0;
    bool closed = false;
};

}  // namespace

PosixRepairFileOps::PosixRepairFileOps(PosixFileOps& fileOps) : ops(fileOps) {}

PosixFileOps& PosixRepairFileOps::DefaultOps()
{
    return PosixFileOps::Real();
}

std::unique_ptr<RepairFile> PosixRepairFileOps::OpenOriginal(const std::string& path, int& error)
{
    return PosixRepairFile::Open(ops, path, error);
}

std::unique_ptr<RepairFile> PosixRepairFileOps::CreateTemporary(const std::string& folder, std::string& path,
                                                               int& error)
{
    auto file = std::make_unique<BackupFile>(ops);
    if (!file->Output().CreateUnique(folder, ".repair-")) {
        error = file->Output().Error();
        return nullptr;
    }
    error = 0;
    path = file->Output().Path();
    return file;
}

int PosixRepairFileOps::RenameNoReplace(const std::string& from, const std::string& to)
{
    if (ops.RenameNoReplace(from.c_str(), to.c_str()) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // File systems without the flag: a hard link never replaces either.
    if (ops.Link(from.c_str(), to.c_str()) != 0)
        return errno;
    ops.Unlink(from.c_str());
    return 0;
}

int PosixRepairFileOps::Remove(const std::string& path)
{
    return Errno(ops.Unlink(path.c_str()));
}

int PosixRepairFileOps::SyncFolder(const std::string& folder)
{
    const int fd = ops.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    const int result = Errno(ops.Fsync(fd));
    ops.Close(fd);
    return result;
}

int PosixRepairFileOps::CreateFolders(const std::string& folder)
{
    if (ops.Mkdir(folder.c_str(), 0777) == 0)
        return 0;
    int error = errno;
    if (error == ENOENT) {
        // A missing parent first, then this level again.
        const size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos || slash == 0)
            return error;
        if (const int parentError = CreateFolders(folder.substr(0, slash)))
            return parentError;
        if (ops.Mkdir(folder.c_str(), 0777) == 0)
            return 0;
        error = errno;
    }
    if (error != EEXIST)
        return error;
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

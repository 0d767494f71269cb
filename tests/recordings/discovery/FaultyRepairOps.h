#pragma once
// The repair's file operations over the one file seam (PosixFileOps), with
// one step of a repair made to fail and the bytes moved counted per file
// role. The failing step gets the chosen errno; the other calls pass
// through to the kernel.

#include "platform/PosixFileOps.h"
#include "recordings/RepairFileOps.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace discoverytest {

enum class RepairStep {
    None,
    OpenOriginal,
    CreateFolders,
    CreateTemporary,
    BackupWrite,
    BackupSync,
    Rename,
    FolderSync,
    IndexAppend,
    Sync,
    HeaderWrite,
    FinalSync,
    Close,
};

struct RepairCounters {
    uint64_t originalBytesRead = 0;
    uint64_t originalBytesWritten = 0;
    uint64_t backupBytesWritten = 0;  // holes included
    int originalWrites = 0;
};

// The seam: tells the repair's steps apart by the file each call is on.
class RepairStepFaults : public PosixFileOps {
public:
    RepairStep failing = RepairStep::None;
    int error = EIO;
    // The restore after the injected failure cannot truncate either.
    bool restoreFails = false;
    RepairCounters counters;
    // Runs before the second read of the original: the copy's first.
    std::function<void()> duringCopy;

    bool Injected() const { return injected; }

    int Open(const char* path, int flags, mode_t mode) override
    {
        const Role role = (flags & O_NOFOLLOW) ? Role::Original
                          : (flags & O_EXCL)   ? Role::Backup
                          : (flags & O_DIRECTORY) ? Role::Folder
                                                  : Role::Other;
        if ((role == Role::Original && Fails(RepairStep::OpenOriginal)) ||
            (role == Role::Backup && Fails(RepairStep::CreateTemporary)))
            return Failed();
        const int fd = PosixFileOps::Open(path, flags, mode);
        if (fd >= 0)
            files[fd] = {role};
        return fd;
    }
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override
    {
        if (RoleOf(fd) == Role::Original) {
            if (++originalReads == 2 && duringCopy) {
                auto hook = std::move(duringCopy);
                duringCopy = nullptr;
                hook();
            }
            counters.originalBytesRead += count;
        }
        return PosixFileOps::Pread(fd, buffer, count, offset);
    }
    ssize_t Write(int fd, const void* buffer, size_t count) override
    {
        if (RoleOf(fd) == Role::Backup) {
            if (Fails(RepairStep::BackupWrite))
                return Failed();
            counters.backupBytesWritten += count;
        }
        return PosixFileOps::Write(fd, buffer, count);
    }
    off_t Lseek(int fd, off_t offset, int whence) override
    {
        if (RoleOf(fd) == Role::Backup && whence == SEEK_CUR)
            counters.backupBytesWritten += uint64_t(offset);
        return PosixFileOps::Lseek(fd, offset, whence);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (RoleOf(fd) != Role::Original)
            return PosixFileOps::Pwrite(fd, buffer, count, offset);
        File& file = files[fd];
        if (file.failNextWrite) {
            file.failNextWrite = false;
            return Failed();
        }
        ++counters.originalWrites;
        const bool header = offset == 0;
        if (header)
            file.headerWritten = true;
        if (Fails(header ? RepairStep::HeaderWrite : RepairStep::IndexAppend)) {
            // A part of the bytes reaches the file; the rest fails.
            const ssize_t part = PosixFileOps::Pwrite(fd, buffer, count / 2, offset);
            counters.originalBytesWritten += size_t(std::max<ssize_t>(part, 0));
            file.failNextWrite = true;
            return part;
        }
        const ssize_t written = PosixFileOps::Pwrite(fd, buffer, count, offset);
        counters.originalBytesWritten += size_t(std::max<ssize_t>(written, 0));
        return written;
    }
    int Fsync(int fd) override
    {
        const Role role = RoleOf(fd);
        const bool fails = (role == Role::Backup && Fails(RepairStep::BackupSync)) ||
                           (role == Role::Folder && Fails(RepairStep::FolderSync)) ||
                           (role == Role::Original &&
                            Fails(files[fd].headerWritten ? RepairStep::FinalSync : RepairStep::Sync));
        return fails ? Failed() : PosixFileOps::Fsync(fd);
    }
    int Ftruncate(int fd, off_t length) override
    {
        if (RoleOf(fd) == Role::Original && restoreFails && injected)
            return Failed();
        return PosixFileOps::Ftruncate(fd, length);
    }
    int Close(int fd) override
    {
        const Role role = RoleOf(fd);
        files.erase(fd);
        const int result = PosixFileOps::Close(fd);
        return role == Role::Original && Fails(RepairStep::Close) ? Failed() : result;
    }
    int RenameNoReplace(const char* from, const char* to) override
    {
        return Fails(RepairStep::Rename) ? Failed() : PosixFileOps::RenameNoReplace(from, to);
    }
    int Mkdir(const char* path, mode_t mode) override
    {
        return Fails(RepairStep::CreateFolders) ? Failed() : PosixFileOps::Mkdir(path, mode);
    }

private:
    enum class Role { Other, Original, Backup, Folder };
    struct File {
        Role role = Role::Other;
        bool headerWritten = false;
        bool failNextWrite = false;
    };

    // Each step fails once; the restore after it runs on the real calls.
    bool Fails(RepairStep step)
    {
        if (failing != step || injected)
            return false;
        injected = true;
        return true;
    }
    int Failed() const
    {
        errno = error;
        return -1;
    }
    Role RoleOf(int fd) const
    {
        const auto found = files.find(fd);
        return found == files.end() ? Role::Other : found->second.role;
    }

    std::map<int, File> files;
    int originalReads = 0;
    bool injected = false;
};

// The kernel's repair operations over that seam.
class FaultyRepairOps : public RepairStepFaults, public PosixRepairFileOps {
public:
    FaultyRepairOps() : PosixRepairFileOps(static_cast<RepairStepFaults&>(*this)) {}
};

}  // namespace discoverytest

#pragma once
// The file operations a repair performs, behind an interface so that tests
// can fail any step and count the bytes. Every call returns 0 or an errno
// value; nothing throws.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <time.h>

// One open file. Reads and writes are whole: a short transfer is retried,
// and only an error or the end of the file (ENODATA) stops it.
class RepairFile {
public:
    virtual ~RepairFile() = default;

    virtual int Stat(struct stat& info) = 0;
    virtual int ReadAt(uint64_t offset, uint8_t* buffer, size_t count) = 0;
    virtual int WriteAt(uint64_t offset, const uint8_t* buffer, size_t count) = 0;
    virtual int Sync() = 0;
    virtual int Truncate(uint64_t length) = 0;
    virtual int SetTimes(const timespec& accessed, const timespec& modified) = 0;
    // An exclusive lock without waiting; EWOULDBLOCK when held elsewhere.
    virtual int TryLockExclusive() = 0;
    virtual void AdviseSequential() = 0;
    // Closes once; later calls return 0.
    virtual int Close() = 0;
};

class RepairFileOps {
public:
    virtual ~RepairFileOps() = default;

    // The file to repair, read-write, never through a symlink.
    virtual std::unique_ptr<RepairFile> OpenOriginal(const std::string& path, int& error) = 0;
    // A new file of a fresh name in folder, created exclusively.
    virtual std::unique_ptr<RepairFile> CreateTemporary(const std::string& folder, std::string& path,
                                                        int& error) = 0;
    // EEXIST when to exists: an existing file is never replaced.
    virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    virtual int SyncFolder(const std::string& folder) = 0;
    // The folder and its missing parents; ENOTDIR when something else is
    // in the way.
    virtual int CreateFolders(const std::string& folder) = 0;
};

class PosixFileOps;

// The kernel's operations, every call through one PosixFileOps. The backup
// is an ExclusiveOutputFile: written front to back, zero blocks left as
// holes, so a sparse original gets a sparse backup.
class PosixRepairFileOps : public RepairFileOps {
public:
    explicit PosixRepairFileOps(PosixFileOps& ops = DefaultOps());

    std::unique_ptr<RepairFile> OpenOriginal(const std::string& path, int& error) override;
    std::unique_ptr<RepairFile> CreateTemporary(const std::string& folder, std::string& path, int& error) override;
    int RenameNoReplace(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SyncFolder(const std::string& folder) override;
    int CreateFolders(const std::string& folder) override;

private:
    static PosixFileOps& DefaultOps();

    PosixFileOps& ops;
};

#pragma once
// The kernel's file operations with one step made to fail, and the bytes
// moved counted per file role. The failing step gets the chosen errno; the
// others pass through.

#include "recordings/RepairFileOps.h"

#include <QByteArray>
#include <cerrno>
#include <fcntl.h>
#include <functional>
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
    uint64_t backupBytesWritten = 0;
    int originalWrites = 0;
};

class FaultyRepairOps : public RepairFileOps {
public:
    RepairStep failing = RepairStep::None;
    int error = EIO;
    // The restore after the injected failure cannot truncate either.
    bool restoreFails = false;
    RepairCounters counters;
    // Runs before the second read of the original: the copy's first.
    std::function<void()> duringCopy;

    // Each step fails once; the restore after it runs on the real
    // operations.
    bool Fails(RepairStep step)
    {
        if (failing != step || injected)
            return false;
        injected = true;
        return true;
    }
    bool Injected() const { return injected; }

    std::unique_ptr<RepairFile> OpenOriginal(const std::string& path, int& openError) override
    {
        if (Fails(RepairStep::OpenOriginal)) {
            openError = error;
            return nullptr;
        }
        auto file = real.OpenOriginal(path, openError);
        return file ? std::make_unique<File>(*this, std::move(file), true) : nullptr;
    }
    std::unique_ptr<RepairFile> CreateTemporary(const std::string& folder, std::string& path, int& createError) override
    {
        if (Fails(RepairStep::CreateTemporary)) {
            createError = error;
            return nullptr;
        }
        auto file = real.CreateTemporary(folder, path, createError);
        return file ? std::make_unique<File>(*this, std::move(file), false) : nullptr;
    }
    int RenameNoReplace(const std::string& from, const std::string& to) override
    {
        return Fails(RepairStep::Rename) ? error : real.RenameNoReplace(from, to);
    }
    int Remove(const std::string& path) override { return real.Remove(path); }
    int SyncFolder(const std::string& folder) override
    {
        return Fails(RepairStep::FolderSync) ? error : real.SyncFolder(folder);
    }
    int CreateFolders(const std::string& folder) override
    {
        return Fails(RepairStep::CreateFolders) ? error : real.CreateFolders(folder);
    }

private:
    class File : public RepairFile {
    public:
        File(FaultyRepairOps& ops, std::unique_ptr<RepairFile> inner, bool original)
            : ops(ops), inner(std::move(inner)), original(original)
        {
        }
        int Stat(struct stat& info) override { return inner->Stat(info); }
        int ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override
        {
            if (original && ++reads == 2 && ops.duringCopy) {
                auto hook = std::move(ops.duringCopy);
                ops.duringCopy = nullptr;
                hook();
            }
            if (original)
                ops.counters.originalBytesRead += count;
            return inner->ReadAt(offset, buffer, count);
        }
        int WriteAt(uint64_t offset, const uint8_t* buffer, size_t count) override
        {
            if (!original) {
                if (ops.Fails(RepairStep::BackupWrite))
                    return ops.error;
                ops.counters.backupBytesWritten += count;
                return inner->WriteAt(offset, buffer, count);
            }
            ++ops.counters.originalWrites;
            const bool header = offset == 0;
            if (header)
                headerWritten = true;
            if (ops.Fails(header ? RepairStep::HeaderWrite : RepairStep::IndexAppend)) {
                // A part of the bytes reaches the file before the failure.
                inner->WriteAt(offset, buffer, count / 2);
                ops.counters.originalBytesWritten += count / 2;
                return ops.error;
            }
            ops.counters.originalBytesWritten += count;
            return inner->WriteAt(offset, buffer, count);
        }
        int Sync() override
        {
            if (!original)
                return ops.Fails(RepairStep::BackupSync) ? ops.error : inner->Sync();
            return ops.Fails(headerWritten ? RepairStep::FinalSync : RepairStep::Sync) ? ops.error : inner->Sync();
        }
        int Truncate(uint64_t length) override
        {
            return original && ops.restoreFails && ops.Injected() ? ops.error : inner->Truncate(length);
        }
        int SetTimes(const timespec& accessed, const timespec& modified) override
        {
            return inner->SetTimes(accessed, modified);
        }
        int TryLockExclusive() override { return inner->TryLockExclusive(); }
        void AdviseSequential() override { inner->AdviseSequential(); }
        int Close() override
        {
            const int result = inner->Close();
            return original && ops.Fails(RepairStep::Close) ? ops.error : result;
        }

    private:
        FaultyRepairOps& ops;
        std::unique_ptr<RepairFile> inner;
        bool original;
        bool headerWritten = false;
        int reads = 0;
    };

    PosixRepairFileOps real;
    bool injected = false;
};

}  // namespace discoverytest

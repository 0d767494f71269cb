#pragma once
// A file read (and, by subclasses, written) at explicit positions. Every
// read of the recordings layer goes through one of these, so reads and bytes
// can be counted. No memory mapping: a card pulled while a file is mapped
// would raise SIGBUS instead of a read error.

#include <cstddef>
#include <cstdint>
#include <string>
#include <time.h>

struct IoStats {
    uint64_t reads = 0;  // read requests
    uint64_t bytes = 0;  // bytes asked for
};

class PosixFileOps;

class PositionedFile {
public:
    // ops: the seam every call of the file goes through.
    explicit PositionedFile(PosixFileOps& ops = DefaultOps());
    virtual ~PositionedFile();
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    // Opens a regular file for reading without blocking on FIFOs; anything
    // else (folder, FIFO, device) fails with ENODEV. False and LastError()
    // on failure. adviseRandom tells the kernel not to read ahead (skipped
    // by a probe that reads one header and closes).
    bool OpenForReading(const std::string& nativePath, bool adviseRandom = true);
    void Close();
    bool IsOpen() const { return fd >= 0; }

    int64_t Size() const { return size; }
    // The last-write time fstat gave when the file was opened.
    const timespec& ModifiedTime() const { return modified; }
    int Descriptor() const { return fd; }
    // errno of the last failed open or read; 0 when none failed.
    int LastError() const { return lastError; }
    // A read failed for a reason other than the end of the file.
    bool HadIoError() const { return ioError; }

    // Reads exactly count bytes at offset; false on a short read or error.
    bool ReadAt(int64_t offset, void* buffer, size_t count);

    const IoStats& Stats() const { return stats; }

protected:
    // Opens with the given open(2) flags (O_CLOEXEC is added) and requires a
    // regular file. Subclasses that write pass their own flags.
    bool OpenWithFlags(const std::string& nativePath, int flags);
    void SetError(int error) { lastError = error; }

    static PosixFileOps& DefaultOps();

    PosixFileOps& ops;
    int fd = -1;
    int64_t size = 0;
    timespec modified{};
    IoStats stats;

private:
    int lastError = 0;
    bool ioError = false;
};

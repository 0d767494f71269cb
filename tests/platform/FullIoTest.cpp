// Whole reads and writes through a file system that interrupts every other
// call, moves at most three bytes at a time, or fails outright.

#include "platform/FullIo.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

// Plain POSIX, except that each transfer is first interrupted (EINTR), then
// moves at most `slice` bytes; `failWith` makes the next transfer fail with
// that errno, `endAfter` makes transfers report 0 once that many bytes moved.
class Stuttering : public PosixFileOps {
public:
    size_t slice = 3;
    int failWith = 0;
    size_t endAfter = SIZE_MAX;
    int calls = 0;

    ssize_t Read(int fd, void* buffer, size_t count) override
    {
        return Step(count, [&](size_t n) { return PosixFileOps::Read(fd, buffer, n); });
    }
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override
    {
        return Step(count, [&](size_t n) { return PosixFileOps::Pread(fd, buffer, n, offset); });
    }
    ssize_t Write(int fd, const void* buffer, size_t count) override
    {
        return Step(count, [&](size_t n) { return PosixFileOps::Write(fd, buffer, n); });
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        return Step(count, [&](size_t n) { return PosixFileOps::Pwrite(fd, buffer, n, offset); });
    }

private:
    size_t moved = 0;
    bool interruptNext = true;

    ssize_t Step(size_t count, const std::function<ssize_t(size_t)>& transfer)
    {
        ++calls;
        if (failWith != 0) {
            errno = failWith;
            return -1;
        }
        if (interruptNext) {
            interruptNext = false;
            errno = EINTR;
            return -1;
        }
        interruptNext = true;
        if (moved >= endAfter)
            return 0;
        const ssize_t n = transfer(std::min({count, slice, endAfter - moved}));
        if (n > 0)
            moved += static_cast<size_t>(n);
        return n;
    }
};

class FullIoTest : public testing::Test {
protected:
    const std::string data = "0123456789abcdefghijklmnopqrstuvwxyz";
    QTemporaryFile file;
    int fd = -1;

    void SetUp() override
    {
        ASSERT_TRUE(file.open());
        fd = ::open(file.fileName().toLocal8Bit().constData(), O_RDWR);
        ASSERT_GE(fd, 0);
    }
    void TearDown() override { ::close(fd); }

    std::string Contents() const
    {
        std::string text(64, '\0');
        const ssize_t n = ::pread(fd, text.data(), text.size(), 0);
        text.resize(n < 0 ? 0 : static_cast<size_t>(n));
        return text;
    }
    void Fill() { ASSERT_EQ(::pwrite(fd, data.data(), data.size(), 0), static_cast<ssize_t>(data.size())); }
};

TEST_F(FullIoTest, InterruptedAndShortTransfersAreCarriedThrough)
{
    Stuttering ops;
    ASSERT_EQ(FullIo::Write(fd, data.data(), data.size(), ops), 0);
    EXPECT_EQ(Contents(), data);
    EXPECT_EQ(ops.calls, 2 * 12) << "each three-byte slice after one interruption";

    ASSERT_EQ(FullIo::WriteAt(fd, "XYZW", 4, 30, ops), 0);
    EXPECT_EQ(Contents(), data.substr(0, 30) + "XYZW" + data.substr(34));

    std::string read(20, '\0');
    ASSERT_EQ(FullIo::ReadAt(fd, read.data(), read.size(), 5, ops), 0);
    EXPECT_EQ(read, data.substr(5, 20));

    ASSERT_EQ(::lseek(fd, 10, SEEK_SET), 10);
    std::string rest(100, '\0');
    ASSERT_EQ(FullIo::ReadUpTo(fd, rest.data(), rest.size(), ops), static_cast<ssize_t>(data.size() - 10))
        << "up to the end of the file";
}

TEST_F(FullIoTest, EndsAndFailuresAreReported)
{
    Fill();
    std::string read(10, '\0');
    {
        Stuttering ops;
        EXPECT_EQ(FullIo::ReadAt(fd, read.data(), read.size(), 30, ops), ENODATA) << "the file ended first";
    }
    {
        Stuttering ops;
        ops.endAfter = 4;
        EXPECT_EQ(FullIo::WriteAt(fd, data.data(), 10, 0, ops), EIO) << "a write that wrote nothing";
        EXPECT_EQ(FullIo::Write(fd, data.data(), 10, ops), EIO);
    }
    {
        Stuttering ops;
        ops.failWith = ENOSPC;
        EXPECT_EQ(FullIo::Write(fd, data.data(), data.size(), ops), ENOSPC);
        EXPECT_EQ(FullIo::WriteAt(fd, data.data(), data.size(), 0, ops), ENOSPC);
        EXPECT_EQ(FullIo::ReadAt(fd, read.data(), read.size(), 0, ops), ENOSPC);
        errno = 0;
        EXPECT_EQ(FullIo::ReadUpTo(fd, read.data(), read.size(), ops), -1);
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(ops.calls, 4) << "a real failure is not retried";
    }
}

}  // namespace

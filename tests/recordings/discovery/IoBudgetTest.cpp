// Reads and writes counted by the kernel (/proc/self/io): discovery adds no
// read to the reader's probe, and a repair reads the original once.

#include "DiscoveryFixtures.h"
#include "platform/UserNotifier.h"
#include "support/ProcessIo.h"
#include "recordings/CFileLoader.h"

#include <QFile>
#include <string>

namespace {

using discoverytest::Folders;

// Reading /proc/self/io is itself counted (about 120 bytes), and a sanitizer
// runtime may add a few writes of its own.
constexpr uint64_t kCounterNoise = 256;

using testsupport::ProcessIo;

TEST(IoBudget, DiscoveryAddsNoReadToTheProbe)
{
    Folders folders;
    testsupport::AviFixtureOptions options;
    options.seconds = 30;
    options.frameSize = [](int, int frame) { return 900u + uint32_t(frame % 7); };
    options.exactSize = 2 << 20;
    const QString first = folders.CardPath("a/20130405_120000_NOR.avi");
    const auto manifest = discoverytest::WriteRecording(first, options);
    ASSERT_GT(manifest.chunks.size(), 1500u);
    const int files = 50;
    for (int i = 1; i < files; ++i)
        ASSERT_TRUE(QFile::copy(first, folders.CardPath(QStringLiteral("a/20130405_12%1_NOR.avi").arg(i, 4, 10, QLatin1Char('0')))));

    RecordingNotifier notifier;
    auto spy = std::make_shared<discoverytest::RepairSpy>();
    CFileLoader loader(notifier, folders.Documents(), spy);
    const ProcessIo before = ProcessIo::Now();
    const auto entries = loader.LoadVideoFiles({folders.Card()}, {});
    const ProcessIo used = ProcessIo::Now() - before;
    ASSERT_EQ(entries.size(), size_t(files));
    EXPECT_LE(used.readCalls, uint64_t(6 * files));
    EXPECT_LE(used.bytesRead, uint64_t(64 * files) + kCounterNoise);
    EXPECT_LE(used.bytesWritten, kCounterNoise);
    EXPECT_TRUE(spy->calls.isEmpty());
}

TEST(IoBudget, ProbeReadsOneHeaderPerRecording)
{
    // open, fstat, one read of the RIFF header, close: a dated recording
    // needs nothing else, not even a stat for its entry.
    Folders folders;
    testsupport::AviFixtureOptions options;
    options.seconds = 5;
    const QString first = folders.CardPath("a/20130405_120000_NOR.avi");
    discoverytest::WriteRecording(first, options);
    const int files = 40;
    for (int i = 1; i < files; ++i)
        ASSERT_TRUE(QFile::copy(first, folders.CardPath(QStringLiteral("a/20130405_12%1_NOR.avi").arg(i, 4, 10, QLatin1Char('0')))));

    RecordingNotifier notifier;
    CFileLoader loader(notifier, folders.Documents(), std::make_shared<discoverytest::RepairSpy>());
    const ProcessIo before = ProcessIo::Now();
    const auto entries = loader.LoadVideoFiles({folders.Card()}, {});
    const ProcessIo used = ProcessIo::Now() - before;
    ASSERT_EQ(entries.size(), size_t(files));
    // Reading /proc/self/io costs a read or two of its own.
    EXPECT_LE(used.readCalls, uint64_t(files) + 4);
    EXPECT_LE(used.bytesRead, uint64_t(12 * files) + kCounterNoise);
}

TEST(IoBudget, RepairReadsTheOriginalOnce)
{
    Folders folders;
    const QString path = folders.CardPath("x.avi");
    const auto manifest = discoverytest::WriteBroken(path, 0.95, discoverytest::Options([](auto& o) {
        o.seconds = 20;
    }));
    const uint64_t size = uint64_t(manifest.fileSize);
    size_t complete = 0;
    for (const auto& chunk : manifest.chunks)
        complete += chunk.headerOffset + 8 + int64_t(chunk.size) <= manifest.fileSize;
    const uint64_t tail = (size & 1) + 8 + 16 * complete;

    QString repaired;
    AVIFileRecovery recovery(folders.Documents());
    const ProcessIo before = ProcessIo::Now();
    ASSERT_TRUE(recovery.RecoverFile(path, repaired));
    const ProcessIo used = ProcessIo::Now() - before;
    // The guard's header, then one pass that copies and scans; the rest is
    // the counters' own reading (a second pass would add the whole size).
    EXPECT_GE(used.bytesRead, size + 540);
    EXPECT_LE(used.bytesRead, size + 540 + kCounterNoise);
    // The backup, then the index and the header on the original.
    EXPECT_GE(used.bytesWritten, size + tail + 532);
    EXPECT_LE(used.bytesWritten, size + tail + 532 + kCounterNoise);
}

}  // namespace

// Recordings between 2 GiB and 4 GiB - 1, as sparse files (their video is a
// hole, so they cost no space): a power-cut one is repaired in place with
// its index rebuilt past 2 GiB, and its backup is sparse too.

#include "DiscoveryFixtures.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

using discoverytest::Folders;

constexpr int64_t kTwoGiB = int64_t(1) << 31;

int64_t BlocksInBytes(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return int64_t(info.st_blocks) * 512;
}

TEST(LargeFiles, RepairPastTwoGibibytesRebuildsTheIndexAndKeepsASparseBackup)
{
    Folders folders;
    testsupport::AviFixtureOptions o;
    o.seconds = 120;
    o.frontFrames = 2500;
    o.rearFrames = 100;
    o.sparse = true;
    o.frameSize = [](int stream, int) { return stream == 0 ? 1u << 20 : 4001u; };
    o.powerCut = 0.995;
    const QString path = folders.CardPath("20130405_120000_NOR.avi");
    const auto manifest = discoverytest::WriteRecording(path, o);
    ASSERT_GT(manifest.fileSize, kTwoGiB + (256 << 20));
    ASSERT_LT(manifest.fileSize, int64_t(1) << 32);
    QString repaired;
    AVIFileRecovery recovery(folders.Documents());
    ASSERT_TRUE(recovery.RecoverFile(path, repaired));

    // The index names every complete chunk where the builder put it,
    // offsets past 2 GiB included.
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    for (const char* id : {"00dc", "01dc"}) {
        std::vector<testsupport::AviChunkRecord> complete;
        for (const auto& chunk : manifest.ChunksOf(id))
            if (chunk.headerOffset + 8 + int64_t(chunk.size) <= manifest.fileSize)
                complete.push_back(chunk);
        const std::vector<IndexEntry> entries = parser.GetIndexEntries(id);
        ASSERT_EQ(entries.size(), complete.size()) << id;
        for (size_t k = 0; k < entries.size(); ++k)
            ASSERT_EQ(entries[k].dataOffset, complete[k].headerOffset + 8) << id << " " << k;
        EXPECT_GT(entries.back().dataOffset, kTwoGiB) << id;
    }
    EXPECT_GT(parser.FindIndexChunk()->offset, kTwoGiB);
    EXPECT_EQ(parser.GetTotalFrames(), int(parser.GetIndexEntries("00dc").size() + parser.GetIndexEntries("01dc").size()));

    // The backup holds the broken file's length and takes no more space
    // than its written parts.
    const QString backup = recovery.LastBackupPath();
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_EQ(QFileInfo(backup).size(), manifest.fileSize);
    EXPECT_LT(BlocksInBytes(backup), int64_t(64) << 20);
    EXPECT_LT(BlocksInBytes(path), int64_t(64) << 20);
}

}  // namespace

// A repaired recording of real H.264 plays: ffprobe counts the indexed
// front frames and ffmpeg decodes the front stream without an error.

#include "support/RequireReal.h"
#include "DiscoveryFixtures.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"
#include "support/H264Source.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>

namespace {

using discoverytest::Folders;
using testsupport::RunProgram;

// An elementary stream at the recorder's frame rate, split into access
// units. Key frames start 00 00 00 01 67: no B-frames, parameter sets
// repeated.
std::vector<testsupport::AnnexBFrame> EncodeH264(const QString& ffmpeg, const QString& path, const char* size,
                                                 int frames)
{
    const int code = RunProgram(ffmpeg, {"-v", "error", "-y", "-f", "lavfi", "-i",
                                         QStringLiteral("testsrc=size=%1:rate=22").arg(size), "-frames:v",
                                         QString::number(frames), "-c:v", "libx264", "-bf", "0", "-g", "11",
                                         "-x264-params", "repeat-headers=1", "-pix_fmt", "yuv420p", "-f", "h264", path});
    return code == 0 ? testsupport::AnnexBFrames(testsupport::ReadFileBytes(path)) : std::vector<testsupport::AnnexBFrame>{};
}

class PlaysAfterRepair : public ::testing::TestWithParam<const char*> {};

TEST_P(PlaysAfterRepair, IndexedFramesDecode)
{
    if (!testsupport::H264Source::Available()) {
        if (testsupport::RealComponentsRequired())
            FAIL() << "ffmpeg is missing; scripts/setup installs it";
        GTEST_SKIP() << "ffprobe/ffmpeg are not installed";
    }
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    const std::string cutId = GetParam();

    Folders folders;
    testsupport::AviFixtureOptions options;
    options.seconds = 3;
    options.frontData = EncodeH264(ffmpeg, folders.Root() + "/front.h264", "320x240", 66);
    options.rearData = EncodeH264(ffmpeg, folders.Root() + "/rear.h264", "160x120", 28);
    ASSERT_EQ(options.frontData.size(), 66u);
    ASSERT_EQ(options.rearData.size(), 28u);
    ASSERT_TRUE(options.frontData.front().bytes.startsWith(QByteArray("\0\0\0\1\x67", 5)));

    // The whole file first, to find a chunk of the wanted stream to cut in.
    // Its declared end must lie inside the repaired file: ffmpeg skips a
    // chunk that claims more than the file holds.
    const QString path = folders.CardPath("x.avi");
    const testsupport::AviManifest whole = discoverytest::WriteRecording(path, options);
    const int64_t moviEnd = whole.idx1Offset;
    const testsupport::AviChunkRecord* target = nullptr;
    for (const auto& chunk : whole.chunks)
        if (chunk.id == cutId && chunk.headerOffset > moviEnd * 3 / 4 && !target)
            target = &chunk;
    ASSERT_NE(target, nullptr);
    options.powerCut = double(target->headerOffset + 1) / double(moviEnd);
    const testsupport::AviManifest broken = discoverytest::WriteRecording(path, options);
    ASSERT_EQ(broken.chunks.back().id, cutId);

    QString repaired;
    ASSERT_TRUE(AVIFileRecovery(folders.Documents()).RecoverFile(path, repaired));
    const auto& cut = broken.chunks.back();
    ASSERT_LE(cut.headerOffset + 8 + int64_t(cut.size), QFileInfo(repaired).size());

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(repaired));
    const int indexedFront = int(parser.GetIndexEntries("00dc").size());
    parser.Close();
    int complete = 0;
    for (const auto& chunk : broken.chunks)
        if (chunk.id == "00dc" && chunk.headerOffset + 8 + int64_t(chunk.size) <= broken.fileSize)
            ++complete;
    EXPECT_EQ(indexedFront, complete);
    // Packets read from the movie data, by position: ffmpeg's resync may
    // also take an index entry ("00dc" with flags 16 reads as a 16-byte
    // chunk) for a packet once a cut chunk has led it into idx1.
    QByteArray packets;
    ASSERT_EQ(RunProgram(ffprobe,
                         {"-v", "quiet", "-select_streams", "v:0", "-show_entries", "packet=pos", "-of", "csv=p=0",
                          repaired},
                         &packets),
              0);
    const int64_t indexOffset = broken.fileSize + (broken.fileSize & 1);
    int fromMovi = 0;
    for (const QByteArray& line : packets.split('\n'))
        if (!line.trimmed().isEmpty() && line.trimmed().toLongLong() < indexOffset)
            ++fromMovi;
    // A front chunk cut in two is still read, in part, from the movie data.
    EXPECT_EQ(fromMovi, indexedFront + (cutId == "00dc" ? 1 : 0));

    EXPECT_EQ(RunProgram(ffmpeg, {"-v", "error", "-i", repaired, "-map", "0:v:0", "-f", "null", "-"}), 0);
}

INSTANTIATE_TEST_SUITE_P(CutInside, PlaysAfterRepair, ::testing::Values("01dc", "00dc"));

}  // namespace

// Cuts of a two-camera recording of real H.264 must play: ffprobe and
// ffmpeg read them. Needs ffmpeg; scripts/setup installs it.

#include "support/RequireReal.h"
#include "RecordingsFixtures.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/AviSegmentCutter.h"
#include "support/H264Source.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <optional>

namespace {

using namespace recordingstest;
using testsupport::H264Options;
using testsupport::H264Source;
using testsupport::RunProgram;

QJsonArray Probe(const QString& path, const QStringList& arguments, const char* key)
{
    QByteArray output;
    QStringList all{"-v", "error"};
    all << arguments << "-of" << "json" << path;
    EXPECT_EQ(RunProgram("ffprobe", all, &output), 0) << path.toStdString();
    return QJsonDocument::fromJson(output).object().value(key).toArray();
}

// The cut at path plays: ffprobe finds both h264 streams and the audio with
// the patched lengths, the front stream decodes whole from a key frame, and
// the rear stream decodes.
void ExpectCutPlays(const QString& path, const AviManifest& manifest)
{
    const QByteArray bytes = ReadAll(path);
    const QJsonArray streams = Probe(path, {"-count_packets", "-show_entries", "stream=codec_type,codec_name,nb_read_packets"}, "streams");
    ASSERT_GE(streams.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject stream = streams[i].toObject();
        EXPECT_EQ(stream.value("codec_type").toString(), i < 2 ? "video" : "audio") << i;
        if (i < 2) {
            EXPECT_EQ(stream.value("codec_name").toString(), "h264") << i;
        }
        const uint32_t length = U32At(bytes, manifest.strhOffsets[static_cast<size_t>(i)] + 40);
        EXPECT_EQ(stream.value("nb_read_packets").toString().toUInt(), length) << i;
    }

    const QJsonArray decoded = Probe(path, {"-select_streams", "v:0", "-count_frames", "-show_entries", "stream=nb_read_frames,nb_read_packets", "-count_packets"}, "streams");
    ASSERT_EQ(decoded.size(), 1);
    EXPECT_EQ(decoded[0].toObject().value("nb_read_frames").toString(), decoded[0].toObject().value("nb_read_packets").toString());
    const QJsonArray first = Probe(path, {"-select_streams", "v:0", "-read_intervals", "%+#1", "-show_frames", "-show_entries", "frame=key_frame"}, "frames");
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first[0].toObject().value("key_frame").toInt(), 1);
    // The rear restarts at a frame that is no key frame: messages are
    // expected, a failed run is not.
    EXPECT_EQ(RunProgram("ffmpeg", {"-v", "quiet", "-i", path, "-map", "0:v:1", "-f", "null", "-"}), 0);
}

bool RequireFfmpeg()
{
    if (H264Source::Available()) {
        return true;
    }
    if (testsupport::RealComponentsRequired()) {
        ADD_FAILURE() << "ffmpeg is missing; scripts/setup installs it";
    }
    return false;
}

// A 10 s two-camera recording of real H.264, the rear shifted so that the
// rear chunk a cut restarts at is no key frame.
std::optional<AviFixtureOptions> RealRecording(const FixtureFolder& folder)
{
    QString error;
    const H264Options frontOptions{640, 360, 30, 10, 30, 0, "testsrc", {}, {}, 0};
    const H264Options rearOptions{320, 240, 30, 10, 30, 0, "testsrc2", {}, {}, 0};
    const auto front = H264Source::Encode(frontOptions, folder.Root(), &error);
    const auto rear = front ? H264Source::Encode(rearOptions, folder.Root(), &error) : std::nullopt;
    if (!front || !rear) {
        ADD_FAILURE() << error.toStdString();
        return std::nullopt;
    }
    EXPECT_EQ(front->size(), 300u);
    EXPECT_TRUE(front->front().key);
    AviFixtureOptions o = testsupport::TwoCameraRecording(*front, frontOptions, *rear, rearOptions);
    o.rearLead = 5;
    return o;
}

TEST(CutPlays, TwoCameraCutsPlayInFfmpeg)
{
    if (!RequireFfmpeg()) {
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed (scripts/setup installs it)";
    }
    FixtureFolder folder;
    const std::optional<AviFixtureOptions> o = RealRecording(folder);
    ASSERT_TRUE(o);
    AviManifest manifest;
    const QString source = folder.Write("source.avi", *o, &manifest);

    const std::pair<uint32_t, uint32_t> cuts[] = {{3, 7}, {0, 10}, {0, 2}};
    for (const auto& [start, end] : cuts) {
        SCOPED_TRACE(testing::Message() << "cut " << start << "-" << end);
        const QString path = folder.Path(QString("cut-%1-%2.avi").arg(start).arg(end));
        ASSERT_TRUE(AviSegmentCutter::CutSegment(source.toStdString(), start, end, path.toStdString()));
        ExpectCutPlays(path, manifest);
    }
}

TEST(CutPlays, CutsOfARepairedRecordingPlayInFfmpeg)
{
    if (!RequireFfmpeg()) {
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed (scripts/setup installs it)";
    }
    FixtureFolder folder;
    std::optional<AviFixtureOptions> o = RealRecording(folder);
    ASSERT_TRUE(o);
    o->powerCut = 0.8;  // no index, zeroed sizes and counts, the last chunk cut
    AviManifest manifest;
    const QString source = folder.Write("broken.avi", *o, &manifest);
    QString repaired;
    ASSERT_TRUE(AVIFileRecovery(folder.Path("docs")).RecoverFile(source, repaired));
    ASSERT_EQ(repaired, source);

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(source));
    const int duration = parser.GetDuration();
    parser.Close();
    ASSERT_GT(duration, 5);
    const std::pair<uint32_t, uint32_t> cuts[] = {{2, 5}, {0, static_cast<uint32_t>(duration)}};
    for (const auto& [start, end] : cuts) {
        SCOPED_TRACE(testing::Message() << "cut " << start << "-" << end);
        const QString path = folder.Path(QString("cut-%1-%2.avi").arg(start).arg(end));
        ASSERT_TRUE(AviSegmentCutter::CutSegment(source.toStdString(), start, end, path.toStdString()));
        ExpectCutPlays(path, manifest);
    }
}

TEST(CutPlays, ACutFromPastTwoGibibytesPlaysInFfmpeg)
{
    if (!RequireFfmpeg()) {
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed (scripts/setup installs it)";
    }
    FixtureFolder folder;
    std::optional<AviFixtureOptions> o = RealRecording(folder);
    ASSERT_TRUE(o);
    // An unindexed JUNK chunk of 2.25 GiB after the first chunk, left a hole:
    // everything after it, idx1 included, lies past 2 GiB.
    o->moviJunkSize = 0x90000000u;
    o->moviJunkAfter = 0;
    o->junkAsHole = true;
    AviManifest manifest;
    const QString source = folder.Write("large.avi", *o, &manifest);
    const int64_t twoGiB = int64_t(1) << 31;
    ASSERT_GT(manifest.ChunksOf("00dc")[90].headerOffset, twoGiB);
    ASSERT_GT(manifest.idx1Offset, twoGiB);

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(source));
    EXPECT_EQ(parser.GetIndexEntries("00dc").size(), manifest.ChunksOf("00dc").size());
    EXPECT_EQ(parser.GetIndexEntries("00dc")[90].dataOffset, manifest.ChunksOf("00dc")[90].headerOffset + 8);
    parser.Close();

    const QString path = folder.Path("cut-3-7.avi");
    ASSERT_TRUE(AviSegmentCutter::CutSegment(source.toStdString(), 3, 7, path.toStdString()));
    EXPECT_LT(QFileInfo(path).size(), 64 << 20);
    ExpectCutPlays(path, manifest);
}

}  // namespace

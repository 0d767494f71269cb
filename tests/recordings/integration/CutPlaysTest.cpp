// Cuts of a two-camera recording of real H.264 must play: ffprobe and
// ffmpeg read them. Needs ffmpeg; CI installs it through scripts/setup.

#include "RecordingsFixtures.h"
#include "recordings/AviSegmentCutter.h"
#include "support/H264Source.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

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

TEST(CutPlays, TwoCameraCutsPlayInFfmpeg)
{
    if (!H264Source::Available()) {
        if (std::getenv("CI")) {
            FAIL() << "ffmpeg is missing in CI; scripts/setup installs it";
        }
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed (scripts/setup installs it)";
    }
    FixtureFolder folder;
    QString error;
    const H264Options frontOptions{640, 360, 30, 10, 30, 0, "testsrc"};
    const H264Options rearOptions{320, 240, 30, 10, 30, 0, "testsrc2"};
    const auto front = H264Source::Encode(frontOptions, folder.Root(), &error);
    ASSERT_TRUE(front) << error.toStdString();
    const auto rear = H264Source::Encode(rearOptions, folder.Root(), &error);
    ASSERT_TRUE(rear) << error.toStdString();
    ASSERT_EQ(front->size(), 300u);
    ASSERT_TRUE(front->front().key);

    AviFixtureOptions o = testsupport::TwoCameraRecording(*front, frontOptions, *rear, rearOptions);
    o.rearLead = 5;  // shifted: the rear chunk a cut restarts at is no key frame
    AviManifest manifest;
    const QString source = folder.Write("source.avi", o, &manifest);

    const std::pair<uint32_t, uint32_t> cuts[] = {{3, 7}, {0, 10}, {0, 2}};
    for (const auto& [start, end] : cuts) {
        SCOPED_TRACE(testing::Message() << "cut " << start << "-" << end);
        const QString path = folder.Path(QString("cut-%1-%2.avi").arg(start).arg(end));
        ASSERT_TRUE(AviSegmentCutter::CutSegment(source.toStdString(), start, end, path.toStdString()));
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
}

}  // namespace

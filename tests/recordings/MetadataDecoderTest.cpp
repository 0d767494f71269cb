#include "RecordingsFixtures.h"
#include "core/Logger.h"
#include "recordings/AVIFileLoader.h"
#include "recordings/TextChunkDecoder.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace recordingstest;
using testsupport::AviTextChunk;
using testsupport::GprmcChunk;
using testsupport::MotionChunk;

std::shared_ptr<RecordingEntry> EntryFor(const QString& path)
{
    return std::make_shared<RecordingEntry>(OleDateTime::FromParts(2013, 5, 7, 8, 5, 9), RECORDING_NORMAL, path,
                                            path.section(u'/', -1));
}

// Decodes the file's metadata into a fresh entry.
std::shared_ptr<RecordingEntry> Decode(const QString& path, bool expected = true)
{
    auto entry = EntryFor(path);
    AVIFileLoader loader;
    EXPECT_EQ(loader.GetMetadataFromAVIFile(*entry), expected) << path.toStdString();
    loader.Close();
    return entry;
}

AviFixtureOptions WithText(std::vector<AviTextChunk> text)
{
    AviFixtureOptions o = SmallRecording();
    o.textChunks = std::move(text);
    return o;
}

struct GpsCase {
    const char* what;
    QByteArray fields;  // after "$GPRMC,"
    std::optional<GpsFix> expected;
};

void ExpectGpsTable()
{
    const GpsCase cases[] = {
        {"fraction of a second", "153000.000,A,3723.2475,N,12158.3416,E,10,054.7,070513,,", GpsFix{37.387458, 121.972360, 18.52, 3000, true}},
        {"wraps at midnight", "083559,A,3723.2475,S,12158.3416,W,0.0,054.7,070513,,", GpsFix{-37.387458, -121.972360, 0, 173559, true}},
        {"status V with full fields", "083559,V,3723.2475,N,12158.3416,E,10,054.7,070513,,", GpsFix{37.387458, 121.972360, 18.52, 173559, false}},
        {"empty speed", "083559,A,3723.2475,N,12158.3416,E,,054.7,070513,,", GpsFix{37.387458, 121.972360, 0, 173559, true}},
        {"no fix", "083559.00,V,,,,,,,070513,,,N", GpsFix{0, 0, 0, 173559, false}},
        {"seven pieces", "083559,A,3723.2475,N,12158.3416,E", std::nullopt},
    };
    for (const GpsCase& c : cases) {
        const auto fix = TextChunkDecoder::DecodeGps(GprmcChunk(c.fields));
        ASSERT_EQ(fix.has_value(), c.expected.has_value()) << c.what;
        if (!fix) {
            continue;
        }
        EXPECT_NEAR(fix->latitude, c.expected->latitude, 1e-6) << c.what;
        EXPECT_NEAR(fix->longitude, c.expected->longitude, 1e-6) << c.what;
        EXPECT_NEAR(fix->speed, c.expected->speed, 1e-9) << c.what;
        EXPECT_EQ(fix->timeOfDay, c.expected->timeOfDay) << c.what;
        EXPECT_EQ(fix->valid, c.expected->valid) << c.what;
    }
    EXPECT_FALSE(TextChunkDecoder::DecodeGps("G$GPGGA,083559,3723.2475,N,12158.3416,E,1,08,0.9,545.4,M,46.9,M,,*47"));
    EXPECT_FALSE(TextChunkDecoder::DecodeGps("G"));
    EXPECT_FALSE(TextChunkDecoder::DecodeGps(""));

    const MotionSample m = TextChunkDecoder::DecodeMotion(QByteArray::fromHex("4d20e000010203"));
    EXPECT_EQ(m.x, 1.0);
    EXPECT_EQ(m.y, -1.0);
    EXPECT_EQ(m.z, 0.0);
    EXPECT_EQ(m.x2, 0.03125);
    EXPECT_EQ(m.y2, 0.0625);
    EXPECT_EQ(m.z2, 0.09375);
}

TEST(MetadataDecoder, DecodesSentencesByFieldPosition)
{
    ExpectGpsTable();
}

TEST(MetadataDecoder, DecodesTheSameUnderAGermanLocale)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString path = folder.Write("golden.avi", {}, &manifest);
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    ExpectGpsTable();
    const auto entry = Decode(path);
    ASSERT_EQ(entry->gpsFixes.size(), manifest.fixes.size());
    EXPECT_NEAR(entry->gpsFixes[3].latitude, manifest.fixes[3].latitude, 1e-9);
}

TEST(MetadataDecoder, FillsTheEntryFromARecording)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString path = folder.Write("golden.avi", {}, &manifest);
    const auto entry = Decode(path);
    EXPECT_TRUE(entry->metadataLoaded);
    EXPECT_TRUE(entry->selectTrack1);
    EXPECT_FALSE(entry->selectTrack2);
    EXPECT_EQ(entry->duration, 10);
    EXPECT_EQ(entry->durationSpan, 10);
    EXPECT_EQ(entry->videoStreamCount, 2);
    EXPECT_EQ(entry->totalFrames, manifest.streamCounts[0] + manifest.streamCounts[1]);
    EXPECT_EQ(entry->width, 1280);
    EXPECT_EQ(entry->height, 720);
    ASSERT_EQ(entry->gpsFixes.size(), manifest.fixes.size());
    for (size_t i = 0; i < manifest.fixes.size(); ++i) {
        EXPECT_NEAR(entry->gpsFixes[i].latitude, manifest.fixes[i].latitude, 1e-9) << i;
        EXPECT_NEAR(entry->gpsFixes[i].longitude, manifest.fixes[i].longitude, 1e-9) << i;
        EXPECT_NEAR(entry->gpsFixes[i].speed, manifest.fixes[i].speed, 1e-9) << i;
        EXPECT_EQ(entry->gpsFixes[i].timeOfDay, manifest.fixes[i].timeOfDay) << i;
    }
    ASSERT_EQ(entry->motionSamples.size(), manifest.samples.size());
    ASSERT_EQ(entry->motionTimes.size(), manifest.samples.size());
    for (size_t i = 0; i < manifest.samples.size(); ++i) {
        EXPECT_EQ(entry->motionSamples[i].x, manifest.samples[i].x) << i;
        EXPECT_EQ(entry->motionSamples[i].z2, manifest.samples[i].z2) << i;
    }
}

TEST(MetadataDecoder, GivesMotionSamplesAccumulatedTimes)
{
    FixtureFolder folder;
    std::vector<AviTextChunk> text;
    for (int k = 0; k < 100; ++k) {
        text.push_back({MotionChunk({1, 2, 3, 4, 5, 6}), std::nullopt, "03tx"});
    }
    for (const int duration : {60, 0}) {
        AviFixtureOptions o = WithText(text);
        o.streams[0] = {1, 1, static_cast<uint32_t>(duration)};
        const auto entry = Decode(folder.Write("m.avi", o));
        ASSERT_EQ(entry->duration, duration);
        ASSERT_EQ(entry->motionTimes.size(), 100u);
        double sum = 0;
        for (size_t k = 0; k < 100; ++k) {
            sum += duration / 100.0;
            EXPECT_EQ(entry->motionTimes[k], sum) << k;
        }
        EXPECT_NEAR(entry->motionTimes.back(), duration, 1e-9);
    }
}

TEST(MetadataDecoder, DecodesEveryIdHoldingTxAndNothingElse)
{
    FixtureFolder folder;
    const QByteArray m = MotionChunk({32, 0, 0, 0, 0, 0});
    const auto entry = Decode(folder.Write("ids.avi", WithText({{m, std::nullopt, "03tx"}, {m, std::nullopt, "tx00"},
                                                                 {m, std::nullopt, "02wb"}, {"X123456", std::nullopt, "03tx"}})));
    EXPECT_EQ(entry->motionSamples.size(), 2u);
}

TEST(MetadataDecoder, KeepsEverySentencesSecond)
{
    FixtureFolder folder;
    std::vector<AviTextChunk> text;
    for (int s = 0; s < 5; ++s) {
        const QByteArray time = "03000" + QByteArray::number(s);
        text.push_back({GprmcChunk(s == 2 ? time + ",V,,,,,,,070513,,,N" : time + ",A,3723.2475,N,12158.3416,E,1" + QByteArray::number(s) + ",0,070513,,"),
                        std::nullopt, "03tx"});
    }
    const auto entry = Decode(folder.Write("align.avi", WithText(text)));
    ASSERT_EQ(entry->gpsFixes.size(), 5u);
    EXPECT_FALSE(entry->gpsFixes[2].valid);
    const auto fix = entry->GetGpsFixAt(3.5);
    ASSERT_TRUE(fix);
    EXPECT_EQ(fix->timeOfDay, 120003);
    EXPECT_NEAR(fix->speed, 13 * 1.852, 1e-9);
}

TEST(MetadataDecoder, TextEndsAtTheChunkEnd)
{
    FixtureFolder folder;
    // Even length (no pad), no "*": the next chunk's id "00dc" follows at once
    // and must not extend the speed field.
    QByteArray noStar = "G$GPRMC,083559,A,3723.2475,N,12158.3416,E,10";
    ASSERT_EQ(noStar.size() % 2, 0);
    // A forged size field: the text still ends after 256 bytes.
    QByteArray huge = "G$GPRMC,083559,A,3723.2475,N,12158.3416,E,11," + QByteArray(300, '7');
    const auto entry = Decode(folder.Write("nostar.avi", WithText({{noStar, std::nullopt, "03tx"}, {huge, 0xFFFFFFFFu, "03tx"}})));
    ASSERT_EQ(entry->gpsFixes.size(), 2u);
    EXPECT_NEAR(entry->gpsFixes[0].speed, 18.52, 1e-9);
    EXPECT_NEAR(entry->gpsFixes[1].speed, 11 * 1.852, 1e-9);
}

TEST(MetadataDecoder, LoaderLifecycle)
{
    FixtureFolder folder;
    {
        // Already loaded: no file is touched, even a removed one.
        auto entry = EntryFor(folder.Path("gone.avi"));
        entry->metadataLoaded = true;
        AVIFileLoader loader;
        EXPECT_TRUE(loader.GetMetadataFromAVIFile(*entry));
        EXPECT_EQ(loader.GetLastIoStats().reads, 0u);
    }
    {
        AviFixtureOptions small;
        small.seconds = 1;
        small.frameSize = [](int, int) { return 100u; };
        const auto entry = Decode(folder.Write("small.avi", small));
        EXPECT_FALSE(entry->metadataLoaded);
        EXPECT_EQ(entry->duration, 0);
    }
    Decode(folder.Path("missing.avi"), false);
    QDir(folder.Root()).mkpath("dir.avi");
    Decode(folder.Path("dir.avi"), false);
    {
        AviFixtureOptions o = SmallRecording();
        o.riffSize = 0;
        Decode(folder.Write("broken.avi", o), false);
    }
    {
        AviFixtureOptions o = SmallRecording();
        o.writeIndex = false;
        const auto entry = Decode(folder.Write("noindex.avi", o));
        EXPECT_TRUE(entry->metadataLoaded);
        EXPECT_EQ(entry->videoStreamCount, 2);
        EXPECT_TRUE(entry->motionSamples.empty());
        EXPECT_TRUE(entry->gpsFixes.empty());
    }
    if (::geteuid() != 0) {
        const QString locked = folder.Write("locked.avi", SmallRecording());
        ASSERT_EQ(::chmod(locked.toUtf8().constData(), 0), 0);
        Decode(locked, false);
    }
    {
        // The base loader knows no format.
        CFileLoader base;
        auto entry = EntryFor(folder.Write("base.avi", SmallRecording()));
        EXPECT_FALSE(base.GetMetadataFromAVIFile(*entry));
        base.Close();
    }
}

TEST(MetadataDecoder, LogsStartAndEnd)
{
    testsupport::ScopedWorkingFolder working;
    FixtureFolder folder;
    const QString path = folder.Write("golden.avi", SmallRecording());
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(true);
    logger.SetType(3);
    logger.SetLevel(3);
    Decode(path);
    logger.SetEnabled(false);
    const QByteArray log = ReadAll(logger.GetLogFilePath());
    const qsizetype start = log.indexOf("[AVIFileLoader]\t[GetMetadataFromAVIFile]\tMeta Data Parse Start!");
    const qsizetype end = log.indexOf("[AVIFileLoader]\t[GetMetadataFromAVIFile]\tMeta Data Parse end!");
    ASSERT_GE(start, 0) << log.toStdString();
    EXPECT_GT(end, start);
}

TEST(MetadataDecoder, ReadsEachTextChunkOnceAndTheIndexOnce)
{
    FixtureFolder folder;
    const auto readsFor = [&](int textChunks) {
        AviFixtureOptions o = SmallRecording();
        o.seconds = 30;
        std::vector<AviTextChunk> text;
        for (int k = 0; k < textChunks; ++k) {
            text.push_back({k % 10 ? MotionChunk({1, 2, 3, 4, 5, 6}) : GprmcChunk("083559,A,3723.2475,N,12158.3416,E,10,0,070513,,"),
                            std::nullopt, "03tx"});
        }
        o.textChunks = text;
        auto entry = EntryFor(folder.Write(QString("io%1.avi").arg(textChunks), o));
        AVIFileLoader loader;
        EXPECT_TRUE(loader.GetMetadataFromAVIFile(*entry));
        EXPECT_EQ(entry->motionSamples.size() + entry->gpsFixes.size(), static_cast<size_t>(textChunks));
        loader.Close();
        return loader.GetLastIoStats().reads;
    };
    const uint64_t few = readsFor(60);
    const uint64_t many = readsFor(600);
    EXPECT_EQ(many - few, 540u);
    EXPECT_LE(few, 60u + 30u);
}

}  // namespace

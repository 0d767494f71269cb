// Both channel panes on the real libvlc and the H.264 recordings of
// ChannelFixtures, driven through the hub as the viewer drives them.

#include "ChannelPaneFixtures.h"
#include "LogCapture.h"
#include "RealComponents.h"

#include "controls/SkinSupport.h"
#include "core/Common.h"
#include "hub/HubCodes.h"
#include "platform/gdi/GdiCompat.h"
#include "playback/ChannelLogo.h"
#include "support/ChannelFixtures.h"
#include "support/ChildWatch.h"
#include "support/gui/Screenshot.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using realcheck::Colour;
using realcheck::Describe;
using realcheck::Is;
using testsupport::ChannelFixture;
using testsupport::WaitUntil;
using namespace std::chrono_literals;

const testing::Environment* const keepPluginsLoaded =
    testing::AddGlobalTestEnvironment(new realcheck::KeepPluginsLoaded);

using testsupport::ChannelFixtureEntry;

// What the front shows while stopped: the pane's black, the whole logo
// stretched over it.
QImage StretchedLogo(QSize size)
{
    const QImage logo = ImageSource::Resources().Bitmap(CFirstChannelVideoPane::kLogoBitmap);
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter painter(&expected);
    gdi::Stretch(painter, expected.rect(), logo, logo.rect());
    return expected;
}

QRgb Centre(const QImage& image)
{
    return image.pixel(image.width() / 2, image.height() / 2);
}

// The 40x40 box's centre in a frame, in the corner the flips put it.
QPoint BoxCentre(const QImage& frame, bool bottom = false, bool right = false)
{
    const int x = frame.width() * 20 / 320;
    const int y = frame.height() * 20 / 180;
    return {right ? frame.width() - 1 - x : x, bottom ? frame.height() - 1 - y : y};
}

class RealChannels : public testing::Test {
protected:
    void SetUp() override
    {
        KESTROV_REQUIRE_REAL_OR_SKIP(testsupport::ChannelFixturesPresent(),
                                     "no channel recordings (is ffmpeg installed?)");
        KESTROV_REQUIRE_LIBVLC(loaded);
        vlc = loaded;
    }

    channeltest::ChannelPanes& Make(QSize size = {640, 360}, const ImageSource* images = nullptr)
    {
        channeltest::ChannelPanes::Options options;
        options.paneSize = size;
        options.images = images;
        options.loader = ApplicationHub::DefaultMetadataLoader();
        panes.reset();
        panes = std::make_unique<channeltest::ChannelPanes>(*vlc, options);
        return *panes;
    }

    // Waits (turning the event loop) until the sink publishes a frame whose
    // centre has the colour.
    static bool WaitForColour(VideoFrameSink& sink, Colour colour, int timeoutMs = 5000)
    {
        return WaitUntil(
            [&] {
                const VideoFrameSink::Latest latest = sink.LatestFrame();
                return latest.frame && Is(Centre(*latest.frame), colour);
            },
            timeoutMs);
    }

    static QImage Latest(VideoFrameSink& sink)
    {
        const VideoFrameSink::Latest latest = sink.LatestFrame();
        return latest.frame ? *latest.frame : QImage();
    }

    std::vector<hubtest::Delivery> Recorded()
    {
        std::vector<hubtest::Delivery> recorded;
        for (const hubtest::Delivery& d : panes->harness.GetJournal().Entries())
            if (d.listener == hubtest::HubHarness::kRecorder && d.code != hubtest::HubHarness::kDrainMark &&
                d.code != VIDEO_FRAME_POSITION_CHANGED)
                recorded.push_back(d);
        return recorded;
    }
    std::vector<int> CodesWithoutPositions()
    {
        std::vector<int> codes;
        for (const hubtest::Delivery& d : Recorded())
            codes.push_back(d.code);
        return codes;
    }

    VlcFunctionExecutor* vlc = nullptr;
    std::unique_ptr<channeltest::ChannelPanes> panes;
};

TEST_F(RealChannels, BothCamerasPlayFromTheLoadBatch)
{
    channeltest::ChannelPanes& p = Make();
    p.Make();
    std::atomic<int> frontPictureInRear{0};
    p.rear->Sink().SetPublishObserver([&](const QImage& frame) {
        if (!Is(Centre(frame), Colour::Blue) && !Is(Centre(frame), Colour::Magenta))
            ++frontPictureInRear;
    });
    p.harness.Load({ChannelFixtureEntry('A'), ChannelFixtureEntry('C')});
    // The rear's thread is kept busy while its player starts: the front's
    // track plays there until the track choice, which comes late.
    RearPlayerTasks& tasks = p.rear->Tasks();
    tasks.Queue(tasks.Current(), [](std::uint64_t) { std::this_thread::sleep_for(400ms); });
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red)) << "no red front frame";
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Blue)) << "no blue rear frame within 5 s";
    const QImage front = Latest(p.front->Sink());
    const QImage rear = Latest(p.rear->Sink());
    EXPECT_TRUE(Is(front.pixel(BoxCentre(front)), Colour::White)) << Describe(front.pixel(BoxCentre(front)));
    EXPECT_TRUE(Is(rear.pixel(BoxCentre(rear)), Colour::Yellow)) << Describe(rear.pixel(BoxCentre(rear)));
    ASSERT_TRUE(p.harness.WaitForCode(CHANGE_VIDEO_BRIGHTNESS));
    const std::vector<int> codes = CodesWithoutPositions();
    const std::vector<int> expected{SET_VIDEO_FILES, VIDEO_FILES_OPENED, SET_CURRENT_VIDEO_INDEX,
                                    SET_CURRENT_VIDEO_MEDIA, NEW_VIDEO_PLAY, CREATE_VIDEO_METADATA,
                                    VIDEO_METADATA_CREATED, VIDEO_PLAY_STARTED, CHANGE_VIDEO_BRIGHTNESS};
    ASSERT_GE(codes.size(), expected.size());
    EXPECT_EQ(std::vector<int>(codes.begin(), codes.begin() + expected.size()), expected);
    EXPECT_FLOAT_EQ(Recorded()[8].payload.brightness, 1.0f);
    // The rear has no audio output at all (libvlc answers -1); the front plays
    // at its volume.
    EXPECT_EQ(vlc->Functions().libvlc_audio_get_volume(p.rear->CurrentPlayer()), -1);
    EXPECT_EQ(vlc->Functions().libvlc_audio_get_volume(p.front->CurrentPlayer()), 50);

    // A rate set once carries over to the next recording in both channels.
    p.harness.Post(CHANGE_VIDEO_SPEED, channeltest::With(&MessageParam::rate, 2.0f));
    p.harness.Select(1);
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Cyan));
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Magenta));
    EXPECT_FLOAT_EQ(vlc->Functions().libvlc_media_player_get_rate(p.front->CurrentPlayer()), 2.0f);
    EXPECT_FLOAT_EQ(vlc->Functions().libvlc_media_player_get_rate(p.rear->CurrentPlayer()), 2.0f);
    EXPECT_EQ(vlc->Functions().libvlc_audio_get_volume(p.rear->CurrentPlayer()), -1) << "silent after its stop";
    EXPECT_EQ(frontPictureInRear, 0) << "the rear published a picture of the front camera";
    p.rear->Sink().SetPublishObserver({});
}

TEST_F(RealChannels, FlipsTurnTheirChannel)
{
    {
        channeltest::ChannelPanes& p = Make();
        p.Make();
        p.harness.Load({ChannelFixtureEntry('A')});
        ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red));
        QImage front = Latest(p.front->Sink());
        EXPECT_TRUE(Is(front.pixel(BoxCentre(front)), Colour::White));
        // Read at the next load.
        p.host.ch1Vertical = true;
        p.harness.Select(0);
        EXPECT_TRUE(WaitUntil(
            [&] {
                const QImage frame = Latest(p.front->Sink());
                return !frame.isNull() && Is(frame.pixel(BoxCentre(frame, true, false)), Colour::White) &&
                       Is(frame.pixel(BoxCentre(frame)), Colour::Red);
            },
            5000))
            << "no box at the bottom left";
    }
    channeltest::ChannelPanes& p = Make();
    p.host.ch2Vertical = true;
    p.host.ch2Horizontal = true;
    p.Make();
    p.harness.Load({ChannelFixtureEntry('A')});
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Blue));
    const QImage rear = Latest(p.rear->Sink());
    EXPECT_TRUE(Is(rear.pixel(BoxCentre(rear, true, true)), Colour::Yellow))
        << Describe(rear.pixel(BoxCentre(rear, true, true)));
    EXPECT_TRUE(Is(rear.pixel(BoxCentre(rear)), Colour::Blue)) << Describe(rear.pixel(BoxCentre(rear)));
    const QImage front = Latest(p.front->Sink());
    EXPECT_TRUE(Is(front.pixel(BoxCentre(front)), Colour::White)) << "the front keeps its own flips";
}

// Frames come at the stream's picture size, or at the pane's when that is a
// quarter as wide or less, chosen at each load; a resize changes nothing
// until the next.
TEST_F(RealChannels, FramesAreSizedAtTheLoad)
{
    channeltest::ChannelPanes& p = Make({640, 360});
    p.Make();
    std::mutex mutex;
    std::vector<QSize> frontSizes, rearSizes;
    p.front->Sink().SetPublishObserver([&](const QImage& frame) {
        std::lock_guard lock(mutex);
        frontSizes.push_back(frame.size());
    });
    p.rear->Sink().SetPublishObserver([&](const QImage& frame) {
        std::lock_guard lock(mutex);
        rearSizes.push_back(frame.size());
    });
    p.harness.Load({ChannelFixtureEntry('D'), ChannelFixtureEntry('A')});
    ASSERT_TRUE(WaitUntil([&] { return p.rear->TrackSelected() && p.rear->Sink().FrameCount() > 2; }, 5000));
    EXPECT_EQ(p.front->Sink().NegotiatedSize(), QSize(640, 360));
    EXPECT_EQ(p.rear->Sink().NegotiatedSize(), QSize(640, 360));

    LogCapture log;
    p.harness.ClearJournal();
    const std::uint64_t before = p.front->Sink().FrameCount();
    p.front->resize(160, 90);
    p.rear->resize(160, 90);
    ASSERT_TRUE(WaitUntil([&] { return p.front->Sink().FrameCount() > before + 10; }, 3000));
    EXPECT_EQ(p.front->Sink().NegotiatedSize(), QSize(640, 360));
    EXPECT_EQ(p.rear->Sink().NegotiatedSize(), QSize(640, 360));
    EXPECT_TRUE(CodesWithoutPositions().empty());
    EXPECT_TRUE(log.Lines().filter("Set Track").isEmpty());
    {
        std::lock_guard lock(mutex);
        EXPECT_TRUE(std::all_of(frontSizes.begin(), frontSizes.end(), [](QSize s) { return s == QSize(640, 360); }));
        EXPECT_TRUE(std::all_of(rearSizes.begin(), rearSizes.end(), [](QSize s) { return s == QSize(640, 360); }));
        frontSizes.clear();
        rearSizes.clear();
    }

    // The next load asks again: a pane a quarter as wide gets frames of its
    // own size, a pane at least as large as the picture the picture's.
    const int opened = p.harness.CountOf(VIDEO_METADATA_CREATED);
    p.harness.Select(0);
    ASSERT_TRUE(p.harness.WaitForCode(VIDEO_METADATA_CREATED, opened + 1));
    ASSERT_TRUE(WaitUntil([&] { return p.rear->TrackSelected() && p.rear->Sink().FrameCount() > 2; }, 5000));
    EXPECT_EQ(p.front->Sink().NegotiatedSize(), QSize(160, 90));
    EXPECT_EQ(p.rear->Sink().NegotiatedSize(), QSize(160, 90));
    p.front->resize(640, 360);
    p.rear->resize(640, 360);
    p.harness.Select(1);
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red));
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Blue));
    EXPECT_EQ(p.front->Sink().NegotiatedSize(), QSize(320, 180));
    EXPECT_EQ(p.rear->Sink().NegotiatedSize(), QSize(320, 180));
    p.front->Sink().SetPublishObserver({});
    p.rear->Sink().SetPublishObserver({});
    std::lock_guard lock(mutex);
    const std::vector<QSize> sizes{{160, 90}, {320, 180}, {640, 360}};
    for (const std::vector<QSize>* shown : {&frontSizes, &rearSizes})
        for (QSize size : *shown)
            EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size.width() << "x" << size.height();
}

// A one-camera recording between two: each end advances once, the rear
// stops and stays black while the front plays it; the last end stops at
// the first recording with the logo.
TEST_F(RealChannels, OneCameraRecordingBetweenTwo)
{
    controlstest::ScopedSkinModule skin;
    channeltest::ChannelPanes& p = Make({640, 360}, &ImageSource::Resources());
    p.Make();
    p.harness.Load({ChannelFixtureEntry('A'), ChannelFixtureEntry('B'), ChannelFixtureEntry('C')});
    ASSERT_TRUE(p.harness.WaitForCode(VIDEO_NEXT, 1, 10s));
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Green));
    EXPECT_EQ(vlc->libvlc_media_player_is_playing(p.rear->CurrentPlayer()), 0);
    const std::uint64_t rearFrames = p.rear->Sink().FrameCount();
    QTest::qWait(1000);
    EXPECT_EQ(p.rear->Sink().FrameCount(), rearFrames);
    const QImage rearShown = testsupport::Grab(*p.rear->Surface());
    EXPECT_TRUE(Is(Centre(rearShown), Colour::Black)) << Describe(Centre(rearShown));

    ASSERT_TRUE(p.harness.WaitForCode(VIDEO_STOP, 1, 15s));
    ASSERT_TRUE(p.harness.Drain());
    QTest::qWait(300);
    std::vector<int> ends;
    for (const hubtest::Delivery& d : Recorded())
        if (d.code == VIDEO_END_REACHED || d.code == SET_CURRENT_VIDEO_INDEX || d.code == SET_CURRENT_VIDEO_MEDIA ||
            d.code == VIDEO_NEXT || d.code == VIDEO_STOP)
            ends.push_back(d.code == SET_CURRENT_VIDEO_INDEX ? 100 + d.payload.index : d.code);
    // The load's 10 (0) and 11, then A's end, B's end, C's end.
    EXPECT_EQ(ends, (std::vector<int>{100, SET_CURRENT_VIDEO_MEDIA, VIDEO_END_REACHED, 101, SET_CURRENT_VIDEO_MEDIA,
                                      VIDEO_NEXT, VIDEO_END_REACHED, 102, SET_CURRENT_VIDEO_MEDIA, VIDEO_NEXT,
                                      VIDEO_END_REACHED, 100, SET_CURRENT_VIDEO_MEDIA, VIDEO_STOP}));
    EXPECT_EQ(p.Hub().GetCurrentIndex(), 0u);
    EXPECT_EQ(vlc->libvlc_media_player_is_playing(p.front->CurrentPlayer()), 0);
    EXPECT_TRUE(p.front->Logo()->isVisible());
    ASSERT_FALSE(ImageSource::Resources().Bitmap(CFirstChannelVideoPane::kLogoBitmap).isNull());
    EXPECT_EQ(testsupport::Grab(*p.front), StretchedLogo(p.front->size()));
}

TEST_F(RealChannels, EmptyFileStopsWithABoxThenTheNextPlays)
{
    channeltest::ChannelPanes& p = Make();
    p.Make();
    p.harness.Load({ChannelFixtureEntry('Z'), ChannelFixtureEntry('A')});
    ASSERT_TRUE(p.harness.WaitForCode(VIDEO_STOP, 1, 10s));
    ASSERT_TRUE(p.harness.Drain());
    EXPECT_EQ(CodesWithoutPositions(),
              (std::vector<int>{SET_VIDEO_FILES, VIDEO_FILES_OPENED, SET_CURRENT_VIDEO_INDEX, SET_CURRENT_VIDEO_MEDIA,
                                NEW_VIDEO_PLAY, CREATE_VIDEO_METADATA, VIDEO_METADATA_CREATED, VIDEO_STOP}));
    const std::vector<RecordingNotifier::Box> boxes = p.notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Posted);
    EXPECT_EQ(boxes[0].text, Common::GetResourceString(5001) + "\n" + ChannelFixture('Z'));
    EXPECT_TRUE(p.front->Logo()->isVisible());
    EXPECT_EQ(p.Hub().GetVideoFiles().size(), 2u);

    p.harness.Select(1, VIDEO_NEXT);
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red));
    EXPECT_EQ(p.notifier.Count(), 1u);
}

TEST_F(RealChannels, RearWithoutFramesStaysBlack)
{
    channeltest::ChannelPanes& p = Make();
    p.Make();
    p.harness.Load({ChannelFixtureEntry('R')});
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red));
    ASSERT_TRUE(WaitUntil([&] { return p.rear->TrackSelected(); }, 5000));
    QTest::qWait(700);
    EXPECT_EQ(p.rear->Sink().FrameCount(), 0u);
    EXPECT_TRUE(Is(Centre(testsupport::Grab(*p.rear->Surface())), Colour::Black));
    EXPECT_EQ(p.notifier.Count(), 0u);
}

// The rear opens and picks its track while the worker stops or reloads it:
// neither waits for the other.
TEST_F(RealChannels, StopsDuringTheRearsTrackChoiceNeverDeadlock)
{
    channeltest::ChannelPanes& p = Make();
    p.Make();
    std::mt19937 random(20240614);
    hubtest::Watchdog watchdog("fifty loads with a stop during the rear's track choice", 60s);
    const int interrupts[] = {VIDEO_STOP, VIDEO_PREVIOUS, VIDEO_METADATA_CREATED};
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        const int opened = p.harness.CountOf(VIDEO_METADATA_CREATED);
        if (round == 0)
            p.harness.Load({ChannelFixtureEntry('A')});
        else
            p.harness.Select(0);
        ASSERT_TRUE(p.harness.WaitForCode(VIDEO_METADATA_CREATED, opened + 1, 10s));
        QTest::qWait(static_cast<int>(random() % 51));
        p.harness.Post(interrupts[round % 3]);
        ASSERT_TRUE(p.harness.Drain(10s));
    }
}

TEST_F(RealChannels, SnapshotsOfBothCameras)
{
    QTemporaryDir folder;
    channeltest::ChannelPanes& p = Make();
    p.Make();
    p.harness.Load({ChannelFixtureEntry('A')});
    ASSERT_TRUE(WaitForColour(p.front->Sink(), Colour::Red));
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Blue));
    p.harness.Post(VIDEO_PAUSE);
    ASSERT_TRUE(p.harness.Drain());
    ASSERT_TRUE(WaitUntil([&] { return vlc->libvlc_media_player_is_playing(p.front->CurrentPlayer()) == 0; }, 2000));
    p.harness.Post(CAPTURE_VIDEO_SNAPSHOT, channeltest::Snapshot(folder.path() + "/x.png", QString()));
    ASSERT_TRUE(p.harness.Drain());
    struct Expected {
        const char* name;
        Colour picture, box;
    };
    for (const Expected& e : {Expected{"x(Track1).png", Colour::Red, Colour::White},
                              Expected{"x(Track2).png", Colour::Blue, Colour::Yellow}}) {
        SCOPED_TRACE(e.name);
        const QImage image(folder.path() + "/" + e.name);
        ASSERT_FALSE(image.isNull()) << "no complete PNG";
        EXPECT_EQ(image.size(), QSize(320, 180));
        EXPECT_TRUE(Is(Centre(image), e.picture)) << Describe(Centre(image));
        EXPECT_TRUE(Is(image.pixel(20, 20), e.box)) << Describe(image.pixel(20, 20));
    }
    EXPECT_EQ(p.notifier.Count(), 0u) << "no folder, no box";

    // The report's snapshots on the UI thread while the worker replaces the
    // front's player again and again.
    for (int i = 0; i < 20; ++i) {
        p.harness.Select(0);
        const QString path = folder.path() + QString("/report%1.png").arg(i);
        p.front->CaptureSnapshot(path, QString());
        p.rear->CaptureSnapshot(path, QString());
        QTest::qWait(static_cast<int>(i % 4) * 10);
    }
    ASSERT_TRUE(p.harness.Drain(10s));
}

TEST_F(RealChannels, DeletedWhilePlaying)
{
    channeltest::ChannelPanes& p = Make();
    p.Make();
    p.harness.Load({ChannelFixtureEntry('A')});
    ASSERT_TRUE(WaitForColour(p.rear->Sink(), Colour::Blue));
    p.harness.StopAndWait();
    hubtest::Watchdog watchdog("deleting playing panes", 10s);
    p.front.reset();
    p.rear.reset();
}

class ChannelPanesScreenshots : public RealChannels {};

TEST_F(ChannelPanesScreenshots, BothCamerasSideBySideThenTheLogo)
{
    controlstest::ScopedSkinModule skin;
    channeltest::ChannelPanes& p = Make({640, 360}, &ImageSource::Resources());
    p.Make();
    p.harness.Load({ChannelFixtureEntry('D')});
    ASSERT_TRUE(WaitUntil([&] { return p.rear->TrackSelected() && p.rear->Sink().FrameCount() > 10; }, 5000));
    p.harness.Post(VIDEO_PAUSE);
    ASSERT_TRUE(p.harness.Drain());
    QTest::qWait(200);
    const QImage both = testsupport::Grab(p.window);
    ASSERT_EQ(both.size(), QSize(1280, 360));
    // testsrc2 in front and smptebars behind fill their pictures.
    for (QPoint at : {QPoint(320, 180), QPoint(960, 180), QPoint(960, 40)})
        EXPECT_FALSE(Is(both.pixel(at), Colour::Black)) << at.x() << "," << at.y();
    EXPECT_TRUE(testsupport::SaveScreenshot(both, "channel-panes"));

    p.harness.Post(VIDEO_STOP);
    ASSERT_TRUE(p.harness.Drain());
    QTest::qWait(100);
    const QImage logo = testsupport::Grab(*p.front);
    ASSERT_EQ(logo.size(), QSize(640, 360));
    EXPECT_TRUE(p.front->Logo()->isVisible());
    EXPECT_EQ(logo, StretchedLogo(logo.size()));
    EXPECT_TRUE(testsupport::SaveScreenshot(logo, "channel-pane-logo"));
}

}  // namespace

#include "RealComponents.h"
#include "playback/VideoFrameSink.h"
#include "playback/VideoSurface.h"
#include "playback/VlcPlayerSetup.h"
#include "support/ChildWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const testing::Environment* const keepPluginsLoaded =
    testing::AddGlobalTestEnvironment(new realcheck::KeepPluginsLoaded);

using realcheck::Colour;
using realcheck::Describe;
using realcheck::Is;
using testsupport::WaitUntil;

// Handlers only record what happened: the test thread acts.
struct EventRecord {
    std::atomic<int> opening{0}, playing{0}, paused{0}, endReached{0}, positionChanged{0};

    static void On(const libvlc_event_t* event, void* data)
    {
        auto* record = static_cast<EventRecord*>(data);
        switch (event->type) {
        case vlc::MediaPlayerOpening: ++record->opening; break;
        case vlc::MediaPlayerPlaying: ++record->playing; break;
        case vlc::MediaPlayerPaused: ++record->paused; break;
        case vlc::MediaPlayerEndReached: ++record->endReached; break;
        case vlc::MediaPlayerPositionChanged: ++record->positionChanged; break;
        }
    }
};

#define KESTROV_REQUIRE_VLC(vlc) \
    KESTROV_REQUIRE_FIXTURE();   \
    KESTROV_REQUIRE_LIBVLC(vlc)

// One channel: a sink, its surface and a player on the test recording.
class Channel {
public:
    Channel(VlcFunctionExecutor& vlc, bool vflip = false, bool hflip = false) : vlc(vlc), surface(sink)
    {
        surface.resize(640, 360);
        surface.show();
        VlcPlayerSetup setup;
        setup.vflip = vflip;
        setup.hflip = hflip;
        setup.sink = &sink;
        for (int event : {vlc::MediaPlayerPositionChanged, vlc::MediaPlayerPlaying, vlc::MediaPlayerPaused,
                          vlc::MediaPlayerEndReached, vlc::MediaPlayerOpening})
            setup.events.push_back({event, &EventRecord::On, &events});
        handles = SetUpVlcPlayer(vlc, setup);
        std::string path;
        EXPECT_TRUE(ConvertToUtf8Path(path, TWO_CHANNEL_AVI));
        libvlc_media_t* media = vlc.Functions().libvlc_media_new_path(handles.instance(), path.c_str());
        vlc.libvlc_media_player_set_media(handles.player(), media);
        vlc.Functions().libvlc_media_release(media);
        vlc.libvlc_audio_set_volume(handles.player(), 0);
    }
    ~Channel()
    {
        handles.reset();
        EXPECT_EQ(sink.OutputsAlive(), 0);
    }

    libvlc_media_player_t* player() const { return handles.player(); }
    bool Play() { return vlc.libvlc_media_player_play(player()) == 0; }
    bool WaitForFrames(std::uint64_t count, int timeoutMs = 5000)
    {
        return WaitUntil([&] { return sink.FrameCount() >= count; }, timeoutMs);
    }
    // The surface as painted now.
    QImage Shown()
    {
        QApplication::processEvents();
        return surface.grab().toImage();
    }

    VlcFunctionExecutor& vlc;
    VideoFrameSink sink;
    VideoSurface surface;
    EventRecord events;
    VlcPlayerHandles handles;
};

// The box's corner on a 640x360 picture: 40x40 source pixels become 80x80.
QPoint BoxCentre(bool vflip, bool hflip)
{
    return {hflip ? 640 - 40 : 40, vflip ? 360 - 40 : 40};
}

TEST(RealVlc, SingletonLoadsTheSystemLibraryOnce)
{
    KESTROV_REQUIRE_VLC(vlc);
    EXPECT_EQ(VlcFunctionExecutor::GetInstance(), vlc);
    EXPECT_TRUE(vlc->IsImported());
    EXPECT_EQ(vlc->Functions().FilledCount(), 44u);
    VlcFunctionExecutor::DestroyInstance();
    EXPECT_EQ(VlcFunctionExecutor::GetInstance(), nullptr);
}

TEST(RealVlc, PlaysTheFrontWithItsEvents)
{
    KESTROV_REQUIRE_VLC(vlc);
    Channel channel(*vlc);
    ASSERT_TRUE(channel.handles.ready());
    ASSERT_TRUE(channel.Play());
    ASSERT_TRUE(channel.WaitForFrames(1)) << "no frame within 5 s";
    ASSERT_TRUE(WaitUntil([&] { return channel.surface.grab().toImage().pixel(320, 180) != 0xFF000000; }, 2000));
    const QImage shown = channel.Shown();
    EXPECT_TRUE(Is(shown.pixel(320, 180), Colour::Red)) << Describe(shown.pixel(320, 180));
    EXPECT_TRUE(Is(shown.pixel(BoxCentre(false, false)), Colour::White)) << Describe(shown.pixel(40, 40));
    EXPECT_TRUE(Is(shown.pixel(600, 320), Colour::Red)) << Describe(shown.pixel(600, 320));
    ASSERT_TRUE(WaitUntil([&] { return channel.events.endReached > 0; }, 15000));
    EXPECT_GT(channel.events.opening, 0);
    EXPECT_GT(channel.events.playing, 0);
    EXPECT_GT(channel.events.positionChanged, 0);
}

TEST(RealVlc, FlipsTurnThePicture)
{
    KESTROV_REQUIRE_VLC(vlc);
    for (auto [vflip, hflip] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << "vflip " << vflip << " hflip " << hflip);
        Channel channel(*vlc, vflip, hflip);
        ASSERT_TRUE(channel.Play());
        ASSERT_TRUE(channel.WaitForFrames(3));
        const QImage shown = channel.Shown();
        for (bool v : {false, true}) {
            for (bool h : {false, true}) {
                const QRgb pixel = shown.pixel(BoxCentre(v, h));
                const bool box = v == vflip && h == hflip;
                EXPECT_TRUE(Is(pixel, box ? Colour::White : Colour::Red))
                    << "corner v" << v << " h" << h << ": " << Describe(pixel);
            }
        }
    }
}

TEST(RealVlc, RearTrackReplacesTheFront)
{
    KESTROV_REQUIRE_VLC(vlc);
    Channel channel(*vlc);
    ASSERT_TRUE(channel.Play());
    ASSERT_TRUE(WaitUntil([&] { return channel.events.playing > 0; }, 5000));
    EXPECT_EQ(vlc->libvlc_video_set_track(channel.player(), -1), 0);
    EXPECT_EQ(vlc->libvlc_video_set_track(channel.player(), 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return channel.sink.OutputsAlive() == 1; }, 5000));
    const std::uint64_t before = channel.sink.FrameCount();
    ASSERT_TRUE(WaitUntil([&] { return channel.sink.FrameCount() > before + 5; }, 5000));
    // Every frame from now on is the rear's.
    for (int i = 0; i < 5; ++i) {
        const std::uint64_t seen = channel.sink.FrameCount();
        ASSERT_TRUE(channel.WaitForFrames(seen + 1));
        const VideoFrameSink::Latest latest = channel.sink.LatestFrame();
        const QRgb centre = latest.frame->pixel(latest.frame->width() / 2, latest.frame->height() / 2);
        const QRgb corner = latest.frame->pixel(latest.frame->width() / 16, latest.frame->height() / 9);
        EXPECT_TRUE(Is(centre, Colour::Blue)) << Describe(centre);
        EXPECT_TRUE(Is(corner, Colour::Blue)) << Describe(corner);
    }
    EXPECT_EQ(channel.sink.OutputsAlive(), 1);
    EXPECT_EQ(vlc->libvlc_video_set_track(channel.player(), 2), -1);
}

TEST(RealVlc, SecondTrackAloneAddsAnOutput)
{
    KESTROV_REQUIRE_VLC(vlc);
    Channel channel(*vlc);
    ASSERT_TRUE(channel.Play());
    ASSERT_TRUE(WaitUntil([&] { return channel.events.playing > 0; }, 5000));
    ASSERT_TRUE(channel.WaitForFrames(1));
    EXPECT_EQ(vlc->libvlc_video_set_track(channel.player(), 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return channel.sink.OutputsAlive() == 2; }, 5000));
    const std::uint64_t before = channel.sink.FrameCount();
    EXPECT_TRUE(channel.WaitForFrames(before + 20));
    channel.Shown();
}

TEST(RealVlc, SnapshotsAreCompleteOnReturn)
{
    KESTROV_REQUIRE_VLC(vlc);
    QTemporaryDir folder;
    Channel channel(*vlc);
    ASSERT_TRUE(channel.Play());
    ASSERT_TRUE(channel.WaitForFrames(3));
    auto check = [&](const QString& name) {
        const QString path = folder.path() + "/" + name;
        std::string utf8;
        ASSERT_TRUE(ConvertToUtf8Path(utf8, path));
        vlc->libvlc_video_take_snapshot(channel.player(), utf8);
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << "no complete PNG on return";
        EXPECT_EQ(image.size(), QSize(320, 180));
        EXPECT_TRUE(Is(image.pixel(20, 20), Colour::White)) << Describe(image.pixel(20, 20));
        EXPECT_TRUE(Is(image.pixel(160, 90), Colour::Red)) << Describe(image.pixel(160, 90));
    };
    check("playing.png");
    vlc->libvlc_media_player_set_pause(channel.player());
    ASSERT_TRUE(WaitUntil([&] { return channel.events.paused > 0; }, 5000));
    check("paused.png");

    vlc->libvlc_media_player_play(channel.player());
    ASSERT_TRUE(WaitUntil([&] { return channel.events.playing > 1; }, 5000));
    QElapsedTimer watchdog;
    watchdog.start();
    for (int i = 0; i < 20 && watchdog.elapsed() < 10000; ++i) {
        std::string utf8;
        ASSERT_TRUE(ConvertToUtf8Path(utf8, folder.path() + QString("/burst%1.png").arg(i)));
        vlc->libvlc_video_take_snapshot(channel.player(), utf8);
        QApplication::processEvents();
    }
    EXPECT_LT(watchdog.elapsed(), 10000);
}

TEST(RealVlc, SnapshotsCarryTheFlips)
{
    KESTROV_REQUIRE_VLC(vlc);
    QTemporaryDir folder;
    for (auto [vflip, hflip] : {std::pair{true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(testing::Message() << "vflip " << vflip << " hflip " << hflip);
        Channel channel(*vlc, vflip, hflip);
        ASSERT_TRUE(channel.Play());
        ASSERT_TRUE(channel.WaitForFrames(3));
        const QString path = folder.path() + QString("/flip%1%2.png").arg(vflip).arg(hflip);
        std::string utf8;
        ASSERT_TRUE(ConvertToUtf8Path(utf8, path));
        vlc->libvlc_video_take_snapshot(channel.player(), utf8);
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << "no complete PNG on return";
        ASSERT_EQ(image.size(), QSize(320, 180));
        // The 40x40 box's centre in the 320x180 picture, in each corner.
        for (bool v : {false, true}) {
            for (bool h : {false, true}) {
                const QRgb pixel = image.pixel(h ? 300 : 20, v ? 160 : 20);
                const bool box = v == vflip && h == hflip;
                EXPECT_TRUE(Is(pixel, box ? Colour::White : Colour::Red))
                    << "corner v" << v << " h" << h << ": " << Describe(pixel);
            }
        }
    }
}

}  // namespace

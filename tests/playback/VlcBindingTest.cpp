#include "FakeVlc.h"
#include "LogCapture.h"
#include "support/TestSupport.h"
#include "playback/VideoFrameSink.h"
#include "playback/VlcPlayerSetup.h"

#include <QDir>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

const Strings kFixed = {"-I", "dummy", "--ignore-config", "--no-osd", "--disable-screensaver", "--no-snapshot-preview"};

Strings Concat(Strings head, const Strings& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(VlcArguments, FlipsAndPluginFolderGiveExactVectors)
{
    QTemporaryDir program;
    const std::string folder = QFile::encodeName(program.path()).toStdString();
    const std::string plugins = "--plugin-path=" + folder + "/plugins";
    struct Case {
        bool vflip, hflip;
        Strings flips;
    };
    const Case cases[] = {
        {false, false, {}},
        {true, false, {"--video-filter=transform", "--transform-type=vflip"}},
        {false, true, {"--video-filter=transform", "--transform-type=hflip"}},
        {true, true, {"--video-filter=transform", "--transform-type=180"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "vflip " << c.vflip << " hflip " << c.hflip);
        EXPECT_EQ(MakeVlcArguments(c.vflip, c.hflip), Concat(kFixed, c.flips));
        EXPECT_EQ(MakeInstanceArguments(c.vflip, c.hflip, folder), Concat(kFixed, c.flips));
        ASSERT_TRUE(QDir(program.path()).mkdir("plugins"));
        EXPECT_EQ(MakeInstanceArguments(c.vflip, c.hflip, folder), Concat(Concat(kFixed, c.flips), {plugins}));
        ASSERT_TRUE(QDir(program.path()).rmdir("plugins"));
    }
}

TEST(VlcArguments, PluginPathAndModuleDirectory)
{
    EXPECT_EQ(MakePluginPathArgument("/a/b"), "--plugin-path=/a/b/plugins");
    const QString self = QFileInfo(QFile::decodeName(TEST_BINARY_DIR)).canonicalFilePath();
    EXPECT_EQ(QFileInfo(QFile::decodeName(GetModuleDirectory().c_str())).canonicalFilePath(), self);
    EXPECT_NE(GetModuleDirectory().back(), '/');
}

TEST(Utf8Path, LimitIsPathMaxLessOneByteCountingMultibyteCharacters)
{
    const int limit = PATH_MAX - 1;
    struct Case {
        QString ending;
        int bytes;
    };
    const Case cases[] = {{"a", 1}, {QString::fromUtf8("é"), 2}, {QString::fromUtf8("€"), 3}, {QString::fromUtf8("😀"), 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ending.toStdString());
        const QString fits = "/" + QString(limit - 1 - c.bytes, 'x') + c.ending;
        std::string out;
        ASSERT_TRUE(ConvertToUtf8Path(out, fits));
        EXPECT_EQ(out.size(), static_cast<std::size_t>(limit));
        EXPECT_EQ(out, fits.toStdString());

        std::string untouched = "previous";
        EXPECT_FALSE(ConvertToUtf8Path(untouched, "x" + fits));
        EXPECT_EQ(untouched, "previous");
    }
}

TEST(Utf8Path, CyrillicRoundTripsAndNulIsRefused)
{
    const QString cyrillic = QString::fromUtf8("/записи/Видео 1.avi");
    std::string out;
    ASSERT_TRUE(ConvertToUtf8Path(out, cyrillic));
    EXPECT_EQ(QString::fromUtf8(out.c_str()), cyrillic);

    std::string untouched = "previous";
    EXPECT_FALSE(ConvertToUtf8Path(untouched, QString("/a") + QChar(u'\0') + "b"));
    EXPECT_EQ(untouched, "previous");
}

// Loading ---------------------------------------------------------------

TEST(VlcLoading, CandidateListsDecideWhatLoads)
{
    const std::string missing = "/nonexistent/libvlc.so.5";
    struct Case {
        Strings candidates;
        const char* error;  // null: loads
    };
    const Case cases[] = {
        {{missing, fakevlc::Library("complete")}, nullptr},
        {{missing}, "libvlc.dll or libvlccore.dll file is not exist."},
        {{fakevlc::Library("no-crop-getter")}, "Vlc Function is not imported."},
        {{fakevlc::Library("no-set-callbacks")}, "Vlc Function is not imported."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.candidates.back());
        if (!c.error) {
            VlcFunctionExecutor vlc(c.candidates);
            EXPECT_TRUE(vlc.IsImported());
            EXPECT_EQ(vlc.Functions().FilledCount(), 44u);
            continue;
        }
        try {
            VlcFunctionExecutor vlc(c.candidates);
            ADD_FAILURE() << "loaded";
        } catch (const VlcLoadError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
        for (const std::string& candidate : c.candidates)
            EXPECT_EQ(dlopen(candidate.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "still loaded";
    }
}

TEST(VlcLoading, RefusalIsLoggedWithTheReason)
{
    LogCapture log;
    EXPECT_THROW(VlcFunctionExecutor({fakevlc::Library("no-crop-getter")}), VlcLoadError);
    const QStringList lines = log.Lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], LogCapture::Line("VlcFunctionExecutor",
                                         "Vlc Function is not imported. (libvlc_video_get_crop_geometry)"));
}

TEST(VlcLoading, FirstCandidateThatLoadsWins)
{
    VlcFunctionExecutor vlc({fakevlc::Library("other"), fakevlc::Library("complete")});
    EXPECT_EQ(fakevlc::Control(vlc).Id(), 2);
}

TEST(VlcLoading, LackingAnyOneNameIsRefused)
{
    VlcFunctionExecutor vlc({fakevlc::Library("complete")});
    void* handle = vlc.LibraryHandle();
    for (std::string_view lacking : kVlcFunctionNames) {
        SCOPED_TRACE(std::string(lacking));
        vlc.ImportFunctions([&](const char* name) { return lacking == name ? nullptr : dlsym(handle, name); });
        EXPECT_FALSE(vlc.IsImported());
        EXPECT_EQ(vlc.Functions().FirstMissing(), lacking);
    }
    vlc.ImportFunctions();
    EXPECT_TRUE(vlc.IsImported());
}

// Logged operations -------------------------------------------------------

class FakeVlcTest : public testing::Test {
protected:
    VlcFunctionExecutor vlc{{fakevlc::Library("complete")}};
    fakevlc::Control fake{vlc};
    libvlc_media_player_t* player = reinterpret_cast<libvlc_media_player_t*>(&playerStandIn);
    libvlc_media_t* media = reinterpret_cast<libvlc_media_t*>(&mediaStandIn);

private:
    int playerStandIn = 0;
    int mediaStandIn = 0;
};

TEST_F(FakeVlcTest, EachLoggedOperationWritesOneLineThenCalls)
{
    struct Case {
        const char* method;
        const char* message;
        std::function<void()> call;
        const char* journal;
    };
    const Case cases[] = {
        {"libvlc_media_player_play", "Media Player Play", [&] { vlc.libvlc_media_player_play(player); }, "libvlc_media_player_play"},
        {"libvlc_media_player_stop", "Media Player Stop", [&] { vlc.libvlc_media_player_stop(player); }, "libvlc_media_player_stop"},
        {"libvlc_media_player_set_media", "Media Player Set Media", [&] { vlc.libvlc_media_player_set_media(player, media); }, "libvlc_media_player_set_media"},
        {"libvlc_media_player_set_pause", "Media Player Set Pause", [&] { vlc.libvlc_media_player_set_pause(player); }, "libvlc_media_player_set_pause\t1"},
        {"libvlc_media_player_is_playing", "Media Player is Playing", [&] { vlc.libvlc_media_player_is_playing(player); }, "libvlc_media_player_is_playing"},
        {"libvlc_audio_set_volume", "Audio Set Volume", [&] { vlc.libvlc_audio_set_volume(player, 37); }, "libvlc_audio_set_volume\t37"},
        {"libvlc_media_player_set_rate", "Media Player Set Rate", [&] { vlc.libvlc_media_player_set_rate(player, 1.5f); }, "libvlc_media_player_set_rate\t1.50"},
        {"libvlc_media_player_set_position", "Media Player Set Position", [&] { vlc.libvlc_media_player_set_position(player, 0.25f); }, "libvlc_media_player_set_position\t0.250"},
        {"libvlc_video_set_track", "Set Track", [&] { vlc.libvlc_video_set_track(player, 1); }, "libvlc_video_set_track\t1"},
        {"libvlc_video_take_snapshot", "Snap Shot", [&] { vlc.libvlc_video_take_snapshot(player, "/s/x.png"); }, "libvlc_video_take_snapshot\t0\t/s/x.png\t0\t0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        LogCapture log;
        fake.Reset();
        c.call();
        EXPECT_EQ(log.Lines(), QStringList{LogCapture::Line(c.method, c.message)});
        EXPECT_EQ(fake.Journal(), QStringList{c.journal});
    }
}

TEST_F(FakeVlcTest, ResultsComeFromLibvlcAndNullPlayersCallNothing)
{
    fake.TrackResult(-1);
    EXPECT_EQ(vlc.libvlc_video_set_track(player, 2), -1);
    fake.TrackResult(0);
    EXPECT_EQ(vlc.libvlc_video_set_track(player, 1), 0);
    EXPECT_EQ(vlc.libvlc_media_player_is_playing(player), 1);

    LogCapture log;
    fake.Reset();
    EXPECT_EQ(vlc.libvlc_media_player_play(nullptr), -1);
    EXPECT_EQ(vlc.libvlc_media_player_is_playing(nullptr), 0);
    EXPECT_EQ(vlc.libvlc_video_set_track(nullptr, 1), -1);
    vlc.libvlc_media_player_stop(nullptr);
    vlc.libvlc_media_player_set_media(player, nullptr);
    vlc.libvlc_media_player_set_media(nullptr, media);
    vlc.libvlc_media_player_set_pause(nullptr);
    vlc.libvlc_audio_set_volume(nullptr, 1);
    vlc.libvlc_media_player_set_rate(nullptr, 1);
    vlc.libvlc_media_player_set_position(nullptr, 0);
    vlc.libvlc_video_take_snapshot(nullptr, "/x.png");
    EXPECT_TRUE(fake.Journal().isEmpty());
    EXPECT_TRUE(log.Lines().isEmpty());
}

TEST_F(FakeVlcTest, UnloggedCallsWriteNoLine)
{
    LogCapture log;
    const VlcFunctionTable& f = vlc.Functions();
    libvlc_instance_t* instance = f.libvlc_new(0, nullptr);
    libvlc_media_t* loaded = f.libvlc_media_new_path(instance, "/a.avi");
    f.libvlc_media_add_option(loaded, "brightness");
    f.libvlc_media_release(loaded);
    f.libvlc_video_set_adjust_int(player, vlc::AdjustEnable, 1);
    f.libvlc_video_set_adjust_float(player, vlc::AdjustBrightness, 1.0f);
    f.libvlc_media_player_release(f.libvlc_media_player_new(instance));
    f.libvlc_release(instance);
    EXPECT_EQ(fake.Calls().size(), 9);
    EXPECT_TRUE(log.Lines().isEmpty());
}

// Player set-up -----------------------------------------------------------

void Handler(const libvlc_event_t*, void*) {}

VlcPlayerSetup FrontSetup(VideoFrameSink& sink, const std::string& folder)
{
    VlcPlayerSetup setup;
    setup.vflip = true;
    setup.sink = &sink;
    setup.programFolder = folder;
    for (int event : {vlc::MediaPlayerPositionChanged, vlc::MediaPlayerPlaying, vlc::MediaPlayerPaused,
                      vlc::MediaPlayerEndReached, vlc::MediaPlayerOpening})
        setup.events.push_back({event, &Handler});
    return setup;
}

TEST_F(FakeVlcTest, SetUpRunsTheSequenceAndReleasesPlayerThenInstance)
{
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkdir("plugins"));
    const std::string folder = QFile::encodeName(program.path()).toStdString();
    VideoFrameSink sink;
    LogCapture log;
    {
        VlcPlayerHandles handles = SetUpVlcPlayer(vlc, FrontSetup(sink, folder));
        EXPECT_TRUE(handles.ready());
        const QStringList expected = {
            "libvlc_new\t9\t-I\tdummy\t--ignore-config\t--no-osd\t--disable-screensaver\t--no-snapshot-preview\t"
            "--video-filter=transform\t--transform-type=vflip\t--plugin-path=" +
                program.path() + "/plugins",
            "libvlc_media_player_new",
            "libvlc_video_set_format_callbacks",
            "libvlc_video_set_callbacks",
            "libvlc_media_player_event_manager",
            "libvlc_event_attach\t268",
            "libvlc_event_attach\t260",
            "libvlc_event_attach\t261",
            "libvlc_event_attach\t265",
            "libvlc_event_attach\t258",
            "libvlc_video_set_aspect_ratio\t16:9",
        };
        EXPECT_EQ(fake.Journal(), expected);
        fake.Reset();
        VlcPlayerHandles moved = std::move(handles);
        EXPECT_FALSE(handles.ready());
        EXPECT_TRUE(fake.Journal().isEmpty());
    }
    EXPECT_EQ(fake.Journal(), (QStringList{"libvlc_media_player_release", "libvlc_release"}));
    QStringList expectedLines = {LogCapture::Line("libvlc_media_player_set_hwnd", "Media Player Set Hwnd"),
                                 LogCapture::Line("libvlc_media_player_event_manager", "Event Manager")};
    for (int i = 0; i < 5; ++i)
        expectedLines << LogCapture::Line("libvlc_event_attach", "Event Attach");
    expectedLines << LogCapture::Line("libvlc_video_set_aspect_ratio", "Set Aspect Ratio");
    EXPECT_EQ(log.Lines(), expectedLines);
}

TEST_F(FakeVlcTest, RearEventsAttachInItsOrder)
{
    VideoFrameSink sink;
    VlcPlayerSetup setup;
    setup.vflip = setup.hflip = true;
    setup.sink = &sink;
    setup.events = {{vlc::MediaPlayerPlaying, &Handler}, {vlc::MediaPlayerOpening, &Handler}};
    VlcPlayerHandles handles = SetUpVlcPlayer(vlc, setup);
    const QStringList journal = fake.Journal();
    EXPECT_TRUE(journal[0].endsWith("--video-filter=transform\t--transform-type=180")) << journal[0].toStdString();
    EXPECT_EQ(journal.filter("libvlc_event_attach"), (QStringList{"libvlc_event_attach\t260", "libvlc_event_attach\t258"}));
}

TEST_F(FakeVlcTest, NoInstanceOrNoPlayerGivesAnEmptyResult)
{
    VideoFrameSink sink;
    {
        LogCapture log;
        fake.NullInstance(true);
        VlcPlayerHandles handles = SetUpVlcPlayer(vlc, FrontSetup(sink, "/nonexistent"));
        EXPECT_FALSE(handles.ready());
        EXPECT_EQ(fake.Calls(), QStringList{"libvlc_new"});
        EXPECT_EQ(log.Lines(), QStringList{LogCapture::Line("libvlc_new", "Instance Not Created")});
    }
    fake.Reset();
    {
        LogCapture log;
        fake.NullPlayer(true);
        VlcPlayerHandles handles = SetUpVlcPlayer(vlc, FrontSetup(sink, "/nonexistent"));
        EXPECT_FALSE(handles.ready());
        EXPECT_EQ(fake.Calls(), (QStringList{"libvlc_new", "libvlc_media_player_new", "libvlc_release"}));
        EXPECT_EQ(log.Lines(), QStringList{LogCapture::Line("libvlc_media_player_new", "Player Not Created")});
    }
}

}  // namespace

// Both channel panes over the fake libvlc and a hub harness: what their
// handlers post, what each hub message makes them call, the rear's thread,
// snapshots and boxes, and the widgets.

#include "ChannelPaneFixtures.h"
#include "FakeVlc.h"
#include "LogCapture.h"

#include "controls/SkinSupport.h"
#include "core/Common.h"
#include "hub/HubCodes.h"
#include "playback/ChannelLogo.h"
#include "support/gui/Screenshot.h"

#include "support/ChildWatch.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <barrier>
#include <thread>

namespace {

using channeltest::Entry;
using channeltest::With;
using hubtest::Gate;
using namespace std::chrono_literals;

// The fake stays mapped for the whole run: the players it made live in it,
// and a leak report needs its code to name it.
class KeepFakeLoaded : public testing::Environment {
public:
    void SetUp() override { dlopen(fakevlc::Library("complete").c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }
};
const testing::Environment* const keepFakeLoaded = testing::AddGlobalTestEnvironment(new KeepFakeLoaded);

// Runs fire on a thread of its own, named as libvlc's event threads are not:
// what runs on it ran inside the handler.
void FireOnThread(const std::function<void()>& fire)
{
    std::thread thread([&] {
        pthread_setname_np(pthread_self(), "test-events");
        fire();
    });
    thread.join();
}

class FakeChannels : public testing::Test {
protected:
    void SetUp() override { panes.Make(); }

    // Entries of files that exist (in a folder of the test's own), loaded
    // as a load posts them.
    ApplicationHub::Entries LoadFiles(const QStringList& names, int streams = 2)
    {
        ApplicationHub::Entries entries;
        for (const QString& name : names) {
            const QString path = files.path() + "/" + name;
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            entries.push_back(Entry(path, streams));
        }
        panes.harness.Load(entries);
        EXPECT_TRUE(panes.harness.Drain());
        return entries;
    }

    // The codes the recorder gets from what happens in act.
    std::vector<int> CodesOf(const std::function<void()>& act)
    {
        panes.harness.ClearJournal();
        act();
        EXPECT_TRUE(panes.harness.Drain());
        return panes.harness.Codes();
    }

    void PostAndDrain(int code, std::unique_ptr<MessageParam> payload = {})
    {
        panes.harness.Post(code, std::move(payload));
        ASSERT_TRUE(panes.harness.Drain());
    }

    libvlc_media_player_t* Front() { return panes.front->CurrentPlayer(); }
    libvlc_media_player_t* Rear() { return panes.rear->CurrentPlayer(); }

    std::vector<hubtest::Delivery> Recorded()
    {
        std::vector<hubtest::Delivery> recorded;
        for (const hubtest::Delivery& d : panes.harness.GetJournal().Entries())
            if (d.listener == hubtest::HubHarness::kRecorder && d.code != hubtest::HubHarness::kDrainMark)
                recorded.push_back(d);
        return recorded;
    }

    // Waits until the rear's thread has run everything queued so far.
    void WaitForRearTasks()
    {
        Gate done;
        panes.rear->Tasks().Queue(panes.rear->Tasks().Current(), [&](std::uint64_t) { done.Open(); });
        ASSERT_TRUE(done.Wait());
    }

    QStringList RearTrackRequests()
    {
        return fake.JournalOf(Rear()).filter(QRegularExpression("^libvlc_video_set_track"));
    }

    QTemporaryDir files;
    VlcFunctionExecutor vlc{{fakevlc::Library("complete")}};
    fakevlc::Control fake{vlc};
    channeltest::ChannelPanes panes{vlc, {}};
};

class FrontEvents : public FakeChannels {};
class FrontUpdate : public FakeChannels {};
class RearUpdate : public FakeChannels {};
class RearHandOff : public FakeChannels {};
class Snapshots : public FakeChannels {};
class ChannelWidgets : public FakeChannels {};
class ChannelShutdown : public FakeChannels {};

// Front events to hub messages ---------------------------------------------

TEST_F(FrontEvents, BecomeMessages)
{
    LoadFiles({"a.avi"});
    libvlc_media_player_t* player = Front();
    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerOpening); }),
              (std::vector<int>{CREATE_VIDEO_METADATA, VIDEO_METADATA_CREATED}));

    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPositionChanged, 0.999f); }),
              std::vector<int>{VIDEO_FRAME_POSITION_CHANGED});
    EXPECT_FLOAT_EQ(Recorded()[0].payload.position, 0.999f);

    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPlaying); }),
              (std::vector<int>{VIDEO_PLAY_STARTED, CHANGE_VIDEO_BRIGHTNESS}));
    EXPECT_FLOAT_EQ(Recorded()[1].payload.brightness, 1.0f);
    PostAndDrain(CHANGE_VIDEO_BRIGHTNESS, With(&MessageParam::brightness, 1.5f));
    CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPlaying); });
    EXPECT_FLOAT_EQ(Recorded()[1].payload.brightness, 1.5f) << "the brightness last applied";

    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPaused); }), std::vector<int>{VIDEO_PAUSE});

    // From a media change to the new file's opening, pauses are the change's.
    PostAndDrain(SET_CURRENT_VIDEO_MEDIA);
    player = Front();
    EXPECT_TRUE(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPaused); }).empty());
    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerOpening); }),
              (std::vector<int>{CREATE_VIDEO_METADATA, VIDEO_METADATA_CREATED}));
    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerPaused); }), std::vector<int>{VIDEO_PAUSE});
}

TEST_F(FrontEvents, EndMovesOnUnderTheFilterOrStopsAtTheFirst)
{
    struct Case {
        std::vector<int> types;
        int filter;
        int current;
        int nextIndex;
        int last;  // 9 to play the next, 4 to stop
    };
    const Case cases[] = {
        {{2, 2, 2}, 0, 0, 1, VIDEO_NEXT},
        {{2, 2, 2}, 0, 2, 0, VIDEO_STOP},
        {{1, 2, 1}, 1, 0, 2, VIDEO_NEXT},
        {{1, 2, 2}, 1, 0, 0, VIDEO_STOP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "filter " << c.filter << " from " << c.current);
        QStringList names;
        for (std::size_t i = 0; i < c.types.size(); ++i)
            names << QString("e%1.avi").arg(i);
        ApplicationHub::Entries entries = LoadFiles(names);
        {
            std::lock_guard lock(panes.Hub().fileLock);
            for (std::size_t i = 0; i < entries.size(); ++i)
                entries[i]->type = c.types[i];
        }
        panes.Hub().SetFilterType(c.filter);
        panes.harness.Select(c.current);
        ASSERT_TRUE(panes.harness.Drain());

        EXPECT_EQ(CodesOf([&] { fake.Fire(Front(), vlc::MediaPlayerEndReached); }),
                  (std::vector<int>{VIDEO_END_REACHED, SET_CURRENT_VIDEO_INDEX, SET_CURRENT_VIDEO_MEDIA, c.last}));
        EXPECT_EQ(Recorded()[1].payload.index, c.nextIndex);
        EXPECT_EQ(fake.Media(Front()), entries[static_cast<std::size_t>(c.nextIndex)]->path);
        EXPECT_EQ(fake.Playing(Front()), c.last == VIDEO_NEXT);
        EXPECT_EQ(panes.front->LogoShown(), c.last == VIDEO_STOP);
        panes.Hub().SetFilterType(0);
    }
}

// libvlc reports a position past 1.0 and, a moment later, the end: one
// advance, however they interleave.
TEST_F(FrontEvents, EndIsReportedOncePerFile)
{
    LoadFiles({"a.avi", "b.avi"});
    const std::vector<int> advance{VIDEO_END_REACHED, SET_CURRENT_VIDEO_INDEX, SET_CURRENT_VIDEO_MEDIA};
    const auto oneEnd = [&](const std::vector<int>& codes) {
        return codes.size() == 4 && std::equal(advance.begin(), advance.end(), codes.begin()) &&
               (codes[3] == VIDEO_NEXT || codes[3] == VIDEO_STOP);
    };
    struct Case {
        const char* what;
        std::vector<std::pair<int, float>> events;
    };
    const Case cases[] = {
        {"exactly 1.0, then the end", {{vlc::MediaPlayerPositionChanged, 1.0f}, {vlc::MediaPlayerEndReached, 0}}},
        {"the end, then 1.2", {{vlc::MediaPlayerEndReached, 0}, {vlc::MediaPlayerPositionChanged, 1.2f}}},
        {"1.0125 twice", {{vlc::MediaPlayerPositionChanged, 1.0125f}, {vlc::MediaPlayerPositionChanged, 1.0125f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        libvlc_media_player_t* player = Front();
        const std::vector<int> codes = CodesOf([&] {
            for (auto [event, value] : c.events)
                fake.Fire(player, event, value);
        });
        EXPECT_TRUE(oneEnd(codes)) << testing::PrintToString(codes);
        // The player of the ended file is gone, and so are its events.
        EXPECT_TRUE(fake.Released(player));
        EXPECT_EQ(fake.Fire(player, vlc::MediaPlayerEndReached), 0);
    }

    // Both at once from two of libvlc's threads, a thousand times over; after
    // each media change the end works again.
    constexpr int kRounds = 1000;
    panes.harness.ClearJournal();
    for (int round = 0; round < kRounds; ++round) {
        libvlc_media_player_t* player = Front();
        std::barrier start(2);
        std::thread end([&] {
            start.arrive_and_wait();
            fake.Fire(player, vlc::MediaPlayerEndReached);
        });
        std::thread position([&] {
            start.arrive_and_wait();
            fake.Fire(player, vlc::MediaPlayerPositionChanged, 1.0125f);
        });
        end.join();
        position.join();
        ASSERT_TRUE(panes.harness.Drain());
        ASSERT_EQ(panes.harness.CountOf(VIDEO_END_REACHED), round + 1) << "round " << round;
        ASSERT_NE(Front(), player);
    }
    const std::vector<int> codes = panes.harness.Codes();
    ASSERT_EQ(codes.size(), 4u * kRounds);
    for (int round = 0; round < kRounds; ++round)
        ASSERT_TRUE(oneEnd({codes.begin() + 4 * round, codes.begin() + 4 * round + 4})) << "round " << round;
}

// The main window clears the queue on several codes; an end or an opening
// reaches the listeners whole or, for the end, not at all.
TEST_F(FrontEvents, ClearsNeverSplitAnEndOrAnOpening)
{
    LoadFiles({"a.avi", "b.avi"});
    panes.harness.ClearJournal();
    // Behind the recorder: what it got stays journaled, what is queued goes.
    class Clearer : public IListener {
    public:
        explicit Clearer(ApplicationHub& hub) : hub(hub) { hub.AttachListener(this); }
        ~Clearer() override { hub.DetachListener(this); }
        void update(int code, const MessageParam*) override
        {
            if (code == VIDEO_FRAME_POSITION_CHANGED)
                hub.ClearMessages();
        }

    private:
        ApplicationHub& hub;
    };
    auto clearer = std::make_unique<Clearer>(panes.Hub());
    for (int round = 0; round < 200; ++round) {
        libvlc_media_player_t* player = Front();
        std::barrier start(2);
        std::thread positions([&] {
            start.arrive_and_wait();
            for (int i = 0; i < 30; ++i)
                fake.Fire(player, vlc::MediaPlayerPositionChanged, 0.5f);
        });
        std::thread ends([&] {
            start.arrive_and_wait();
            fake.Fire(player, vlc::MediaPlayerOpening);
            fake.Fire(player, vlc::MediaPlayerEndReached);
        });
        positions.join();
        ends.join();
        ASSERT_TRUE(panes.harness.Drain());
        if (Front() == player) {
            // The end went with a clear: a new load re-arms it.
            panes.harness.Post(SET_CURRENT_VIDEO_MEDIA);
            ASSERT_TRUE(panes.harness.Drain());
        }
    }
    clearer.reset();
    const std::vector<int> codes = panes.harness.Codes();
    int ends = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == VIDEO_END_REACHED) {
            ++ends;
            ASSERT_LT(i + 3, codes.size());
            EXPECT_EQ(codes[i + 1], SET_CURRENT_VIDEO_INDEX) << "at " << i;
            EXPECT_EQ(codes[i + 2], SET_CURRENT_VIDEO_MEDIA) << "at " << i;
            EXPECT_TRUE(codes[i + 3] == VIDEO_NEXT || codes[i + 3] == VIDEO_STOP) << "at " << i;
        }
        if (codes[i] == SET_CURRENT_VIDEO_INDEX) {
            EXPECT_TRUE(i > 0 && codes[i - 1] == VIDEO_END_REACHED) << "a 10 without its end at " << i;
        }
        if (codes[i] == CREATE_VIDEO_METADATA) {
            ASSERT_LT(i + 1, codes.size());
            EXPECT_EQ(codes[i + 1], VIDEO_METADATA_CREATED) << "at " << i;
        }
    }
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CREATE_VIDEO_METADATA), 200) << "openings are kept";
    EXPECT_GT(ends, 0);
}

// A file libvlc cannot play ends as a stop with one box naming it.
TEST_F(FrontEvents, PlaybackErrorStopsWithOneBox)
{
    const ApplicationHub::Entries entries = LoadFiles({"broken.avi", "b.avi"});
    panes.notifier.Clear();
    libvlc_media_player_t* player = Front();
    EXPECT_EQ(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerEncounteredError); }), std::vector<int>{VIDEO_STOP});
    const std::vector<RecordingNotifier::Box> boxes = panes.notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Posted);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8("Невозможно воспроизвести файл.") + "\n" + entries[0]->path);
    EXPECT_TRUE(panes.front->LogoShown());
    EXPECT_EQ(panes.Hub().GetVideoFiles().size(), 2u);
    EXPECT_TRUE(QFile::exists(entries[0]->path));

    EXPECT_TRUE(CodesOf([&] { fake.Fire(player, vlc::MediaPlayerEndReached); }).empty());
    // A later stop of its own shows no box.
    PostAndDrain(VIDEO_STOP);
    EXPECT_EQ(panes.notifier.Count(), 1u);
}

// Front update ---------------------------------------------------------

TEST_F(FrontUpdate, CallsForEachCode)
{
    LoadFiles({"a.avi"});
    libvlc_media_player_t* player = Front();
    ASSERT_TRUE(fake.Playing(player));
    struct Case {
        int code;
        std::function<std::unique_ptr<MessageParam>()> payload;
        QStringList calls;
    };
    const auto none = [] { return std::unique_ptr<MessageParam>(); };
    const Case cases[] = {
        {VIDEO_PAUSE, none, {"libvlc_media_player_is_playing", "libvlc_media_player_set_pause\t1"}},
        {VIDEO_PAUSE, none, {"libvlc_media_player_is_playing"}},
        {VIDEO_PLAY, none, {"libvlc_media_player_is_playing", "libvlc_media_player_play"}},
        {VIDEO_PLAY, none, {"libvlc_media_player_is_playing", "libvlc_media_player_set_pause\t1"}},
        {CHANGE_VIDEO_FRAME_POSITION, [] { return With(&MessageParam::position, 0.25f); },
         {"libvlc_media_player_set_position\t0.250"}},
        {CHANGE_VIDEO_SPEED, [] { return With(&MessageParam::rate, 1.5f); }, {"libvlc_media_player_set_rate\t1.50"}},
        {CHANGE_VIDEO_BRIGHTNESS, [] { return With(&MessageParam::brightness, 1.5f); },
         {"libvlc_video_set_adjust_int\t0\t1", "libvlc_video_set_adjust_float\t2\t1.50"}},
        {CHANGE_VIDEO_VOLUME, [] { return With(&MessageParam::volume, 37); }, {"libvlc_audio_set_volume\t37"}},
        {VIDEO_STOP, none, {"libvlc_media_player_stop"}},
        {VIDEO_FILE_NOT_FOUND, none, {}},
        {VIDEO_METADATA_CREATED, none, {}},
        {VIDEO_END_REACHED, none, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        fake.ClearJournal();
        PostAndDrain(c.code, c.payload());
        EXPECT_EQ(fake.JournalOf(player), c.calls);
    }
}

TEST_F(FrontUpdate, PlaysOnlyAFileThatIsThere)
{
    for (int code : {VIDEO_PREVIOUS, VIDEO_NEXT, NEW_VIDEO_PLAY}) {
        SCOPED_TRACE(code);
        const ApplicationHub::Entries entries = LoadFiles({"present.avi"});
        struct Case {
            const char* what;
            std::function<void()> arrange;
            const char* call;
        };
        const Case cases[] = {
            {"present", [] {}, "libvlc_media_player_play"},
            {"deleted", [&] { QFile::remove(entries[0]->path); }, "libvlc_media_player_stop"},
            {"no entry", [&] { panes.Hub().SetVideoFiles({}); }, "libvlc_media_player_stop"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            c.arrange();
            fake.ClearJournal();
            PostAndDrain(code);
            EXPECT_EQ(fake.JournalOf(Front()), QStringList{c.call});
            EXPECT_FALSE(panes.front->LogoShown());
        }
    }
}

TEST_F(FrontUpdate, MediaChangeReplacesThePlayerInOrder)
{
    const ApplicationHub::Entries entries = LoadFiles({"a.avi", "b.avi"});
    PostAndDrain(SET_CURRENT_VIDEO_INDEX, hubtest::Index(1));
    fake.ClearJournal();
    PostAndDrain(SET_CURRENT_VIDEO_MEDIA);
    QStringList expected = {"libvlc_media_player_set_pause\t1", "libvlc_media_player_release", "libvlc_release"};
    const std::vector<std::string> arguments = MakeInstanceArguments(false, false, GetModuleDirectory());
    QString created = QString("libvlc_new\t%1").arg(arguments.size());
    for (const std::string& argument : arguments)
        created += "\t" + QString::fromStdString(argument);
    expected << created << "libvlc_media_player_new"
             << "libvlc_video_set_format_callbacks"
             << "libvlc_video_set_callbacks"
             << "libvlc_media_player_event_manager";
    for (int event : {268, 260, 261, 265, 258, 266})
        expected << QString("libvlc_event_attach\t%1").arg(event);
    expected << "libvlc_video_set_aspect_ratio\t16:9"
             << "libvlc_media_new_path\t" + entries[1]->path << "libvlc_media_player_set_media"
             << "libvlc_media_release"
             << "libvlc_audio_set_volume\t50"
             << "libvlc_media_player_set_rate\t1.00";
    EXPECT_EQ(fake.Journal(), expected);
    EXPECT_FALSE(fake.Playing(Front())) << "the next message starts it";

    // The flips of each set-up are the options at that moment; rate and
    // volume carry over.
    libvlc_media_player_t* before = Front();
    panes.host.ch1Vertical = true;
    PostAndDrain(CHANGE_VIDEO_SPEED, With(&MessageParam::rate, 2.0f));
    PostAndDrain(CHANGE_VIDEO_VOLUME, With(&MessageParam::volume, 30));
    PostAndDrain(SET_CURRENT_VIDEO_MEDIA);
    const QStringList vflip = {"--video-filter=transform", "--transform-type=vflip"};
    EXPECT_FALSE(fake.Arguments(before).contains(vflip[0]));
    const QStringList now = fake.Arguments(Front());
    EXPECT_EQ(now.mid(6, 2), vflip);
    EXPECT_FLOAT_EQ(fake.Rate(Front()), 2.0f);
    EXPECT_EQ(fake.Volume(Front()), 30);
}

// Rear update ----------------------------------------------------------

TEST_F(RearUpdate, LoadsATwoCameraRecordingOnly)
{
    const ApplicationHub::Entries two = LoadFiles({"two.avi"});
    fake.ClearJournal();
    PostAndDrain(VIDEO_METADATA_CREATED);
    EXPECT_EQ(fake.Journal(), (QStringList{"libvlc_media_player_set_pause\t1", "libvlc_media_new_path\t" + two[0]->path,
                                           "libvlc_media_add_option\tbrightness",
                                           "libvlc_media_add_option\t:no-audio", "libvlc_media_player_set_media",
                                           "libvlc_media_release", "libvlc_audio_set_volume\t0",
                                           "libvlc_media_player_play"}));
    EXPECT_TRUE(panes.rear->RearActive());
    EXPECT_EQ(fake.MediaOptions(Rear()), (QStringList{"brightness", ":no-audio"}));

    LoadFiles({"one.avi"}, 1);
    fake.ClearJournal();
    PostAndDrain(VIDEO_METADATA_CREATED);
    EXPECT_TRUE(fake.Journal().isEmpty());
    EXPECT_FALSE(panes.rear->RearActive());
    PostAndDrain(VIDEO_PLAY);
    EXPECT_TRUE(fake.JournalOf(Rear()).isEmpty()) << "an inactive rear does not toggle";
}

// Every stop, whichever message, ends the rear's play of the file: nothing
// restarts it hidden, while pause, position and rate still reach it.
TEST_F(RearUpdate, StopsEndTheRearUntilTheNextLoad)
{
    for (int stop : {VIDEO_STOP, VIDEO_PREVIOUS, VIDEO_NEXT, NEW_VIDEO_PLAY}) {
        SCOPED_TRACE(stop);
        const ApplicationHub::Entries entries = LoadFiles({"a.avi"});
        PostAndDrain(VIDEO_METADATA_CREATED);
        ASSERT_TRUE(panes.rear->RearActive());
        fake.ClearJournal();
        PostAndDrain(stop);
        EXPECT_EQ(fake.JournalOf(Rear()), QStringList{"libvlc_media_player_stop"});
        EXPECT_FALSE(panes.rear->RearActive());
        EXPECT_FALSE(fake.Playing(Rear()));
        EXPECT_TRUE(panes.rear->Sink().Held());
        EXPECT_EQ(fake.Media(Rear()), entries[0]->path) << "the media stays";

        fake.ClearJournal();
        PostAndDrain(VIDEO_PLAY);
        EXPECT_TRUE(fake.JournalOf(Rear()).isEmpty());
        PostAndDrain(VIDEO_PAUSE);
        PostAndDrain(CHANGE_VIDEO_FRAME_POSITION, With(&MessageParam::position, 0.5f));
        PostAndDrain(CHANGE_VIDEO_SPEED, With(&MessageParam::rate, 0.5f));
        PostAndDrain(CHANGE_VIDEO_VOLUME, With(&MessageParam::volume, 80));
        EXPECT_EQ(fake.JournalOf(Rear()),
                  (QStringList{"libvlc_media_player_is_playing", "libvlc_media_player_set_position\t0.500",
                               "libvlc_media_player_set_rate\t0.50"}));
    }
}

TEST_F(RearUpdate, TogglesWhileActiveAndStaysSilent)
{
    LoadFiles({"a.avi"});
    PostAndDrain(VIDEO_METADATA_CREATED);
    fake.ClearJournal();
    PostAndDrain(VIDEO_PLAY);
    PostAndDrain(VIDEO_PLAY);
    PostAndDrain(CHANGE_VIDEO_VOLUME, With(&MessageParam::volume, 90));
    PostAndDrain(CHANGE_VIDEO_BRIGHTNESS, With(&MessageParam::brightness, 0.5f));
    EXPECT_EQ(fake.JournalOf(Rear()),
              (QStringList{"libvlc_media_player_is_playing", "libvlc_media_player_set_pause\t1",
                           "libvlc_media_player_is_playing", "libvlc_media_player_play",
                           "libvlc_video_set_adjust_int\t0\t1", "libvlc_video_set_adjust_float\t2\t0.50"}));
    EXPECT_EQ(fake.Volume(Rear()), 0);
}

TEST_F(RearUpdate, LogsEachCodeItHandles)
{
    LoadFiles({"a.avi"});
    LogCapture log;
    const int codes[] = {VIDEO_METADATA_CREATED, VIDEO_PLAY, VIDEO_PAUSE, CHANGE_VIDEO_FRAME_POSITION,
                         CHANGE_VIDEO_SPEED, CHANGE_VIDEO_BRIGHTNESS, CAPTURE_VIDEO_SNAPSHOT, SET_CURRENT_VIDEO_MEDIA,
                         CHANGE_VIDEO_VOLUME, VIDEO_FILE_NOT_FOUND, VIDEO_NEXT, VIDEO_STOP};
    for (int code : codes)
        PostAndDrain(code, code == CAPTURE_VIDEO_SNAPSHOT ? channeltest::Snapshot("/nonexistent/x.png", "") : nullptr);
    QStringList lines = log.Lines().filter("[CSecondChannelVideoPane]");
    lines = lines.filter(QRegularExpression("\\[(update|UPDATE|SetCurrentVideoMedia)\\]"));
    const auto line = [](const char* method, const char* message) {
        return LogCapture::Line(method, message, "CSecondChannelVideoPane");
    };
    EXPECT_EQ(lines, (QStringList{line("update", "VIDEO_METADATA_CREATED msg "),
                                  line("SetCurrentVideoMedia", "Current Video Media"),
                                  line("update", "VIDEO_PLAY msg "),
                                  line("UPDATE", "VIDEO_PLAY msg Second Video Channel play true"),
                                  line("update", "VIDEO_PAUSE msg "),
                                  line("update", "CHANGE_VIDEO_FRAME_POSITION msg "),
                                  line("update", "CHANGE_VIDEO_SPEED msg "),
                                  line("update", "CHANGE_VIDEO_BRIGHTNESS msg "),
                                  line("update", "CAPTURE_VIDEO_SNAPSHOT msg "),
                                  line("update", "NEW_VIDEO_PLAY VIDEO_PREVIOUS VIDEO_NEXT msg "),
                                  line("update", "VIDEO_STOP msg ")}));
}

// The rear's hand-off ----------------------------------------------------

TEST_F(RearHandOff, HandlersOnlyQueueTheirWork)
{
    LoadFiles({"a.avi"});
    PostAndDrain(VIDEO_METADATA_CREATED);
    fake.ClearJournal();
    FireOnThread([&] {
        EXPECT_EQ(fake.Fire(Rear(), vlc::MediaPlayerOpening), 1);
        EXPECT_EQ(fake.Fire(Rear(), vlc::MediaPlayerPlaying), 1);
    });
    WaitForRearTasks();
    ASSERT_TRUE(panes.rear->TrackSelected());
    const std::vector<fakevlc::Call> calls = fake.Records();
    ASSERT_FALSE(calls.empty());
    for (const fakevlc::Call& call : calls) {
        SCOPED_TRACE(call.Line().toStdString());
        EXPECT_FALSE(call.inHandler);
        EXPECT_EQ(call.thread, "rear-player");
    }
    EXPECT_EQ(fake.JournalOf(Rear()),
              (QStringList{"libvlc_video_set_adjust_int\t0\t1", "libvlc_video_set_adjust_float\t2\t1.00",
                           "libvlc_video_set_track\t-1", "libvlc_video_set_track\t1",
                           "libvlc_video_set_adjust_float\t2\t1.00"}));
}

TEST_F(RearHandOff, ChoosesItsTrackOncePerLoad)
{
    struct Case {
        bool track1, track2;
        int refusals;
        QStringList requests;
    };
    const Case cases[] = {
        {true, false, 0, {"libvlc_video_set_track\t-1", "libvlc_video_set_track\t1"}},
        {false, true, 0, {"libvlc_video_set_track\t-1", "libvlc_video_set_track\t2"}},
        {true, true, 0, {"libvlc_video_set_track\t-1"}},
        {false, false, 0, {"libvlc_video_set_track\t-1"}},
        {true, false, 3,
         {"libvlc_video_set_track\t-1", "libvlc_video_set_track\t-1", "libvlc_video_set_track\t-1",
          "libvlc_video_set_track\t-1", "libvlc_video_set_track\t1"}},
    };
    const ApplicationHub::Entries entries = LoadFiles({"a.avi"});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.track1 << c.track2 << " refusals " << c.refusals);
        {
            std::lock_guard lock(panes.Hub().fileLock);
            entries[0]->selectTrack1 = c.track1;
            entries[0]->selectTrack2 = c.track2;
        }
        PostAndDrain(VIDEO_METADATA_CREATED);
        EXPECT_FALSE(panes.rear->TrackSelected());
        fake.TrackRefusals(c.refusals);
        fake.ClearJournal();
        FireOnThread([&] { fake.Fire(Rear(), vlc::MediaPlayerPlaying); });
        WaitForRearTasks();
        EXPECT_TRUE(panes.rear->TrackSelected());
        EXPECT_EQ(RearTrackRequests(), c.requests);
        EXPECT_EQ(fake.JournalOf(Rear()).last(), "libvlc_video_set_adjust_float\t2\t1.00");

        // A Playing after a pause chooses nothing again.
        fake.ClearJournal();
        FireOnThread([&] { fake.Fire(Rear(), vlc::MediaPlayerPlaying); });
        WaitForRearTasks();
        EXPECT_TRUE(fake.JournalOf(Rear()).isEmpty());
    }
}

TEST_F(RearHandOff, GivesUpATrackLibvlcRefusesForEver)
{
    LoadFiles({"a.avi"});
    PostAndDrain(VIDEO_METADATA_CREATED);
    LogCapture log;
    fake.TrackResult(-1);
    fake.ClearJournal();
    FireOnThread([&] { fake.Fire(Rear(), vlc::MediaPlayerPlaying); });
    WaitForRearTasks();
    EXPECT_TRUE(panes.rear->TrackSelected());
    const QStringList requests = RearTrackRequests();
    EXPECT_EQ(requests.count("libvlc_video_set_track\t-1"), CSecondChannelVideoPane::kTrackAttempts);
    EXPECT_EQ(requests.count("libvlc_video_set_track\t1"), CSecondChannelVideoPane::kTrackAttempts);
    EXPECT_EQ(log.Lines().count(LogCapture::Line("OnMediaPlayerPlaying", "Track Not Selected", "CSecondChannelVideoPane")),
              1);
    EXPECT_EQ(log.Lines().count(LogCapture::Line("libvlc_video_set_track", "Set Track")),
              2 * CSecondChannelVideoPane::kTrackAttempts);
    EXPECT_TRUE(panes.rear->Sink().Held()) << "no track accepted: nothing is shown";
}

TEST_F(RearHandOff, AStopBeforeAQueuedRequestCancelsIt)
{
    LoadFiles({"a.avi"});
    PostAndDrain(VIDEO_METADATA_CREATED);
    Gate entered, release;
    RearPlayerTasks& tasks = panes.rear->Tasks();
    tasks.Queue(tasks.Current(), [&](std::uint64_t) {
        entered.Open();
        release.Wait();
    });
    ASSERT_TRUE(entered.Wait());
    FireOnThread([&] { fake.Fire(Rear(), vlc::MediaPlayerPlaying); });
    fake.ClearJournal();
    PostAndDrain(VIDEO_STOP);
    release.Open();
    WaitForRearTasks();
    EXPECT_EQ(fake.JournalOf(Rear()), QStringList{"libvlc_media_player_stop"});
    EXPECT_FALSE(panes.rear->TrackSelected());
}

// Snapshots ------------------------------------------------------------

TEST(SnapshotPaths, TagGoesBeforeTheExtensionOrAtTheStart)
{
    EXPECT_EQ(InsertTrackTag("/s/x.png", "(Track1)"), "/s/x(Track1).png");
    EXPECT_EQ(InsertTrackTag("/s/x.png", "(Track2)"), "/s/x(Track2).png");
    EXPECT_EQ(InsertTrackTag(".png", "(Track1)"), "(Track1).png");
    EXPECT_EQ(InsertTrackTag("ab", "(Track1)"), "(Track1)ab");
    EXPECT_EQ(InsertTrackTag("", "(Track2)"), "(Track2)");
}

TEST_F(Snapshots, ThroughTheHub)
{
    const ApplicationHub::Entries entries = LoadFiles({"a.avi"});
    using Button = UserNotifier::Button;
    struct Case {
        int streams;
        bool written;
        bool folder;
        Button answer;
    };
    std::vector<Case> cases;
    for (int streams : {1, 2})
        for (bool written : {true, false})
            for (bool folder : {true, false})
                for (Button answer : {Button::Yes, Button::No})
                    cases.push_back({streams, written, folder, answer});
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "streams " << c.streams << " written " << c.written << " folder "
                                        << c.folder << " yes " << (c.answer == Button::Yes));
        {
            std::lock_guard lock(panes.Hub().fileLock);
            entries[0]->videoStreamCount = c.streams;
        }
        const QString path = files.path() + QString("/x%1.png").arg(row++);
        const QString folder = c.folder ? files.path() : QString();
        const QString front = c.streams > 1 ? InsertTrackTag(path, "(Track1)") : path;
        fake.SnapshotWrites(c.written);
        panes.notifier.Clear();
        panes.notifier.ScriptAnswers({c.answer});
        const QStringList opened = panes.OpenedFolders();
        fake.ClearJournal();
        PostAndDrain(CAPTURE_VIDEO_SNAPSHOT, channeltest::Snapshot(path, folder));

        EXPECT_EQ(fake.JournalOf(Front()), QStringList{"libvlc_video_take_snapshot\t0\t" + front + "\t0\t0"});
        EXPECT_EQ(fake.JournalOf(Rear()),
                  c.streams > 1 ? QStringList{"libvlc_video_take_snapshot\t0\t" + InsertTrackTag(path, "(Track2)") +
                                              "\t0\t0"}
                                : QStringList{});
        const std::vector<RecordingNotifier::Box> boxes = panes.notifier.Boxes();
        if (!c.folder) {
            EXPECT_TRUE(boxes.empty());
        } else if (!c.written) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Message);
            EXPECT_EQ(boxes[0].text,
                      QString::fromUtf8("캡처에 실패 하였습니다.\n관리자권한으로 실행해주시기 바랍니다."));
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Asked);
            EXPECT_EQ(boxes[0].text, front + Common::GetResourceString(255));
            EXPECT_EQ(boxes[0].caption, QString::fromUtf8("경고"));
            EXPECT_EQ(boxes[0].buttons, Button::Yes | Button::No);
            EXPECT_EQ(boxes[0].defaultButton, Button::Yes);
        }
        const bool opens = c.folder && c.written && c.answer == Button::Yes;
        EXPECT_EQ(panes.OpenedFolders(), opens ? opened + QStringList{folder} : opened);
    }
}

// A box asked for from the worker is shown on the UI thread while the
// delivery waits for the answer; the report's own call shows it inline.
TEST_F(Snapshots, BoxesRunOnTheUiThread)
{
    class UiCheckingNotifier : public RecordingNotifier {
    public:
        explicit UiCheckingNotifier(hubtest::Journal& journal) : journal(journal) {}
        std::atomic<int> offUiThread{0};

    protected:
        Button AskBox(const QString& text, const QString& caption, Buttons buttons, Button defaultButton) override
        {
            if (!UiThread::IsUiThread())
                ++offUiThread;
            std::this_thread::sleep_for(50ms);
            journal.Mark("asked");
            return RecordingNotifier::AskBox(text, caption, buttons, defaultButton);
        }

    private:
        hubtest::Journal& journal;
    };
    UiCheckingNotifier notifier(panes.harness.GetJournal());
    UserNotifier::Install(&notifier);
    LoadFiles({"a.avi"});
    fake.SnapshotWrites(true);
    panes.harness.ClearJournal();
    PostAndDrain(CAPTURE_VIDEO_SNAPSHOT, channeltest::Snapshot(files.path() + "/x.png", files.path()));
    const std::vector<std::string> sequence = panes.harness.GetJournal().Sequence();
    const auto asked = std::find(sequence.begin(), sequence.end(), "#asked");
    const auto delivered = std::find(sequence.begin(), sequence.end(), "recorder:21");
    EXPECT_TRUE(asked < delivered) << testing::PrintToString(sequence);

    notifier.ScriptAnswers({UserNotifier::Button::Yes});
    fake.ClearJournal();
    panes.front->CaptureSnapshot(files.path() + "/y.png", files.path());
    panes.rear->CaptureSnapshot(files.path() + "/y.png", files.path());
    EXPECT_EQ(notifier.Count(), 2u);
    EXPECT_EQ(notifier.offUiThread, 0);
    EXPECT_EQ(panes.OpenedFolders(), QStringList{files.path()});
    EXPECT_EQ(fake.JournalOf(Rear()),
              QStringList{"libvlc_video_take_snapshot\t0\t" + files.path() + "/y(Track2).png\t0\t0"});
    UserNotifier::Install(&panes.notifier);
}

// Widgets --------------------------------------------------------------

TEST_F(ChannelWidgets, TemplatesPlaceTheAreasUntilTheyFillThePane)
{
    testsupport::FakeChannelPaneHost host;
    channeltest::SolidImages images;
    CFirstChannelVideoPane front(nullptr, host, panes.Hub(), vlc, images);
    CSecondChannelVideoPane rear(nullptr, host, panes.Hub(), vlc);
    EXPECT_EQ(front.size(), QSize(720, 457));
    EXPECT_EQ(front.Controls().Widget(1157)->geometry(), QRect(11, 11, 698, 434));
    EXPECT_EQ(front.Controls().Widget(1026)->geometry(), QRect(0, 0, 710, 447));
    EXPECT_EQ(front.Controls().Widget(1157)->objectName(), "1157");
    EXPECT_EQ(front.Controls().Widget(1157), front.Surface());
    EXPECT_EQ(front.Controls().Widget(1026), front.Logo());
    EXPECT_EQ(rear.size(), QSize(723, 458));
    EXPECT_EQ(rear.Controls().Widget(1158)->geometry(), QRect(11, 11, 702, 436));
    EXPECT_EQ(rear.Controls().Widget(1158), rear.Surface());
    front.resize(400, 300);
    EXPECT_EQ(front.Surface()->geometry(), QRect(11, 11, 698, 434)) << "nothing moves before initialisation";

    // panes' own, initialised and placed at 640x360.
    for (ChannelPane* pane : {static_cast<ChannelPane*>(panes.front.get()), static_cast<ChannelPane*>(panes.rear.get())}) {
        EXPECT_EQ(pane->Surface()->geometry(), QRect(0, 0, 640, 360));
        pane->resize(500, 300);
        EXPECT_EQ(pane->Surface()->geometry(), QRect(0, 0, 500, 300));
    }
    EXPECT_EQ(panes.front->Logo()->geometry(), QRect(0, 0, 500, 300));
}

TEST_F(ChannelWidgets, LogoWhileStoppedVideoWhilePlaying)
{
    LoadFiles({"a.avi"});
    struct Case {
        int code;
        bool logo;
    };
    for (const Case& c : {Case{VIDEO_FILE_NOT_FOUND, true}, Case{VIDEO_PLAY, false}, Case{VIDEO_STOP, true},
                          Case{NEW_VIDEO_PLAY, false}}) {
        SCOPED_TRACE(c.code);
        PostAndDrain(c.code);
        EXPECT_EQ(panes.front->Logo()->isVisible(), c.logo);
        EXPECT_EQ(panes.front->Surface()->isVisible(), !c.logo);
    }
}

TEST_F(ChannelWidgets, NoSkinModuleLeavesTheLogoBlack)
{
    QTemporaryDir empty;
    controlstest::ScopedSkinModule noModule({empty.path()});
    LogCapture log;
    testsupport::FakeChannelPaneHost host;
    CFirstChannelVideoPane pane(nullptr, host, panes.Hub(), vlc, ImageSource::Resources());
    pane.OnInitDialog();
    pane.resize(320, 180);
    EXPECT_EQ(log.Lines().filter("Bitmap NULL").size(), 1);
    EXPECT_TRUE(pane.Logo()->Bitmap().isNull());
    const QImage shown = testsupport::Grab(pane);
    for (QPoint at : {QPoint(0, 0), QPoint(160, 90), QPoint(319, 179)})
        EXPECT_EQ(shown.pixel(at), 0xFF000000u);
}

TEST_F(ChannelWidgets, KeysGoToTheKeyRouterAndNoFurther)
{
    class KeyCounter : public QObject {
    public:
        int presses = 0;
        std::vector<int> keys;

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress) {
                ++presses;
                keys.push_back(static_cast<QKeyEvent*>(event)->key());
            }
            return false;
        }
    };
    KeyCounter router;  // the application's filter, first of all
    KeyCounter parent;  // the window holding the panes
    qApp->installEventFilter(&router);
    panes.window.installEventFilter(&parent);
    for (QWidget* target : {static_cast<QWidget*>(panes.front.get()), static_cast<QWidget*>(panes.front->Surface()),
                            static_cast<QWidget*>(panes.rear.get())}) {
        router.keys.clear();
        QTest::keyClick(target, Qt::Key_Space);
        QTest::keyClick(target, Qt::Key_Q);
        EXPECT_EQ(router.keys, (std::vector<int>{Qt::Key_Space, Qt::Key_Q}));
    }
    EXPECT_EQ(parent.presses, 0);
    qApp->removeEventFilter(&router);
}

TEST_F(ChannelWidgets, ALeftPressMovesTheWindow)
{
    QTest::mouseClick(panes.front->Surface(), Qt::LeftButton);
    EXPECT_EQ(panes.windowMoves, 1);
    QTest::mouseClick(panes.rear.get(), Qt::LeftButton);
    EXPECT_EQ(panes.windowMoves, 2);
    QTest::mouseClick(panes.rear->Surface(), Qt::RightButton);
    EXPECT_EQ(panes.windowMoves, 2);
}

// Shutdown -------------------------------------------------------------

TEST_F(ChannelShutdown, DeletedPanesLeaveNoHandlerBehind)
{
    LoadFiles({"a.avi"});
    PostAndDrain(VIDEO_METADATA_CREATED);
    fake.TrackResult(-1);
    fake.ClearJournal();
    libvlc_media_player_t* front = Front();
    libvlc_media_player_t* rear = Rear();
    const auto requests = [&] { return fake.JournalOf(rear).filter(QRegularExpression("^libvlc_video_set_track")); };
    FireOnThread([&] { fake.Fire(rear, vlc::MediaPlayerPlaying); });
    // The track task is between two refused requests.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return requests().size() >= 2; }, 5000));
    panes.harness.StopAndWait();
    {
        hubtest::Watchdog watchdog("deleting the panes", 2s);
        panes.rear.reset();
        panes.front.reset();
    }
    EXPECT_TRUE(fake.Released(front));
    EXPECT_TRUE(fake.Released(rear));
    EXPECT_EQ(fake.Fire(front, vlc::MediaPlayerEndReached), 0);
    EXPECT_EQ(fake.Fire(rear, vlc::MediaPlayerPlaying), 0);
    EXPECT_LT(requests().size(), 2 * CSecondChannelVideoPane::kTrackAttempts);
}

}  // namespace

// The load pipeline and the shutdown against the hub's worker: one kept
// batch at a time, later loads folded into it, and no pane dying under a
// delivery. Repeated under the thread sanitizer.

#include "ui/MainWindowFixtures.h"

#include "hub/HubCodes.h"
#include "support/FileFixtures.h"

#include <atomic>
#include <optional>
#include <thread>

namespace uitest {
namespace {

constexpr int kHold = 101;

// Posts single stops and nexts until stopped, as playback would meanwhile.
class SinglesPoster {
public:
    explicit SinglesPoster(ApplicationHub& hub)
        : thread([this, &hub] {
              for (int i = 0; !stop; ++i) {
                  hub.Post(i % 2 ? VIDEO_NEXT : VIDEO_STOP);
                  std::this_thread::sleep_for(1ms);
              }
          })
    {
    }
    ~SinglesPoster()
    {
        stop = true;
        thread.join();
    }

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

TEST_F(MainWindowTest, OneLoadIsOneContiguousBatchAndZeroHandsTheEntriesOver)
{
    Open();
    ApplicationHub::Entries made;
    loader = [&](const LoaderCall&) {
        made = entries.MakeTypes({RECORDING_EVENT, RECORDING_NORMAL, RECORDING_MOTION});
        return made;
    };
    bool handedOver = false;
    player->OnUpdate([&](int code, const MessageParam&) {
        if (code == SET_VIDEO_FILES)
            handedOver = hub->GetVideoFiles() == made && window->ParkedEntryCount() == 0 && hub->GetCurrentIndex() == 0;
    });
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT, RECORDING_EVENT}));
    hub->SetCurrentIndex(1);
    window->OpenVideoFiles({"/card/"}, {});
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));

    EXPECT_EQ(CodesOf("list"), (std::vector<int>{VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED, SET_VIDEO_FILES,
                                                 VIDEO_FILES_OPENED, SET_CURRENT_VIDEO_INDEX, SET_CURRENT_VIDEO_MEDIA,
                                                 NEW_VIDEO_PLAY}));
    for (const hubtest::Delivery& delivery : journal.Entries()) {
        if (delivery.code == SET_CURRENT_VIDEO_INDEX) {
            EXPECT_EQ(delivery.payload.index, 0);
        }
    }
    EXPECT_TRUE(handedOver) << "at 0: the playlist holds the entries, none is parked, the index is 0";
}

enum class SecondLoad { BeforeTheFirstZero, BetweenZeroAndSixteen, AfterSixteen };

class TwoLoads : public MainWindowTest, public ::testing::WithParamInterface<SecondLoad> {
protected:
    // A marker no clear drops, so the singles posted meanwhile cannot take
    // it out of the queue.
    void PostKept(int code)
    {
        std::vector<HubMessage> marker;
        marker.emplace_back(code);
        hub->PostBatch(std::move(marker), KeepOnClear::Yes);
    }
};

TEST_P(TwoLoads, EveryLoadEndsWithItsOwnEntriesListedAndTheFirstPlaying)
{
    Open();
    std::vector<ApplicationHub::Entries> made;
    loader = [&](const LoaderCall&) {
        made.push_back(entries.MakeTypes({RECORDING_NORMAL, RECORDING_EVENT}));
        return made.back();
    };
    // The current entry at each 11; read once the journal shows a later code.
    std::vector<std::shared_ptr<RecordingEntry>> mediaLoaded;
    std::atomic<bool> held{false};
    hubtest::Gate release;
    const int holdAt = GetParam() == SecondLoad::BetweenZeroAndSixteen ? SET_VIDEO_FILES : kHold;
    list->OnUpdate([&](int code, const MessageParam&) {
        if (code == SET_CURRENT_VIDEO_MEDIA)
            mediaLoaded.push_back(hub->GetCurrentVideoFile());
        if (code == holdAt && !held) {
            held = true;
            EXPECT_TRUE(release.Wait());
        }
    });

    std::optional<SinglesPoster> singles(std::in_place, *hub);
    if (GetParam() == SecondLoad::BeforeTheFirstZero) {
        PostKept(kHold);
        ASSERT_TRUE(Eventually([&] { return held.load(); }));
    }
    window->OpenVideoFiles({"/first/"}, {});
    if (GetParam() == SecondLoad::BetweenZeroAndSixteen) {
        ASSERT_TRUE(Eventually([&] { return held.load(); }));
    }
    if (GetParam() == SecondLoad::AfterSixteen) {
        ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    }
    window->OpenVideoFiles({"/second/"}, {});
    release.Open();
    PostKept(kHold + 1);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", kHold + 1); }));
    singles.reset();

    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(hub->GetVideoFiles(), made[1]);
    EXPECT_EQ(window->ParkedEntryCount(), 0u);
    ASSERT_FALSE(mediaLoaded.empty());
    EXPECT_EQ(mediaLoaded.back(), made[1][0]) << "the last 11 loads the second load's first entry";
    const std::vector<int> codes = CodesOf("list");
    const auto count = [&](int code) { return std::count(codes.begin(), codes.end(), code); };
    EXPECT_EQ(count(NEW_VIDEO_PLAY), count(SET_VIDEO_FILES)) << "one 16 per delivered batch";
    EXPECT_EQ(count(SET_VIDEO_FILES), GetParam() == SecondLoad::BeforeTheFirstZero ? 1 : 2);
    // Each batch arrives whole: 0, 1, 10, 11, 16 with nothing between.
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] != SET_VIDEO_FILES)
            continue;
        ASSERT_LE(i + 5, codes.size());
        EXPECT_EQ(std::vector<int>(codes.begin() + i, codes.begin() + i + 5),
                  (std::vector<int>{SET_VIDEO_FILES, VIDEO_FILES_OPENED, SET_CURRENT_VIDEO_INDEX,
                                    SET_CURRENT_VIDEO_MEDIA, NEW_VIDEO_PLAY}));
    }
    Destroy();
    hub.reset();
    made.clear();
    mediaLoaded.clear();
    EXPECT_EQ(entries.Destroyed(), entries.Created()) << "every entry dies, once";
}

INSTANTIATE_TEST_SUITE_P(Timings, TwoLoads,
                         ::testing::Values(SecondLoad::BeforeTheFirstZero, SecondLoad::BetweenZeroAndSixteen,
                                           SecondLoad::AfterSixteen));

TEST_F(MainWindowTest, ALoadAfterTheCloseParksAndPostsNothing)
{
    Open();
    window->close();
    window->OpenVideoFiles({"/late/"}, {});
    EXPECT_EQ(window->ParkedEntryCount(), 2u);
    EXPECT_EQ(loads.size(), 1u);
    Destroy();
    EXPECT_FALSE(Delivered("list", SET_VIDEO_FILES));
    hub.reset();
    EXPECT_EQ(entries.Destroyed(), entries.Created()) << "parked entries go with the window";
}

TEST_F(MainWindowTest, OptionsReadOnTheWorkerAreNeverHalfAssigned)
{
    Open();
    OptionRecord left;
    left.saveDirectory = QString(300, 'l');
    left.ch1VerticalFlip = true;
    left.playValue = 1;
    OptionRecord right;
    right.saveDirectory = QString(5, 'r');
    right.ch1HorizontalFlip = true;
    right.playValue = 10;
    window->SetOptionRecord(left);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop) {
            const OptionRecord copy = window->GetOptionRecord();
            const bool isLeft = copy.saveDirectory == left.saveDirectory && copy.ch1VerticalFlip &&
                                !copy.ch1HorizontalFlip && copy.playValue == 1;
            const bool isRight = copy.saveDirectory == right.saveDirectory && !copy.ch1VerticalFlip &&
                                 copy.ch1HorizontalFlip && copy.playValue == 10;
            if (!isLeft && !isRight)
                ++torn;
        }
    });
    for (int i = 0; i < 2000; ++i)
        window->SetOptionRecord(i % 2 ? left : right);
    stop = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

TEST_F(MainWindowTest, CloseWhileTheMapHandsOffEveryPositionEndsInTimeWithNoPaneDyingUnderADelivery)
{
    WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\n");
    std::atomic<int> handOffs{0};
    onMapMade = [&](FakeMap& made) {
        made.OnUpdate([&made, &handOffs](int code, const MessageParam& payload) {
            if (code != VIDEO_FRAME_POSITION_CHANGED)
                return;
            const float position = payload.position;
            if (UiThread::Invoke([&] { made.setToolTip(QString::number(position)); }))
                ++handOffs;
        });
    };
    Open();
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        for (int i = 0; !stop; ++i) {
            auto payload = std::make_unique<MessageParam>();
            payload->position = static_cast<float>(i % 1000) / 1000;
            hub->Post(VIDEO_FRAME_POSITION_CHANGED, std::move(payload));
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(Eventually([&] { return handOffs >= 20; }));
    window->close();
    Destroy();  // inside the watchdog
    stop = true;
    poster.join();

    EXPECT_EQ(probe.deathsDuringDelivery, 0);
    EXPECT_EQ(probe.deaths, (std::vector<std::string>{"map", "list", "player"}));
    EXPECT_TRUE(testsupport::ReadFileBytes(OptionsPath()).contains("PLAY_VALUE=5"));
    EXPECT_TRUE(LogText().contains("[OnClose]\tLog End"));
}

}  // namespace
}  // namespace uitest

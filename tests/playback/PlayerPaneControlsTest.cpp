// The player pane's transport buttons and sliders through the hub: what each
// posts, the looks it sets, the seek steps, the volume and mute, and the
// position slider's drag with its selective clear.

#include "LogCapture.h"
#include "PlayerPaneFixtures.h"
#include "controls/CBitmapSlider.h"
#include "controls/CMySliderControl.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "support/EventLoop.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>

namespace {

using namespace playerpane;
using namespace playerpanetest;
using controlstest::Press;
using controlstest::Release;

class PlayerPaneControls : public PlayerPaneTest {
protected:
    CBitmapSlider* Volume() { return Control<CBitmapSlider>(VolumeControl); }
    CMySliderControl* PositionBar() { return Control<CMySliderControl>(PositionSlider); }
    std::vector<int> Volumes()
    {
        std::vector<int> volumes;
        for (const MessageParam& p : Payloads(CHANGE_VIDEO_VOLUME))
            volumes.push_back(p.volume);
        return volumes;
    }
    // Index payloads as "10(i)", other codes as they are.
    std::vector<std::string> Sequence()
    {
        std::vector<std::string> sequence;
        for (const hubtest::Delivery& d : harness.GetJournal().Entries()) {
            if (d.listener != hubtest::HubHarness::kRecorder || d.code == hubtest::HubHarness::kDrainMark)
                continue;
            sequence.push_back(d.code == SET_CURRENT_VIDEO_INDEX ? "10(" + std::to_string(d.payload.index) + ")"
                                                                  : std::to_string(d.code));
        }
        return sequence;
    }
    // Playing or paused, as the player last reported.
    void Report(int code)
    {
        harness.Post(code);
        Settle();
        harness.ClearJournal();
    }
};

TEST_F(PlayerPaneControls, MuteSavesTheVolumeAndEveryOtherChangeUnmutes)
{
    CVideoPlayerPane& p = Make();
    Volume()->SetPos(70);
    p.OnBnClickedMuteBtn();
    EXPECT_TRUE(p.IsMuted());
    EXPECT_EQ(ShownAt(MuteButton), BitmapColour(155));
    p.OnBnClickedMuteBtn();
    EXPECT_EQ(ShownAt(MuteButton), BitmapColour(183));
    Settle();
    EXPECT_EQ(Volumes(), (std::vector<int>{0, 70}));

    // Muted, then the control dragged to 30 (x 21 of its 70): un-muted, 30
    // while dragging and at the release; the next mute saves 30.
    harness.ClearJournal();
    p.OnBnClickedMuteBtn();
    Press(*Volume(), QPoint(21, 10));
    Release(*Volume(), QPoint(21, 10));
    Settle();
    EXPECT_FALSE(p.IsMuted());
    EXPECT_EQ(ShownAt(MuteButton), BitmapColour(183));
    EXPECT_EQ(Volumes(), (std::vector<int>{0, 30, 30}));
    harness.ClearJournal();
    p.OnBnClickedMuteBtn();
    p.OnBnClickedMuteBtn();
    Settle();
    EXPECT_EQ(Volumes(), (std::vector<int>{0, 30}));

    // Steps are held within 0 to 100 and un-mute.
    harness.ClearJournal();
    Volume()->SetPos(100);
    p.StepVolume(+1);
    EXPECT_EQ(Volume()->GetPos(), 100);
    p.OnBnClickedMuteBtn();
    p.StepVolume(-1);
    EXPECT_FALSE(p.IsMuted());
    EXPECT_EQ(ShownAt(MuteButton), BitmapColour(183));
    Settle();
    EXPECT_EQ(Volumes(), (std::vector<int>{100, 0, 0}));

    // Another control's notification is not the volume's.
    harness.ClearJournal();
    p.OnBnClickedMuteBtn();
    p.OnSliderPosChanged(VolumeControl + 1, 40);
    p.OnSliderPosChanging(1148, 40);
    Settle();
    EXPECT_TRUE(p.IsMuted());
    EXPECT_EQ(Volumes(), (std::vector<int>{0}));
}

TEST_F(PlayerPaneControls, SpeedAndBrightnessSlidersPostWhileMovedAndTheirDefaults)
{
    CVideoPlayerPane& p = Make();
    CMySliderControl* speed = &p.SpeedSlider();
    CMySliderControl* brightness = &p.BrightnessSlider();
    struct Row {
        CMySliderControl* slider;
        int x;  // where the thumb is pressed
        std::function<void()> button;
        int position;
        int code;
        float value;
        const char* label;
    };
    const std::vector<Row> rows{
        {speed, 85, {}, 7, CHANGE_VIDEO_SPEED, 2.0f, "2.00 x"},
        {speed, 2, {}, 1, CHANGE_VIDEO_SPEED, 0.1f, "0.10 x"},
        {speed, 0, [&] { p.OnBnClickedSpeedDefaultBtn(); }, 4, CHANGE_VIDEO_SPEED, 1.0f, "1.00 x"},
        {brightness, 2, {}, 0, CHANGE_VIDEO_BRIGHTNESS, 0.0f, nullptr},
        {brightness, 85, {}, 100, CHANGE_VIDEO_BRIGHTNESS, 2.0f, nullptr},
        {brightness, 0, [&] { p.OnBnClickedBrightnessDefaultBtn(); }, 50, CHANGE_VIDEO_BRIGHTNESS, 1.0f, nullptr},
    };
    for (const Row& row : rows) {
        harness.ClearJournal();
        if (row.button) {
            row.button();
        } else {
            Press(*row.slider, QPoint(row.x, 12));
            Release(*row.slider, QPoint(row.x, 12));  // the release itself posts nothing more
        }
        Settle();
        EXPECT_EQ(row.slider->GetPos(), row.position);
        const std::vector<MessageParam> posted = Payloads(row.code);
        ASSERT_EQ(posted.size(), 1u) << row.position;
        EXPECT_EQ(row.code == CHANGE_VIDEO_SPEED ? posted[0].rate : posted[0].brightness, row.value);
        if (row.label) {
            EXPECT_EQ(Label(playerpane::SpeedLabel)->text(), QString(row.label));
        }
    }
}

TEST_F(PlayerPaneControls, TransportButtonsPostTheirSequences)
{
    CVideoPlayerPane& p = Make();
    EntrySpec first, event, last;
    first.name = "a.avi";
    event.name = "b.avi";
    event.type = RECORDING_EVENT;
    last.name = "c.avi";
    SetPlaylist({MakeEntry(first, &files), MakeEntry(event, &files), MakeEntry(last, &files)});
    harness.Post(VIDEO_FILES_OPENED);  // enables the transport buttons
    Settle();

    // Previous at the first entry: paused look, rewind and forward disabled,
    // then the first entry loaded and stopped.
    harness.ClearJournal();
    p.OnBnClickedPreviousBtn();
    EXPECT_EQ(ShownAt(PlayButton), IconColour(224));
    EXPECT_EQ(ShownAt(RewindButton), IconColour(234));
    EXPECT_EQ(ShownAt(ForwardButton), IconColour(214));
    EXPECT_FALSE(Control(RewindButton)->isEnabled());
    EXPECT_FALSE(Control(ForwardButton)->isEnabled());
    Settle();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"10(0)", "11", "4"}));

    // With a previous entry.
    hub.SetCurrentIndex(2);
    harness.ClearJournal();
    p.OnBnClickedPreviousBtn();
    Settle();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"10(1)", "11", "8"}));

    // Next at the last event of the list under the event filter: the first.
    hub.SetFilterType(RECORDING_EVENT);
    hub.SetCurrentIndex(1);
    harness.ClearJournal();
    p.OnBnClickedNextBtn();
    Settle();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"10(0)", "11", "9"}));
    hub.SetFilterType(0);
    hub.SetCurrentIndex(0);
    harness.ClearJournal();
    p.OnBnClickedNextBtn();
    Settle();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"10(1)", "11", "9"}));
}

TEST_F(PlayerPaneControls, PlayWithAnEmptyPlaylistPostsNothingButFlipsItsLook)
{
    CVideoPlayerPane& p = Make();
    for (int look : {224, 220, 224}) {
        p.OnBnClickedPlayBtn();
        EXPECT_EQ(ShownAt(PlayButton), IconColour(look));
    }
    Settle();
    EXPECT_TRUE(harness.Codes().empty());

    SetPlaylist({MakeEntry({}, &files)});
    p.OnBnClickedPlayBtn();
    EXPECT_EQ(ShownAt(PlayButton), IconColour(220));
    Settle();
    EXPECT_EQ(harness.Codes(), (std::vector<int>{VIDEO_PLAY}));
}

struct StepRow {
    const char* name;
    std::optional<EntrySpec> entry;  // none: an empty playlist
    bool paused;
    int at;
    std::optional<float> forward;
    std::optional<float> rewind;
};

class PlayerPaneSeekButtons : public PlayerPaneControls, public ::testing::WithParamInterface<StepRow> {};

EntrySpec Recording(int duration, int frames)
{
    EntrySpec spec;
    spec.duration = duration;
    spec.totalFrames = frames;
    return spec;
}

TEST_P(PlayerPaneSeekButtons, StepFromTheSlider)
{
    const StepRow& row = GetParam();
    CVideoPlayerPane& p = Make();
    LogCapture log;
    if (row.entry)
        SetPlaylist({MakeEntry(*row.entry, &files)});
    Report(row.paused ? VIDEO_PAUSE : VIDEO_PLAY_STARTED);
    const auto step = [&](void (CVideoPlayerPane::*button)()) -> std::optional<float> {
        harness.ClearJournal();
        PositionBar()->SetPos(row.at);
        (p.*button)();
        Settle();
        const std::vector<MessageParam> seeks = Payloads(CHANGE_VIDEO_FRAME_POSITION);
        EXPECT_LE(seeks.size(), 1u);
        return seeks.empty() ? std::nullopt : std::optional<float>(seeks.front().position);
    };
    const auto near = [](std::optional<float> a, std::optional<float> b) {
        return a.has_value() == b.has_value() && (!a || std::fabs(*a - *b) < 1e-6f);
    };
    EXPECT_PRED2(near, step(&CVideoPlayerPane::OnBnClickedForwardBtn), row.forward);
    EXPECT_PRED2(near, step(&CVideoPlayerPane::OnBnClickedRewindBtn), row.rewind);
    // "end" only after a step was posted.
    const int ends = int(log.Lines().count(LogCapture::Line("OnBnClickedForwardBtn", "end", "CVideoPlayerPane")));
    EXPECT_EQ(ends, row.forward ? 1 : 0);
    EXPECT_EQ(log.Lines().count(LogCapture::Line("OnBnClickedRewindBtn", "Click", "CVideoPlayerPane")), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayerPaneSeekButtons,
    ::testing::Values(StepRow{"Playing", Recording(60, 1800), false, 3000, 0.383f, 0.217f},
                      StepRow{"PausedOneFrame", Recording(60, 1800), true, 3000, 0.3005f, 0.2995f},
                      StepRow{"ForwardHeldAtTheEnd", Recording(10, 300), false, 9899, 1.0f, 0.4899f},
                      StepRow{"NearTheEnd", Recording(60, 1800), false, 9950, std::nullopt, std::nullopt},
                      StepRow{"NoEntry", std::nullopt, false, 3000, std::nullopt, std::nullopt},
                      StepRow{"DurationZero", Recording(0, 1800), false, 3000, std::nullopt, std::nullopt},
                      StepRow{"PausedWithoutFrames", Recording(60, 0), true, 3000, std::nullopt, std::nullopt},
                      StepRow{"LongRecordingOneUnit", Recording(20000, 600000), false, 3000, 0.3001f, 0.2999f},
                      StepRow{"ManyFramesOneUnit", Recording(600, 18000), true, 3000, 0.3001f, 0.2999f},
                      StepRow{"NegativeDuration", Recording(-5, 1800), false, 3000, std::nullopt, std::nullopt}),
    [](const ::testing::TestParamInfo<StepRow>& info) { return std::string(info.param.name); });

// The drag, on a hub whose worker a listener holds while messages wait:
// only the queued positions go, everything else arrives in order, then the
// one seek to where the thumb is.
TEST_F(PlayerPaneControls, DragClearsOnlyQueuedPositionsThenSeeks)
{
    ApplicationHub bare{hubtest::NoLoader()};
    hubtest::Journal journal;
    hubtest::RecordingListener holder{"H", journal};
    // 101 and 102 each hold the worker until released.
    std::array<hubtest::Gate, 2> holding, release;
    holder.before = [&](int code, const MessageParam&) {
        if (code == 101 || code == 102) {
            holding[std::size_t(code - 101)].Open();
            ASSERT_TRUE(release[std::size_t(code - 101)].Wait());
        }
    };
    CVideoPlayerPane& p = Make({754, 655}, true, nullptr, &bare);
    bare.AttachListener(&holder);
    const auto seen = [&](int code) {
        return testsupport::RunUntil(
            [&] {
                for (const hubtest::Delivery& d : journal.Entries())
                    if (d.code == code)
                        return true;
                return false;
            },
            std::chrono::seconds(10));
    };
    bare.Post(VIDEO_PLAY_STARTED);  // enables the position slider
    ASSERT_TRUE(seen(VIDEO_PLAY_STARTED));
    ASSERT_TRUE(p.IsPlayerSliderEnabled());

    bare.Post(101);
    ASSERT_TRUE(holding[0].Wait());
    bare.Post(VIDEO_FRAME_POSITION_CHANGED, Position(0.3f));
    auto index = std::make_unique<MessageParam>();
    bare.Post(SET_CURRENT_VIDEO_INDEX, std::move(index));
    for (int code : {SET_CURRENT_VIDEO_MEDIA, VIDEO_NEXT, CREATE_VIDEO_METADATA, VIDEO_METADATA_CREATED})
        bare.Post(code);
    bare.Post(CHANGE_VIDEO_FRAME_POSITION, Position(0.4f));
    std::vector<HubMessage> kept;
    kept.emplace_back(CHANGE_VIDEO_FRAME_POSITION, Position(0.6f));
    kept.emplace_back(VIDEO_FRAME_POSITION_CHANGED, Position(0.6f));
    bare.PostBatch(std::move(kept), KeepOnClear::Yes);

    Press(*PositionBar(), QPoint(377, 12));  // the thumb to 5000
    QCoreApplication::processEvents();
    Release(*PositionBar(), QPoint(377, 12));
    QCoreApplication::processEvents();
    ASSERT_EQ(PositionBar()->GetPos(), 5000);
    bare.Post(103);  // behind the seek
    release[0].Open();
    ASSERT_TRUE(seen(103));
    std::vector<int> afterHold;
    std::vector<float> seeks;
    for (const hubtest::Delivery& d : journal.Entries()) {
        if (d.code == CHANGE_VIDEO_VOLUME || d.code == VIDEO_PLAY_STARTED || d.code == 101 || d.code == 103)
            continue;
        afterHold.push_back(d.code);
        if (d.code == CHANGE_VIDEO_FRAME_POSITION)
            seeks.push_back(d.payload.position);
    }
    // The kept batch's 17 and 14 stay; the single 14 and 17 went.
    EXPECT_EQ(afterHold, (std::vector<int>{10, 11, 9, 12, 13, 17, 14, 17}));
    EXPECT_EQ(seeks, (std::vector<float>{0.6f, 0.5f}));

    // At the right end the drag starts the next entry instead of seeking.
    journal.Clear();
    bare.Post(102);
    ASSERT_TRUE(holding[1].Wait());
    Press(*PositionBar(), QPoint(753, 12));
    QCoreApplication::processEvents();
    Release(*PositionBar(), QPoint(753, 12));
    QCoreApplication::processEvents();
    bare.Post(103);
    release[1].Open();
    ASSERT_TRUE(seen(103));
    std::vector<std::string> next;
    for (const hubtest::Delivery& d : journal.Entries())
        next.push_back(d.code == SET_CURRENT_VIDEO_INDEX ? "10(" + std::to_string(d.payload.index) + ")"
                                                         : std::to_string(d.code));
    EXPECT_EQ(next, (std::vector<std::string>{"102", "10(0)", "11", "9", "103"}));

    bare.StopAndWait([] { UiThread::ServePending(); });
    delete window;
    window = nullptr;
}

}  // namespace

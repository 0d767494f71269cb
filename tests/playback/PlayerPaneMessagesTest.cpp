// The player pane's answer to each hub message, delivered by the real
// worker, with stub parts: what the controls show afterwards, what the pane
// posts, and what it logs. Run under the thread sanitizer too.

#include "LogCapture.h"
#include "PlayerPaneFixtures.h"
#include "controls/CButtonStyle.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "controls/CBitmapSlider.h"
#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <thread>

namespace {

using namespace playerpane;
using namespace playerpanetest;

class PlayerPaneMessages : public PlayerPaneTest {
protected:
    void SetUp() override
    {
        Make();
        Logger::GetInstance().SetLevel(5);
    }

    void Deliver(int code, std::unique_ptr<MessageParam> payload = {})
    {
        harness.Post(code, std::move(payload));
        ASSERT_TRUE(harness.Drain()) << code;
    }
    CMySliderControl* PositionBar() { return Control<CMySliderControl>(PositionSlider); }
    QImage SpeedometerShows() { return Control<CPicture>(Speedometer)->GetBitmap(); }
    // Composed from a skin of its own, so the pane's requests stay its own.
    QImage Composed(const QString& text)
    {
        controlstest::FakeImageSource reference;
        AddPaneSkin(reference);
        return ComposeSpeedometer(SpeedometerImages::Load(reference), text);
    }
    QString Elapsed() { return Label(ElapsedLabel)->text(); }
    QString Total() { return Label(TotalLabel)->text(); }
    // An entry of the test's folder made the only one and current.
    std::shared_ptr<RecordingEntry> Play(EntrySpec spec)
    {
        std::shared_ptr<RecordingEntry> entry = MakeEntry(spec, &files);
        SetPlaylist({entry});
        return entry;
    }
    bool Logged(const QString& message, const QString& method = QStringLiteral("update"))
    {
        return log.Lines().contains(LogCapture::Line(method, message, QStringLiteral("CVideoPlayerPane")));
    }

    LogCapture log;
};

TEST_F(PlayerPaneMessages, PositionsMoveTheSliderLabelsAndSpeedometerOncePerSliderValue)
{
    EntrySpec spec;
    spec.duration = 65;
    spec.speeds = std::vector<double>(65, 45.26);
    Play(spec);
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(PositionBar()->GetPos(), 5000);
    EXPECT_EQ(Elapsed(), "00:32");
    EXPECT_TRUE(pane->IsSpeedShown());
    EXPECT_EQ(SpeedometerShows(), Composed("45.3"));
    EXPECT_TRUE(Logged("VIDEO_FRAME_POSITION_CHANGED Msg"));
    EXPECT_TRUE(Logged("Video Current Time Label", "SetVideoCurrentTimeLabel"));

    // The same slider value again changes nothing, not even a marker.
    Label(ElapsedLabel)->setText("marker");
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.50004f));
    EXPECT_EQ(Elapsed(), "marker");

    // The pane's own seeks move it the same way.
    Deliver(CHANGE_VIDEO_FRAME_POSITION, Position(0.75f));
    EXPECT_EQ(PositionBar()->GetPos(), 7500);
    EXPECT_EQ(Elapsed(), "00:48");

    // Positions out of range are held to 0-1.
    const std::vector<std::tuple<float, int, const char*>> odd{
        {std::numeric_limits<float>::quiet_NaN(), 0, "00:00"}, {1.0125f, 10000, "01:05"}, {-0.2f, 0, "00:00"}};
    for (const auto& [position, slider, elapsed] : odd) {
        Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.1f));
        Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(position));
        EXPECT_EQ(PositionBar()->GetPos(), slider) << position;
        EXPECT_EQ(Elapsed(), QString(elapsed)) << position;
    }
}

TEST_F(PlayerPaneMessages, SpeedometerShowsTheFixAtThePositionHeldToWhatItCanShow)
{
    const std::size_t before = fakeImages.BitmapRequests().size();
    struct Row {
        double speed;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Row> rows{{4.0, "0.0"},      {4.1, "4.1"},   {45.26, "45.3"}, {123.44, "123.4"},
                                {1000, "999.9"},   {12345.6, "999.9"}, {inf, "0.0"}, {std::nan(""), "0.0"},
                                {-3, "0.0"}};
    float position = 0.1f;
    for (const Row& row : rows) {
        EntrySpec spec;
        spec.speeds = {row.speed};
        Play(spec);
        position += 0.05f;  // a new slider value each time
        Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(position));
        EXPECT_EQ(SpeedometerShows(), Composed(row.text)) << row.speed;
    }
    // The digits, the point and the background were asked for once, at
    // initialisation; nothing since.
    const std::vector<int> asked = fakeImages.BitmapRequests();
    EXPECT_EQ(asked.size(), before);
    std::set<int> speedometerImages;
    for (int id : asked)
        if (id == 127 || (id >= 157 && id <= 174))
            speedometerImages.insert(id);
    std::set<int> expected{127, 174};
    for (int id = 157; id <= 166; ++id)
        expected.insert(id);
    speedometerImages.erase(167);  // the position slider's fill
    for (int id : {168, 169, 170, 171, 172, 173})
        speedometerImages.erase(id);  // the sliders' own
    EXPECT_EQ(speedometerImages, expected);

    // Past the last fix: the last fix's speed.
    EntrySpec twoFixes;
    twoFixes.speeds = {10.0, 50.0};
    Play(twoFixes);
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.9f));
    EXPECT_EQ(SpeedometerShows(), Composed("50.0"));

    // No fixes: nothing shown any more, the picture kept.
    Play(EntrySpec{});
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.2f));
    EXPECT_FALSE(pane->IsSpeedShown());
    EXPECT_EQ(SpeedometerShows(), Composed("50.0"));
}

TEST_F(PlayerPaneMessages, PlaybackStateMessagesSetLooksAndEnabling)
{
    Play(EntrySpec{});
    // 2 changes nothing in the pane.
    const QImage before = testsupport::Grab(*pane);
    Deliver(VIDEO_PLAY);
    EXPECT_EQ(testsupport::Grab(*pane), before);

    // 1: the transport enabled, the playing look.
    Deliver(VIDEO_FILES_OPENED);
    for (int id : {PreviousButton, RewindButton, PlayButton, ForwardButton, NextButton})
        EXPECT_TRUE(Control(id)->isEnabled()) << id;
    EXPECT_EQ(ShownAt(PlayButton), IconColour(220));
    EXPECT_TRUE(Logged("VIDEO_FILES_OPENED Msg"));

    // 3 before the metadata: paused, the look kept; after it, the paused look.
    Deliver(VIDEO_PAUSE);
    EXPECT_TRUE(pane->IsPaused());
    EXPECT_EQ(ShownAt(PlayButton), IconColour(220));
    Deliver(VIDEO_METADATA_CREATED);
    Deliver(VIDEO_PAUSE);
    EXPECT_EQ(ShownAt(PlayButton), IconColour(224));

    // 6: playing again, the slider and the steps enabled, the volume posted.
    Control<CBitmapSlider>(VolumeControl)->SetPos(35);
    harness.ClearJournal();
    Deliver(VIDEO_PLAY_STARTED);
    EXPECT_FALSE(pane->IsPaused());
    EXPECT_TRUE(pane->IsPlayerSliderEnabled());
    EXPECT_TRUE(PositionBar()->isEnabled());
    EXPECT_EQ(ShownAt(PlayButton), IconColour(220));
    EXPECT_EQ(ShownAt(RewindButton), IconColour(232));
    EXPECT_EQ(ShownAt(ForwardButton), IconColour(212));
    ASSERT_EQ(Payloads(CHANGE_VIDEO_VOLUME).size(), 1u);
    EXPECT_EQ(Payloads(CHANGE_VIDEO_VOLUME)[0].volume, 35);

    // 15: the seek step.
    auto step = std::make_unique<MessageParam>();
    step->seekStep = 9;
    Deliver(VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED, std::move(step));
    EXPECT_EQ(pane->CurrentSeekStep(), 9);

    // 22: everything disabled.
    Deliver(VIDEO_FILE_NOT_FOUND);
    for (int id : {PreviousButton, RewindButton, PlayButton, ForwardButton, NextButton})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    EXPECT_EQ(ShownAt(PlayButton), IconColour(226));
    EXPECT_EQ(ShownAt(NextButton), IconColour(218));
    EXPECT_FALSE(pane->IsPlayerSliderEnabled());
}

TEST_F(PlayerPaneMessages, MetadataShowsTheTotalAndTheViewButtonsOfTwoCameras)
{
    EntrySpec two;
    two.duration = 3725;
    std::shared_ptr<RecordingEntry> entry = Play(two);
    Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(Total(), "02:05");
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        EXPECT_TRUE(Control(id)->isVisible()) << id;
    pane->OnBnClickedSecondChannelVideoBtn();
    Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(pane->ViewMode(), 2) << "a two-camera recording keeps the mode";

    EntrySpec one;
    one.streams = 1;
    Play(one);
    Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(pane->ViewMode(), 1);
    EXPECT_TRUE(stubs.channel1->isVisible());
    EXPECT_FALSE(stubs.channel2->isVisible());
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        EXPECT_FALSE(Control(id)->isVisible()) << id;
    EXPECT_TRUE(Logged("VIDEO_METADATA_CREATED Msg"));
}

TEST_F(PlayerPaneMessages, RecordingStartEndAndStop)
{
    EntrySpec spec;
    spec.duration = 65;
    spec.speeds = std::vector<double>(65, 30.0);
    Play(spec);
    Deliver(VIDEO_METADATA_CREATED);
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    ASSERT_TRUE(pane->IsSpeedShown());

    // 16 for a file that is there: labels cleared, slider enabled, the
    // speedometer empty, and the same position counts again.
    Deliver(NEW_VIDEO_PLAY);
    EXPECT_EQ(Elapsed(), "00:00");
    EXPECT_EQ(Total(), "00:00");
    EXPECT_TRUE(pane->IsPlayerSliderEnabled());
    EXPECT_FALSE(pane->IsSpeedShown());
    EXPECT_EQ(SpeedometerShows(), Composed(""));
    EXPECT_TRUE(Logged("VIDEO_PREVIOUS NEW_VIDEO_PLAY VIDEO_NEXT Msg"));
    Label(ElapsedLabel)->setText("marker");
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(Elapsed(), "00:32");

    // 5: the slider at the end, the whole duration elapsed, the total cleared.
    Deliver(VIDEO_METADATA_CREATED);
    Deliver(VIDEO_END_REACHED);
    EXPECT_EQ(PositionBar()->GetPos(), 10000);
    EXPECT_EQ(Elapsed(), "01:05");
    EXPECT_EQ(Total(), "00:00");
    EXPECT_EQ(SpeedometerShows(), Composed(""));

    // 4 with entries: the paused look; without: the disabled look.
    pane->OnBnClickedAllChannelVideoBtn();
    Deliver(VIDEO_STOP);
    EXPECT_EQ(PositionBar()->GetPos(), 0);
    EXPECT_FALSE(pane->IsPlayerSliderEnabled());
    EXPECT_EQ(pane->ViewMode(), 1);
    EXPECT_EQ(ShownAt(PlayButton), IconColour(224));
    EXPECT_EQ(ShownAt(RewindButton), IconColour(234));
    EXPECT_FALSE(Control(ForwardButton)->isEnabled());
    hub.SetVideoFiles({});
    Deliver(VIDEO_STOP);
    EXPECT_EQ(ShownAt(PlayButton), IconColour(226));
    EXPECT_TRUE(Logged("VIDEO_STOP Msg"));
}

TEST_F(PlayerPaneMessages, AMissingFileOrAFolderResetsClearsTheGraphOnceAndReportsIt)
{
    for (bool folder : {false, true}) {
        EntrySpec spec;
        spec.name = folder ? "folder.avi" : "gone.avi";
        std::shared_ptr<RecordingEntry> entry = Play(spec);
        ASSERT_TRUE(QFile::remove(entry->path));
        if (folder) {
            ASSERT_TRUE(QDir().mkdir(entry->path));
        }
        Deliver(VIDEO_FILES_OPENED);
        Deliver(VIDEO_PLAY_STARTED);
        pane->OnBnClickedSecondChannelVideoBtn();
        const int cleared = stubs.gyroscope->ClearGraphCalls();
        harness.ClearJournal();
        QFile::remove(Logger::GetInstance().GetLogFilePath());

        Deliver(NEW_VIDEO_PLAY);
        ASSERT_TRUE(harness.WaitForCode(VIDEO_FILE_NOT_FOUND));
        ASSERT_TRUE(harness.Drain());
        EXPECT_EQ(stubs.gyroscope->ClearGraphCalls(), cleared + 1) << folder;
        EXPECT_EQ(harness.CountOf(VIDEO_FILE_NOT_FOUND), 1);
        EXPECT_EQ(pane->ViewMode(), 1);
        EXPECT_FALSE(pane->IsPlayerSliderEnabled());
        // Then the 22 itself: the transport disabled.
        EXPECT_FALSE(Control(PlayButton)->isEnabled());
        EXPECT_FALSE(Logged("VIDEO_PREVIOUS NEW_VIDEO_PLAY VIDEO_NEXT Msg")) << folder;
    }
}

TEST_F(PlayerPaneMessages, WithoutACurrentEntryTheEntryMessagesAreIgnored)
{
    const QImage before = testsupport::Grab(*pane);
    for (int code : {VIDEO_END_REACHED, VIDEO_METADATA_CREATED, NEW_VIDEO_PLAY, VIDEO_NEXT, VIDEO_PREVIOUS})
        Deliver(code);
    Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(testsupport::Grab(*pane), before);
    EXPECT_EQ(stubs.gyroscope->ClearGraphCalls(), 0);
    EXPECT_EQ(harness.CountOf(VIDEO_FILE_NOT_FOUND), 0);
}

TEST_F(PlayerPaneMessages, FlipsReadOnAnotherThreadWhileTheOptionsAreReplaced)
{
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        for (int i = 0; i < 10000; ++i) {
            const bool a = pane->IsCh1VerticalFlip();
            const bool b = pane->IsCh2HorizontalFlip();
            (void)a;
            (void)b;
            ++reads;
        }
        done = true;
    });
    OptionRecord options;
    while (!done) {
        options.ch1VerticalFlip = !options.ch1VerticalFlip;
        options.ch2HorizontalFlip = !options.ch2HorizontalFlip;
        host.SetOptions(options);
    }
    reader.join();
    EXPECT_EQ(reads, 10000);
    EXPECT_GE(host.optionReads, 20000);
}

}  // namespace

// The player pane with the real channel panes over the system's libvlc,
// driven through the hub as the main window drives it, on the channel
// panes' H.264 recordings; the program's skin.

#include "PlayerPaneFixtures.h"
#include "RealComponents.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "controls/SkinSupport.h"
#include "playback/CSecondChannelVideoPane.h"
#include "hub/HubCodes.h"
#include "platform/UserNotifier.h"
#include "support/ChannelFixtures.h"
#include "support/EventLoop.h"
#include "support/gui/Screenshot.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace playerpane;
using namespace playerpanetest;
using realcheck::Colour;
using realcheck::Is;
using namespace std::chrono_literals;

const testing::Environment* const keepPluginsLoaded =
    testing::AddGlobalTestEnvironment(new realcheck::KeepPluginsLoaded);

// Entries whose metadata the hub reads from the file.
constexpr auto Entry = testsupport::ChannelFixtureEntry;

class RealPlayerPane : public PlayerPaneTest {
protected:
    RealPlayerPane() : PlayerPaneTest(ApplicationHub::DefaultMetadataLoader()) { UserNotifier::Install(&notifier); }
    ~RealPlayerPane() override
    {
        harness.StopAndWait();
        delete window;
        window = nullptr;
        UserNotifier::Install(nullptr);
    }

    void SetUp() override
    {
        KESTROV_REQUIRE_REAL_OR_SKIP(testsupport::ChannelFixturesPresent(), "no channel recordings (is ffmpeg installed?)");
        std::string error;
        vlc = realcheck::Vlc(error);
        KESTROV_REQUIRE_REAL_OR_SKIP(vlc != nullptr, "libvlc not loadable: " + error);
        parts = [this] { return PlayerPaneParts::Defaults(*vlc); };
        Make({754, 655}, true, &ImageSource::Resources());
    }

    bool Until(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s)
    {
        return testsupport::RunUntil(done, limit);
    }
    QRgb At(int x, int y) { return testsupport::Grab(*pane).pixel(x, y); }
    CMySliderControl* PositionBar() { return Control<CMySliderControl>(PositionSlider); }
    // Nothing playing: the slider at 0 and disabled, view mode 1, the paused look.
    bool Stopped()
    {
        return PositionBar()->GetPos() == 0 && !pane->IsPlayerSliderEnabled() && pane->ViewMode() == 1 &&
               pane->LookOf(PlayButton) == TransportLooks::kPaused;
    }

    controlstest::ScopedSkinModule skin;
    RecordingNotifier notifier;
    VlcFunctionExecutor* vlc = nullptr;
};

// Writes player-pane.png on the way.
class RealPlayerPaneScreenshots : public RealPlayerPane {};

TEST_F(RealPlayerPaneScreenshots, PlaysWithLabelsSpeedometerAndBothViewsThenStopsAtTheEnd)
{
    harness.Load({Entry('P')});
    ASSERT_TRUE(Until([&] { return Label(TotalLabel)->text() == "00:04"; }));
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        EXPECT_TRUE(Control(id)->isVisible()) << id;
    pane->OnBnClickedAllChannelVideoBtn();

    // Paused at the first second: the slider a quarter along, both halves.
    ASSERT_TRUE(Until([&] { return Label(ElapsedLabel)->text() == "00:01"; }));
    harness.Post(VIDEO_PAUSE);
    ASSERT_TRUE(Until([&] { return pane->LookOf(PlayButton) == TransportLooks::kPaused; }));
    ASSERT_TRUE(Until([&] { return Is(At(188, 200), Colour::Red) && Is(At(565, 200), Colour::Blue); }))
        << realcheck::Describe(At(188, 200)) << " " << realcheck::Describe(At(565, 200));
    EXPECT_GE(PositionBar()->GetPos(), 2500);
    EXPECT_LT(PositionBar()->GetPos(), 5000);
    EXPECT_TRUE(pane->IsPlayerSliderEnabled());
    EXPECT_EQ(Control<CPicture>(Speedometer)->GetBitmap(),
              ComposeSpeedometer(SpeedometerImages::Load(ImageSource::Resources()), "45.3"));
    EXPECT_TRUE(testsupport::SaveScreenshot(*pane, "player-pane"));

    // On again, and a drag to three quarters: the front turns green.
    harness.Post(VIDEO_PLAY);
    ASSERT_TRUE(Until([&] { return pane->LookOf(PlayButton) == TransportLooks::kPlaying; }));
    controlstest::Press(*PositionBar(), QPoint(562, 12));
    controlstest::Release(*PositionBar(), QPoint(562, 12));
    EXPECT_TRUE(Until([&] { return Is(At(188, 200), Colour::Green); }, 2s)) << realcheck::Describe(At(188, 200));

    // The end: one 5, then the stop sequence of a one-entry playlist.
    ASSERT_TRUE(harness.WaitForCode(VIDEO_STOP, 1, 10s));
    ASSERT_TRUE(Until([&] { return Stopped(); }));
    testsupport::RunUntil([] { return false; }, 500ms);
    EXPECT_EQ(harness.CountOf(VIDEO_END_REACHED), 1);
    EXPECT_EQ(harness.CountOf(VIDEO_STOP), 1);
}

TEST_F(RealPlayerPane, AnEmptyFileResetsThePaneWithOneBoxAndKeepsThePlaylist)
{
    harness.Load({Entry('Z')});
    ASSERT_TRUE(harness.WaitForCode(VIDEO_STOP, 1, 10s));
    ASSERT_TRUE(harness.Drain());
    const std::vector<int> codes = harness.Codes();
    const auto at = [&](int code) { return std::find(codes.begin(), codes.end(), code) - codes.begin(); };
    EXPECT_LT(at(CREATE_VIDEO_METADATA), at(VIDEO_METADATA_CREATED));
    EXPECT_LT(at(VIDEO_METADATA_CREATED), at(VIDEO_STOP));
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(notifier.Count(), 1u);
    EXPECT_EQ(hub.GetVideoFiles().size(), 1u);
}

TEST_F(RealPlayerPane, OneCameraHidesTheViewButtonsAMissingRearStaysBlack)
{
    pane->OnBnClickedAllChannelVideoBtn();
    harness.Load({Entry('B')});
    ASSERT_TRUE(harness.WaitForCode(VIDEO_METADATA_CREATED));
    ASSERT_TRUE(Until([&] { return pane->ViewMode() == 1; }));
    for (int id : {FrontViewButton, RearViewButton, BothViewButton})
        EXPECT_FALSE(Control(id)->isVisible()) << id;

    // A second camera declared without a frame: the buttons, and black behind.
    harness.ClearJournal();
    harness.Load({Entry('R')});
    ASSERT_TRUE(harness.WaitForCode(VIDEO_METADATA_CREATED));
    ASSERT_TRUE(Until([&] { return Control(BothViewButton)->isVisible(); }))
;
    pane->OnBnClickedAllChannelVideoBtn();
    ASSERT_TRUE(Until([&] { return Is(At(188, 200), Colour::Red); })) << realcheck::Describe(At(188, 200));
    auto* rear = dynamic_cast<CSecondChannelVideoPane*>(pane->Channel2());
    ASSERT_TRUE(Until([&] { return rear->TrackSelected(); }, 5s));
    testsupport::RunUntil([] { return false; }, 700ms);
    EXPECT_TRUE(Is(At(565, 200), Colour::Black)) << realcheck::Describe(At(565, 200));
}

TEST_F(RealPlayerPane, AnEndLibvlcReportsTwiceEndsOnce)
{
    harness.Load({Entry('A')});
    ASSERT_TRUE(harness.WaitForCode(VIDEO_STOP, 1, 10s));
    ASSERT_TRUE(Until([&] { return Stopped(); }));
    testsupport::RunUntil([] { return false; }, 1s);
    EXPECT_EQ(harness.CountOf(VIDEO_END_REACHED), 1);
    EXPECT_EQ(harness.CountOf(VIDEO_STOP), 1);
    EXPECT_GT(harness.CountOf(VIDEO_FRAME_POSITION_CHANGED), 0);
}

}  // namespace


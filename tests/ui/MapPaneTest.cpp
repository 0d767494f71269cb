// The GPS map pane with a fake probe, browser and skin: which view it shows
// for each message, the position hand-off and its labels, docking and
// floating, and what it paints.

#include "PaneFixtures.h"

#include "controls/CButtonStyle.h"
#include "hub/HubCodes.h"
#include "platform/Paths.h"
#include "support/AviFixtureBuilder.h"
#include "support/EventLoop.h"
#include "support/ScopedLocale.h"
#include "support/TestSupport.h"
#include "support/gui/KeyRecorder.h"
#include "support/gui/Screenshot.h"
#include "ui/MapPaneGeometry.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace panetest;
using M = GPSMapControl;

// The popup button's normal icon: docked or floating, enabled or not.
constexpr int kDockedIcon = 102;
constexpr int kDockedOffIcon = 237;
constexpr int kFloatingIcon = 341;
constexpr int kFloatingOffIcon = 343;

std::shared_ptr<RecordingEntry> ZeroFixEntry()
{
    auto entry = TrackEntry(60);
    for (GpsFix& fix : entry->gpsFixes)
        fix = GpsFix{};
    return entry;
}

// --- which view, for each message ------------------------------------------

enum class Step { Init, Opened, Stop, End, Metadata, Position };
enum class Recording { WithPositions, ZeroFixes };

struct ViewCase {
    const char* what;
    bool initOnline;
    Step step;
    std::vector<bool> answers;  // the step's probes
    Recording recording;
    std::vector<int> views;     // visible afterwards
    bool popupEnabled;
    int icon;
    std::size_t navigations;    // in all, initialisation included
    int stepProbes;
    bool holdLoads = false;
};

class MapViews : public ::testing::TestWithParam<ViewCase> {};

TEST_P(MapViews, ShowAtMostOneViewAndProbeOnlyWhereDecided)
{
    const ViewCase& c = GetParam();
    MapRig rig(c.initOnline);
    M& pane = rig.Make();
    if (c.step != Step::Init) {
        // A load of the page that has not ended.
        if (c.holdLoads) {
            rig.browsers.Last()->holdLoads = true;
            rig.browsers.Last()->title.clear();
            rig.browsers.Last()->loading = true;
        }
        rig.hub.SetPlaylist({c.recording == Recording::WithPositions ? TrackEntry(60) : ZeroFixEntry()});
        rig.probe.ResetCalls();
        rig.probe.Script(c.answers);
        switch (c.step) {
        case Step::Opened: rig.hub.Deliver(VIDEO_FILES_OPENED); break;
        case Step::Stop: rig.hub.Deliver(VIDEO_STOP); break;
        case Step::End: rig.hub.Deliver(VIDEO_END_REACHED); break;
        case Step::Metadata: rig.hub.Deliver(VIDEO_METADATA_CREATED); break;
        case Step::Position: rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f)); break;
        case Step::Init: break;
        }
    }
    EXPECT_EQ(rig.VisibleViews(pane), c.views);
    EXPECT_EQ(pane.ControlWidget(M::PopupButton)->isEnabled(), c.popupEnabled);
    EXPECT_EQ(ShownIcon(pane), c.icon);
    EXPECT_EQ(rig.browsers.Last()->navigations.size(), c.navigations);
    if (c.navigations) {
        EXPECT_EQ(rig.browsers.Last()->navigations.back(), rig.pagePath);
    }
    EXPECT_EQ(rig.probe.Calls(), c.stepProbes);
    for (const std::thread::id thread : rig.probe.Threads()) {
        if (c.step == Step::Init) {
            EXPECT_EQ(thread, std::this_thread::get_id()) << "initialisation probes on the UI thread";
        } else {
            EXPECT_NE(thread, std::this_thread::get_id()) << "messages probe on the hub worker";
        }
    }
    // The placeholder never probes and shows nothing.
    ASSERT_TRUE(pane.Placeholder());
    EXPECT_TRUE(rig.VisibleViews(*pane.Placeholder()).empty());
}

const M::Control kBrowser = M::Browser;
const M::Control kNoInternet = M::NoInternetPicture;
const M::Control kNoGps = M::NoGpsPicture;

INSTANTIATE_TEST_SUITE_P(
    Table, MapViews,
    ::testing::Values(
        ViewCase{"init online", true, Step::Init, {}, Recording::WithPositions, {kBrowser}, true, kDockedIcon, 1, 1},
        ViewCase{"init offline", false, Step::Init, {}, Recording::WithPositions, {kNoInternet}, false, kDockedOffIcon,
                 0, 1},
        ViewCase{"1 online", false, Step::Opened, {true}, Recording::WithPositions, {kBrowser}, true, kDockedIcon, 0,
                 1},
        ViewCase{"1 online at the second test", false, Step::Opened, {false, true}, Recording::WithPositions,
                 {kBrowser}, true, kDockedIcon, 0, 2},
        ViewCase{"1 offline", true, Step::Opened, {false, false}, Recording::WithPositions, {kNoInternet}, false,
                 kDockedOffIcon, 1, 2},
        ViewCase{"4 online", false, Step::Stop, {true}, Recording::WithPositions, {kBrowser}, true, kDockedIcon, 0, 1},
        ViewCase{"4 offline", true, Step::Stop, {false, false}, Recording::WithPositions, {kNoInternet}, false,
                 kDockedOffIcon, 1, 2},
        ViewCase{"5 keeps the view", true, Step::End, {}, Recording::WithPositions, {kBrowser}, true, kDockedIcon, 1,
                 0},
        ViewCase{"13 online, page not shown", false, Step::Metadata, {true}, Recording::WithPositions, {kBrowser},
                 false, kDockedOffIcon, 1, 1},
        ViewCase{"13 online, page shown", true, Step::Metadata, {true}, Recording::WithPositions, {kBrowser}, true,
                 kDockedIcon, 1, 1},
        ViewCase{"13 online, page loading", true, Step::Metadata, {true}, Recording::WithPositions, {kBrowser}, true,
                 kDockedIcon, 1, 1, true},
        ViewCase{"13 offline", true, Step::Metadata, {false}, Recording::WithPositions, {kNoInternet}, true,
                 kDockedIcon, 1, 1},
        ViewCase{"13 without a position", true, Step::Metadata, {}, Recording::ZeroFixes, {kNoGps}, true, kDockedIcon,
                 1, 0},
        ViewCase{"14 keeps the view", true, Step::Position, {}, Recording::WithPositions, {kBrowser}, true,
                 kDockedIcon, 1, 0}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(MapPane, RecordingsWithoutAPositionGetTheNoGpsPicture)
{
    QTemporaryDir dir;
    testsupport::AviFixtureOptions noGps;
    noGps.gps = false;
    const QString withoutG = dir.filePath(QStringLiteral("no-g.avi"));
    testsupport::AviFixtureBuilder(noGps).Write(withoutG);
    testsupport::AviFixtureOptions noFix;
    noFix.textChunks.emplace();
    for (int s = 0; s < 10; ++s)
        noFix.textChunks->push_back({testsupport::GprmcChunk("083559.00,V,,,,,,,070513,,,N"), std::nullopt});
    const QString onlyNoFix = dir.filePath(QStringLiteral("no-fix.avi"));
    testsupport::AviFixtureBuilder(noFix).Write(onlyNoFix);

    MapRig rig(true);
    M& pane = rig.Make();
    const auto empty = EntryFromFile(withoutG);
    const auto zeroes = EntryFromFile(onlyNoFix);
    EXPECT_TRUE(empty->gpsFixes.empty());
    EXPECT_EQ(zeroes->gpsFixes.size(), 10u);
    rig.hub.SetPlaylist({empty, zeroes});
    rig.probe.ResetCalls();
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(rig.VisibleViews(pane), std::vector<int>{kNoGps});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("-")) << "no fix: nothing changes";

    ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(1));
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(rig.VisibleViews(pane), std::vector<int>{kNoGps});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("No Data"));
    EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("No Data"));
    EXPECT_TRUE(rig.browsers.Last()->calls.empty());
    EXPECT_EQ(rig.probe.Calls(), 0);
}

TEST(MapPane, ThePlaceholderIgnoresEveryMessage)
{
    MapRig rig(true);
    M& pane = rig.Make();
    M* placeholder = pane.Placeholder();
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(placeholder->parentWidget(), &rig.window);
    EXPECT_FALSE(placeholder->isVisible());
    EXPECT_EQ(placeholder->GetBrowser(), nullptr);
    EXPECT_EQ(rig.browsers.made.size(), 1u);
    EXPECT_FALSE(placeholder->ControlWidget(M::PopupButton)->isEnabled());
    for (const auto id : {M::LatitudeCaption, M::LatitudeValue, M::LongitudeCaption, M::LongitudeValue})
        EXPECT_FALSE(placeholder->ControlWidget(id)->isVisibleTo(placeholder));

    rig.hub.SetPlaylist({TrackEntry(60)});
    for (const int code : {VIDEO_FILES_OPENED, VIDEO_METADATA_CREATED, VIDEO_STOP, VIDEO_END_REACHED})
        rig.hub.Deliver(code);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_TRUE(rig.VisibleViews(*placeholder).empty());
    EXPECT_EQ(static_cast<QLabel*>(placeholder->ControlWidget(M::LatitudeValue))->text(), QStringLiteral("-"));
    EXPECT_EQ(rig.probe.Calls(), 1 + 1 + 1 + 1) << "init, 1, 13 and 4 of the pane; none of the placeholder";
}

// --- the position ----------------------------------------------------------

TEST(MapPosition, FollowsThePlayTimeInSinglePrecision)
{
    MapRig rig(true);
    rig.Make();
    rig.hub.SetPlaylist({TrackEntry(60), TrackEntry(10)});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    ASSERT_EQ(rig.positions.fixes.size(), 1u);
    EXPECT_EQ(rig.positions.fixes[0].latitude, TrackFix(30).latitude);
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("37.530000"));
    EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("127.030000"));

    // 10 × 0.7f is 7 in single precision (6.99999... in double).
    ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(1));
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.7f));
    ASSERT_EQ(rig.positions.fixes.size(), 2u);
    EXPECT_EQ(rig.positions.fixes[1].latitude, TrackFix(7).latitude);
}

TEST(MapPosition, OnlineTheFixGoesToThePageOnTheUiThreadInAnyLocale)
{
    const auto run = [] {
        MapRig rig(true);
        rig.Make();
        auto entry = TrackEntry(60);
        entry->gpsFixes[30].latitude = 37.5;
        entry->gpsFixes[30].longitude = 127.0;
        rig.hub.SetPlaylist({entry});
        rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
        EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("37.500000"));
        EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("127.000000"));
        ASSERT_EQ(rig.positions.threads.size(), 1u);
        EXPECT_EQ(rig.positions.threads[0], std::this_thread::get_id());
        const auto& calls = rig.browsers.Last()->calls;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
        EXPECT_EQ(PositionChangeScript(calls[0].latitude, calls[0].longitude),
                  QStringLiteral("if (typeof positionChange === 'function') positionChange(37.4999, 127);"));
    };
    run();
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    run();
}

TEST(MapPosition, OfflineOnlyTheLabelsFollow)
{
    MapRig rig(false);
    rig.Make();
    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("37.530000"));
    EXPECT_TRUE(rig.positions.fixes.empty());
    EXPECT_TRUE(rig.browsers.Last()->calls.empty());
}

TEST(MapPosition, AZeroCoordinateReadsNoDataAndNeverMovesTheMap)
{
    MapRig rig(true);
    rig.Make();
    auto entry = TrackEntry(60);
    entry->gpsFixes[30].latitude = 0;
    entry->gpsFixes[40] = GpsFix{};
    rig.hub.SetPlaylist({entry});
    for (const float position : {0.5f, 40.5f / 60}) {
        rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(position));
        EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("No Data"));
        EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("No Data"));
    }
    EXPECT_EQ(rig.positions.fixes.size(), 2u) << "the main window decides";
    EXPECT_TRUE(rig.browsers.Last()->calls.empty());
}

TEST(MapPosition, TheSameFixTwiceWritesNoLabelAndFiveResetsThem)
{
    MapRig rig(true);
    M& pane = rig.Make();
    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    // Marks only a write would replace.
    static_cast<QLabel*>(pane.ControlWidget(M::LatitudeValue))->setText(QStringLiteral("mark"));
    static_cast<QLabel*>(pane.ControlWidget(M::LongitudeValue))->setText(QStringLiteral("mark"));
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(30.5f / 60));
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("mark"));
    EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("mark"));

    rig.hub.Deliver(VIDEO_END_REACHED);
    EXPECT_EQ(rig.Text(M::LatitudeValue), QStringLiteral("-"));
    EXPECT_EQ(rig.Text(M::LongitudeValue), QStringLiteral("-"));
    EXPECT_EQ(rig.VisibleViews(pane), std::vector<int>{kBrowser});
}

// --- docking and floating --------------------------------------------------

TEST(MapDocking, FloatsOnTopBesideItsPlaceholderAndDocksBack)
{
    for (const bool online : {true, false}) {
        SCOPED_TRACE(online ? "online" : "offline");
        MapRig rig(online);
        M& pane = rig.Make();
        const QRect slot(764, 46, 280, 283);
        EXPECT_EQ(MapSlotRect(rig.window.size()), slot);
        EXPECT_EQ(pane.SlotWidget(), &pane);

        pane.OnBnClickedPopup();
        M* placeholder = pane.Placeholder();
        EXPECT_TRUE(pane.IsUndocked());
        EXPECT_EQ(pane.SlotWidget(), placeholder);
        EXPECT_EQ(placeholder->geometry(), slot);
        EXPECT_TRUE(placeholder->isVisible());
        EXPECT_TRUE(pane.isWindow());
        EXPECT_EQ(pane.parentWidget(), &rig.window) << "still the main window's child";
        EXPECT_EQ(pane.geometry(), QRect(110, 60, 1200, 800));
        EXPECT_TRUE(pane.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(pane.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(pane.testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_TRUE(pane.isVisible());
        EXPECT_FALSE(pane.isActiveWindow());
        EXPECT_EQ(pane.minimumSize(), QSize(300, 400));
        EXPECT_EQ(ShownIcon(pane), online ? kFloatingIcon : kFloatingOffIcon);
        EXPECT_EQ(pane.ControlWidget(M::Browser)->geometry(), QRect(2, 35, 1196, 735));

        pane.OnBnClickedPopup();
        EXPECT_FALSE(pane.IsUndocked());
        EXPECT_FALSE(pane.isWindow());
        EXPECT_EQ(pane.geometry(), slot);
        EXPECT_FALSE(placeholder->isVisible());
        EXPECT_TRUE(pane.isVisible());
        EXPECT_EQ(ShownIcon(pane), online ? kDockedIcon : kDockedOffIcon);
        EXPECT_EQ(rig.browsers.made.size(), 1u);
        EXPECT_EQ(pane.GetBrowser(), rig.browsers.made[0]) << "the same browser throughout";
    }
}

TEST(MapDocking, TheButtonDocksAndUndocks)
{
    MapRig rig(true);
    M& pane = rig.Make();
    static_cast<QAbstractButton*>(pane.ControlWidget(M::PopupButton))->click();
    EXPECT_TRUE(testsupport::RunUntil([&] { return pane.IsUndocked(); }));
    EXPECT_EQ(static_cast<QAbstractButton*>(pane.ControlWidget(M::PopupButton))->text(), QStringLiteral("??"));
}

TEST(MapDocking, SetShownIsRememberedAcrossDocking)
{
    MapRig rig(true);
    M& pane = rig.Make();
    pane.SetShown(false);
    EXPECT_FALSE(pane.isVisible());
    pane.OnBnClickedPopup();
    EXPECT_FALSE(pane.isVisible());
    EXPECT_FALSE(pane.Placeholder()->isVisible());
    pane.SetShown(true);
    EXPECT_TRUE(pane.isVisible());
    EXPECT_TRUE(pane.Placeholder()->isVisible());
    pane.SetShown(false);
    pane.OnBnClickedPopup();
    EXPECT_FALSE(pane.isVisible());
    EXPECT_FALSE(pane.Placeholder()->isVisible());
}

TEST(MapDocking, FloatingEdgesResizeAndTheBodyMoves)
{
    MapRig rig(true);
    M& pane = rig.Make();
    controlstest::Press(pane, QPoint(100, 150));
    EXPECT_TRUE(rig.moves.empty()) << "docked, a press does nothing";

    pane.OnBnClickedPopup();
    controlstest::Press(pane, QPoint(600, 400));
    EXPECT_EQ(rig.moves, std::vector<QWidget*>{&pane});

    controlstest::Press(pane, QPoint(1195, 795));
    controlstest::Move(pane, QPoint(1095, 745));
    EXPECT_EQ(pane.size(), QSize(1100, 750));
    controlstest::Move(pane, QPoint(-3000, -3000));
    EXPECT_EQ(pane.size(), QSize(300, 400));
    controlstest::Release(pane, QPoint(-3000, -3000));

    controlstest::Press(pane, QPoint(299, 100));
    controlstest::Move(pane, QPoint(399, 0));
    EXPECT_EQ(pane.size(), QSize(400, 400)) << "the right edge alone";
    controlstest::Release(pane, QPoint(399, 0));
    EXPECT_EQ(rig.moves.size(), 1u);
}

// The window's key router serves the map like the other panes: the pane
// itself takes no key, docked or floating.
TEST(MapDocking, KeysAreLeftToTheWindow)
{
    testsupport::KeyRecorder recorder;
    MapRig rig(true);
    M& pane = rig.Make();
    rig.window.installEventFilter(&recorder);
    QKeyEvent docked(QEvent::KeyPress, Qt::Key_M, Qt::ControlModifier);
    QCoreApplication::sendEvent(&pane, &docked);
    EXPECT_EQ(recorder.keys, std::vector<int>{Qt::Key_M}) << "passed on to the main window";

    pane.OnBnClickedPopup();
    QKeyEvent floating(QEvent::KeyPress, Qt::Key_M, Qt::ControlModifier);
    QCoreApplication::sendEvent(&pane, &floating);
    EXPECT_FALSE(floating.isAccepted());
    EXPECT_TRUE(pane.IsUndocked()) << "Ctrl+M is the window's command, not the pane's";
}

TEST(MapGeometry, LayoutSlotAndHitTest)
{
    const MapPaneRects docked = MapPaneLayout(280, 283);
    EXPECT_EQ(docked.title, QRect(10, 11, 70, 20));
    EXPECT_EQ(docked.popupButton, QRect(240, 1, 33, 33));
    EXPECT_EQ(docked.browser, QRect(2, 35, 276, 218));
    EXPECT_EQ(docked.picture, QRect(76, 62, 128, 158));
    EXPECT_EQ(docked.latitudeCaption, QRect(20, 260, 40, 13));
    EXPECT_EQ(docked.latitudeValue, QRect(60, 260, 90, 13));
    EXPECT_EQ(docked.longitudeCaption, QRect(150, 260, 50, 13));
    EXPECT_EQ(docked.longitudeValue, QRect(200, 260, 78, 13));
    const MapPaneRects floating = MapPaneLayout(1200, 800);
    EXPECT_EQ(floating.popupButton, QRect(1160, 1, 33, 33));
    EXPECT_EQ(floating.browser, QRect(2, 35, 1196, 735));
    EXPECT_EQ(floating.picture, QRect(536, 321, 128, 158));
    EXPECT_EQ(floating.longitudeValue, QRect(200, 777, 998, 13));

    EXPECT_EQ(MapSlotRect(QSize(1049, 700)), QRect(764, 46, 280, 283));

    const QSize size(1200, 800);
    EXPECT_EQ(FloatingHitTest(size, QPoint(1195, 795)), HitBottomRight);
    EXPECT_EQ(FloatingHitTest(size, QPoint(600, 795)), HitBottom);
    EXPECT_EQ(FloatingHitTest(size, QPoint(1195, 400)), HitRight);
    EXPECT_EQ(FloatingHitTest(size, QPoint(600, 400)), HitCaption);
    EXPECT_EQ(FloatingHitTest(size, QPoint(1189, 789)), HitCaption);

    EXPECT_EQ(PopupIcons(false, true), (std::array{102, 236, 236}));
    EXPECT_EQ(PopupIcons(false, false), (std::array{237, 237, 237}));
    EXPECT_EQ(PopupIcons(true, true), (std::array{341, 342, 342}));
    EXPECT_EQ(PopupIcons(true, false), (std::array{343, 343, 343}));
}

TEST(MapGeometry, APositionNeedsBothCoordinatesAndTheScriptIsLocaleFree)
{
    auto entry = TrackEntry(3);
    EXPECT_TRUE(HasPosition(*entry));
    for (GpsFix& fix : entry->gpsFixes)
        fix.latitude = 0;
    EXPECT_FALSE(HasPosition(*entry));
    entry->gpsFixes.clear();
    EXPECT_FALSE(HasPosition(*entry));

    EXPECT_EQ(PositionChangeScript(-33.8688, -70.5),
              QStringLiteral("if (typeof positionChange === 'function') positionChange(-33.8688, -70.5);"));
    EXPECT_EQ(PositionChangeScript(std::nan(""), 1),
              QStringLiteral("if (typeof positionChange === 'function') positionChange(NaN, 1);"));
}

// --- painting --------------------------------------------------------------

TEST(MapPaneDrawn, StripLabelsAndFrameInTheSkinsColours)
{
    MapRig rig(true);
    M& pane = rig.Make();
    const QImage shot = testsupport::Grab(pane);
    ASSERT_EQ(shot.size(), QSize(280, 283));
    EXPECT_EQ(shot.pixel(150, 5), StripColour());
    EXPECT_EQ(shot.pixel(150, 32), StripColour());
    EXPECT_EQ(shot.pixel(150, 33), qRgb(0x33, 0x33, 0x33)) << "the strip is 34 high from y -1";
    const QRgb frame = qRgb(100, 100, 100);
    for (const QPoint at : {QPoint(0, 0), QPoint(0, 150), QPoint(279, 150), QPoint(150, 282), QPoint(279, 282)})
        EXPECT_EQ(shot.pixel(at), frame) << at.x() << "," << at.y();
    EXPECT_EQ(shot.pixel(100, 100), FakeMapBrowser::PageColour());
    EXPECT_EQ(shot.pixel(1, 100), qRgb(0x33, 0x33, 0x33));

    const QRect caption = pane.ControlWidget(M::LatitudeCaption)->geometry();
    int brightest = 0;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            EXPECT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << "grey on grey";
            brightest = std::max(brightest, qRed(pixel));
        }
    // A narrowed font is smoothed, so its brightest pixel may fall short.
    EXPECT_GE(brightest, 0xA0) << "0xC8C8C8 text";
    EXPECT_LE(brightest, 0xC8) << "0xC8C8C8 text";
    EXPECT_EQ(shot.pixel(caption.right(), caption.bottom()), qRgb(0x33, 0x33, 0x33));
    for (const auto id : {M::LatitudeCaption, M::LongitudeCaption}) {
        const auto* label = static_cast<const QLabel*>(pane.ControlWidget(id));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text().trimmed()), label->width())
            << label->text().toStdString() << ": a caption is never cut";
    }
    for (const auto id : {M::LatitudeValue, M::LongitudeValue}) {
        const QWidget* value = pane.ControlWidget(id);
        EXPECT_LE(value->fontMetrics().horizontalAdvance(QStringLiteral("-122.419400")), value->width())
            << "a coordinate is never cut";
    }
    EXPECT_EQ(static_cast<QLabel*>(pane.ControlWidget(M::Title))->text(), QString::fromUtf8("Карта"));
    EXPECT_EQ(pane.ControlWidget(M::PopupButton)->toolTip(), QString::fromUtf8("Карта"));
    EXPECT_EQ(pane.ControlWidget(M::NoGpsPicture)->toolTip(), QString::fromUtf8("Нет данных GPS"));
    EXPECT_EQ(pane.ControlWidget(M::NoInternetPicture)->toolTip(),
              QString::fromUtf8("Проверьте, подключен ли Интернет?"));
}

TEST(MapPaneDrawn, APictureIsCentredForItsSizeOnThePaneColour)
{
    MapRig rig(true);
    rig.images.AddPng(M::kNoGpsPng, PngOf(QSize(64, 64), QColor(200, 40, 40)));
    M& pane = rig.Make();
    rig.hub.SetPlaylist({ZeroFixEntry()});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    const QImage shot = testsupport::Grab(pane);
    const QRgb red = qRgb(200, 40, 40), grey = qRgb(0x33, 0x33, 0x33);
    EXPECT_EQ(shot.pixel(76, 62), red);
    EXPECT_EQ(shot.pixel(76 + 63, 62 + 63), red);
    EXPECT_EQ(shot.pixel(76 + 64, 62), grey);
    EXPECT_EQ(shot.pixel(76, 62 + 64), grey);
    EXPECT_EQ(shot.pixel(76 + 127, 62 + 157), grey);
}

TEST(MapPaneDrawn, AnUndecodablePngLeavesThePaneColour)
{
    MapRig rig(false);
    rig.images.AddPng(M::kNoInternetPng, QByteArray("\x89PNG not really", 15));
    M& pane = rig.Make();
    ASSERT_EQ(rig.VisibleViews(pane), std::vector<int>{kNoInternet});
    QImage target(128, 158, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        EXPECT_FALSE(pane.DrawPngResource(painter, M::kNoInternetPng, target.rect()));
        EXPECT_TRUE(pane.DrawPngResource(painter, M::kNoGpsPng, target.rect()));
    }
    const QImage shot = testsupport::Grab(pane);
    const QRect picture = pane.ControlWidget(M::NoInternetPicture)->geometry();
    for (const QPoint at : {picture.topLeft(), picture.center(), picture.bottomRight()})
        EXPECT_EQ(shot.pixel(at), qRgb(0x33, 0x33, 0x33));
}

// --- what the program gives the pane --------------------------------------

TEST(MapServices, TheProgramProbesTheTileServer)
{
    const auto probeOf = [](const MapPaneServices& services) {
        return dynamic_cast<const SystemNetProbe*>(&services.probe);
    };
    {
        testsupport::ScopedEnv unset("KESTROV_MAP_TILE_URL", std::nullopt);
        bool called = false;
        const MapPaneServices services = MapPaneServices::ForProgram([&](const GpsFix&) { called = true; });
        EXPECT_EQ(services.tileUrl, QString::fromLatin1(kDefaultTileUrl));
        ASSERT_TRUE(probeOf(services));
        EXPECT_EQ(probeOf(services)->Host(), QStringLiteral("tile.openstreetmap.org"));
        EXPECT_EQ(probeOf(services)->Port(), 443);
        EXPECT_EQ(&services.images, &ImageSource::Resources());
        services.positionChange(GpsFix{});
        EXPECT_TRUE(called);
    }
    {
        testsupport::ScopedEnv local("KESTROV_MAP_TILE_URL", QStringLiteral("http://127.0.0.1:8081/t/{z}/{x}/{y}.png"));
        const MapPaneServices services = MapPaneServices::ForProgram({});
        EXPECT_EQ(services.tileUrl, QStringLiteral("http://127.0.0.1:8081/t/{z}/{x}/{y}.png"));
        EXPECT_EQ(probeOf(services)->Host(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(probeOf(services)->Port(), 8081);
    }
    {
        testsupport::ScopedEnv empty("KESTROV_MAP_TILE_URL", QString());
        MapPaneServices services = MapPaneServices::ForProgram({});
        EXPECT_TRUE(services.tileUrl.isEmpty());
        EXPECT_FALSE(services.probe.IsOnline()) << "no tile server: offline";
    }

    const struct {
        const char* url;
        std::optional<int> port;
    } addresses[] = {
        {"https://a.example/{z}/{x}/{y}.png", 443}, {"http://a.example/{z}/{x}/{y}.png", 80},
        {"HTTP://a.example:8000/{z}.png", 8000},    {"ftp://a.example/{z}.png", std::nullopt},
        {"", std::nullopt},                         {"tiles/{z}/{x}/{y}.png", std::nullopt},
    };
    for (const auto& a : addresses) {
        const std::optional<ProbeAddress> address = ProbeAddressOf(QString::fromLatin1(a.url));
        EXPECT_EQ(address.has_value(), a.port.has_value()) << a.url;
        if (address && a.port) {
            EXPECT_EQ(address->host, QStringLiteral("a.example"));
            EXPECT_EQ(address->port, *a.port);
        }
    }
}

TEST(MapServices, ThePageIsTheWorkingFoldersElseTheProgramsOwn)
{
    testsupport::ScopedWorkingFolder folder;
    EXPECT_EQ(MapPagePath(), Paths::Join(Paths::ProgramFolder(), QStringLiteral("map.htm")));
    QFile page(Paths::Join(folder.Path(), QStringLiteral("map.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_EQ(MapPagePath(), Paths::Join(Paths::WorkingFolder(), QStringLiteral("map.htm")));
}

}  // namespace

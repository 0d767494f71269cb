// The G-sensor graph pane: its numbers, its reactions to the hub and what it
// draws.

#include "PaneFixtures.h"

#include "controls/CGraphStatic.h"
#include "hub/HubCodes.h"
#include "support/AviFixtureBuilder.h"
#include "support/ScopedLocale.h"
#include "support/gui/Screenshot.h"
#include "ui/GyroscopeGraphControl.h"

#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace panetest;
using G = GyroscopeGraphControl;

// A graph pane in a main-window stand-in, 754 × 135 as the player pane
// places it.
class GraphRig {
public:
    GraphRig()
    {
        pane = std::make_unique<G>(hub.hub, [this](QWidget* widget) { moves.push_back(widget); });
        pane->Create(&window);
        pane->setGeometry(0, 0, 754, 135);
        window.show();
        pane->show();
        hub.AttachTail();
    }
    ~GraphRig()
    {
        hub.Stop();
        pane.reset();
    }

    QString Text(G::Control id) const { return pane->Label(id)->text(); }
    std::vector<QString> Values() const { return {Text(G::ValueX), Text(G::ValueY), Text(G::ValueZ)}; }
    std::size_t SeriesCount() const { return pane->GraphControl()->Series().size(); }

    PaneHub hub;
    MainWindowStandIn window;
    std::vector<QWidget*> moves;
    std::unique_ptr<G> pane;
};

const std::vector<QString> kDashes{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};

TEST(GraphValues, ScaledToThePlotAndHeldAtItsTopOnly)
{
    EXPECT_DOUBLE_EQ(ScaleGraphValue(1.0, 80, 76, 5.0), 16.0);
    EXPECT_DOUBLE_EQ(ScaleGraphValue(-4.0, 80, 76, 5.0), -64.0);
    EXPECT_DOUBLE_EQ(ScaleGraphValue(127 * 0.03125, 16, 12, 5.0), 12.0);  // 12.7 held at the plot
    EXPECT_DOUBLE_EQ(ScaleGraphValue(-127 * 0.03125, 16, 12, 5.0), -12.7);
}

TEST(GraphValues, SensorValuesHaveThreeBlanksAndSixDecimalsInAnyLocale)
{
    const auto check = [] {
        EXPECT_EQ(FormatSensorValue(1 * 0.03125), QStringLiteral("   0.031250"));
        EXPECT_EQ(FormatSensorValue(-1.0), QStringLiteral("   -1.000000"));
    };
    check();
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    check();
}

TEST(GraphPane, ThePlaylistDrivesSeriesAndValues)
{
    GraphRig rig;
    ApplicationHub::Entries entries{TrackEntry(60), TrackEntry(30), TrackEntry(10)};
    rig.hub.SetPlaylist(entries);
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(index));
        rig.hub.Deliver(VIDEO_METADATA_CREATED);
    }
    EXPECT_EQ(rig.SeriesCount(), 3u) << "each recording replaces the last one's series";
    EXPECT_EQ(rig.pane->GraphControl()->Series()[0]->values.size(), 100u);

    // Position 0.5 of 60 s: the sample nearest 30.0 s.
    ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(0));
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    EXPECT_EQ(rig.Values(), (std::vector<QString>{QStringLiteral("   3.750000"), QStringLiteral("   -3.750000"),
                                                  QStringLiteral("   1.000000")}));

    rig.hub.Deliver(VIDEO_END_REACHED);
    EXPECT_EQ(rig.Values(), kDashes);
    EXPECT_EQ(rig.SeriesCount(), 3u) << "the end keeps the plot";
    EXPECT_EQ(rig.Text(G::SpeedLabel), QStringLiteral("- km/h"));

    rig.hub.Deliver(VIDEO_STOP);
    EXPECT_EQ(rig.SeriesCount(), 0u);
    EXPECT_EQ(rig.Values(), kDashes);
}

TEST(GraphPane, MessagesWithoutAnEntryOrSamplesChangeNothing)
{
    GraphRig rig;
    rig.hub.SetPlaylist({TrackEntry(60), TrackEntry(60), TrackEntry(60)});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.1f));
    const std::vector<QString> shown = rig.Values();
    ASSERT_NE(shown, kDashes);

    // The current index past a playlist that shrank under it.
    ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(2));
    rig.hub.hub.ClearVideoFiles();
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.9f));
    EXPECT_EQ(rig.SeriesCount(), 3u);
    EXPECT_EQ(rig.Values(), shown);

    // A current entry without samples.
    rig.hub.SetPlaylist({TrackEntry(60, 0)});
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.9f));
    EXPECT_EQ(rig.Values(), shown);
}

TEST(GraphPane, ARecordingWithoutMotionChunksShowsTheEmptyGraph)
{
    QTemporaryDir dir;
    testsupport::AviFixtureOptions options;
    options.motionPerSecond = 0;
    const QString path = dir.filePath(QStringLiteral("no-motion.avi"));
    testsupport::AviFixtureBuilder(options).Write(path);

    GraphRig rig;
    rig.hub.SetPlaylist({TrackEntry(60), EntryFromFile(path)});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    ASSERT_EQ(rig.SeriesCount(), 3u);
    ASSERT_TRUE(rig.hub.hub.SetCurrentIndex(1));
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    EXPECT_EQ(rig.SeriesCount(), 0u);
    EXPECT_EQ(rig.Values(), kDashes);
}

TEST(GraphPane, LaysOutAndDrawsInTheAxisColours)
{
    GraphRig rig;
    EXPECT_EQ(rig.pane->GraphControl()->geometry(), QRect(0, 0, 743, 95));
    const int captionX[] = {20, 170, 320};
    const int valueX[] = {50, 200, 350};
    const G::Control captions[] = {G::CaptionX, G::CaptionY, G::CaptionZ};
    const G::Control values[] = {G::ValueX, G::ValueY, G::ValueZ};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(rig.pane->Label(captions[axis])->geometry(), QRect(captionX[axis], 105, 60, 15));
        EXPECT_EQ(rig.pane->Label(values[axis])->geometry(), QRect(valueX[axis], 105, 60, 15));
    }
    EXPECT_FALSE(rig.pane->Label(G::SpeedLabel)->isVisibleTo(rig.pane.get()));

    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.25f));
    const QImage shot = testsupport::Grab(*rig.pane);
    EXPECT_EQ(shot.pixel(750, 130), qRgb(0, 0, 0)) << "black beside the plot";
    EXPECT_EQ(shot.pixel(745, 50), qRgb(0, 0, 0));
    const QColor colours[] = {QColor(255, 100, 0), QColor(255, 255, 100), QColor(0, 255, 64)};
    // Lines are drawn exactly; text is smoothed, so its strokes come near.
    const auto contains = [&](QRect area, QColor colour, int tolerance) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (Near(shot.pixel(x, y), colour, tolerance))
                    return true;
        return false;
    };
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_TRUE(contains(QRect(0, 0, 743, 95), colours[axis], 0)) << "series " << axis;
        EXPECT_TRUE(contains(rig.pane->Label(captions[axis])->geometry(), colours[axis], 8)) << "caption " << axis;
        EXPECT_TRUE(contains(rig.pane->Label(values[axis])->geometry(), colours[axis], 8)) << "value " << axis;
    }
}

TEST(GraphPane, APressAnywhereMovesTheMainWindow)
{
    GraphRig rig;
    controlstest::Press(*rig.pane->GraphControl(), QPoint(300, 40));
    controlstest::Press(*rig.pane->Label(G::CaptionY), QPoint(3, 3));
    controlstest::Press(*rig.pane, QPoint(700, 120));
    EXPECT_EQ(rig.moves, (std::vector<QWidget*>{&rig.window, &rig.window, &rig.window}));
}

TEST(GraphPane, CreateBuildsItsTemplate)
{
    PaneHub hub;
    G pane(hub.hub);
    pane.Create(nullptr);
    EXPECT_EQ(pane.size(), QSize(744, 140));
    EXPECT_EQ(pane.Label(G::CaptionX)->text(), QStringLiteral("X :"));
    EXPECT_EQ(pane.Label(G::ValueZ)->text(), QStringLiteral("-"));
    EXPECT_EQ(pane.Label(G::ValueZ)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(pane.GraphControl()->YRange(), G::kYRange);
    EXPECT_EQ(pane.Widget(), &pane);
}

// Three waves over a minute at 10 Hz, as a drive over a bumpy road shows.
std::shared_ptr<RecordingEntry> WaveEntry()
{
    auto entry = TrackEntry(60, 0);
    for (int k = 0; k < 600; ++k) {
        const double t = k / 10.0;
        MotionSample sample;
        sample.x = std::round(32 * 1.6 * std::sin(t / 3.0)) / 32;
        sample.y = std::round(32 * (0.9 * std::cos(t / 1.7) + 0.4 * std::sin(t * 1.3))) / 32;
        sample.z = std::round(32 * (-1.0 + 0.5 * std::sin(t * 2.1))) / 32;
        entry->motionSamples.push_back(sample);
        entry->motionTimes.push_back(t);
    }
    return entry;
}

TEST(GraphPaneScreenshots, AFilledGraph)
{
    GraphRig rig;
    rig.hub.SetPlaylist({WaveEntry()});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.4f));
    EXPECT_NE(rig.Values(), kDashes);
    EXPECT_TRUE(testsupport::SaveScreenshot(*rig.pane, QStringLiteral("graph-pane")));
}

}  // namespace

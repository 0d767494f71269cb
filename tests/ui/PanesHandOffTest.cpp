// Both panes under a flood of position messages while the UI thread works
// the playlist: every hand-off completes, no hub lock is held across one,
// and stopping the hub mid-flood returns. Run under the thread sanitizer.

#include "PaneFixtures.h"

#include "hub/HubCodes.h"
#include "support/hub/HubFixtures.h"
#include "platform/UiThread.h"
#include "support/EventLoop.h"
#include "support/LockRecorder.h"
#include "ui/GyroscopeGraphControl.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

using namespace panetest;
using namespace std::chrono_literals;

constexpr int kFlood = 500;

class HandOffRig {
public:
    HandOffRig() : probe(true)
    {
        AddMapSkin(images);
        graph = std::make_unique<GyroscopeGraphControl>(hub.hub, [](QWidget*) {});
        graph->Create(&window);
        graph->setGeometry(0, 500, 754, 135);
        MapPaneServices services{probe, positions.Function(), images, QStringLiteral("/nowhere/map.htm"),
                                 QString(), browsers.Factory()};
        map = std::make_unique<GPSMapControl>(&window, hub.hub, services);
        map->Create(&window);
        positions.slot = map.get();
        window.show();
        hub.AttachTail();
        ApplicationHub::Entries entries;
        for (int i = 0; i < 6; ++i) {
            auto entry = TrackEntry(600);
            entry->type = 1 + i % 3;
            entry->dateText = QStringLiteral("2013-05-0%1").arg(6 - i);
            entry->timeText = QStringLiteral("0%1:00:00").arg(i);
            entries.push_back(entry);
        }
        hub.SetPlaylist(entries);
    }
    ~HandOffRig()
    {
        hub.Stop();
        map.reset();
        graph.reset();
    }

    void PostFlood()
    {
        for (int i = 0; i < kFlood; ++i)
            hub.hub.Post(VIDEO_FRAME_POSITION_CHANGED, Position(float(i) / kFlood));
    }
    void SortOnce()
    {
        hub.hub.SortVideoFilesByDate();
        hub.hub.SortVideoFilesByType();
        hub.hub.SortVideoFilesByTime();
    }
    bool FloodDelivered() const { return hub.tail.delivered >= kFlood; }

    // Every position reached both panes; the last one is shown.
    void ExpectTheLastPositionShown()
    {
        EXPECT_EQ(int(positions.fixes.size()), kFlood);
        for (const std::thread::id thread : positions.threads)
            ASSERT_EQ(thread, std::this_thread::get_id());
        EXPECT_EQ(int(browsers.Last()->calls.size()), kFlood);
        const auto entry = hub.hub.GetCurrentVideoFile();
        const float seconds = PlaySeconds(*entry, float(kFlood - 1) / kFlood);
        const GpsFix fix = *entry->GetGpsFixAt(seconds);
        EXPECT_EQ(static_cast<QLabel*>(map->ControlWidget(GPSMapControl::LatitudeValue))->text(),
                  QString::number(fix.latitude, 'f', 6));
        const MotionSample sample = *entry->GetMotionSampleAt(seconds);
        EXPECT_EQ(graph->Label(GyroscopeGraphControl::ValueX)->text(), FormatSensorValue(sample.x));
        EXPECT_TRUE(locks.Take().empty());
    }

    LockRecorder locks;
    PaneHub hub;
    testsupport::FakeNetProbe probe;
    controlstest::FakeImageSource images;
    FakeBrowsers browsers;
    PositionRecorder positions;
    MainWindowStandIn window;
    std::unique_ptr<GyroscopeGraphControl> graph;
    std::unique_ptr<GPSMapControl> map;
};

TEST(PanesHandOff, AFloodWhileTheUiThreadSortsThePlaylist)
{
    HandOffRig rig;
    hubtest::Watchdog watchdog("the flood with sorting", 10s);
    rig.PostFlood();
    while (!rig.FloodDelivered()) {
        rig.SortOnce();
        QCoreApplication::processEvents();
    }
    rig.ExpectTheLastPositionShown();
}

TEST(PanesHandOff, AFloodWhileAModalDialogRuns)
{
    HandOffRig rig;
    hubtest::Watchdog watchdog("the flood under a modal dialog", 10s);
    QDialog dialog(&rig.window);
    QTimer work;
    QObject::connect(&work, &QTimer::timeout, &dialog, [&] {
        rig.SortOnce();
        if (rig.FloodDelivered())
            dialog.accept();
    });
    work.start(0);
    QTimer::singleShot(0, &dialog, [&] { rig.PostFlood(); });
    dialog.exec();
    work.stop();
    rig.ExpectTheLastPositionShown();
}

// Holds the worker in one delivery until the hub is stopped, so the stop
// lands mid-flood whatever the machine's speed; then hands off once more,
// which only the stop's serving of the UI thread can complete.
class Brake : public IListener {
public:
    Brake(ApplicationHub& hub, int at) : hub(hub), at(at) {}
    void update(int, const MessageParam*) override
    {
        if (++seen != at)
            return;
        while (hub.GetRunning())
            std::this_thread::sleep_for(1ms);
        UiThread::Invoke([this] { servedInStop = true; });
    }

    bool servedInStop = false;  // UI thread

private:
    ApplicationHub& hub;
    int at;
    int seen = 0;
};

TEST(PanesHandOff, StoppingMidFloodReturnsAndNothingRunsAfterClose)
{
    HandOffRig rig;
    Brake brake(rig.hub.hub, 50);
    rig.hub.hub.AttachListener(&brake);
    {
        hubtest::Watchdog watchdog("stopping mid-flood", 10s);
        rig.PostFlood();
        ASSERT_TRUE(testsupport::RunUntil([&] { return rig.hub.tail.delivered >= 50; }));
        rig.hub.Stop();
    }
    rig.hub.hub.DetachListener(&brake);
    EXPECT_TRUE(brake.servedInStop);
    EXPECT_EQ(rig.hub.tail.delivered, 50);
    EXPECT_EQ(rig.positions.fixes.size(), 50u);
    const QString shown = rig.graph->Label(GyroscopeGraphControl::ValueX)->text();
    UiThread::Close();
    rig.hub.hub.Post(VIDEO_FRAME_POSITION_CHANGED, Position(0.99f));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(rig.positions.fixes.size(), 50u);
    EXPECT_EQ(rig.graph->Label(GyroscopeGraphControl::ValueX)->text(), shown);
    UiThread::Install();
    EXPECT_TRUE(rig.locks.Take().empty());
}

}  // namespace

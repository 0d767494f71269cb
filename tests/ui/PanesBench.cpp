// Figures, not a test: how long a position message takes from the post to
// both panes' labels (fake browser, then the real page over loopback tiles),
// beside the hub's bare UI-thread round trip; and how long a full hour of
// G-sensor samples takes to plot. Run by hand: panes_bench.

#include "LoopbackTileServer.h"
#include "PaneFixtures.h"

#include "controls/CGraphStatic.h"
#include "hub/HubCodes.h"
#include "platform/BrowserEngine.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "support/EventLoop.h"
#include "ui/CExplorer1.h"
#include "ui/GyroscopeGraphControl.h"
#include "ui/MapPaneGeometry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace panetest;
using Clock = std::chrono::steady_clock;

constexpr int kMessages = 1000;

// Notes when a message has passed every listener before it.
class StampingTail : public IListener {
public:
    void update(int, const MessageParam*) override
    {
        stamp = Clock::now().time_since_epoch().count();
        ++delivered;
    }
    std::atomic<long long> stamp{0};
    std::atomic<int> delivered{0};
};

// Stands for a listener whose update is one empty hand-off.
class BareHandOff : public IListener {
public:
    void update(int code, const MessageParam*) override
    {
        if (code == VIDEO_FRAME_POSITION_CHANGED)
            UiThread::Invoke([] {});
    }
};

struct Figures {
    double median;
    double p99;
};

Figures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]};
}

// Posts message 14 kMessages times, each after the last was delivered, and
// measures post to delivery past the listeners.
Figures Measure(ApplicationHub& hub, StampingTail& tail)
{
    // The tail's count changes on the worker without an event: the tick
    // bounds each wait of the loop. The figure is the worker's stamp.
    QTimer tick;
    tick.start(1);
    std::vector<double> ms;
    for (int i = 0; i < kMessages; ++i) {
        const int before = tail.delivered;
        const auto posted = Clock::now();
        hub.Post(VIDEO_FRAME_POSITION_CHANGED, Position(float(i) / kMessages));
        while (tail.delivered == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const auto done = Clock::time_point(Clock::duration(tail.stamp.load()));
        ms.push_back(std::chrono::duration<double, std::milli>(done - posted).count());
    }
    return Summarise(ms);
}

void Print(const char* what, Figures figures)
{
    std::printf("%-44s median %7.3f ms   p99 %7.3f ms\n", what, figures.median, figures.p99);
}

Figures BareRoundTrip()
{
    ApplicationHub hub([](RecordingEntry&) { return false; });
    BareHandOff bare;
    StampingTail tail;
    hub.AttachListener(&bare);
    hub.AttachListener(&tail);
    const Figures figures = Measure(hub, tail);
    hub.StopAndWait([] { UiThread::ServePending(); });
    return figures;
}

Figures BothPanes(bool realPage)
{
    PaneHub paneHub;
    ApplicationHub& hub = paneHub.hub;
    MainWindowStandIn window;
    testsupport::FakeNetProbe probe(true);
    controlstest::FakeImageSource images;
    AddMapSkin(images);
    FakeBrowsers browsers;
    PositionRecorder positions;
    LoopbackTileServer tiles;
    GyroscopeGraphControl graph(hub, [](QWidget*) {});
    graph.Create(&window);
    graph.setGeometry(0, 500, 754, 135);
    MapPaneServices services{probe,   positions.Function(), images, QStringLiteral(KESTROV_MAP_PAGE), tiles.TileUrl(),
                             realPage ? MapBrowserFactory(CExplorer1::Make) : browsers.Factory()};
    GPSMapControl map(&window, hub, services);
    map.Create(&window);
    map.setGeometry(MapSlotRect(window.size()));
    positions.slot = &map;
    window.show();
    StampingTail tail;
    hub.AttachListener(&tail);
    hub.SetVideoFiles({TrackEntry(1000, 10)});
    if (realPage)
        testsupport::RunUntil([&] { return map.GetBrowser()->GetLocationName() == QStringLiteral("map.htm"); });
    const Figures figures = Measure(hub, tail);
    paneHub.Stop();
    hub.DetachListener(&tail);
    return figures;
}

Figures PlotAnHour()
{
    PaneHub paneHub;
    MainWindowStandIn window;
    GyroscopeGraphControl graph(paneHub.hub, [](QWidget*) {});
    graph.Create(&window);
    graph.setGeometry(0, 0, 754, 135);
    window.show();
    const auto hour = TrackEntry(3600, 10);
    std::vector<double> ms;
    for (int run = 0; run < 21; ++run) {
        QElapsedTimer timer;
        timer.start();
        graph.LoadGraphSeries(*hour);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("(%zu samples per axis)\n", graph.GraphControl()->Series()[0]->values.size());
    paneHub.Stop();
    return Summarise(ms);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    platform::PrepareBrowserEngine();
    QApplication app(argc, argv);
    UiThread::Install();
    gdi::InstallFontSubstitutes();

    std::printf("message 14, post to both panes' labels, %d messages:\n", kMessages);
    Print("hub's bare Invoke round trip (peer)", BareRoundTrip());
    Print("graph + map, fake browser", BothPanes(false));
    Print("graph + map, real page (loopback tiles)", BothPanes(true));
    std::printf("target: median <= 2 ms\n\n");
    std::printf("LoadGraphSeries + Redraw, 60 min at 10 Hz, 21 runs:\n");
    Print("graph", PlotAnHour());
    std::printf("target: <= 50 ms\n");
    UiThread::Close();
    return 0;
}

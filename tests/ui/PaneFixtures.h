#pragma once
// Fixtures of the graph and map pane suites: recordings made by hand, a hub
// whose deliveries a test can wait for while the UI thread serves the
// panes' hand-offs, a main-window stand-in, a fake browser and a recording
// position hand-off.

#include "controls/ControlsTestSupport.h"
#include "hub/ApplicationHub.h"
#include "hub/IListener.h"
#include "support/FakeNetProbe.h"
#include "support/gui/Screenshot.h"
#include "ui/GPSMapControl.h"
#include "ui/MapBrowser.h"
#include "ui/MapPaneServices.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace panetest {

// `seconds` long, one fix a second along a north-east track from
// (37.5, 127.0) (fix i at +i/1000 degrees), and `motionPerSecond` samples a
// second whose x is their time in seconds / 8, y = −x, z = 1.
std::shared_ptr<RecordingEntry> TrackEntry(int seconds = 60, int motionPerSecond = 10);
GpsFix TrackFix(int index);

// An entry read from a recording file by the metadata decoder.
std::shared_ptr<RecordingEntry> EntryFromFile(const QString& path);

std::unique_ptr<MessageParam> Position(float position);

// Counts deliveries; attached after the panes, so once it has seen a
// message the panes' hand-offs for it have run.
class TailListener : public IListener {
public:
    void update(int, const MessageParam*) override { ++delivered; }
    std::atomic<int> delivered{0};
};

// A test hub (no file is parsed) and a way to deliver one message at a time.
class PaneHub {
public:
    PaneHub();
    ~PaneHub();

    // Attaches the tail; call after the panes.
    void AttachTail();
    // Posts and runs the event loop until the tail has seen the message.
    void Deliver(int code, std::unique_ptr<MessageParam> payload = {});
    // Makes the entries the playlist, the first current.
    void SetPlaylist(ApplicationHub::Entries entries);
    // Stops and joins the worker, serving the hand-offs it waits for.
    void Stop();

    ApplicationHub hub;
    TailListener tail;

private:
    bool tailAttached = false;
};

// A main window's client area: a top-level widget at (100, 50), 1049 × 700.
class MainWindowStandIn : public QWidget {
public:
    MainWindowStandIn();
};

// The browser as the pane sees it: navigations, calls and their threads are
// noted; a navigation loads at once (title "map.htm") unless held.
class FakeMapBrowser final : public MapBrowser {
public:
    struct Call {
        double latitude;
        double longitude;
        std::thread::id thread;
    };

    explicit FakeMapBrowser(QWidget* parent);

    QWidget* widget() override { return view; }
    QString GetLocationName() const override { return title; }
    void Navigate(const QString& path) override;
    bool IsLoading() const override { return loading; }
    void CallPositionChange(double latitude, double longitude) override;

    QWidget* view;
    QString title;
    bool loading = false;
    bool holdLoads = false;  // a navigation starts loading and never ends
    std::vector<QString> navigations;
    std::vector<Call> calls;

    // The colour the fake page shows.
    static QRgb PageColour() { return qRgb(20, 120, 200); }
};

// Every fake browser made, in order; each lives as long as its pane.
struct FakeBrowsers {
    MapBrowserFactory Factory();
    FakeMapBrowser* Last() const { return made.empty() ? nullptr : made.back(); }
    std::vector<FakeMapBrowser*> made;
    std::vector<QString> tileUrls;
};

// The main window's side of the position hand-off: notes each fix and its
// thread, and, for a fix with both coordinates non-zero, moves the map.
struct PositionRecorder {
    std::function<void(const GpsFix&)> Function();
    IMapSlot* slot = nullptr;
    std::vector<GpsFix> fixes;
    std::vector<std::thread::id> threads;
};

// A fake skin for the map pane: strip 152 (one colour), the six button
// icons (each its own colour) and the two PNGs.
void AddMapSkin(controlstest::FakeImageSource& images);
QRgb StripColour();
using testsupport::PngOf;

// The icon the popup button shows, by its colour in AddMapSkin; 0 for none.
int ShownIcon(GPSMapControl& pane);

// A pixel is near a colour when each channel is within tolerance.
bool Near(QRgb pixel, QColor colour, int tolerance = 6);

// A map pane in a main-window stand-in, with a fake probe, browser and skin.
class MapRig {
public:
    explicit MapRig(bool online = true);
    ~MapRig();

    MapPaneServices Services();
    // Constructs and creates the pane (in the stand-in, or with no parent
    // window) and attaches the tail; shows the stand-in.
    GPSMapControl& Make(bool withParentWindow = true);

    bool Visible(GPSMapControl::Control id) const;
    // Which of browser, no-Internet and no-GPS pictures are visible.
    std::vector<int> VisibleViews(const GPSMapControl& pane) const;
    QString Text(GPSMapControl::Control id) const;

    PaneHub hub;
    testsupport::FakeNetProbe probe;
    controlstest::FakeImageSource images;
    FakeBrowsers browsers;
    PositionRecorder positions;
    std::vector<QWidget*> moves;
    QString pagePath = QStringLiteral("/nowhere/map.htm");
    QString tileUrl = QStringLiteral("http://127.0.0.1:9/{z}/{x}/{y}.png");
    MainWindowStandIn window;
    std::unique_ptr<GPSMapControl> pane;
};

}  // namespace panetest

#include "PaneFixtures.h"

#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "support/EventLoop.h"
#include "ui/MapPaneGeometry.h"

#include "support/gui/Screenshot.h"

#include <QBuffer>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>

namespace panetest {

GpsFix TrackFix(int index)
{
    GpsFix fix;
    fix.latitude = 37.5 + index / 1000.0;
    fix.longitude = 127.0 + index / 1000.0;
    fix.speed = 40 + index;
    fix.timeOfDay = 120000 + index;
    fix.valid = true;
    return fix;
}

std::shared_ptr<RecordingEntry> TrackEntry(int seconds, int motionPerSecond)
{
    auto entry = std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, QStringLiteral("/track.avi"),
                                                  QStringLiteral("track.avi"));
    entry->duration = seconds;
    entry->durationSpan = seconds;
    entry->videoStreamCount = 2;
    entry->metadataLoaded = true;
    for (int s = 0; s < seconds; ++s)
        entry->gpsFixes.push_back(TrackFix(s));
    for (int k = 0; k < seconds * motionPerSecond; ++k) {
        const double t = double(k) / motionPerSecond;
        MotionSample sample;
        sample.x = t / 8;
        sample.y = -t / 8;
        sample.z = 1;
        entry->motionSamples.push_back(sample);
        entry->motionTimes.push_back(t);
    }
    return entry;
}

std::shared_ptr<RecordingEntry> EntryFromFile(const QString& path)
{
    auto entry = std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, path, QStringLiteral("file.avi"));
    EXPECT_TRUE(ApplicationHub::DefaultMetadataLoader()(*entry)) << path.toStdString();
    return entry;
}

std::unique_ptr<MessageParam> Position(float position)
{
    auto payload = std::make_unique<MessageParam>();
    payload->position = position;
    return payload;
}

PaneHub::PaneHub() : hub([](RecordingEntry&) { return false; }) {}

PaneHub::~PaneHub()
{
    Stop();
    if (tailAttached)
        hub.DetachListener(&tail);
}

void PaneHub::AttachTail()
{
    hub.AttachListener(&tail);
    tailAttached = true;
}

void PaneHub::Deliver(int code, std::unique_ptr<MessageParam> payload)
{
    const int before = tail.delivered;
    hub.Post(code, std::move(payload));
    ASSERT_TRUE(testsupport::RunUntil([&] { return tail.delivered > before; }, std::chrono::seconds(10)))
        << "message " << code << " was not delivered";
}

void PaneHub::SetPlaylist(ApplicationHub::Entries entries)
{
    hub.SetVideoFiles(std::move(entries));
}

void PaneHub::Stop()
{
    hub.StopAndWait([] { UiThread::ServePending(); });
}

MainWindowStandIn::MainWindowStandIn()
{
    setGeometry(100, 50, 1049, 700);
    setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
}

FakeMapBrowser::FakeMapBrowser(QWidget* parent) : view(new QWidget(parent))
{
    view->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(PageColour()));
    view->setPalette(palette);
}

void FakeMapBrowser::Navigate(const QString& path)
{
    navigations.push_back(path);
    if (holdLoads) {
        loading = true;
        title.clear();
        return;
    }
    title = QStringLiteral("map.htm");
}

void FakeMapBrowser::CallPositionChange(double latitude, double longitude)
{
    calls.push_back({latitude, longitude, std::this_thread::get_id()});
}

MapBrowserFactory FakeBrowsers::Factory()
{
    return [this](QWidget* parent, const QString& tileUrl) {
        auto browser = std::make_unique<FakeMapBrowser>(parent);
        made.push_back(browser.get());
        tileUrls.push_back(tileUrl);
        return browser;
    };
}

std::function<void(const GpsFix&)> PositionRecorder::Function()
{
    return [this](const GpsFix& fix) {
        fixes.push_back(fix);
        threads.push_back(std::this_thread::get_id());
        if (slot && fix.latitude != 0 && fix.longitude != 0)
            slot->ShowPosition(fix);
    };
}

namespace {

QColor IconColour(int id)
{
    return QColor(id % 256, 200, 100);
}

}  // namespace

QRgb StripColour()
{
    return qRgb(70, 60, 50);
}

void AddMapSkin(controlstest::FakeImageSource& images)
{
    images.AddBitmap(GPSMapControl::kTitleBitmap, controlstest::Flat(QSize(1920, 34), QColor(StripColour())));
    for (const int id : {102, 236, 237, 341, 342, 343})
        images.AddIcon(id, controlstest::Flat(QSize(32, 32), IconColour(id), QImage::Format_ARGB32));
    images.AddPng(GPSMapControl::kNoGpsPng, PngOf(QSize(128, 158), QColor(200, 40, 40)));
    images.AddPng(GPSMapControl::kNoInternetPng, PngOf(QSize(128, 158), QColor(40, 200, 40)));
}

int ShownIcon(GPSMapControl& pane)
{
    const QRgb shown = testsupport::Grab(*pane.ControlWidget(GPSMapControl::PopupButton)).pixel(16, 16);
    for (const int id : {102, 236, 237, 341, 342, 343})
        if (shown == IconColour(id).rgb())
            return id;
    return 0;
}

bool Near(QRgb pixel, QColor colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance && std::abs(qGreen(pixel) - colour.green()) <= tolerance
           && std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

MapRig::MapRig(bool online) : probe(online)
{
    AddMapSkin(images);
}

MapRig::~MapRig()
{
    hub.Stop();
    pane.reset();
}

MapPaneServices MapRig::Services()
{
    MapPaneServices services{probe, positions.Function(), images, pagePath, tileUrl, browsers.Factory()};
    services.moveWindow = [this](QWidget* widget) { moves.push_back(widget); };
    return services;
}

GPSMapControl& MapRig::Make(bool withParentWindow)
{
    pane = std::make_unique<GPSMapControl>(withParentWindow ? &window : nullptr, hub.hub, Services());
    pane->Create(withParentWindow ? &window : nullptr);
    positions.slot = pane.get();
    if (withParentWindow) {
        pane->setGeometry(MapSlotRect(window.size()));
        window.show();
        pane->show();
    }
    hub.AttachTail();
    return *pane;
}

bool MapRig::Visible(GPSMapControl::Control id) const
{
    return pane->ControlWidget(id)->isVisibleTo(pane.get());
}

std::vector<int> MapRig::VisibleViews(const GPSMapControl& shown) const
{
    std::vector<int> views;
    for (const auto id : {GPSMapControl::Browser, GPSMapControl::NoInternetPicture, GPSMapControl::NoGpsPicture})
        if (shown.ControlWidget(id)->isVisibleTo(&shown))
            views.push_back(id);
    return views;
}

QString MapRig::Text(GPSMapControl::Control id) const
{
    return static_cast<QLabel*>(pane->ControlWidget(id))->text();
}

}  // namespace panetest

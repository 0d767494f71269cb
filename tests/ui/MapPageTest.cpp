// The real map page in the real browser, offscreen, with tiles from a
// server on 127.0.0.1; any request to anything else fails the test.

#include "LoopbackTileServer.h"
#include "PaneFixtures.h"

#include "core/Numbers.h"
#include "core/resources/ResourceManager.h"
#include "hub/HubCodes.h"
#include "support/EventLoop.h"
#include "support/ScopedLocale.h"
#include "support/gui/Screenshot.h"
#include "ui/CExplorer1.h"
#include "ui/MapPaneGeometry.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace panetest;
using namespace std::chrono_literals;
using M = GPSMapControl;

// Notes every request the browser makes; only local files, data and the
// loopback tile server are allowed.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        const bool allowed = scheme == QLatin1String("file") || scheme == QLatin1String("data")
                             || url.host() == QLatin1String("127.0.0.1");
        if (!allowed) {
            refused.push_back(url.toString());
            info.block(true);
        }
    }
    QStringList refused;
};

QString Evaluate(QWebEnginePage& page, const QString& script)
{
    QString result = QStringLiteral("<no answer>");
    bool answered = false;
    page.runJavaScript(script, [&](const QVariant& value) {
        result = value.toString();
        answered = true;
    });
    EXPECT_TRUE(testsupport::RunUntil([&] { return answered; }, 20s)) << script.toStdString();
    return result;
}

// What the page keeps for track fix i: the latitude less 0.0001.
QString TrackPosition(int index)
{
    const GpsFix fix = TrackFix(index);
    return QStringLiteral("[%1,%2]").arg(Numbers::FormatShortest(fix.latitude - 0.0001),
                                         Numbers::FormatShortest(fix.longitude));
}

QWebEnginePage& PageOf(M& pane)
{
    return *static_cast<CExplorer1*>(pane.GetBrowser())->page();
}

bool PageShown(M& pane)
{
    MapBrowser* browser = pane.GetBrowser();
    return browser->GetLocationName() == QStringLiteral("map.htm") && !browser->IsLoading();
}

// The marker's orange at the centre of an image of the map area, tiles
// around it.
bool ShowsMarkerOnTiles(const QImage& image)
{
    const QPoint centre(image.width() / 2, image.height() / 2);
    bool marker = false;
    for (int dy = -2; dy <= 2 && !marker; ++dy)
        for (int dx = -2; dx <= 2 && !marker; ++dx)
            marker = Near(image.pixel(centre + QPoint(dx, dy)), QColor(255, 165, 0), 12);
    const bool tiles = Near(image.pixel(image.width() / 4, image.height() * 3 / 4), LoopbackTileServer::Body())
                       || Near(image.pixel(image.width() * 3 / 4, image.height() / 4), LoopbackTileServer::Body());
    return marker && tiles;
}

class MapPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(&guard);
        rig.pagePath = QStringLiteral(KESTROV_MAP_PAGE);
        rig.tileUrl = tiles.TileUrl();
    }
    void TearDown() override
    {
        EXPECT_TRUE(guard.refused.isEmpty()) << guard.refused.join(QLatin1Char(' ')).toStdString();
        QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(nullptr);
    }

    // The pane with the real browser; the fake skin unless images are given.
    M& MakePane(bool online, const ImageSource* images = nullptr)
    {
        rig.probe.SetFallback(online);
        MapPaneServices services{rig.probe,    rig.positions.Function(), images ? *images : rig.images,
                                 rig.pagePath, rig.tileUrl,              CExplorer1::Make};
        services.moveWindow = [](QWidget*) {};
        rig.pane = std::make_unique<M>(&rig.window, rig.hub.hub, services);
        rig.pane->Create(&rig.window);
        rig.positions.slot = rig.pane.get();
        rig.pane->setGeometry(MapSlotRect(rig.window.size()));
        rig.window.show();
        rig.pane->show();
        rig.hub.AttachTail();
        return *rig.pane;
    }

    void WaitForPage(M& pane) { ASSERT_TRUE(testsupport::RunUntil([&] { return PageShown(pane); }, 30s)); }

    QString LastPosition(M& pane)
    {
        return Evaluate(PageOf(pane), QStringLiteral("JSON.stringify(window.__lastPosition)"));
    }
    bool WaitForLastPosition(M& pane, const QString& expected)
    {
        return testsupport::RunUntil([&] { return LastPosition(pane) == expected; }, 20s);
    }

    RequestGuard guard;
    LoopbackTileServer tiles;
    MapRig rig{true};
};

TEST_F(MapPage, HoldsLeafletInlineAndNothingFromElsewhere)
{
    QFile page(QStringLiteral(KESTROV_MAP_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    for (const char* name : {"leaflet.css", "leaflet.min.js"}) {
        QFile part(QStringLiteral(KESTROV_LEAFLET_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(part.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(html.contains(part.readAll())) << name << " byte for byte";
    }
    EXPECT_TRUE(html.contains("<title>map.htm</title>"));
    EXPECT_FALSE(html.contains("<script src"));
    EXPECT_FALSE(html.contains("<link"));
    EXPECT_FALSE(html.contains("@LEAFLET"));
}

TEST_F(MapPage, APositionMovesTheMarkerOverLoopbackTilesInAnyLocale)
{
    M& pane = MakePane(true);
    WaitForPage(pane);
    EXPECT_EQ(Evaluate(PageOf(pane), QStringLiteral("window.KESTROV_TILE_URL")), tiles.TileUrl());
    const QString attribution = QStringLiteral("document.querySelector('.leaflet-control-attribution').innerText");
    EXPECT_EQ(Evaluate(PageOf(pane), attribution), QString::fromUtf8("© OpenStreetMap contributors"));

    GpsFix fix;
    fix.latitude = 37.5;
    fix.longitude = 127.0;
    pane.SetMapPosition(fix);
    EXPECT_TRUE(WaitForLastPosition(pane, QStringLiteral("[37.4999,127]"))) << LastPosition(pane).toStdString();
    EXPECT_EQ(Evaluate(PageOf(pane), QStringLiteral("kestrovMap.getZoom()")), QStringLiteral("15"));
    EXPECT_EQ(Evaluate(PageOf(pane), QStringLiteral("kestrovMap.keyboard.enabled()")), QStringLiteral("false"))
        << "keys belong to the viewer";
    EXPECT_TRUE(testsupport::RunUntil([&] { return ShowsMarkerOnTiles(pane.GrabMapImage()); }, 30s));
    EXPECT_FALSE(tiles.Requests().isEmpty());
    EXPECT_FALSE(tiles.Requests().filter(QRegularExpression(QStringLiteral("^/15/\\d+/\\d+\\.png$"))).isEmpty())
        << tiles.Requests().join(QLatin1Char(' ')).toStdString();

    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    fix.latitude = -33.25;
    fix.longitude = 151.5;
    pane.SetMapPosition(fix);
    EXPECT_TRUE(WaitForLastPosition(pane, QStringLiteral("[%1,151.5]").arg(Numbers::FormatShortest(-33.25 - 0.0001))))
        << LastPosition(pane).toStdString();
}

TEST_F(MapPage, APageWithoutThePositionCallAndScriptNavigationsChangeNothing)
{
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("map.htm"));
    const QString other = dir.filePath(QStringLiteral("other.htm"));
    for (const auto& [path, title] : {std::pair{bare, "map.htm"}, std::pair{other, "other"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("<!DOCTYPE html><title>") + title + "</title><p>no map</p>");
    }
    rig.pagePath = bare;
    M& pane = MakePane(true);
    WaitForPage(pane);
    pane.SetMapPosition(TrackFix(3));
    EXPECT_EQ(Evaluate(PageOf(pane), QStringLiteral("typeof window.__lastPosition")), QStringLiteral("undefined"));

    Evaluate(PageOf(pane), QStringLiteral("window.location.href = '%1'; 1").arg(QUrl::fromLocalFile(other).toString()));
    testsupport::RunUntil([] { return false; }, 500ms);
    EXPECT_EQ(pane.GetBrowser()->GetLocationName(), QStringLiteral("map.htm"));
    EXPECT_EQ(PageOf(pane).url(), QUrl::fromLocalFile(bare));
}

TEST_F(MapPage, OfflineThePageIsNeverLoaded)
{
    M& pane = MakePane(false);
    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    testsupport::RunUntil([] { return false; }, 500ms);
    EXPECT_EQ(rig.VisibleViews(pane), std::vector<int>{M::NoInternetPicture});
    EXPECT_TRUE(PageOf(pane).url().isEmpty());
    EXPECT_TRUE(tiles.Requests().isEmpty());
}

TEST_F(MapPage, TheBrowserTakesNoDrops)
{
    M& pane = MakePane(true);
    WaitForPage(pane);
    QWidget* view = pane.GetBrowser()->widget();
    EXPECT_FALSE(view->acceptDrops());
    for (QWidget* inside : view->findChildren<QWidget*>())
        EXPECT_FALSE(inside->acceptDrops()) << inside->metaObject()->className();
    EXPECT_EQ(view->contextMenuPolicy(), Qt::PreventContextMenu);
}

TEST_F(MapPage, DockingKeepsThePageAndTheGrabShowsTheMapWherever)
{
    M& pane = MakePane(true);
    WaitForPage(pane);
    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    const QString position = TrackPosition(30);
    ASSERT_TRUE(WaitForLastPosition(pane, position)) << LastPosition(pane).toStdString();
    ASSERT_TRUE(testsupport::RunUntil([&] { return ShowsMarkerOnTiles(pane.GrabMapImage()); }, 30s)) << "docked";

    pane.OnBnClickedPopup();
    EXPECT_TRUE(testsupport::RunUntil([&] { return ShowsMarkerOnTiles(pane.GrabMapImage()); }, 30s)) << "floating";
    EXPECT_EQ(pane.GrabMapImage().size(), QSize(1196, 735));
    pane.OnBnClickedPopup();
    EXPECT_EQ(LastPosition(pane), position) << "no reload";
    EXPECT_EQ(pane.GrabMapImage().size(), QSize(276, 218));
    ASSERT_TRUE(testsupport::RunUntil([&] { return ShowsMarkerOnTiles(pane.GrabMapImage()); }, 30s)) << "docked again";

    pane.SetShown(false);
    EXPECT_TRUE(ShowsMarkerOnTiles(pane.GrabMapImage())) << "hidden";
}

TEST_F(MapPage, WithoutPositionsTheGrabShowsTheNoGpsPicture)
{
    ResourceManager::DestroyInstance();
    ResourceManager::SetSearchFolders({QStringLiteral(KESTROV_SKIN_FOLDER)});
    M& pane = MakePane(true, &ImageSource::Resources());
    auto entry = TrackEntry(60, 0);
    entry->gpsFixes.clear();
    rig.hub.SetPlaylist({entry});
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    ASSERT_EQ(rig.VisibleViews(pane), std::vector<int>{M::NoGpsPicture});
    const QImage grabbed = pane.GrabMapImage();
    const QImage png = QImage::fromData(ImageSource::Resources().Png(M::kNoGpsPng), "PNG");
    ASSERT_FALSE(png.isNull());
    // The picture's rectangle within the map area: it is centred in the pane.
    const QRect picture = pane.ControlWidget(M::NoGpsPicture)->geometry().translated(-2, -35);
    EXPECT_EQ(grabbed.pixel(0, 0), qRgb(0x33, 0x33, 0x33));
    int differing = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            if (qAlpha(png.pixel(x, y)) == 255 && grabbed.pixel(picture.topLeft() + QPoint(x, y)) != png.pixel(x, y))
                ++differing;
    EXPECT_EQ(differing, 0);
    ResourceManager::DestroyInstance();
}

class MapPaneScreenshots : public MapPage {};

TEST_F(MapPaneScreenshots, ThePaneFollowingATrack)
{
    ResourceManager::DestroyInstance();
    ResourceManager::SetSearchFolders({QStringLiteral(KESTROV_SKIN_FOLDER)});
    M& pane = MakePane(true, &ImageSource::Resources());
    WaitForPage(pane);
    rig.hub.SetPlaylist({TrackEntry(60)});
    rig.hub.Deliver(VIDEO_FILES_OPENED);
    rig.hub.Deliver(VIDEO_METADATA_CREATED);
    rig.hub.Deliver(VIDEO_FRAME_POSITION_CHANGED, Position(0.5f));
    ASSERT_TRUE(WaitForLastPosition(pane, TrackPosition(30)));
    ASSERT_TRUE(testsupport::RunUntil([&] { return ShowsMarkerOnTiles(pane.GrabMapImage()); }, 30s));
    // Until the tiles have faded in: two pictures alike, a fifth of a second apart.
    QImage previous;
    EXPECT_TRUE(testsupport::RunUntil(
        [&] {
            testsupport::RunUntil([] { return false; }, 200ms);
            const QImage now = pane.GrabMapImage();
            return std::exchange(previous, now) == now;
        },
        30s));
    EXPECT_EQ(static_cast<QLabel*>(pane.ControlWidget(M::LatitudeValue))->text(), QStringLiteral("37.530000"));
    EXPECT_TRUE(testsupport::SaveScreenshot(pane.grab().toImage(), QStringLiteral("map-pane")));
    ResourceManager::DestroyInstance();
}

}  // namespace

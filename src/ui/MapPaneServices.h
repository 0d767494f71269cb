#pragma once
// What the map pane is given: the connection probe, the hand-off of a
// position to the main window, its images, the map page, the tile server,
// the browser and the window move. The program's come from ForProgram;
// tests give fakes.

#include "controls/ImageSource.h"
#include "platform/NetProbe.h"
#include "platform/widgets/WindowMove.h"
#include "ui/MapBrowser.h"
#include "ui/PaneSupport.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct GpsFix;

struct MapPaneServices {
    NetProbe& probe;
    // Runs on the UI thread while the hub worker waits; the program passes
    // the fix on to the main window, which moves the page's marker.
    std::function<void(const GpsFix&)> positionChange;
    const ImageSource& images;
    QString pagePath;  // the map page, fixed for the pane's life
    QString tileUrl;   // "{z}/{x}/{y}" template; empty: no tiles
    MapBrowserFactory makeBrowser;
    WindowMoveRequest moveWindow = platform::StartWindowMove;
    // Keeps a probe made for these services alive as long as a copy of them.
    std::shared_ptr<NetProbe> ownedProbe = nullptr;

    // The program's: a SystemNetProbe of the tile server, the skin module,
    // MapPagePath(), MapTileUrl() and the real browser.
    static MapPaneServices ForProgram(std::function<void(const GpsFix&)> positionChange);
};

inline constexpr const char* kDefaultTileUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

// KESTROV_MAP_TILE_URL when set (empty included), else the default.
QString MapTileUrl();

// map.htm in the working folder when it is there, else beside the program.
QString MapPagePath();

// Where the probe knocks: the tile server's host and port (https 443, http
// 80, or the port given). None for an empty or unusable address.
struct ProbeAddress {
    QString host;
    int port = 0;
};
std::optional<ProbeAddress> ProbeAddressOf(const QString& tileUrl);

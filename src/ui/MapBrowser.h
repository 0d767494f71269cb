#pragma once
// The map pane's browser as the pane uses it: one page, its title, and the
// page's script function positionChange. CExplorer1 is the real one; tests
// put a fake in its place.

#include <QString>

#include <functional>
#include <memory>

class QWidget;

class MapBrowser {
public:
    virtual ~MapBrowser() = default;
    // The browser's widget, a child of the pane; the pane's children own it.
    virtual QWidget* widget() = 0;
    // The shown page's title ("map.htm" for the map page).
    virtual QString GetLocationName() const = 0;
    // Loads the local file at path.
    virtual void Navigate(const QString& path) = 0;
    // True from the start of a page load until it ends.
    virtual bool IsLoading() const = 0;
    // Calls the page's positionChange(latitude, longitude) when the page has
    // one; returns at once, never waits for the page.
    virtual void CallPositionChange(double latitude, double longitude) = 0;
};

// Makes the browser with its widget a child of parent; the page is given the
// tile address (empty: no tiles).
using MapBrowserFactory = std::function<std::unique_ptr<MapBrowser>(QWidget* parent, const QString& tileUrl)>;

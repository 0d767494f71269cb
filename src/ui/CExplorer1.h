#pragma once
// The map pane's browser: a QWebEngineView with a page of its own that
// shows the local map page and nothing else. The page gets the tile address
// before its scripts run; positions reach it through positionChange.

#include "ui/MapBrowser.h"

#include <QPointer>
#include <QUrl>

class QWebEnginePage;
class QWebEngineView;

class CExplorer1 final : public MapBrowser {
public:
    CExplorer1();
    ~CExplorer1() override;

    // Makes the view, a child of parent, and its page. Scripts on; local
    // content may fetch remote tiles; the page accepts no navigation but to
    // the map page, the view takes no drops and shows no context menu.
    QWidget* Create(QWidget* parent, const QString& tileUrl);
    // A created browser, for MapPaneServices.
    static std::unique_ptr<MapBrowser> Make(QWidget* parent, const QString& tileUrl);

    QWidget* widget() override;
    QString GetLocationName() const override;
    void Navigate(const QString& path) override;
    bool IsLoading() const override;
    void CallPositionChange(double latitude, double longitude) override;

    QWebEnginePage* page() const;

private:
    QPointer<QWebEngineView> view;
};

#include "ui/CExplorer1.h"

#include "ui/MapPaneGeometry.h"

#include <QChildEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Accepts the map page only: a script or a link on it goes nowhere.
class MapPage final : public QWebEnginePage {
public:
    MapPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
    {
        connect(this, &QWebEnginePage::loadStarted, this, [this] { loading = true; });
        connect(this, &QWebEnginePage::loadFinished, this, [this] { loading = false; });
    }

    QUrl mapPage;
    bool loading = false;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        return isMainFrame && mapPage.isValid() && url.adjusted(QUrl::RemoveFragment) == mapPage;
    }
};

// Dropped files belong to the main window: the view and the widgets the
// engine puts inside it refuse them, so the drop goes on to the window.
class MapView final : public QWebEngineView {
public:
    explicit MapView(QWidget* parent) : QWebEngineView(parent)
    {
        setAcceptDrops(false);
        setContextMenuPolicy(Qt::PreventContextMenu);
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished) {
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                child->setAcceptDrops(false);
        }
        return QWebEngineView::event(event);
    }
};

// The tile server sees who asks: "KestrovViewer/<version> " before the
// engine's own agent. The profile is the engine's default one (off the
// record, cache in memory), shared by the process, so it is set once.
void IdentifyTo(QWebEngineProfile& profile)
{
    const QString ours = QStringLiteral("KestrovViewer/" KESTROV_VERSION " ");
    if (!profile.httpUserAgent().startsWith(ours))
        profile.setHttpUserAgent(ours + profile.httpUserAgent());
}

QString TileUrlScript(const QString& tileUrl)
{
    // A JSON string is a script literal: quoted and escaped.
    const QByteArray quoted = QJsonDocument(QJsonArray{tileUrl}).toJson(QJsonDocument::Compact);
    return QStringLiteral("window.KESTROV_TILE_URL = %1;").arg(QString::fromUtf8(quoted.mid(1, quoted.size() - 2)));
}

}  // namespace

CExplorer1::CExplorer1() = default;

CExplorer1::~CExplorer1() = default;

QWidget* CExplorer1::Create(QWidget* parent, const QString& tileUrl)
{
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    IdentifyTo(*profile);
    view = new MapView(parent);
    auto* mapPage = new MapPage(profile, view);

    QWebEngineSettings* settings = mapPage->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);

    QWebEngineScript tiles;
    tiles.setName(QStringLiteral("kestrov-tile-url"));
    tiles.setInjectionPoint(QWebEngineScript::DocumentCreation);
    tiles.setWorldId(QWebEngineScript::MainWorld);
    tiles.setRunsOnSubFrames(false);
    tiles.setSourceCode(TileUrlScript(tileUrl));
    mapPage->scripts().insert(tiles);

    view->setPage(mapPage);
    return view;
}

std::unique_ptr<MapBrowser> CExplorer1::Make(QWidget* parent, const QString& tileUrl)
{
    auto browser = std::make_unique<CExplorer1>();
    browser->Create(parent, tileUrl);
    return browser;
}

QWidget* CExplorer1::widget()
{
    return view;
}

QWebEnginePage* CExplorer1::page() const
{
    return view ? view->page() : nullptr;
}

QString CExplorer1::GetLocationName() const
{
    return view ? view->title() : QString();
}

void CExplorer1::Navigate(const QString& path)
{
    if (!view)
        return;
    const QUrl url = QUrl::fromLocalFile(path);
    static_cast<MapPage*>(view->page())->mapPage = url;
    view->setUrl(url);
}

bool CExplorer1::IsLoading() const
{
    return view && static_cast<MapPage*>(view->page())->loading;
}

void CExplorer1::CallPositionChange(double latitude, double longitude)
{
    if (QWebEnginePage* shown = page())
        shown->runJavaScript(PositionChangeScript(latitude, longitude));
}

#pragma once
// The GPS map pane at the right of the main window: the map page in a
// browser, or a picture saying why there is no map, and below it the
// latitude and longitude at the play position. It docks in the main
// window's map slot or floats as a window of its own, a placeholder then
// holding its slot.

#include "hub/IListener.h"
#include "platform/widgets/DialogBuilder.h"
#include "ui/MainWindowSeams.h"
#include "ui/MapPaneServices.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <map>
#include <memory>

class ApplicationHub;
class CButtonStyle;
class QLabel;
class RecordingEntry;

class GPSMapControl : public QWidget, public IListener, public IMapSlot {
    Q_OBJECT
public:
    // Template 232's controls.
    enum Control : int {
        LongitudeCaption = 1131,
        LatitudeCaption = 1132,
        Browser = 1133,
        LatitudeValue = 1154,
        LongitudeValue = 1155,
        PopupButton = 1177,
        NoGpsPicture = 32784,
        NoInternetPicture = 32785,
        Title = 32786,
    };
    static constexpr int kTemplate = 232;
    static constexpr int kNoGpsPng = 103;
    static constexpr int kNoInternetPng = 268;
    static constexpr int kTitleBitmap = 152;

    // parentWindow: the main window, or none. Logs and attaches to the hub.
    GPSMapControl(QWidget* parentWindow, ApplicationHub& hub, MapPaneServices services);
    // Detaches first, then deletes the placeholder.
    ~GPSMapControl() override;

    // Builds template 232 on the pane, a child of parent, and initialises it:
    // one connection probe, the page or a picture, and, for a pane with a
    // parent window, the placeholder (attached to the hub right after it).
    void Create(QWidget* parent);

    // Hub worker: takes what it needs and probes, then one UI-thread task
    // does the rest. The placeholder ignores every message.
    using QWidget::update;
    void update(int code, const MessageParam* payload) override;

    // The map slot (UI thread).
    QWidget* Widget() override { return this; }
    QWidget* SlotWidget() override;
    void ShowPosition(const GpsFix& fix) override;
    void SetShown(bool shown) override;
    void OnBnClickedPopup() override;
    QImage GrabMapImage() override;

    // UI thread unless said otherwise.
    // Hands the position to the page; never waits for it.
    void SetMapPosition(GpsFix fix);
    // Any thread: one probe; its answer is kept for the views and positions.
    bool CheckInternetConnection();
    // The map page when the last probe passed (loading it unless it is shown
    // or loading), else the no-Internet picture.
    void ShowMapPage();
    // The no-GPS picture for an entry without a position, else ShowMapPage.
    void ShowRecordingMap(const RecordingEntry& entry);
    void SetCoordinateLabels(const QString& longitude, const QString& latitude);
    void SetPopupButtonImages(bool enabled);
    // Paints PNG `png` centred for a 128 × 158 picture on 0x333333 over rect;
    // false, nothing painted, when the PNG could not be decoded.
    bool DrawPngResource(QPainter& painter, int png, const QRect& rect) const;

    bool IsUndocked() const { return undocked; }
    bool IsOnline() const { return online; }
    MapBrowser* GetBrowser() const { return browser.get(); }
    GPSMapControl* Placeholder() const { return placeholder; }
    QWidget* ControlWidget(Control id) const { return controls.Widget(id); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct PlaceholderTag {};
    GPSMapControl(PlaceholderTag, ApplicationHub& hub, MapPaneServices services);

    enum class View { None, Browser, NoInternet, NoGps };

    void OnInitDialog();
    void CreatePlaceholder();
    void LayOut();
    void ShowView(View view);
    // Messages 1 and 4: the browser as it is, or the no-Internet picture.
    void ApplyConnection(bool connected);
    void ShowFixInLabels(const GpsFix& fix);
    QLabel* Label(Control id) const;

    ApplicationHub& hub;
    MapPaneServices services;
    const bool isPlaceholder;
    QPointer<QWidget> parentWindow;
    std::unique_ptr<MapBrowser> browser;  // none in the placeholder
    ControlMap controls;
    CButtonStyle* popupButton = nullptr;
    QImage titleBitmap;
    std::map<int, QImage> pictures;  // the PNGs, decoded once
    QPointer<GPSMapControl> placeholder;
    std::shared_ptr<RecordingEntry> currentEntry;
    QString shownLongitude;
    QString shownLatitude;
    bool undocked = false;
    bool popupEnabled = false;
    bool initDone = false;
    bool shown = true;
    // A resize by an edge where the window system cannot do it (offscreen).
    Qt::Edges resizeEdges;
    QPoint resizePointerStart;
    QSize resizeStartSize;
    std::atomic<bool> online{false};
    std::atomic<bool> listening{true};
};

#include "ui/GPSMapControl.h"

#include "controls/CButtonStyle.h"
#include "core/Common.h"
#include "core/Numbers.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "platform/widgets/FitTexts.h"
#include "recordings/RecordingEntry.h"
#include "ui/MapPaneGeometry.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <array>
#include <optional>
#include <utility>

namespace {

const QString kClass = QStringLiteral("GPSMapControl");
const QString kMapPageTitle = QStringLiteral("map.htm");
const QString kNoCoordinate = QStringLiteral("-");
const QString kNoData = QStringLiteral("No Data");

constexpr gdi::ColorRef kPaneColor = 0x333333;
constexpr gdi::ColorRef kTextColor = 0xC8C8C8;

constexpr QSize kFloatingSize{1200, 800};
constexpr QSize kFloatingMinimum{300, 400};
constexpr QPoint kFloatingOffset{10, 10};

// The popup button's text docked and floating, and the tooltips.
constexpr int kDockedText = 270;
constexpr int kUndockedText = 271;
constexpr int kNoGpsTip = 272;
constexpr int kNoInternetTip = 273;
constexpr int kMapTip = 274;

void SetColours(QWidget* widget, std::optional<gdi::ColorRef> background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, gdi::ToQColor(kTextColor));
    if (background)
        palette.setColor(QPalette::Window, gdi::ToQColor(*background));
    widget->setPalette(palette);
    widget->setAutoFillBackground(background.has_value());
}

Qt::Edges EdgesOf(int hit)
{
    switch (hit) {
    case HitBottomRight: return Qt::RightEdge | Qt::BottomEdge;
    case HitBottom: return Qt::BottomEdge;
    case HitRight: return Qt::RightEdge;
    default: return {};
    }
}

}  // namespace

GPSMapControl::GPSMapControl(QWidget* parentWindow, ApplicationHub& hub, MapPaneServices services)
    : hub(hub), services(std::move(services)), isPlaceholder(false), parentWindow(parentWindow)
{
    LogPane(QStringLiteral("GPSMapControl Create"), kClass, kClass);
    hub.AttachListener(this);
}

GPSMapControl::GPSMapControl(PlaceholderTag, ApplicationHub& hub, MapPaneServices services)
    : hub(hub), services(std::move(services)), isPlaceholder(true)
{
    listening = false;
    LogPane(QStringLiteral("GPSMapControl Create"), kClass, kClass);
    hub.AttachListener(this);
}

GPSMapControl::~GPSMapControl()
{
    hub.DetachListener(this);
    delete placeholder.data();
}

void GPSMapControl::Create(QWidget* parent)
{
    Q_ASSERT(UiThread::IsUiThread());
    setParent(parent);
    DialogBuilder::Overrides overrides{
        {PopupButton,
         [this](QWidget* dialog, const DialogControl&) {
             return popupButton = new CButtonStyle(dialog, services.images);
         }},
    };
    if (!isPlaceholder) {
        overrides[Browser] = [this](QWidget* dialog, const DialogControl&) -> QWidget* {
            browser = services.makeBrowser(dialog, services.tileUrl);
            return browser ? browser->widget() : nullptr;
        };
    }
    controls = DialogBuilder::Build(DialogTemplate::Get(kTemplate), this, overrides);
    OnInitDialog();
}

void GPSMapControl::OnInitDialog()
{
    LogPane(QStringLiteral("GPSMapControl Create"), kClass, QStringLiteral("OnInitDialog"));
    titleBitmap = services.images.Bitmap(kTitleBitmap);
    for (const int png : {kNoGpsPng, kNoInternetPng})
        pictures[png] = QImage::fromData(services.images.Png(png), "PNG");

    SetColours(Label(Title), std::nullopt);
    for (const auto id : {LatitudeCaption, LatitudeValue, LongitudeCaption, LongitudeValue}) {
        SetColours(Label(id), kPaneColor);
        Label(id)->setWordWrap(false);  // one line, cut at the right
    }
    for (const auto id : {NoGpsPicture, NoInternetPicture})
        ControlWidget(id)->installEventFilter(this);

    popupButton->SetBackgroundBitmap(kTitleBitmap, titleBitmap);
    popupButton->setText(Common::GetResourceString(kDockedText));
    connect(popupButton, &QAbstractButton::clicked, this, &GPSMapControl::OnBnClickedPopup, Qt::QueuedConnection);

    if (isPlaceholder) {
        // Holds the slot while the pane floats: the title strip and nothing to
        // read or press.
        popupEnabled = false;
        for (const auto id : {LatitudeCaption, LatitudeValue, LongitudeCaption, LongitudeValue})
            ControlWidget(id)->hide();
        ShowView(View::None);
    } else {
        // One probe for the whole initialisation: each may take its deadline.
        CheckInternetConnection();
        popupEnabled = online;
        ShowMapPage();
    }
    SetPopupButtonImages(popupEnabled);

    popupButton->setToolTip(Common::GetResourceString(kMapTip));
    ControlWidget(NoGpsPicture)->setToolTip(Common::GetResourceString(kNoGpsTip));
    ControlWidget(NoInternetPicture)->setToolTip(Common::GetResourceString(kNoInternetTip));

    if (parentWindow && !isPlaceholder)
        CreatePlaceholder();
    initDone = true;
    LayOut();
}

void GPSMapControl::CreatePlaceholder()
{
    auto* copy = new GPSMapControl(PlaceholderTag{}, hub, services);
    copy->Create(parentWindow);
    copy->setGeometry(MapSlotRect(parentWindow->size()));
    copy->hide();
    placeholder = copy;
}

QLabel* GPSMapControl::Label(Control id) const
{
    return controls.Get<QLabel>(id);
}

void GPSMapControl::update(int code, const MessageParam* payload)
{
    if (!listening)
        return;
    switch (code) {
    case VIDEO_FILES_OPENED:
    case VIDEO_STOP: {
        // A failed probe is tried once more before the map gives up.
        const bool connected = CheckInternetConnection() || CheckInternetConnection();
        UiThread::Invoke([this, code, connected] {
            if (code == VIDEO_STOP)
                SetCoordinateLabels(kNoCoordinate, kNoCoordinate);
            ApplyConnection(connected);
        });
        break;
    }
    case VIDEO_END_REACHED:
        UiThread::Invoke([this] { SetCoordinateLabels(kNoCoordinate, kNoCoordinate); });
        break;
    case VIDEO_METADATA_CREATED: {
        std::shared_ptr<RecordingEntry> entry = EntryAtCurrentIndex(hub);
        if (!entry)
            break;
        if (HasPosition(*entry))
            CheckInternetConnection();
        // The worker waits in Invoke, so the entry is read without a lock.
        UiThread::Invoke([this, &entry] {
            currentEntry = entry;
            ShowRecordingMap(*entry);
        });
        break;
    }
    case VIDEO_FRAME_POSITION_CHANGED: {
        // No hub lock is held past the lookup: the hand-off waits for the UI
        // thread, which may itself wait for the playlist.
        const std::optional<GpsFix> fix = GpsFixAtPosition(hub, payload->position);
        if (!fix)
            break;
        const bool connected = online;
        UiThread::Invoke([this, &fix, connected] {
            if (connected && services.positionChange)
                services.positionChange(*fix);
            ShowFixInLabels(*fix);
        });
        break;
    }
    default:
        break;
    }
}

bool GPSMapControl::CheckInternetConnection()
{
    if (isPlaceholder)
        return false;
    online = services.probe.IsOnline();
    return online;
}

void GPSMapControl::ShowMapPage()
{
    Q_ASSERT(UiThread::IsUiThread());
    if (!online) {
        ShowView(View::NoInternet);
        return;
    }
    if (browser && browser->GetLocationName() != kMapPageTitle && !browser->IsLoading())
        browser->Navigate(services.pagePath);
    ShowView(View::Browser);
}

void GPSMapControl::ShowRecordingMap(const RecordingEntry& entry)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (HasPosition(entry))
        ShowMapPage();
    else
        ShowView(View::NoGps);
}

void GPSMapControl::ApplyConnection(bool connected)
{
    popupEnabled = connected;
    SetPopupButtonImages(connected);
    if (connected)
        ShowView(View::Browser);
    else
        ShowMapPage();
}

// At most one of the three is visible.
void GPSMapControl::ShowView(View view)
{
    if (QWidget* area = ControlWidget(Browser))
        area->setVisible(view == View::Browser && browser);
    ControlWidget(NoInternetPicture)->setVisible(view == View::NoInternet);
    ControlWidget(NoGpsPicture)->setVisible(view == View::NoGps);
}

void GPSMapControl::SetMapPosition(GpsFix fix)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (browser)
        browser->CallPositionChange(fix.latitude - 0.0001, fix.longitude);
}

void GPSMapControl::ShowPosition(const GpsFix& fix)
{
    SetMapPosition(fix);
}

void GPSMapControl::ShowFixInLabels(const GpsFix& fix)
{
    if (fix.latitude != 0 && fix.longitude != 0)
        SetCoordinateLabels(Numbers::FormatFixed(fix.longitude, 6), Numbers::FormatFixed(fix.latitude, 6));
    else
        SetCoordinateLabels(QString(), QString());
}

void GPSMapControl::SetCoordinateLabels(const QString& longitude, const QString& latitude)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (longitude != shownLongitude) {
        Label(LongitudeValue)->setText(longitude);
        shownLongitude = longitude;
    }
    if (latitude != shownLatitude) {
        Label(LatitudeValue)->setText(latitude);
        shownLatitude = latitude;
    }
    if (longitude.isEmpty() && latitude.isEmpty()) {
        Label(LongitudeValue)->setText(kNoData);
        Label(LatitudeValue)->setText(kNoData);
    }
}

void GPSMapControl::SetPopupButtonImages(bool enabled)
{
    Q_ASSERT(UiThread::IsUiThread());
    const std::array<int, 3> icons = PopupIcons(undocked, enabled);
    popupButton->SetIcons(icons[0], icons[1], icons[2]);
    popupButton->setEnabled(enabled);
}

bool GPSMapControl::DrawPngResource(QPainter& painter, int png, const QRect& rect) const
{
    const auto found = pictures.find(png);
    if (found == pictures.end() || found->second.isNull() || rect.isEmpty())
        return false;
    QImage surface(rect.size(), QImage::Format_ARGB32);
    surface.fill(gdi::ToQColor(kPaneColor));
    {
        QPainter offscreen(&surface);
        offscreen.drawImage(QPoint((rect.width() - 128) / 2, (rect.height() - 158) / 2), found->second);
    }
    painter.drawImage(rect.topLeft(), surface);
    return true;
}

QWidget* GPSMapControl::SlotWidget()
{
    Q_ASSERT(UiThread::IsUiThread());
    return undocked ? static_cast<QWidget*>(placeholder.data()) : this;
}

void GPSMapControl::SetShown(bool show)
{
    Q_ASSERT(UiThread::IsUiThread());
    shown = show;
    setVisible(show);
    if (undocked && placeholder)
        placeholder->setVisible(show);
}

// Floating, the pane is a frameless top-level window on top of the others,
// still a Qt child of the main window; the browser keeps its page across.
void GPSMapControl::OnBnClickedPopup()
{
    Q_ASSERT(UiThread::IsUiThread());
    if (!parentWindow)
        return;
    LogPane(QStringLiteral("Popup Click"), kClass, QStringLiteral("OnBnClickedPopup"));
    const QSize client = parentWindow->size();
    if (!undocked) {
        if (placeholder) {
            placeholder->setGeometry(MapSlotRect(client));
            placeholder->setVisible(shown);
        }
        const QPoint origin = parentWindow->mapToGlobal(QPoint(0, 0)) + kFloatingOffset;
        setParent(parentWindow, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setMinimumSize(kFloatingMinimum);
        setGeometry(QRect(origin, kFloatingSize));
        undocked = true;
        popupButton->setText(Common::GetResourceString(kUndockedText));
    } else {
        setParent(parentWindow, Qt::Widget);
        setMinimumSize(0, 0);
        if (placeholder)
            placeholder->hide();
        undocked = false;
        setGeometry(MapSlotRect(client));
        popupButton->setText(Common::GetResourceString(kDockedText));
    }
    setVisible(shown);
    SetPopupButtonImages(popupEnabled);
    LogPane(QStringLiteral("Popup end"), kClass, QStringLiteral("OnBnClickedPopup"));
}

QImage GPSMapControl::GrabMapImage()
{
    Q_ASSERT(UiThread::IsUiThread());
    return grab(ControlWidget(Browser)->geometry()).toImage();
}

void GPSMapControl::LayOut()
{
    const MapPaneRects rects = MapPaneLayout(width(), height());
    const std::pair<Control, QRect> places[] = {
        {Title, rects.title},
        {PopupButton, rects.popupButton},
        {Browser, rects.browser},
        {NoInternetPicture, rects.picture},
        {NoGpsPicture, rects.picture},
        {LatitudeCaption, rects.latitudeCaption},
        {LatitudeValue, rects.latitudeValue},
        {LongitudeCaption, rects.longitudeCaption},
        {LongitudeValue, rects.longitudeValue},
    };
    for (const auto& [id, place] : places)
        ControlWidget(id)->setGeometry(place);
    // The captions' 40 pixels were measured in a narrower font.
    platform::FitTexts(*this);
}

void GPSMapControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (initDone)
        LayOut();
}

void GPSMapControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), gdi::ToQColor(kPaneColor));
    if (!titleBitmap.isNull())
        gdi::Stretch(painter, QRect(0, -1, width(), 34), titleBitmap, titleBitmap.rect());
    // The thin border, over everything else the pane paints.
    painter.setPen(gdi::ToQColor(kPaneFrameColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// The two pictures are painted by the pane from the decoded PNGs.
bool GPSMapControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        const int png = watched == ControlWidget(NoGpsPicture)        ? kNoGpsPng
                        : watched == ControlWidget(NoInternetPicture) ? kNoInternetPng
                                                                      : 0;
        if (png) {
            auto* picture = static_cast<QWidget*>(watched);
            QPainter painter(picture);
            DrawPngResource(painter, png, picture->rect());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Floating, a press by an edge resizes the pane and elsewhere drags it;
// docked, a press does nothing. Labels and pictures pass presses on to here.
void GPSMapControl::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!undocked || event->button() != Qt::LeftButton)
        return;
    const Qt::Edges edges = EdgesOf(FloatingHitTest(size(), event->position().toPoint()));
    if (!edges) {
        if (services.moveWindow)
            services.moveWindow(this);
        return;
    }
    if (QWindow* handle = windowHandle(); handle && handle->startSystemResize(edges))
        return;
    resizeEdges = edges;
    resizePointerStart = event->globalPosition().toPoint();
    resizeStartSize = size();
}

void GPSMapControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!resizeEdges)
        return;
    if (!(event->buttons() & Qt::LeftButton)) {
        resizeEdges = {};  // the release went elsewhere
        return;
    }
    const QPoint moved = event->globalPosition().toPoint() - resizePointerStart;
    QSize size = resizeStartSize;
    if (resizeEdges & Qt::RightEdge)
        size.rwidth() += moved.x();
    if (resizeEdges & Qt::BottomEdge)
        size.rheight() += moved.y();
    resize(size.expandedTo(minimumSize()));
}

void GPSMapControl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    resizeEdges = {};
}

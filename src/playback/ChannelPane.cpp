#include "playback/ChannelPane.h"

#include "hub/ApplicationHub.h"
#include "platform/OpenFolder.h"
#include "platform/UiThread.h"
#include "playback/VideoSurface.h"
#include "recordings/RecordingEntry.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <filesystem>
#include <system_error>

QString InsertTrackTag(const QString& path, const QString& tag)
{
    if (path.size() < 4)
        return tag + path;
    return path.left(path.size() - 4) + tag + path.right(4);
}

ChannelPane::ChannelPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub, VlcFunctionExecutor& vlc)
    : QWidget(parent),
      host(host),
      hub(hub),
      vlc(vlc),
      openFolder([](const QString& folder) { return platform::OpenFolder(folder); })
{
    // No background of its own: the pane paints black, its areas over it.
    setFocusPolicy(Qt::ClickFocus);
}

ChannelPane::~ChannelPane()
{
    // The surface holds the sink's repaint request: it goes first.
    delete surface;
    surface = nullptr;
}

void ChannelPane::BuildTemplate(int templateId, int surfaceId, DialogBuilder::Overrides overrides)
{
    overrides[surfaceId] = [this](QWidget* dialog, const DialogControl&) {
        return surface = new VideoSurface(sink, dialog);
    };
    controls = DialogBuilder::Build(DialogTemplate::Get(templateId), this, overrides);
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    const QSize visible = VideoSurface::PictureRect(surface->size()).size();
    visibleWidth = visible.width();
    visibleHeight = visible.height();
}

libvlc_media_player_t* ChannelPane::CurrentPlayer()
{
    std::lock_guard lock(playerLock);
    return handles.player();
}

QSize ChannelPane::VisiblePictureSize() const
{
    return QSize(visibleWidth, visibleHeight);
}

void ChannelPane::ReleasePlayer()
{
    std::lock_guard lock(playerLock);
    handles.reset();
}

bool ChannelPane::TakeSnapshot(const QString& path)
{
    std::string utf8;
    if (!ConvertToUtf8Path(utf8, path))
        return false;
    {
        std::lock_guard lock(playerLock);
        if (!handles.ready())
            return false;
        vlc.libvlc_video_take_snapshot(handles.player(), utf8);
    }
    // libvlc has written the file when the call returns.
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(utf8), error);
}

int ChannelPane::CurrentStreamCount()
{
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    if (!entry)
        return 0;
    std::lock_guard lock(hub.fileLock);
    return entry->videoStreamCount;
}

void ChannelPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!initialized)
        return;
    for (QWidget* area : FillingAreas())
        area->setGeometry(rect());
    const QSize visible = VideoSurface::PictureRect(surface->size()).size();
    visibleWidth = visible.width();
    visibleHeight = visible.height();
}

void ChannelPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void ChannelPane::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && moveWindow)
        moveWindow(this);
}

// The window's key router (an application filter) has seen every key before
// it gets here: what it did not take goes no further.
bool ChannelPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return true;
    return QWidget::eventFilter(watched, event);
}

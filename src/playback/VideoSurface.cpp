#include "playback/VideoSurface.h"

#include "playback/VideoFrameSink.h"
#include "platform/UiThread.h"

#include <QPainter>
#include <algorithm>

VideoSurface::VideoSurface(VideoFrameSink& sink, QWidget* parent) : QWidget(parent), sink(sink)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Runs on libvlc's thread under the sink's lock, which the destructor
    // takes to unhook it, so the surface is alive while the request is
    // queued; the hand-off drops it if the surface is gone by the time the
    // UI thread gets to it.
    sink.SetRepaintRequest([this] { UiThread::Post(this, [this] { update(); }); });
}

VideoSurface::~VideoSurface()
{
    sink.SetRepaintRequest({});
}

void VideoSurface::Clear()
{
    cleared = true;
    clearedAt = sink.FrameCount();
    update();
}

QRect VideoSurface::PictureRect(const QSize& size)
{
    const long long width = size.width();
    const long long height = size.height();
    const long long w = std::min(width, height * 16 / 9);
    const long long h = w * 9 / 16;
    return QRect(static_cast<int>((width - w) / 2), static_cast<int>((height - h) / 2), static_cast<int>(w),
                 static_cast<int>(h));
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    sink.RepaintTaken();
    const VideoFrameSink::Latest latest = sink.LatestFrame();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (latest.frame && (!cleared || latest.count != clearedAt))
        painter.drawImage(PictureRect(size()), *latest.frame);
}

#include "controls/CSkinVerticleScrollbar.h"

#include "controls/CSkinListCtrl.h"
#include "controls/ControlSupport.h"
#include "controls/MemoryDC.h"
#include "platform/gdi/GdiCompat.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr gdi::ColorRef kTrackColor = 0x505050;
constexpr int kImageSize = 18;

void DrawImage(QPainter& painter, int x, int y, const QImage& image)
{
    gdi::Copy(painter, QPoint(x, y), image, QRect(0, 0, kImageSize, kImageSize));
}

}  // namespace

CSkinVerticleScrollbar::CSkinVerticleScrollbar(CSkinListCtrl& list, QWidget* parent, const ImageSource& images)
    : QWidget(parent),
      list(list),
      top(images.Bitmap(kTopImage)),
      up(images.Bitmap(kUpImage)),
      down(images.Bitmap(kDownImage)),
      bottom(images.Bitmap(kBottomImage)),
      thumb(images.Bitmap(kThumbImage))
{
    delayTimer.setSingleShot(true);
    delayTimer.setInterval(kRepeatDelayMs);
    repeatTimer.setInterval(kRepeatIntervalMs);
    connect(&delayTimer, &QTimer::timeout, this, &CSkinVerticleScrollbar::OnDelayTimer);
    connect(&repeatTimer, &QTimer::timeout, this, &CSkinVerticleScrollbar::OnRepeatTimer);
}

void CSkinVerticleScrollbar::UpdateThumb()
{
    controls::AssertUiThread(this);
    const int limit = list.ScrollLimit();
    if (limit > 0)
        thumbInterval = double(height() - 90) / limit;
    thumbTop = scrollbar::ThumbTopFor(height(), list.ScrollPosition(), limit);
    Draw();
}

void CSkinVerticleScrollbar::Draw()
{
    controls::AssertUiThread(this);
    update();
}

void CSkinVerticleScrollbar::paintEvent(QPaintEvent*)
{
    QPainter target(this);
    const QRect client = rect();
    CMemoryDC memory(client, target);
    QPainter& painter = memory.painter();
    const int h = client.height();
    painter.fillRect(client, gdi::ToQColor(kTrackColor));
    DrawImage(painter, 0, 0, top);
    DrawImage(painter, 0, 17, up);
    DrawImage(painter, 0, h - 37, down);
    DrawImage(painter, 1, h - 19, bottom);
    if (list.ScrollLimit() != 0)
        DrawImage(painter, 0, thumbTop, thumb);
}

void CSkinVerticleScrollbar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    flags = scrollbar::PressFor(scrollbar::HitAreas(at.x(), at.y(), height(), thumbTop));
    if (flags.upPressed || flags.downPressed)
        delayTimer.start();
    QWidget::mousePressEvent(event);
}

void CSkinVerticleScrollbar::OnDelayTimer()
{
    if (!flags.upPressed && !flags.downPressed)
        return;
    delayTimer.stop();
    repeatTimer.start();
}

void CSkinVerticleScrollbar::OnRepeatTimer()
{
    if (flags.downPressed)
        Perform(scrollbar::Action::LineDown);
    if (flags.upPressed)
        Perform(scrollbar::Action::LineUp);
}

void CSkinVerticleScrollbar::mouseMoveEvent(QMouseEvent* event)
{
    if (flags.thumbDragging) {
        const int y = event->position().toPoint().y();
        // The thumb follows the pointer until the list's new position
        // (if the drag changed it) puts it back on a row.
        thumbTop = scrollbar::DraggedThumbTop(y, height());
        if (const std::optional<int> target = scrollbar::DragTarget(y, height(), list.ScrollLimit()))
            list.ScrollRows(*target - list.ScrollPosition());
        Draw();
    }
    QWidget::mouseMoveEvent(event);
}

void CSkinVerticleScrollbar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    UpdateThumb();
    delayTimer.stop();
    repeatTimer.stop();
    const QPoint at = event->position().toPoint();
    const scrollbar::Areas areas = scrollbar::HitAreas(at.x(), at.y(), height(), thumbTop);
    Perform(scrollbar::ReleaseAction(flags, areas, at.y(), thumbTop));
    flags = {};
    QWidget::mouseReleaseEvent(event);
}

void CSkinVerticleScrollbar::Perform(scrollbar::Action action)
{
    if (action == scrollbar::Action::None)
        return;
    list.Scroll(action);
    UpdateThumb();
}

// A release that will never come (a box opened, the bar hidden) must not
// leave an arrow repeating.
bool CSkinVerticleScrollbar::event(QEvent* event)
{
    if (controls::EndsPress(*this, *event))
        EndPress();
    return QWidget::event(event);
}

void CSkinVerticleScrollbar::EndPress()
{
    delayTimer.stop();
    repeatTimer.stop();
    flags = {};
}

#include "controls/CEnhancedSliderCtrl.h"

#include "controls/ControlSupport.h"
#include "platform/gdi/GdiCompat.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

std::optional<int> ValueFromPoint(int c, int chLeft, int chRight, int min, int max)
{
    if (chRight == chLeft)
        return std::nullopt;
    const double f = (double(c) - chLeft) / (double(chRight) - chLeft);
    const double v = std::trunc(f * (double(max) - min + 1) + min + 0.5 - f);
    // Clamped in floating point, so a point far outside never overflows.
    return int(std::clamp(v, double(std::min(min, max)), double(std::max(min, max))));
}

QRect WidenChannel(const QRect& channel)
{
    if (channel.height() > channel.width())
        return channel.adjusted(-1, 0, 1, 0);
    return channel.adjusted(0, -2, 0, 2);
}

QRect FillRect(const QRect& thumb)
{
    return QRect(8, 10, thumb.left() + 3, 6);
}

QRect ThumbRectFor(const QRect& channel, int pos, int min, int max)
{
    const int left = channel.left();
    const int span = gdi::Right(channel) - left;
    const int xc = max == min ? left
                              : left + int(std::lround((double(pos) - min) * span / (double(max) - min)));
    return gdi::RectLTRB(xc - 5, 3, xc + 6, 23);
}

CEnhancedSliderCtrl::CEnhancedSliderCtrl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void CEnhancedSliderCtrl::SetRange(int min, int max)
{
    controls::AssertUiThread(this);
    rangeMin = min;
    rangeMax = max;
    SetPos(position);
}

void CEnhancedSliderCtrl::SetPos(int pos)
{
    controls::AssertUiThread(this);
    position = std::max(std::min(pos, rangeMax), rangeMin);
    update();
}

void CEnhancedSliderCtrl::SetPageSize(int size)
{
    controls::AssertUiThread(this);
    pageSize = size;
}

void CEnhancedSliderCtrl::SetLineSize(int size)
{
    controls::AssertUiThread(this);
    lineSize = size;
}

void CEnhancedSliderCtrl::SetTicFreq(int frequency)
{
    controls::AssertUiThread(this);
    ticFrequency = frequency;
}

QRect CEnhancedSliderCtrl::ChannelRect() const
{
    return gdi::RectLTRB(8, 12, width() - 8, 14);
}

QRect CEnhancedSliderCtrl::ThumbRect() const
{
    return ThumbRectFor(ChannelRect(), position, rangeMin, rangeMax);
}

bool CEnhancedSliderCtrl::SetPosFromPoint(QPoint point)
{
    const QRect channel = ChannelRect();
    const std::optional<int> value = ValueFromPoint(point.x(), channel.left(), gdi::Right(channel), rangeMin, rangeMax);
    if (!value || *value == position)
        return false;
    SetPos(*value);
    return true;
}

void CEnhancedSliderCtrl::NotifyParent(int code)
{
    emit hScroll(code, position);
}

void CEnhancedSliderCtrl::EndDrag()
{
    controls::AssertUiThread(this);
    if (!dragging)
        return;
    dragging = false;
    update();
    if (moved) {
        moved = false;
        NotifyParent(SB_THUMBPOSITION);
    }
}

void CEnhancedSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    moved = false;
    setFocus(Qt::MouseFocusReason);
    update();
    if (SetPosFromPoint(event->position().toPoint())) {
        moved = true;
        NotifyParent(SB_THUMBTRACK);
    }
}

void CEnhancedSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging && SetPosFromPoint(event->position().toPoint())) {
        moved = true;
        NotifyParent(SB_THUMBTRACK);
    }
}

void CEnhancedSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging)
        return;
    if (SetPosFromPoint(event->position().toPoint())) {
        moved = true;
        NotifyParent(SB_THUMBTRACK);
    }
    EndDrag();
}

bool CEnhancedSliderCtrl::event(QEvent* event)
{
    if (dragging && controls::EndsPress(*this, *event))
        EndDrag();
    return QWidget::event(event);
}

void CEnhancedSliderCtrl::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

void CEnhancedSliderCtrl::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

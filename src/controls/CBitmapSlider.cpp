#include "controls/CBitmapSlider.h"

#include "controls/ControlSupport.h"
#include "controls/MemoryDC.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int TruncToInt(double value)
{
    if (!(value > double(INT_MIN)))
        return INT_MIN;
    if (!(value < double(INT_MAX)))
        return INT_MAX;
    return int(std::trunc(value));
}

int UsableLength(const SliderMapping& m)
{
    return m.width - m.marginRight - m.marginLeft;
}

// The key colour of a channel image is its top-left pixel.
gdi::MaskedImage KeyedOnCorner(const QImage& image)
{
    if (image.isNull())
        return {};
    return gdi::MakeKeyMask(image, gdi::ToColorRef(image.pixelColor(0, 0)));
}

}  // namespace

int PosToPixel(const SliderMapping& m, int pos)
{
    if (m.rangeMax == m.rangeMin)
        return m.marginLeft;
    const double span = double(m.rangeMax) - double(m.rangeMin);
    return TruncToInt(double(m.marginLeft) + std::trunc(UsableLength(m) * (double(pos) - m.rangeMin) / span));
}

int PixelToPos(const SliderMapping& m, int x)
{
    const int length = UsableLength(m);
    if (length <= 0)
        return m.rangeMin;
    return TruncToInt((double(x) - m.marginLeft) / length * (double(m.rangeMax) - m.rangeMin) + m.rangeMin);
}

CBitmapSlider::CBitmapSlider(QWidget* parent, const ImageSource& images) : QWidget(parent), images(images)
{
    setFocusPolicy(Qt::ClickFocus);
}

bool CBitmapSlider::LoadChannelBitmaps()
{
    // Stops at the first missing image, as the three-image form does.
    const QImage back = images.Bitmap(kBackgroundImage);
    const QImage empty = back.isNull() ? QImage() : images.Bitmap(kChannelImage);
    const QImage filled = empty.isNull() ? QImage() : images.Bitmap(kActiveChannelImage);
    return LoadChannelBitmaps(back, empty, filled);
}

bool CBitmapSlider::LoadChannelBitmaps(const QImage& back, const QImage& empty, const QImage& filled)
{
    controls::AssertUiThread(this);
    background = back;
    if (back.isNull())
        return false;
    channel = KeyedOnCorner(empty);
    if (channel.isNull())
        return false;
    activeChannel = KeyedOnCorner(filled);
    if (activeChannel.isNull()) {
        channel = {};
        return false;
    }
    width = empty.width();
    height = empty.height();
    resize(width, height);
    rect = QRect(0, 0, width, height);
    update();
    return true;
}

void CBitmapSlider::SetRange(int min, int max)
{
    controls::AssertUiThread(this);
    rangeMin = min;
    rangeMax = max;
}

void CBitmapSlider::SetPos(int pos)
{
    controls::AssertUiThread(this);
    position = std::max(std::min(pos, rangeMax), rangeMin);
}

void CBitmapSlider::SetMargin(int left, int right)
{
    controls::AssertUiThread(this);
    marginLeft = left;
    marginRight = right;
}

void CBitmapSlider::SetPageSize(int size)
{
    controls::AssertUiThread(this);
    pageSize = size;
}

void CBitmapSlider::SetControlId(int id)
{
    controls::AssertUiThread(this);
    controlId = id;
}

SliderMapping CBitmapSlider::Mapping() const
{
    return {width, marginLeft, marginRight, rangeMin, rangeMax};
}

int CBitmapSlider::PosToPixel(int pos) const
{
    return ::PosToPixel(Mapping(), pos);
}

int CBitmapSlider::PixelToPos(int x) const
{
    return ::PixelToPos(Mapping(), x);
}

void CBitmapSlider::paintEvent(QPaintEvent*)
{
    QPainter target(this);
    CMemDCC memory(target, rect, true);
    QPainter& painter = memory.painter();
    gdi::Copy(painter, QPoint(0, 0), background, QRect(50, 13, 74, 23));
    const int p = PosToPixel(position);
    // Each part goes through the other image's mask; both share their key pixels.
    gdi::MaskedCopy(painter, QPoint(p, 0), channel.image, activeChannel.mask, QRect(p, 0, width - p, height));
    gdi::MaskedCopy(painter, QPoint(0, 0), activeChannel.image, channel.mask, QRect(0, 0, p, height));
}

void CBitmapSlider::TrackTo(int x)
{
    const int a = std::min(std::max(x, marginLeft), width - marginRight);
    if (a == PosToPixel(position))
        return;
    position = std::max(std::min(PixelToPos(a), rangeMax), rangeMin);
    update();
    emit positionChanging(controlId, position);
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    mouseDown = true;
    TrackTo(event->position().toPoint().x());
    update();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (mouseDown)
        TrackTo(event->position().toPoint().x());
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && mouseDown)
        EndPress();
}

void CBitmapSlider::EndPress()
{
    mouseDown = false;
    update();
    emit positionChanged(controlId, position);
}

bool CBitmapSlider::event(QEvent* event)
{
    if (mouseDown && controls::EndsPress(*this, *event))
        EndPress();
    return QWidget::event(event);
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event)
{
    // Tab and Backtab keep moving the focus; Alt combinations belong to the window.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit positionChanged(controlId, position);
}

void CBitmapSlider::focusInEvent(QFocusEvent* event)
{
    focused = true;
    update();
    QWidget::focusInEvent(event);
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event)
{
    focused = false;
    update();
    QWidget::focusOutEvent(event);
}

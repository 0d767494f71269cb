#include "controls/CButtonStyle.h"

#include "controls/ControlSupport.h"
#include "platform/gdi/GdiCompat.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kPlayerBackground = 107;

}  // namespace

QRect BackgroundSourceRect(int backgroundId, QPoint posInParent, QSize clientSize)
{
    if (backgroundId == kPlayerBackground)
        return QRect(QPoint(3, 8), clientSize);
    return QRect(posInParent, QSize(50, 20));
}

CButtonStyle::CButtonStyle(QWidget* parent, const ImageSource& images) : QAbstractButton(parent), images(images)
{
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
}

void CButtonStyle::SetBackgroundBitmap(int id)
{
    SetBackgroundBitmap(id, images.Bitmap(id));
}

void CButtonStyle::SetBackgroundBitmap(int id, const QImage& bitmap)
{
    controls::AssertUiThread(this);
    backgroundId = id;
    background = bitmap;
    update();
}

void CButtonStyle::SetIcons(int normal, int pressed, int hover)
{
    SetIcons(images.Icon(normal), images.Icon(pressed), images.Icon(hover));
}

void CButtonStyle::SetIcons(const QImage& normal, const QImage& pressed, const QImage& hover)
{
    controls::AssertUiThread(this);
    normalIcon = normal;
    pressedIcon = pressed;
    hoverIcon = hover;
    update();
}

void CButtonStyle::SetState(int state)
{
    currentState = state;
    update();
}

// Back to normal; the next move over the button shows the hover face.
void CButtonStyle::Disarm()
{
    trackArmed = true;
    SetState(Normal);
}

void CButtonStyle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background.isNull()) {
        const QRect source = BackgroundSourceRect(backgroundId, pos(), size());
        if (backgroundId == kPlayerBackground)
            gdi::Copy(painter, QPoint(0, 0), background, source);
        else
            gdi::Stretch(painter, rect(), background, source);
    }
    const QImage& icon = currentState == Hover ? hoverIcon : currentState == Pressed ? pressedIcon : normalIcon;
    if (!icon.isNull())
        painter.drawImage(QPoint(0, 0), icon);
}

void CButtonStyle::mouseMoveEvent(QMouseEvent* event)
{
    if (trackArmed) {
        trackArmed = false;
        SetState(Hover);
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CButtonStyle::leaveEvent(QEvent* event)
{
    Disarm();
    QAbstractButton::leaveEvent(event);
}

void CButtonStyle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        SetState(Pressed);
    QAbstractButton::mousePressEvent(event);
}

void CButtonStyle::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // A release elsewhere gets no leave afterwards: show normal there.
        if (rect().contains(event->position().toPoint()))
            SetState(Hover);
        else
            Disarm();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

bool CButtonStyle::event(QEvent* event)
{
    if (currentState == Pressed && controls::EndsPress(*this, *event))
        Disarm();
    return QAbstractButton::event(event);
}

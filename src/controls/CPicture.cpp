#include "controls/CPicture.h"

#include "controls/ControlSupport.h"

#include <QPainter>

CPicture::CPicture(QWidget* parent) : QWidget(parent) {}

void CPicture::SetBitmap(const QImage& image)
{
    controls::AssertUiThread(this);
    bitmap = image;
    keyed = gdi::KeyToAlpha(bitmap, transparentColor);
    update();
}

void CPicture::SetTransparentColor(gdi::ColorRef color)
{
    controls::AssertUiThread(this);
    transparentColor = color;
    keyed = gdi::KeyToAlpha(bitmap, transparentColor);
    update();
}

void CPicture::paintEvent(QPaintEvent*)
{
    if (keyed.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), keyed);
}

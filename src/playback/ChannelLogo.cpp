#include "playback/ChannelLogo.h"

#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"

#include <QPainter>

ChannelLogo::ChannelLogo(QWidget* parent) : QWidget(parent) {}

void ChannelLogo::SetBitmap(QImage image)
{
    Q_ASSERT(UiThread::IsUiThread());
    bitmap = std::move(image);
    update();
}

void ChannelLogo::paintEvent(QPaintEvent*)
{
    if (bitmap.isNull())
        return;
    QPainter painter(this);
    gdi::Stretch(painter, rect(), bitmap, bitmap.rect());
}

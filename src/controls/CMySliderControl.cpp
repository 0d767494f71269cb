#include "controls/CMySliderControl.h"

#include "platform/gdi/GdiCompat.h"

#include <QPainter>

namespace {

QImage BitmapOrNone(const ImageSource& images, int id)
{
    return id == 0 ? QImage() : images.Bitmap(id);
}

}  // namespace

CMySliderControl::CMySliderControl(int channelImage, int thumbImage, int pressedThumbImage, int fillImage,
                                   bool drawFill, QWidget* parent, const ImageSource& images)
    : CEnhancedSliderCtrl(parent),
      drawFill(drawFill),
      background(images.Bitmap(kBackgroundImage)),
      channel(BitmapOrNone(images, channelImage)),
      thumb(BitmapOrNone(images, thumbImage)),
      pressedThumb(BitmapOrNone(images, pressedThumbImage)),
      fill(BitmapOrNone(images, fillImage))
{
}

void CMySliderControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawChannel(painter);
    DrawThumb(painter);
}

void CMySliderControl::DrawChannel(QPainter& painter) const
{
    const QRect client = rect();
    gdi::Stretch(painter, client, background, QRect(4, 15, background.width() / 5, background.height() / 3));
    if (drawFill)
        painter.fillRect(client, Qt::black);
    gdi::Stretch(painter, WidenChannel(ChannelRect()), channel, channel.rect());
}

void CMySliderControl::DrawThumb(QPainter& painter) const
{
    const QRect t = ThumbRect();
    if (drawFill)
        gdi::Stretch(painter, FillRect(t), fill, QRect(0, 0, 3, 6));
    const QImage& face = IsDragging() ? pressedThumb : thumb;
    gdi::Stretch(painter, t, face, face.rect());
}

#include "Inventory.h"

#include <QPainter>
#include <QPainterPath>

namespace skingen {

namespace {

// The window icon: a recorder's body with its lens and record light; the
// corners stay transparent.
void DrawProgramIcon(QImage& image)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2B, 0x30, 0x3A));
    painter.drawRoundedRect(QRectF(2, 7, 28, 19), 4, 4);
    painter.setBrush(QColor(0x9A, 0xA4, 0xB5));
    painter.drawEllipse(QPointF(16, 16.5), 7, 7);
    painter.setBrush(QColor(0x1C, 0x5D, 0x99));
    painter.drawEllipse(QPointF(16, 16.5), 4.5, 4.5);
    painter.setBrush(QColor(0xE0, 0x24, 0x24));
    painter.drawEllipse(QPointF(26, 10.5), 1.5, 1.5);
}

// The loader fixture's bitmap: six exact colours, white being the key.
void DrawTestBitmap(QImage& image)
{
    const QRgb pixels[2][3] = {{0xFFFF0000, 0xFFFFFFFF, 0xFF00FF00},
                               {0xFFFFFFFF, 0xFF0000FF, 0xFF123456}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            image.setPixel(x, y, pixels[y][x]);
        }
    }
}

// The loader fixture's raw PNG: a half-transparent square with an opaque bar.
void DrawTestPicture(QImage& image)
{
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 8, 8), QColor(0x20, 0x80, 0xC0, 0x80));
    painter.fillRect(QRect(2, 3, 4, 2), QColor(0xF0, 0xF0, 0x10));
}

const SkinImage kProgramIcon{Kind::Icon, 245, QSize(32, 32), DrawProgramIcon};

}  // namespace

QString KindFolder(Kind kind)
{
    switch (kind) {
    case Kind::Icon: return QStringLiteral("icon");
    case Kind::Bitmap: return QStringLiteral("bitmap");
    case Kind::Png: return QStringLiteral("PNG");
    }
    return {};
}

std::vector<SkinImage> Set(const QString& name)
{
    if (name == QLatin1String("program")) {
        return {kProgramIcon};
    }
    if (name == QLatin1String("test")) {
        return {SkinImage{Kind::Bitmap, 108, QSize(3, 2), DrawTestBitmap}, kProgramIcon,
                SkinImage{Kind::Png, 103, QSize(8, 8), DrawTestPicture}};
    }
    return {};
}

QStringList SetNames()
{
    return {QStringLiteral("program"), QStringLiteral("test")};
}

QImage Render(const SkinImage& entry)
{
    const bool opaque = entry.kind == Kind::Bitmap;
    QImage image(entry.size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    image.fill(opaque ? Qt::black : Qt::transparent);
    entry.draw(image);
    return image;
}

}  // namespace skingen

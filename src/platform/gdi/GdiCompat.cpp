#include "platform/gdi/GdiCompat.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>
#include <cstdlib>

namespace gdi {

QColor ToQColor(ColorRef color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

ColorRef ToColorRef(const QColor& color)
{
    return Rgb(color.red(), color.green(), color.blue());
}

QRect RectLTRB(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

int Right(const QRect& rect)
{
    return rect.x() + rect.width();
}

int Bottom(const QRect& rect)
{
    return rect.y() + rect.height();
}

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

QRgb KeyAsRgb(ColorRef key)
{
    return qRgb(int(key & 0xFF), int((key >> 8) & 0xFF), int((key >> 16) & 0xFF)) & kRgbMask;
}

bool IsRaster32(const QImage& image)
{
    const QImage::Format f = image.format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// The image behind a painter when it draws on one we can write per pixel.
QImage* RasterTarget(QPainter& painter)
{
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    return IsRaster32(*image) ? image : nullptr;
}

// Source index for target index i of a stretch of `srcLen` over `dstLen`.
int NearestSource(int i, int srcLen, int dstLen)
{
    return int((std::int64_t(2 * i + 1) * srcLen) / (std::int64_t(2) * dstLen));
}

// Target indexes [first, last) whose stretched source lies in [0, limit).
std::pair<int, int> ValidSpan(int srcStart, int srcLen, int dstLen, int limit)
{
    int first = 0;
    while (first < dstLen && srcStart + NearestSource(first, srcLen, dstLen) < 0)
        ++first;
    int last = dstLen;
    while (last > first && srcStart + NearestSource(last - 1, srcLen, dstLen) >= limit)
        --last;
    return {first, last};
}

}  // namespace

void Copy(QPainter& target, QPoint at, const QImage& source, const QRect& srcRect)
{
    const QRect inside = srcRect & source.rect();
    if (inside.isEmpty())
        return;
    const QPainter::CompositionMode previous = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_Source);
    target.drawImage(at + (inside.topLeft() - srcRect.topLeft()), source, inside);
    target.setCompositionMode(previous);
}

void Stretch(QPainter& target, const QRect& dstRect, const QImage& source, const QRect& srcRect)
{
    const int dw = dstRect.width(), dh = dstRect.height();
    const int sw = srcRect.width(), sh = srcRect.height();
    if (source.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    const auto [i0, i1] = ValidSpan(srcRect.x(), sw, dw, source.width());
    const auto [j0, j1] = ValidSpan(srcRect.y(), sh, dh, source.height());
    if (i0 >= i1 || j0 >= j1)
        return;

    const QImage src = source.format() == QImage::Format_RGB32
        ? source
        : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage part(i1 - i0, j1 - j0, src.format());
    for (int j = j0; j < j1; ++j) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(srcRect.y() + NearestSource(j, sh, dh)));
        auto* out = reinterpret_cast<QRgb*>(part.scanLine(j - j0));
        for (int i = i0; i < i1; ++i)
            out[i - i0] = in[srcRect.x() + NearestSource(i, sw, dw)];
    }
    const QPainter::CompositionMode previous = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_Source);
    target.drawImage(dstRect.topLeft() + QPoint(i0, j0), part);
    target.setCompositionMode(previous);
}

MaskedImage MakeKeyMask(const QImage& source, ColorRef key)
{
    if (source.isNull())
        return {};
    MaskedImage result;
    result.image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    result.mask = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb keyRgb = KeyAsRgb(key);
    for (int y = 0; y < source.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(result.image.scanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(result.mask.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const bool isKey = (pixels[x] & kRgbMask) == keyRgb;
            mask[x] = isKey ? 0xFFFFFFFFu : 0u;
            if (isKey)
                pixels[x] = 0;
        }
    }
    return result;
}

void MaskedCopy(QPainter& target, QPoint at, const QImage& image, const QImage& mask, const QRect& srcRect)
{
    if (image.isNull() || mask.isNull())
        return;
    const QRect inside = srcRect & image.rect() & mask.rect();
    if (inside.isEmpty())
        return;
    const QPoint origin = at + (inside.topLeft() - srcRect.topLeft());
    const QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage msk = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);

    QImage* raster = RasterTarget(target);
    if (raster == nullptr) {
        // No pixels to combine with: show the image where the mask is clear.
        QImage visible(inside.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < inside.height(); ++y) {
            const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(inside.y() + y)) + inside.x();
            const auto* m = reinterpret_cast<const QRgb*>(msk.constScanLine(inside.y() + y)) + inside.x();
            auto* out = reinterpret_cast<QRgb*>(visible.scanLine(y));
            for (int x = 0; x < inside.width(); ++x)
                out[x] = m[x] == 0 ? s[x] : 0u;
        }
        target.drawImage(origin, visible);
        return;
    }

    const QPoint device = target.transform().map(origin);
    const QRect onTarget = QRect(device, inside.size()) & raster->rect();
    const QPoint shift = inside.topLeft() - device;
    for (int y = onTarget.top(); y <= onTarget.bottom(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(raster->scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y + shift.y()));
        const auto* m = reinterpret_cast<const QRgb*>(msk.constScanLine(y + shift.y()));
        for (int x = onTarget.left(); x <= onTarget.right(); ++x)
            out[x] = (out[x] & m[x + shift.x()]) | s[x + shift.x()];
    }
}

QImage KeyToAlpha(const QImage& source, ColorRef key)
{
    if (source.isNull())
        return {};
    QImage result = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = KeyAsRgb(key);
    for (int y = 0; y < result.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((pixels[x] & kRgbMask) == keyRgb)
                pixels[x] = 0;
        }
    }
    return result;
}

void TransparentCopy(QPainter& target, QPoint at, const QImage& source, ColorRef key)
{
    const QPainter::CompositionMode previous = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.drawImage(at, KeyToAlpha(source, key));
    target.setCompositionMode(previous);
}

QFont MakeFont(const QString& face, int height, int weight)
{
    QFont font(face);
    font.setWeight(weight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(weight, 1, 1000)));
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // The cell grows with the pixel size, so the nearest lies at or below height + 1.
        int best = 1;
        int bestDistance = -1;
        for (int pixels = 1; pixels <= height + 1; ++pixels) {
            font.setPixelSize(pixels);
            const QFontMetrics metrics(font);
            const int distance = std::abs(metrics.ascent() + metrics.descent() - height);
            if (bestDistance < 0 || distance < bestDistance) {
                best = pixels;
                bestDistance = distance;
            }
        }
        font.setPixelSize(best);
    }
    return font;
}

QFont PointFont(const QString& face, int points)
{
    return MakeFont(face, -((points * 96 + 36) / 72), 0);
}

void InstallFontSubstitutes()
{
    for (const char* face : {"MS Shell Dlg", "Sevenet 7", "MSSanSerif"})
        QFont::insertSubstitution(QString::fromLatin1(face), QStringLiteral("DejaVu Sans"));
}

}  // namespace gdi

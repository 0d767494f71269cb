#pragma once
// The drawing notions the skinned controls are written against: 0x00BBGGRR
// colours, rectangles with exclusive right and bottom edges, raster copies on
// 32-bit images, and the dialog fonts. Everything here is exact and aliased;
// no call smooths or antialiases.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

namespace gdi {

// A colour as the original platform stores it: low byte red.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(int r, int g, int b)
{
    return ColorRef(r & 0xFF) | (ColorRef(g & 0xFF) << 8) | (ColorRef(b & 0xFF) << 16);
}
QColor ToQColor(ColorRef color);
ColorRef ToColorRef(const QColor& color);

// Rectangles given by their edges, right and bottom exclusive. Right/Bottom
// return those exclusive edges (QRect::right() is one less).
QRect RectLTRB(int left, int top, int right, int bottom);
int Right(const QRect& rect);
int Bottom(const QRect& rect);

// Copies source's srcRect to `at` unchanged (alpha included). The part of
// srcRect outside the image is left out.
void Copy(QPainter& target, QPoint at, const QImage& source, const QRect& srcRect);

// Nearest-neighbour stretch of srcRect onto dstRect: target pixel (i, j)
// takes source (floor((i + 0.5)·sw/dw), floor((j + 0.5)·sh/dh)). Target
// pixels whose source lies outside the image are not touched.
void Stretch(QPainter& target, const QRect& dstRect, const QImage& source, const QRect& srcRect);

// An image prepared for a masked copy: in `image` the key pixels are all
// zero; `mask` is all ones at the key pixels and zero elsewhere.
struct MaskedImage {
    QImage image;
    QImage mask;
    bool isNull() const { return image.isNull(); }
};
MaskedImage MakeKeyMask(const QImage& source, ColorRef key);

// target = (target AND mask) OR image over srcRect, drawn at `at`. On an
// image device this is done per pixel; elsewhere (a printer) the mask is
// turned into alpha, which looks the same.
void MaskedCopy(QPainter& target, QPoint at, const QImage& image, const QImage& mask, const QRect& srcRect);

// Copies `source` leaving out every pixel of exactly the key colour.
QImage KeyToAlpha(const QImage& source, ColorRef key);
void TransparentCopy(QPainter& target, QPoint at, const QImage& source, ColorRef key);

// A font as a logical-font record describes it: a positive height is the
// cell height (ascent + descent), a negative one the character height in
// pixels; the weight keeps its number (0 = normal).
QFont MakeFont(const QString& face, int height, int weight);
// A dialog template's font of `points` at 96 dpi.
QFont PointFont(const QString& face, int points);
// Maps the faces the skin names, absent on Linux, to one installed face.
void InstallFontSubstitutes();

}  // namespace gdi

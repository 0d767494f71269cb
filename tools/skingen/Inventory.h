#pragma once
// The skin images skingen can draw, compiled in: each one's kind, number,
// size and drawing, grouped into named sets.

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

namespace skingen {

enum class Kind { Icon, Bitmap, Png };

struct SkinImage {
    Kind kind;
    int number;
    QSize size;
    void (*draw)(QImage& image);  // draws on a transparent (Icon, Png) or black (Bitmap) image
};

// The folder an image's kind is listed under, as asked for: "icon", "bitmap", "PNG".
QString KindFolder(Kind kind);

// The images of a set; empty for an unknown set.
std::vector<SkinImage> Set(const QString& name);
QStringList SetNames();

// The image drawn, in its kind's format: ARGB32 for icons and PNGs,
// RGB32 for bitmaps (opaque, so key colours stay exact).
QImage Render(const SkinImage& entry);

}  // namespace skingen

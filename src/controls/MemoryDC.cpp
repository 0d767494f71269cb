#include "controls/MemoryDC.h"

#include <QPaintDevice>

namespace {

// The target's clip box in logical coordinates.
QRect ClipBox(const QPainter& target)
{
    if (target.hasClipping())
        return target.clipBoundingRect().toAlignedRect();
    const QPaintDevice* device = target.device();
    return target.transform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
}

}  // namespace

OffscreenSurface::OffscreenSurface(QPainter& target, std::optional<QRect> rect, Start start, bool directOnPrinter)
    : target(target), area(rect.value_or(ClipBox(target)))
{
    const int deviceType = target.device()->devType();
    if (directOnPrinter && deviceType == QInternal::Printer)
        return;

    // A zero-sized surface still gets a painter, so owners draw as usual.
    const QSize size = area.size().expandedTo(QSize(1, 1));
    switch (start) {
    case Start::TargetPixels:
        if (deviceType == QInternal::Image) {
            const auto* pixels = static_cast<const QImage*>(target.device());
            surface = pixels->copy(target.transform().mapRect(area)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        } else {
            surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
            surface.fill(Qt::transparent);
            layOver = true;
        }
        break;
    case Start::TargetBackground:
        surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
        surface.fill(target.background().color());
        break;
    case Start::Black:
        surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
        surface.fill(Qt::black);
        break;
    }
    if (surface.isNull()) {
        surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
        surface.fill(Qt::transparent);
    }
    surfacePainter = std::make_unique<QPainter>(&surface);
    surfacePainter->translate(-area.topLeft());
}

OffscreenSurface::~OffscreenSurface()
{
    if (!surfacePainter)
        return;
    surfacePainter->end();
    if (area.isEmpty())
        return;
    const QPainter::CompositionMode previous = target.compositionMode();
    target.setCompositionMode(layOver ? QPainter::CompositionMode_SourceOver : QPainter::CompositionMode_Source);
    target.drawImage(area.topLeft(), surface);
    target.setCompositionMode(previous);
}

QPainter& OffscreenSurface::painter()
{
    return surfacePainter ? *surfacePainter : target;
}

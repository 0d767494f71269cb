#include "platform/gdi/GdiDraw.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPolygon>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace gdi {

namespace {

// round(a / n) for n > 0, halves rounded up.
std::int64_t RoundDiv(std::int64_t a, std::int64_t n)
{
    const std::int64_t twice = 2 * a + n;
    const std::int64_t d = 2 * n;
    return twice >= 0 ? twice / d : -((-twice + d - 1) / d);
}

// The indexes i in [0, n) for which start + step·i lies in [low, high].
std::pair<std::int64_t, std::int64_t> StepsInside(int start, int step, std::int64_t n, int low, int high)
{
    std::int64_t first = step > 0 ? std::int64_t(low) - start : std::int64_t(start) - high;
    std::int64_t last = step > 0 ? std::int64_t(high) - start : std::int64_t(start) - low;
    return {std::max<std::int64_t>(first, 0), std::min<std::int64_t>(last, n - 1)};
}

// What the painter can still change, in its logical coordinates.
QRect DrawableArea(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    QRect area = device ? painter.transform().inverted().mapRect(QRect(0, 0, device->width(), device->height()))
                        : QRect();
    if (painter.hasClipping())
        area &= painter.clipBoundingRect().toAlignedRect();
    return area;
}

// Calls visit(x, y, index) for the pixels of the line inside `area`; index
// counts from the line's start, so a pattern does not move with the clip.
template <typename Visit>
void ForEachPixel(QPoint from, QPoint to, const QRect& area, Visit visit)
{
    const std::int64_t dx = std::int64_t(to.x()) - from.x();
    const std::int64_t dy = std::int64_t(to.y()) - from.y();
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (n == 0 || area.isEmpty())
        return;
    const int majorStart = xMajor ? from.x() : from.y();
    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const int minorStart = xMajor ? from.y() : from.x();
    const auto [first, last] = xMajor ? StepsInside(majorStart, majorStep, n, area.left(), area.right())
                                      : StepsInside(majorStart, majorStep, n, area.top(), area.bottom());
    for (std::int64_t i = first; i <= last; ++i) {
        const int major = int(majorStart + majorStep * i);
        const int minor = int(minorStart + RoundDiv(i * minorDelta, n));
        const QPoint pixel = xMajor ? QPoint(major, minor) : QPoint(minor, major);
        if (area.contains(pixel))
            visit(pixel, i);
    }
}

// "&x" shows x, so "&&" shows one "&"; a last "&" shows nothing.
QString WithoutPrefixes(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            shown += text[i];
        else if (++i < text.size())
            shown += text[i];
    }
    return shown;
}

}  // namespace

std::vector<QPoint> LinePixels(QPoint from, QPoint to)
{
    std::vector<QPoint> pixels;
    const QRect everywhere(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                           QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())));
    ForEachPixel(from, to, everywhere, [&](QPoint p, std::int64_t) { pixels.push_back(p); });
    return pixels;
}

QPen SolidPen(const QColor& colour, int width)
{
    QPen pen(colour, std::max(1, width), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

QPen DotPen(const QColor& colour)
{
    QPen pen = SolidPen(colour);
    pen.setStyle(Qt::DotLine);
    return pen;
}

void LineTo(QPainter& painter, QPoint from, QPoint to)
{
    const QPen pen = painter.pen();
    if (pen.style() == Qt::NoPen)
        return;
    const int width = std::max(1, pen.width());
    const bool dotted = pen.style() == Qt::DotLine;
    const int spread = width / 2;
    QPolygon points;
    ForEachPixel(from, to, DrawableArea(painter).adjusted(-spread, -spread, spread, spread),
                 [&](QPoint p, std::int64_t index) {
                     if (!dotted || index % 6 < 3)
                         points << p;
                 });
    if (points.isEmpty())
        return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (width == 1) {
        painter.setPen(SolidPen(pen.color()));
        painter.drawPoints(points);
    } else {
        for (const QPoint& p : std::as_const(points))
            painter.fillRect(QRect(p.x() - spread, p.y() - spread, width, width), pen.color());
    }
    painter.restore();
}

void DrawText(QPainter& painter, const QRect& rect, const QString& text, unsigned flags)
{
    const bool singleLine = (flags & DT_SINGLELINE) != 0;
    QString shown = (flags & DT_NOPREFIX) ? text : WithoutPrefixes(text);
    if (flags & DT_END_ELLIPSIS)
        shown = QFontMetrics(painter.font()).elidedText(shown, Qt::ElideRight, std::max(0, rect.width()));

    int alignment = (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    alignment |= (singleLine && (flags & DT_VCENTER)) ? Qt::AlignVCenter : Qt::AlignTop;
    if (singleLine)
        alignment |= Qt::TextSingleLine;

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(rect, alignment, shown);
    painter.restore();
}

}  // namespace gdi

#pragma once
// Lines and text as the original drawing calls make them: a line leaves out
// its end pixel, a dotted pen is 3 on and 3 off from the line's start, and
// text is laid into a rectangle by flags, top-aligned unless told otherwise.

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

namespace gdi {

// The pixels of a line from `from` towards `to`, `to` itself left out.
std::vector<QPoint> LinePixels(QPoint from, QPoint to);

// Draws the line in the painter's pen: its colour, its width (at least 1)
// and, for DotPen, the dot pattern; the gaps stay unpainted.
void LineTo(QPainter& painter, QPoint from, QPoint to);

// A one-pixel solid pen, aliased, as LineTo uses it.
QPen SolidPen(const QColor& colour, int width = 1);
// A one-pixel dotted pen.
QPen DotPen(const QColor& colour);

enum TextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Draws `text` in the painter's font and pen colour, clipped to `rect`,
// without a background. Without DT_NOPREFIX "&&" shows "&" and a single "&"
// is left out; DT_VCENTER applies to single lines only.
void DrawText(QPainter& painter, const QRect& rect, const QString& text, unsigned flags);

}  // namespace gdi

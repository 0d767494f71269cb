#pragma once
// Where the line graph puts its points, grid lines and axis labels, from
// its rectangles alone, so the drawing can be checked without a display.

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <vector>

namespace graph {

// The graph's rectangles for a client rectangle.
struct Layout {
    QRect client;
    QRect labels;  // the axis labels' strip
    QRect plot;    // the plotting area
};
Layout LayoutFor(const QRect& client);

// A value truncated toward zero, held within ±1,000,000; NaN gives 0.
int HeldPixels(double value);

// The points a series draws, in order: the first at x 13, then one per new
// pixel column of the accumulated step; values falling on the column just
// drawn are skipped. With no value the first point stands on the zero line.
std::vector<QPoint> GraphPoints(const std::vector<double>& values, const QRect& plotRect);

struct Grid {
    std::vector<QLine> solid;    // the two borders
    std::vector<QLine> dottedX;  // vertical
    std::vector<QLine> dottedY;  // horizontal
};
Grid GridLines(const QRect& plotRect);

struct AxisLabel {
    QString text;
    QRect box;  // drawn right-aligned, top-aligned
};
std::array<AxisLabel, 3> AxisLabelBoxes(const QRect& labelRect);

}  // namespace graph

#include "controls/GraphGeometry.h"

#include "core/Numbers.h"
#include "platform/gdi/GdiCompat.h"

#include <algorithm>
#include <cmath>

namespace graph {

namespace {

constexpr int kFirstX = 13;
constexpr double kHeldPixels = 1000000.0;

}  // namespace

Layout LayoutFor(const QRect& client)
{
    const int left = client.x(), top = client.y();
    const int right = gdi::Right(client), bottom = gdi::Bottom(client);
    return {client, gdi::RectLTRB(left, top + 2, left + 10, bottom - 2),
            gdi::RectLTRB(left + 12, top + 2, right - 2, bottom - 2)};
}

int HeldPixels(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(std::trunc(value), -kHeldPixels, kHeldPixels));
}

std::vector<QPoint> GraphPoints(const std::vector<double>& values, const QRect& plotRect)
{
    const int zero = gdi::Bottom(plotRect) / 2;
    const std::size_t n = values.size();
    std::vector<QPoint> points;
    points.emplace_back(kFirstX, zero - HeldPixels(n > 0 ? values[0] : 0.0));
    if (n < 2)
        return points;

    const double step = double(gdi::Right(plotRect) - plotRect.left()) / double(n);
    double xf = kFirstX;
    for (std::size_t i = 1; i < n; ++i) {
        xf += step;
        const int xi = int(std::trunc(xf));
        if (xi == points.back().x())
            continue;
        points.emplace_back(xi, zero - HeldPixels(values[i]));
    }
    return points;
}

Grid GridLines(const QRect& plotRect)
{
    const int left = plotRect.left(), top = plotRect.top();
    const int right = gdi::Right(plotRect), bottom = gdi::Bottom(plotRect);
    Grid grid;
    const int far = right - left + 13;
    grid.solid = {QLine(left, top, left, bottom), QLine(far, top, far, bottom)};

    // Loops run at least once, so a control too small for a plot still gets
    // one line of each kind; a step of 0 does not repeat.
    const int step = far / 12;
    int x = left + step;
    do {
        grid.dottedX.emplace_back(x, top + 5, x, bottom - 5);
        x += step;
    } while (step > 0 && x <= right);

    int y = bottom - 25;
    do {
        grid.dottedY.emplace_back(left + 5, y, right, y);
        y -= 23;
    } while (y >= top + 10);
    return grid;
}

std::array<AxisLabel, 3> AxisLabelBoxes(const QRect& labelRect)
{
    const int left = labelRect.left(), right = gdi::Right(labelRect), bottom = gdi::Bottom(labelRect);
    return {AxisLabel{Numbers::FormatInt(2), labelRect},
            AxisLabel{Numbers::FormatInt(0), gdi::RectLTRB(left, bottom / 2 - 5, right, bottom)},
            AxisLabel{Numbers::FormatInt(-2), gdi::RectLTRB(left, bottom - 10, right, bottom)}};
}

}  // namespace graph

#include "controls/CGraphStatic.h"

#include "controls/ControlSupport.h"
#include "platform/gdi/GdiDraw.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr gdi::ColorRef kLabelColor = 0xC8C8C8;

int PenWidth(double width)
{
    return std::isfinite(width) && width >= 1.0 ? int(std::min(width, 1000.0)) : 1;
}

}  // namespace

CGraphStatic::CGraphStatic(QWidget* parent) : QWidget(parent) {}

CGraphStatic::~CGraphStatic() = default;

GraphSeries* CGraphStatic::AddSeries(gdi::ColorRef color, double width)
{
    controls::AssertUiThread(this);
    auto added = std::make_unique<GraphSeries>();
    added->color = color;
    added->pen = gdi::SolidPen(gdi::ToQColor(color), PenWidth(width));
    added->brush = QBrush(gdi::ToQColor(color));
    series.push_back(std::move(added));
    return series.back().get();
}

void CGraphStatic::AppendValue(GraphSeries* target, double value)
{
    controls::AssertUiThread(this);
    const auto owned = std::find_if(series.begin(), series.end(),
                                    [target](const auto& one) { return one.get() == target; });
    if (owned == series.end())
        return;
    target->values.push_back(value);
    target->writeIndex = target->values.size();
}

void CGraphStatic::RemoveAllSeries()
{
    controls::AssertUiThread(this);
    series.clear();
}

void CGraphStatic::SetYRange(double range)
{
    controls::AssertUiThread(this);
    yRange = range;
}

void CGraphStatic::RecalcLayout()
{
    controls::AssertUiThread(this);
    laidOut = true;
    layout = graph::LayoutFor(rect());
    clientWidth = layout.client.width();
    clientHeight = layout.client.height();
    surface = QImage();
    if (layout.client.isEmpty())
        return;
    surface = QImage(layout.client.size(), QImage::Format_RGB32);
    surface.fill(gdi::ToQColor(backgroundColor));
}

void CGraphStatic::FillBackground()
{
    controls::AssertUiThread(this);
    if (surface.isNull())
        return;
    QPainter painter(&surface);
    painter.fillRect(layout.client, gdi::ToQColor(backgroundColor));
}

void CGraphStatic::DrawGrid()
{
    controls::AssertUiThread(this);
    if (surface.isNull())
        return;
    QPainter painter(&surface);
    const graph::Grid grid = graph::GridLines(layout.plot);
    const QColor colour = gdi::ToQColor(gridColor);
    painter.setPen(gdi::SolidPen(colour));
    for (const QLine& line : grid.solid)
        gdi::LineTo(painter, line.p1(), line.p2());
    painter.setPen(gdi::DotPen(colour));
    for (const auto* lines : {&grid.dottedX, &grid.dottedY})
        for (const QLine& line : *lines)
            gdi::LineTo(painter, line.p1(), line.p2());
}

void CGraphStatic::DrawAxisLabels()
{
    controls::AssertUiThread(this);
    if (surface.isNull())
        return;
    QPainter painter(&surface);
    painter.setFont(gdi::MakeFont(QStringLiteral("MS Shell Dlg"), 10, 300));
    painter.setPen(gdi::ToQColor(kLabelColor));
    for (const graph::AxisLabel& label : graph::AxisLabelBoxes(layout.labels))
        gdi::DrawText(painter, label.box, label.text, gdi::DT_RIGHT);
}

void CGraphStatic::ShowSurface()
{
    controls::AssertUiThread(this);
    update();
}

void CGraphStatic::Redraw()
{
    controls::AssertUiThread(this);
    if (surface.isNull())
        return;
    FillBackground();
    DrawGrid();
    DrawAxisLabels();
    if (series.empty())
        return;
    {
        QPainter painter(&surface);
        for (const auto& one : series)
            DrawSeries(painter, *one);
    }
    ShowSurface();
}

// A point's own dot has no size and draws nothing, so the pixels come from
// the segments, each drawn from the new point back to the one before.
void CGraphStatic::DrawSeries(QPainter& painter, const GraphSeries& one) const
{
    const std::vector<double>& values = one.values;
    const std::vector<QPoint> points = graph::GraphPoints(values, layout.plot);
    painter.setPen(one.pen);
    painter.setBrush(one.brush);
    for (std::size_t k = 1; k < points.size(); ++k)
        gdi::LineTo(painter, points[k], points[k - 1]);
}

void CGraphStatic::paintEvent(QPaintEvent*)
{
    if (surface.isNull())
        return;
    QPainter painter(this);
    gdi::Copy(painter, QPoint(0, 0), surface, QRect(0, 0, int(clientWidth), int(clientHeight)));
}

void CGraphStatic::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!laidOut)
        RecalcLayout();
}

#pragma once
// A line graph: series of values as polylines over a dark grid with three
// axis labels. Everything is drawn on a surface of the control's size; the
// paint handler only copies it, so a redraw never flickers.

#include "controls/GraphGeometry.h"
#include "platform/gdi/GdiCompat.h"

#include <QBrush>
#include <QImage>
#include <QPen>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <vector>

// One plotted series; the graph owns it.
struct GraphSeries {
    gdi::ColorRef color = 0;
    QPen pen;
    QBrush brush;
    // Values already in pixels above the zero line; every one appended is kept.
    std::vector<double> values;
    std::size_t writeIndex = 0;  // the number of values appended
};

class CGraphStatic : public QWidget {
    Q_OBJECT
public:
    explicit CGraphStatic(QWidget* parent = nullptr);
    ~CGraphStatic() override;

    GraphSeries* AddSeries(gdi::ColorRef color, double width);
    // Ignored for a series this graph does not own.
    void AppendValue(GraphSeries* series, double value);
    void RemoveAllSeries();
    const std::vector<std::unique_ptr<GraphSeries>>& Series() const { return series; }

    // Takes the client rectangle and makes a new surface in the background
    // colour; the owner calls it after resizing the graph.
    void RecalcLayout();
    // The whole picture again, then shown; without series nothing is shown.
    void Redraw();
    // For an owner's empty graph: fill, grid, labels, then ShowSurface.
    void FillBackground();
    void DrawGrid();
    void DrawAxisLabels();
    void ShowSurface();

    void SetYRange(double range);
    double YRange() const { return yRange; }
    gdi::ColorRef BackgroundColor() const { return backgroundColor; }
    gdi::ColorRef GridColor() const { return gridColor; }
    QRect ClientRect() const { return layout.client; }
    QRect LabelRect() const { return layout.labels; }
    QRect PlotRect() const { return layout.plot; }
    double ClientWidth() const { return clientWidth; }
    double ClientHeight() const { return clientHeight; }
    const QImage& Surface() const { return surface; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawSeries(QPainter& painter, const GraphSeries& one) const;

    std::vector<std::unique_ptr<GraphSeries>> series;
    QImage surface;  // null while the graph has no area
    gdi::ColorRef backgroundColor = 0;
    gdi::ColorRef gridColor = 0x646464;
    graph::Layout layout;
    double clientWidth = 0;
    double clientHeight = 0;
    // Only the caller scales by it; the graph keeps it for its owner.
    double yRange = 3.0;
    bool laidOut = false;
};

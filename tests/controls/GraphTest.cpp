#include "ControlsTestSupport.h"
#include "controls/CGraphStatic.h"
#include "controls/GraphGeometry.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>
#include <set>

using namespace controlstest;

namespace {

constexpr QRgb kBlack = 0xFF000000;

QRect PlotOf(int width, int height)
{
    return graph::LayoutFor(QRect(0, 0, width, height)).plot;
}

std::vector<double> Counting(int n, double scale = 1.0)
{
    std::vector<double> values;
    for (int i = 0; i < n; ++i)
        values.push_back(i * scale);
    return values;
}

std::vector<int> Xs(const std::vector<QPoint>& points)
{
    std::vector<int> xs;
    for (const QPoint& p : points)
        xs.push_back(p.x());
    return xs;
}

// Counts the paints a widget is asked for.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest)
            ++paints;
        return false;
    }
};

// A shown graph of 300 x 80, laid out.
class DrawnGraph : public testing::Test {
protected:
    void SetUp() override
    {
        graphWidget.resize(300, 80);
        graphWidget.show();
        graphWidget.RecalcLayout();
    }
    CGraphStatic graphWidget;
};

}  // namespace

TEST(GraphPointsTest, StepsAcrossThePlot)
{
    // 100 values over a plot 300 wide: one point every 3 pixels.
    const QRect plot = gdi::RectLTRB(12, 2, 312, 78);
    std::vector<int> every3;
    for (int x = 13; x <= 310; x += 3)
        every3.push_back(x);
    EXPECT_EQ(Xs(graph::GraphPoints(std::vector<double>(100, 0.0), plot)), every3);

    // 1000 values: a value on the column just drawn is skipped.
    const std::vector<QPoint> dense = graph::GraphPoints(Counting(1000), plot);
    std::set<int> columns;
    double xf = 13.0;
    columns.insert(13);
    for (int i = 1; i < 1000; ++i) {
        xf += 300.0 / 1000;
        columns.insert(int(std::trunc(xf)));
    }
    EXPECT_EQ(dense.size(), columns.size());
    EXPECT_NEAR(double(dense.size()), 300.0, 2.0);
    for (std::size_t k = 1; k < dense.size(); ++k)
        ASSERT_GT(dense[k].x(), dense[k - 1].x()) << k;

    // Ten additions of 0.1 stay below 14, so value 11 makes the second point.
    const std::vector<QPoint> tenths = graph::GraphPoints(Counting(1000), gdi::RectLTRB(12, 2, 112, 78));
    ASSERT_GE(tenths.size(), 2u);
    EXPECT_EQ(tenths[1], QPoint(14, 39 - 11));
}

TEST(GraphPointsTest, ValuesAreDrawnAboveTheZeroLine)
{
    const QRect plot = PlotOf(300, 80);  // bottom 78: zero at 39
    struct Case {
        const char* name;
        std::vector<double> values;
        QPoint first;
        QPoint last;
        std::size_t count;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"no value", {}, {13, 39}, {13, 39}, 1},
        {"one value", {10.0}, {13, 29}, {13, 29}, 1},
        {"below zero, truncated", {-2.9, 2.9}, {13, 41}, {156, 37}, 2},
        {"held", {1e300, nan, -1e300}, {13, 39 - 1000000}, {203, 39 + 1000000}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QPoint> points = graph::GraphPoints(c.values, plot);
        ASSERT_EQ(points.size(), c.count);
        EXPECT_EQ(points.front(), c.first);
        EXPECT_EQ(points.back(), c.last);
    }
    EXPECT_EQ(graph::GraphPoints({1e300, nan}, plot)[1].y(), 39);
}

TEST(GraphPointsTest, EveryValueIsKeptPastTwoThousand)
{
    const std::vector<QPoint> points = graph::GraphPoints(Counting(5000, 0.01), PlotOf(300, 80));
    EXPECT_EQ(points.front(), QPoint(13, 39));
    EXPECT_EQ(points.back().y(), 39 - 49);  // 49.99 from the last values, not a restarted ring
    EXPECT_GE(points.back().x(), 297);
}

TEST(GridLinesTest, GridOfTheControl)
{
    const graph::Grid grid = graph::GridLines(PlotOf(300, 80));
    EXPECT_EQ(grid.solid, (std::vector<QLine>{QLine(12, 2, 12, 78), QLine(299, 2, 299, 78)}));
    std::vector<QLine> vertical;
    for (int x = 36; x <= 276; x += 24)
        vertical.emplace_back(x, 7, x, 73);
    EXPECT_EQ(grid.dottedX, vertical);
    EXPECT_EQ(grid.dottedY, (std::vector<QLine>{QLine(17, 53, 298, 53), QLine(17, 30, 298, 30)}));
}

TEST(GridLinesTest, TooSmallForAPlotStillReturns)
{
    for (const QSize size : {QSize(10, 10), QSize(0, 0)}) {
        SCOPED_TRACE(size.width());
        const graph::Grid grid = graph::GridLines(PlotOf(size.width(), size.height()));
        EXPECT_EQ(grid.solid.size(), 2u);
        EXPECT_EQ(grid.dottedX.size(), 1u);
        EXPECT_EQ(grid.dottedY.size(), 1u);
    }
}

TEST(AxisLabelsTest, BoxesInTheLabelStrip)
{
    const graph::Layout layout = graph::LayoutFor(QRect(0, 0, 300, 80));
    EXPECT_EQ(layout.labels, gdi::RectLTRB(0, 2, 10, 78));
    const auto labels = graph::AxisLabelBoxes(layout.labels);
    EXPECT_EQ(labels[0].text, QStringLiteral("2"));
    EXPECT_EQ(labels[0].box, layout.labels);
    EXPECT_EQ(labels[1].text, QStringLiteral("0"));
    EXPECT_EQ(labels[1].box, gdi::RectLTRB(0, 34, 10, 78));
    EXPECT_EQ(labels[2].text, QStringLiteral("-2"));
    EXPECT_EQ(labels[2].box, gdi::RectLTRB(0, 68, 10, 78));
}

TEST_F(DrawnGraph, GridLabelsAndSeries)
{
    const QRgb axisColour = gdi::ToQColor(0x0064FF).rgb();
    GraphSeries* series = graphWidget.AddSeries(0x0064FF, 1.0);
    for (int i = 0; i < 100; ++i)
        graphWidget.AppendValue(series, 0.0);
    graphWidget.Redraw();
    const QImage shown = Grab(graphWidget);

    EXPECT_EQ(shown.pixel(12, 40), qRgb(100, 100, 100));
    EXPECT_EQ(shown.pixel(12, 77), qRgb(100, 100, 100));
    EXPECT_EQ(shown.pixel(12, 78), kBlack);  // the end pixel is left out
    EXPECT_EQ(shown.pixel(36, 7), qRgb(100, 100, 100));
    EXPECT_EQ(shown.pixel(36, 10), kBlack);
    EXPECT_EQ(shown.pixel(20, 39), axisColour);
    EXPECT_EQ(shown.pixel(150, 20), kBlack);
    bool labelInk = false;
    for (int y = 2; y <= 12; ++y)
        for (int x = 0; x <= 9; ++x)
            labelInk |= shown.pixel(x, y) != kBlack;
    EXPECT_TRUE(labelInk);
}

TEST_F(DrawnGraph, NewSurfaceShowsTheBackground)
{
    graphWidget.AppendValue(graphWidget.AddSeries(0xFFFFFF, 1.0), 5.0);
    graphWidget.Redraw();
    graphWidget.resize(200, 60);
    graphWidget.RecalcLayout();
    const QImage shown = Grab(graphWidget);
    EXPECT_EQ(shown.size(), QSize(200, 60));
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_EQ(shown.pixel(x, y), kBlack) << x << "," << y;
}

TEST_F(DrawnGraph, RedrawShowsOnlyWithSeries)
{
    PaintCounter counter;
    QCoreApplication::processEvents();
    graphWidget.installEventFilter(&counter);
    graphWidget.Redraw();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    graphWidget.AppendValue(graphWidget.AddSeries(0xFFFFFF, 1.0), 5.0);
    graphWidget.Redraw();
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    graphWidget.removeEventFilter(&counter);
}

TEST_F(DrawnGraph, SeriesBelongToTheirGraph)
{
    CGraphStatic other;
    GraphSeries* foreign = other.AddSeries(0xFFFFFF, 1.0);
    GraphSeries* own = graphWidget.AddSeries(0xFFFFFF, 1.0);
    graphWidget.AppendValue(foreign, 3.0);
    graphWidget.AppendValue(own, 4.0);
    EXPECT_TRUE(foreign->values.empty());
    EXPECT_EQ(foreign->writeIndex, 0u);
    EXPECT_EQ(own->values, std::vector<double>{4.0});
    EXPECT_EQ(own->writeIndex, 1u);

    for (int round = 0; round < 3; ++round) {
        graphWidget.RemoveAllSeries();
        for (const gdi::ColorRef colour : {0x0064FFu, 0x64FFFFu, 0x40FF00u})
            graphWidget.AddSeries(colour, 1.0);
    }
    EXPECT_EQ(graphWidget.Series().size(), 3u);
    EXPECT_EQ(graphWidget.Series()[1]->color, 0x64FFFFu);
}

TEST(GraphWithoutAreaTest, DrawsNothing)
{
    CGraphStatic empty;
    empty.resize(0, 0);
    empty.RecalcLayout();
    empty.AppendValue(empty.AddSeries(0xFFFFFF, 1.0), 1.0);
    empty.Redraw();
    empty.FillBackground();
    empty.DrawGrid();
    empty.DrawAxisLabels();
    EXPECT_TRUE(empty.Surface().isNull());
}

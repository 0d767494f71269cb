// The recording list and the G-sensor graph in the real skin, saved as
// pictures to look at.

#include "SkinListFixture.h"
#include "SkinSupport.h"
#include "controls/CGraphStatic.h"
#include "support/gui/Screenshot.h"

#include <QPainter>
#include <cmath>

using namespace controlstest;

namespace {

class ListGraphScreenshots : public testing::Test {
protected:
    ScopedSkinModule module;
};

// The list pane's backdrop: its title strip over the panel colour.
class ListPane : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), gdi::ToQColor(CSkinListCtrl::kBackgroundColor));
        gdi::Stretch(painter, QRect(0, 0, width(), 33), strip, strip.rect());
    }

private:
    QImage strip = ImageSource::Resources().Bitmap(152);
};

}  // namespace

TEST_F(ListGraphScreenshots, ListPreview)
{
    ASSERT_TRUE(ResourceManager::GetInstance().IsLoaded());
    ListPane pane;
    pane.resize(300, 360);
    CSkinListCtrl list(&pane);
    list.setFont(gdi::PointFont(QStringLiteral("MS Shell Dlg"), 8));
    list.setGeometry(1, 35, pane.width() + 1, pane.height() - 38);
    const int u = (pane.width() - 50) / 10;
    const char* headings[] = {"Номер", "Дата", "Время", "Тип"};
    const double widths[] = {1.5, 3, 2.5, 3};
    for (int column = 0; column < 4; ++column)
        list.InsertColumn(column, QString::fromUtf8(headings[column]), int(widths[column] * u));
    const char* types[] = {"Событие", "Обычный", "Движение"};
    for (int row = 0; row < 20; ++row) {
        const QString time = QStringLiteral("%1:%2:00").arg(9 + row / 6, 2, 10, QLatin1Char('0')).arg((row * 10) % 60, 2, 10, QLatin1Char('0'));
        list.InsertItem(row, {Numbers::FormatInt(row + 1), QStringLiteral("2026-12-10"), time,
                              QString::fromUtf8(types[row % 3])});
    }
    list.InitSkin();
    list.SetUserClicked(false);
    list.SetPlayingNumber(4);
    list.SelectItem(6);
    pane.show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    list.ScrollRows(2);
    ASSERT_NE(list.ScrollLimit(), 0);

    const QImage shown = Grab(pane);
    EXPECT_EQ(shown.pixel(list.x() + 2, list.y() + CSkinHeaderCtrl::kHeight + CSkinListCtrl::kRowHeight + 8),
              Rgb(0xC56A31));  // number 4 plays, two rows scrolled off
    EXPECT_TRUE(testsupport::SaveScreenshot(pane, "list-preview"));
}

TEST_F(ListGraphScreenshots, GraphPreview)
{
    CGraphStatic graph;
    graph.resize(744, 110);
    graph.show();
    graph.RecalcLayout();
    graph.SetYRange(5.0);
    const gdi::ColorRef colours[] = {0x0064FF, 0x64FFFF, 0x40FF00};
    GraphSeries* axes[3];
    for (int a = 0; a < 3; ++a)
        axes[a] = graph.AddSeries(colours[a], 1.0);
    const double plotHeight = graph.PlotRect().height();
    for (int i = 0; i < 1800; ++i) {
        const double t = i / 30.0;
        const double bump = std::exp(-std::pow((t - 38.0) * 2.0, 2.0)) * 3.5;  // a pothole at 38 s
        const double values[3] = {0.25 * std::sin(t * 0.7) + 0.05 * std::sin(t * 9.0) - bump,
                                  0.15 * std::sin(t * 0.3 + 1.0) + 0.04 * std::sin(t * 13.0),
                                  1.0 + 0.08 * std::sin(t * 5.0) + bump * 0.6};
        for (int a = 0; a < 3; ++a)
            graph.AppendValue(axes[a], std::min(graph.ClientHeight() * values[a] / graph.YRange(), plotHeight));
    }
    graph.Redraw();
    const QImage shown = Grab(graph);
    EXPECT_EQ(shown.pixel(12, 40), qRgb(100, 100, 100));
    EXPECT_TRUE(testsupport::SaveScreenshot(graph, "graph-preview"));
}

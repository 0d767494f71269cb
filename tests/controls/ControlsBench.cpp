// Prints how long the line graph takes to redraw three long series against
// three short ones: the drawing is bounded by the plot's width.

#include "controls/CGraphStatic.h"
#include "platform/ThreadSanitizerQt.h"
#include "platform/gdi/GdiCompat.h"

#include <QApplication>
#include <chrono>
#include <cmath>
#include <cstdio>

KESTROV_TSAN_IGNORE_QT_INTERNALS()

namespace {

double RedrawMilliseconds(int valuesPerSeries)
{
    CGraphStatic graph;
    graph.resize(1000, 135);
    graph.RecalcLayout();
    const gdi::ColorRef colours[] = {0x0064FF, 0x64FFFF, 0x40FF00};
    for (int a = 0; a < 3; ++a) {
        GraphSeries* series = graph.AddSeries(colours[a], 1.0);
        for (int i = 0; i < valuesPerSeries; ++i)
            graph.AppendValue(series, 30.0 * std::sin(i * 0.001 * (a + 1)) + (i % 7) - 3);
    }
    const int rounds = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round)
        graph.Redraw();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gdi::InstallFontSubstitutes();
    for (const int values : {2048, 1000000})
        std::printf("Redraw, 1000 x 135, 3 x %7d values: %8.3f ms\n", values, RedrawMilliseconds(values));
    return 0;
}

#include "ui/MainWindowLayout.h"

namespace {

constexpr int kSideWidth = 280;    // map and list
constexpr int kSideRight = 285;    // their left edge, from the right
constexpr int kToolbarX = 15;
constexpr int kToolbarStep = 42;
constexpr int kToolbarY = 9;
constexpr int kToolbarSize = 32;

}  // namespace

MainWindowRects MainWindowLayout(int width, int height, bool maximized, QSize logoSize)
{
    MainWindowRects rects;
    if (maximized) {
        rects.player = QRect(0, 0, width, height);
    } else {
        // Integer division as written: 2 × H / 3, not twice H / 3.
        const int mapHeight = height / 3 + 50;
        const int listHeight = (2 * height) / 3 - 97;
        rects.map = QRect(width - kSideRight, kTitleStripHeight, kSideWidth, mapHeight);
        rects.list = QRect(width - kSideRight, kTitleStripHeight + mapHeight, kSideWidth, listHeight);
        rects.player = QRect(5, kTitleStripHeight, width - 295, height - 45);
    }
    rects.logo = QRect(QPoint(width - logoSize.width() - 6, 6), logoSize);
    for (int i = 0; i < static_cast<int>(rects.toolbar.size()); ++i)
        rects.toolbar[i] = QRect(kToolbarX + i * kToolbarStep, kToolbarY, kToolbarSize, kToolbarSize);
    return rects;
}

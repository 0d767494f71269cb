#pragma once
// Where the main window puts its panes, its logo and its toolbar for a given
// client size. Pure, so every number is tested without a window.

#include <QRect>
#include <QSize>

#include <array>
#include <optional>

// The title strip the toolbar and the logo sit in.
inline constexpr int kTitleStripHeight = 46;

struct MainWindowRects {
    QRect player;
    // Left where they are in the full view.
    std::optional<QRect> map;
    std::optional<QRect> list;
    QRect logo;
    // Open, capture, cut, print, settings, maximize, about.
    std::array<QRect, 7> toolbar;
};

// width and height are the client's; the logo keeps logoSize. In the full
// view the player covers the whole client area.
MainWindowRects MainWindowLayout(int width, int height, bool maximized, QSize logoSize);

#pragma once
// The map pane's rules that need no widget: where its controls and its slot
// lie, how the floating pane answers the pointer, its button's icons, and
// what a recording and a position mean to the map.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

class RecordingEntry;

// Control rectangles for a pane of client size w × h.
struct MapPaneRects {
    QRect title;             // 32786
    QRect popupButton;       // 1177
    QRect browser;           // 1133
    QRect picture;           // 32784 and 32785
    QRect latitudeCaption;   // 1132
    QRect latitudeValue;     // 1154
    QRect longitudeCaption;  // 1131
    QRect longitudeValue;    // 1155
};
MapPaneRects MapPaneLayout(int w, int h);

// The map's slot in a main window of the given client size.
QRect MapSlotRect(QSize parentClientSize);

// Hit codes of the floating pane.
enum MapHit : int {
    HitNowhere = 0,
    HitCaption = 2,
    HitRight = 11,
    HitBottom = 15,
    HitBottomRight = 17,
};
// Within 10 pixels of the bottom and right edges: a resize code; elsewhere
// the caption, so the body drags the window.
int FloatingHitTest(QSize size, QPoint point);

// The popup button's icons: normal, pressed, hover.
std::array<int, 3> PopupIcons(bool undocked, bool enabled);

// A fix with both coordinates non-zero: the reader keeps a (0, 0) fix for
// every sentence without a position.
bool HasPosition(const RecordingEntry& entry);

// The page call for a position: positionChange(latitude, longitude) when
// the page defines it, the numbers in their shortest C-locale form.
QString PositionChangeScript(double latitude, double longitude);

#pragma once
// The skinned scroll bar's geometry and its reading of a click: where the
// thumb stands, which areas a point lies in, what a release does and where
// a drag takes the list. Positions and limits are in rows.

#include <optional>

namespace scrollbar {

// The thumb's top between 36 and h - 54; 36 when the list cannot scroll.
int ThumbTopFor(int h, int pos, int limit);

enum Area : unsigned {
    kUpArrow = 1u << 0,
    kDownArrow = 1u << 1,
    kThumb = 1u << 2,
    kTopStrip = 1u << 3,
    kBottomStrip = 1u << 4,
};
// Areas overlap, so a point can lie in several: a set of Area bits.
using Areas = unsigned;
Areas HitAreas(int x, int y, int h, int thumbTop);

// What the press that is being released began on.
struct PressFlags {
    bool upPressed = false;
    bool downPressed = false;
    bool thumbDragging = false;
};
// The press sets each flag whose area holds the point.
PressFlags PressFor(Areas areas);

enum class Action { None, LineUp, LineDown, PageUp, PageDown };
// An arrow scrolls a line when its own press is released on it; the strips
// page, toward the release point, unless the release is on an arrow that
// was pressed or on the thumb, or the thumb was being dragged.
Action ReleaseAction(PressFlags flags, Areas areas, int y, int thumbTop);

// The row a drag of the thumb to y scrolls to, within 0 .. limit; none
// when the list cannot scroll or the bar has no travel.
std::optional<int> DragTarget(int y, int h, int limit);
// Where the thumb is drawn while it is dragged to y.
int DraggedThumbTop(int y, int h);

}  // namespace scrollbar

#include "controls/ScrollBarRules.h"

#include <algorithm>
#include <cmath>

namespace scrollbar {

namespace {

constexpr int kTravelStart = 36;  // the thumb's highest top
constexpr int kThumbHeight = 18;
constexpr int kArrowsAndCaps = 90;  // h minus the thumb's travel
constexpr int kHitWidth = 18;
constexpr int kGrabOffset = 13;  // from the pointer to the thumb's top while dragging

int TruncatedHeld(double value)
{
    return int(std::clamp(std::trunc(value), -1.0e9, 1.0e9));
}

int ClampedThumbTop(int top, int h)
{
    if (top + kThumbHeight > h - kTravelStart)
        top = h - kTravelStart - kThumbHeight;
    return std::max(top, kTravelStart);
}

bool Within(int y, int top, int bottom)
{
    return y >= top && y < bottom;
}

}  // namespace

int ThumbTopFor(int h, int pos, int limit)
{
    if (limit <= 0)
        return kTravelStart;
    const double interval = double(h - kArrowsAndCaps) / limit;
    return ClampedThumbTop(TruncatedHeld(interval * pos) + kTravelStart, h);
}

Areas HitAreas(int x, int y, int h, int thumbTop)
{
    if (!Within(x, 0, kHitWidth))
        return 0;
    Areas areas = 0;
    if (Within(y, 11, 37))
        areas |= kUpArrow;
    if (Within(y, h - 36, h - 18))
        areas |= kDownArrow;
    if (Within(y, thumbTop, thumbTop + kThumbHeight))
        areas |= kThumb;
    if (Within(y, 0, 20))
        areas |= kTopStrip;
    if (Within(y, h - 18, h))
        areas |= kBottomStrip;
    return areas;
}

PressFlags PressFor(Areas areas)
{
    return {(areas & kUpArrow) != 0, (areas & kDownArrow) != 0, (areas & kThumb) != 0};
}

Action ReleaseAction(PressFlags flags, Areas areas, int y, int thumbTop)
{
    const bool lineUp = flags.upPressed && (areas & kUpArrow);
    const bool lineDown = flags.downPressed && (areas & kDownArrow);
    // Both only on a bar too short to keep its arrows apart: they cancel out.
    if (lineUp && lineDown)
        return Action::None;
    if (lineUp)
        return Action::LineUp;
    if (lineDown)
        return Action::LineDown;
    const bool inStrip = (areas & (kTopStrip | kBottomStrip)) != 0;
    if (!inStrip || (areas & kThumb) || flags.thumbDragging)
        return Action::None;
    return y > thumbTop ? Action::PageDown : Action::PageUp;
}

std::optional<int> DragTarget(int y, int h, int limit)
{
    if (limit <= 0 || h <= kArrowsAndCaps)
        return std::nullopt;
    const double interval = double(h - kArrowsAndCaps) / limit;
    const int target = TruncatedHeld((y - kGrabOffset - kTravelStart) / interval);
    return std::clamp(target, 0, limit);
}

int DraggedThumbTop(int y, int h)
{
    return ClampedThumbTop(y - kGrabOffset, h);
}

}  // namespace scrollbar

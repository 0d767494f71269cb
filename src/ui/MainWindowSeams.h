#pragma once
// The seams between the main window and the panes it composes but does not
// own the code of.

#include <QImage>

class QWidget;
struct GpsFix;

// The map pane's place in the main window. UI thread only.
class IMapSlot {
public:
    virtual ~IMapSlot() = default;
    // The pane itself, docked or floating.
    virtual QWidget* Widget() = 0;
    // What the window lays out in the map's rectangle: the pane while docked,
    // its placeholder while the pane floats; null leaves the slot alone.
    virtual QWidget* SlotWidget() = 0;
    // Moves the map's position mark to a fix (the window calls this for
    // fixes with both coordinates non-zero).
    virtual void ShowPosition(const GpsFix& fix) = 0;
    // Hides or shows the map with the rest of the normal view (full view
    // hides it).
    virtual void SetShown(bool shown) = 0;
    // Docks a floating map, or lets a docked one float.
    virtual void OnBnClickedPopup() = 0;
    // The map pane's own picture of its map area, docked, floating or hidden.
    virtual QImage GrabMapImage() = 0;
};

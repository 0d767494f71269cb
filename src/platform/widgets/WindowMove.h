#pragma once
// Dragging a window by a part of its own: the caption of a frameless window,
// a pane's title strip.

#include <functional>

class QWidget;

namespace platform {

// What a press on a pane asks for: the window of the given widget follows
// the pointer (StartWindowMove in the program, a recorder in tests).
using WindowMoveRequest = std::function<void(QWidget*)>;

// Call from a left-button press handler: widget->window() follows the
// pointer until the button is released. The window system moves it when it
// can (QWindow::startSystemMove); where it cannot (no window manager, the
// offscreen platform) an application event filter moves it by the pointer's
// offset from where it was at this call, on every move with the left button
// held. That filter goes on the release, when the window hides, or at the
// next call. UI thread only.
void StartWindowMove(QWidget* widget);

}  // namespace platform

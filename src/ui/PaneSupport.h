#pragma once
// What the graph and map panes share: how a press asks for a window move,
// and which entry a metadata message is about.

#include "platform/widgets/WindowMove.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ApplicationHub;
class RecordingEntry;
struct GpsFix;
struct MotionSample;

using WindowMoveRequest = platform::WindowMoveRequest;

// The playlist entry at the hub's current index, or null when the index is
// not below the playlist's size. Any thread; no lock is held on return.
std::shared_ptr<RecordingEntry> EntryAtCurrentIndex(ApplicationHub& hub);

// The play time a position message stands for, in seconds: duration ×
// position in single precision, as the player computes it (10 s at 0.7 is
// 7, not 6.99...).
float PlaySeconds(const RecordingEntry& entry, float position);

// The current entry's G-sensor sample or GPS fix at a position message's
// play time; none without a current entry or without samples or fixes.
// The playlist lock is released on return, before any hand-off.
std::optional<MotionSample> MotionSampleAtPosition(ApplicationHub& hub, float position);
std::optional<GpsFix> GpsFixAtPosition(ApplicationHub& hub, float position);

// Pane log lines: type 3, level 3.
void LogPane(const QString& message, const QString& className, const QString& function);

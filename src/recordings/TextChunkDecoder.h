#pragma once
// Decoding of the recorder's text-stream chunks: "M" chunks carry one
// G-sensor sample, "G" chunks one NMEA $GPRMC sentence. Pure functions over
// the chunk's bytes; numbers are read in the C locale whatever the user's.

#include "recordings/RecordingEntry.h"

#include <QByteArrayView>
#include <optional>
#include <vector>

namespace TextChunkDecoder {

// An NMEA sentence has at most 82 characters; no more of a chunk is read.
inline constexpr size_t kMaxTextBytes = 256;

// bytes: the chunk's data from the "M" on; bytes beyond it count as 0.
MotionSample DecodeMotion(QByteArrayView bytes);

// text: the chunk's data from the "G" on, already bounded by the chunk's end,
// the file's end and kMaxTextBytes. Fields are taken by position: an empty
// field stays in its place and reads as 0. A no-fix sentence gives an
// invalid fix at (0, 0), so every sentence keeps its second.
std::optional<GpsFix> DecodeGps(QByteArrayView text);

// The k-th of n samples (k from 1) gets the running sum of duration / n.
std::vector<double> MotionTimes(size_t count, int duration);

}  // namespace TextChunkDecoder

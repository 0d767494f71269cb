#pragma once
// The recordings the channel panes play in tests, made once per build folder
// by the CTest step channel_fixtures (FIXTURES_SETUP channel_fixtures) and
// found by name:
//
//   A  two cameras, 320x180, 30 fps, 2 s: front red with a white 40x40 box at
//      the top left, rear blue with a yellow one; PCM, one GPS fix a second,
//      G-sensor samples (the recorder's layout, AviFixtureBuilder)
//   C  as A, front cyan, rear magenta
//   D  as A at 640x360, ffmpeg's testsrc2 in front, smptebars behind
//   B  one camera, green, as ffmpeg writes it (00dc video, 01wb audio)
//   P  two cameras, 320x180, 4 s: front red, green (lime) from 2 s on, rear blue;
//      one GPS fix a second at 24.44 knots (45.26 km/h)
//   R  as A with the rear stream declared and no rear frame
//   Z  x.avi, 0 bytes
//
// H.264 by libx264, yuv420p, a key frame every 30 frames, no B-frames. The
// recorder-layout files are padded at their end to 64 KiB, above the size
// below which the reader takes a file for no recording.

#include <QString>

#include <memory>

class RecordingEntry;

namespace testsupport {

// The fixture's path ('A', 'B', 'C', 'D', 'P', 'R' or 'Z'), whether made or not.
QString ChannelFixture(char name);
// A playlist entry of the fixture as discovery makes it: the metadata comes
// with message 12.
std::shared_ptr<RecordingEntry> ChannelFixtureEntry(char name);
// Whether every fixture is there.
bool ChannelFixturesPresent();

// Writes the fixtures missing from folder (made when missing), all of them
// when they were made by an older definition, each under a temporary name
// renamed into place, so an interrupted run leaves none half written. False,
// with error set, when ffmpeg or a write fails.
bool WriteChannelFixtures(const QString& folder, QString* error = nullptr);

}  // namespace testsupport

#pragma once
// Real H.264 for playback tests and benchmarks: ffmpeg (run with an argument
// list, no shell) encodes a test picture into an AVI, and the project's own
// reader takes the access units and key flags back out of it.

#include "support/AviFixtureBuilder.h"

#include <QString>
#include <optional>
#include <vector>

namespace testsupport {

struct H264Options {
    int width = 640;
    int height = 360;
    int fps = 30;
    int seconds = 10;
    int gop = 30;
    int kilobitsPerSecond = 0;  // 0: the encoder's default quality
    // An ffmpeg lavfi source, with or without options ("color=c=red").
    QString pattern = QStringLiteral("testsrc");
    // A filled 40x40 box of this ffmpeg colour at the top left; none when
    // empty.
    QString boxColour;
    // From second laterFrom on, the whole picture in this ffmpeg colour;
    // never when empty.
    QString laterColour;
    int laterFrom = 0;
};

class H264Source {
public:
    // ffmpeg and ffprobe are on PATH.
    static bool Available();
    // No B-frames, parameter sets repeated at every key frame, a key frame
    // every gop frames. Empty with error set when ffmpeg fails.
    static std::optional<std::vector<AnnexBFrame>> Encode(const H264Options& options, const QString& workFolder,
                                                         QString* error = nullptr);
};

// Builder options for a two-camera recording of two encoded streams, with
// the stream rates and picture sizes they were encoded with.
AviFixtureOptions TwoCameraRecording(const std::vector<AnnexBFrame>& front, const H264Options& frontOptions,
                                     const std::vector<AnnexBFrame>& rear, const H264Options& rearOptions);

// Writes a playable two-camera recording (its folder made when missing):
// both streams encoded from their options (the front's length is the
// recording's), with the builder's GPS and G-sensor chunks. False, with error set, when encoding or writing fails.
bool WritePlayableRecording(const QString& path, const H264Options& front, const H264Options& rear,
                            const QString& workFolder, QString* error = nullptr);

// Runs a program with arguments; its exit code, or -1 when it did not run.
// Standard output is returned in output when given.
int RunProgram(const QString& program, const QStringList& arguments, QByteArray* output = nullptr,
               int timeoutMs = 600000);

}  // namespace testsupport

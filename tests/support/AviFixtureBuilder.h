#pragma once
// Writes AVI files laid out as the recorder writes them, healthy or broken in
// chosen ways, and a manifest of what was written, so tests compare the
// reader's answers with the builder's record rather than with the reader.
//
// Default layout: RIFF "AVI "; LIST hdrl (size 500) at 12 with avih at 24 and
// four strl lists at 88 (front video), 212 (rear video), 336 (audio) and 436
// (text); LIST movi at 520 with the first chunk at 532; idx1 after movi with
// offsets counted from the "movi" field at 528.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

enum AviStream { kFront = 0, kRear = 1, kAudio = 2, kText = 3 };

// One access unit of an H.264 elementary stream, start codes included.
struct AnnexBFrame {
    QByteArray bytes;
    bool key = false;  // holds an IDR slice
};

// Splits an Annex-B byte stream into access units: a new unit begins at an
// access unit delimiter, a parameter set or SEI that follows a slice, or a
// slice whose first_mb_in_slice is 0.
std::vector<AnnexBFrame> AnnexBFrames(QByteArrayView stream);

// A text-stream chunk written verbatim.
struct AviTextChunk {
    QByteArray data;                    // from its first byte ("M", "G", ...)
    std::optional<uint32_t> sizeField;  // header and idx1 size; default data.size()
    std::string id = "03tx";
};

struct AviStreamHeader {
    std::optional<uint32_t> scale;
    std::optional<uint32_t> rate;
    std::optional<uint32_t> length;  // default: the chunks written for the stream
};

struct AviFixtureOptions {
    int seconds = 10;
    // Default: seconds × rate / scale of the stream; rear 0 = one camera (the
    // header layout stays the same).
    std::optional<int> frontFrames;
    std::optional<int> rearFrames;
    int gop = 30;
    // Key frames (default: every gop-th) and their idx1 flags (default 16
    // on key frames, else 0).
    std::function<bool(int stream, int frame)> keyFrame;
    std::function<uint32_t(int stream, int frame, bool key)> videoFlags;
    // Rear frames written before the first front frame.
    int rearLead = 0;
    // Data size of video frame `frame` of stream kFront or kRear; default
    // 2000..2049 (key frames 6000..), odd sizes included.
    std::function<uint32_t(int stream, int frame)> frameSize;
    // Real access units instead of synthetic ones (their count wins).
    std::vector<AnnexBFrame> frontData;
    std::vector<AnnexBFrame> rearData;
    uint32_t audioChunkSize = 256;  // one 02wb chunk per front frame
    int motionPerSecond = 10;       // "M" chunks
    bool gps = true;                // one "G" $GPRMC chunk per second
    // The knots field of every fix as written ("24.44"); by default the
    // speed rises 0.7 knots a second.
    std::optional<QByteArray> gpsKnots;
    // Replaces the generated text chunks; spread evenly over the movie.
    std::optional<std::vector<AviTextChunk>> textChunks;

    std::array<AviStreamHeader, 4> streams;
    std::optional<uint32_t> paddingGranularity;
    std::optional<uint32_t> totalFrames;  // default: front + rear chunks
    uint32_t width = 1280;
    uint32_t height = 720;
    std::optional<uint32_t> rearWidth;  // default: half the front's
    std::optional<uint32_t> rearHeight;

    // JUNK chunks (data size) inside hdrl before strl `hdrlJunkBefore` (4 =
    // after the last), between hdrl and movi, and inside movi after the
    // chunk numbered moviJunkAfter (never indexed).
    uint32_t hdrlJunkSize = 0;
    int hdrlJunkBefore = 4;
    uint32_t junkBeforeMoviSize = 0;
    uint32_t moviJunkSize = 0;
    int moviJunkAfter = 0;

    bool writeIndex = true;
    // Pads the file with a trailing JUNK chunk to exactly this size.
    std::optional<int64_t> exactSize;
    // Writes headers and text chunks only; video and audio data stay holes.
    bool sparse = false;
    // The data of JUNK chunks in movi stays a hole (a recording whose real
    // frames lie past 2 GiB at no cost in space).
    bool junkAsHole = false;
    // Payload bytes: a pattern (default) or zeros.
    bool patternPayload = true;

    // Broken variants.
    // A power cut: RIFF size 0, movi size 0, dwTotalFrames and the four
    // dwLength 0, no idx1, the file cut inside the chunk at this fraction.
    std::optional<double> powerCut;
    std::optional<int64_t> truncateAt;
    int64_t zeroTail = 0;  // zero bytes appended
    std::optional<std::string> riffId;
    std::optional<uint32_t> riffSize;
    std::optional<std::string> formType;  // default "AVI "
    std::optional<uint32_t> idx1Size;
    // Three streams (no text stream): other offsets than the recorder's.
    bool foreignLayout = false;
};

struct AviChunkRecord {
    std::string id;
    int64_t headerOffset = 0;
    uint32_t size = 0;
    uint32_t flags = 0;
    bool indexed = true;
    int frame = -1;  // frame number for video, else -1
};

struct AviExpectedFix {
    double latitude = 0;
    double longitude = 0;
    double speed = 0;
    int timeOfDay = 0;
    bool valid = true;
};

struct AviExpectedSample {
    double x = 0, y = 0, z = 0, x2 = 0, y2 = 0, z2 = 0;
};

struct AviManifest {
    std::vector<AviChunkRecord> chunks;  // movi content in file order, JUNK included
    int64_t avihOffset = 0;
    std::vector<int64_t> strhOffsets;    // per stream in header order
    int64_t moviOffset = 0;
    int64_t firstChunkOffset = 0;
    int64_t idx1Offset = -1;             // -1 when not written
    int64_t fileSize = 0;
    int64_t cutOffset = -1;              // where a power cut or truncation ended the file
    std::array<int, 4> streamCounts{};   // chunks written per stream
    std::vector<AviExpectedFix> fixes;   // generated "G" chunks, in order
    std::vector<AviExpectedSample> samples;

    // The records of one id, in file order.
    std::vector<AviChunkRecord> ChunksOf(const std::string& id) const;
};

class AviFixtureBuilder {
public:
    explicit AviFixtureBuilder(AviFixtureOptions options = {});
    // Writes the file (replacing one at path); throws std::runtime_error
    // when it cannot.
    AviManifest Write(const QString& path) const;

    // Stream rates the repair writes; the defaults here.
    static constexpr std::array<uint32_t, 4> kDefaultRates{22056, 9342, 44100, 20250};
    static constexpr std::array<uint32_t, 4> kDefaultScales{1000, 1000, 1, 1000};

private:
    AviFixtureOptions options;
};

// "G" + a $GPRMC sentence with its checksum.
QByteArray GprmcChunk(const QByteArray& fieldsAfterName);
// "M" + six signed bytes.
QByteArray MotionChunk(std::array<int8_t, 6> bytes);

}  // namespace testsupport

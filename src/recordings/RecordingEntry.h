#pragma once
// One recording file: what discovery takes from its name, and what the
// metadata decoder later reads from the file. Always held as
// std::shared_ptr<RecordingEntry>; the entry owns its samples and fixes.

#include "core/OleDateTime.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr int RECORDING_EVENT = 1;
inline constexpr int RECORDING_NORMAL = 2;
inline constexpr int RECORDING_MOTION = 3;
inline constexpr int RECORDING_PARKING_MOTION = 4;
inline constexpr int RECORDING_UNKNOWN = 5;

struct GpsFix {
    double latitude = 0.0;   // signed degrees, negative in the south
    double longitude = 0.0;  // signed degrees, negative in the west
    double speed = 0.0;      // km/h
    int timeOfDay = 0;       // the fix's time plus 9 hours, as hhmmss
    bool valid = false;      // the receiver reported a valid position
};

struct MotionSample {
    double x2 = 0.0;
    double y2 = 0.0;
    double z2 = 0.0;
    double x = 0.0;  // the values the graph and the report show
    double y = 0.0;
    double z = 0.0;
};

class RecordingEntry {
public:
    RecordingEntry(OleDateTime startTime, int type, QString path, QString fileName);

    QString GetTypeName() const;
    QString GetDateText() const { return dateText; }
    QString GetTimeText() const { return timeText; }
    // "%d-%.2d-%.2d" and "%.2d:%.2d:%.2d" of the parts, as printf gives them.
    static QString FormatDateText(int year, int month, int day);
    static QString FormatTimeText(int hour, int minute, int second);

    // The sample whose time is nearest to seconds (the earlier on a tie);
    // empty without samples.
    std::optional<MotionSample> GetMotionSampleAt(double seconds) const;
    // The fix of the whole second of play time, clamped to the first and
    // last fix; empty without fixes.
    std::optional<GpsFix> GetGpsFixAt(double seconds) const;

    OleDateTime startTime;
    QString path;
    QString fileName;
    int type = RECORDING_UNKNOWN;
    int number = 0;
    int videoStreamCount = 0;
    int duration = 0;
    int64_t durationSpan = 0;
    int totalFrames = 0;
    int width = 0;
    int height = 0;
    bool metadataLoaded = false;
    bool selectTrack2 = false;
    bool selectTrack1 = false;
    std::vector<MotionSample> motionSamples;
    std::vector<double> motionTimes;  // same length and order as motionSamples
    std::vector<GpsFix> gpsFixes;
    QString dateText;
    QString timeText;
};

#pragma once
// Stand-in for the recording record until the recordings library is part of
// this build: the fields the hub reads and writes, nothing more.

#include <QString>
#include <cstdint>
#include <vector>

struct GpsFix {
    double latitude = 0;
    double longitude = 0;
    double speed = 0;
    int timeOfDay = 0;
    bool valid = false;
};

struct MotionSample {
    double x2 = 0, y2 = 0, z2 = 0, x = 0, y = 0, z = 0;
};

class RecordingEntry {
public:
    RecordingEntry(int type, QString path, QString fileName) : path(path), fileName(fileName), type(type) {}

    QString path;
    QString fileName;
    int type = 0;
    int number = 0;
    int videoStreamCount = 0;
    int duration = 0;
    std::int64_t durationSpan = 0;
    int totalFrames = 0;
    int width = 0;
    int height = 0;
    bool metadataLoaded = false;
    bool selectTrack2 = false;
    bool selectTrack1 = false;
    std::vector<MotionSample> motionSamples;
    std::vector<double> motionTimes;
    std::vector<GpsFix> gpsFixes;
    QString dateText;
    QString timeText;
};

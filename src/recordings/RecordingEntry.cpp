#include "recordings/RecordingEntry.h"

#include "core/Common.h"

#include <cmath>
#include <utility>

RecordingEntry::RecordingEntry(OleDateTime startTime_, int type_, QString path_, QString fileName_)
    : startTime(startTime_), path(std::move(path_)), fileName(std::move(fileName_)), type(type_)
{
    const OleDateTime::Parts parts = startTime.GetParts();
    dateText = QString::asprintf("%d-%.2d-%.2d", parts.year, parts.month, parts.day);
    timeText = QString::asprintf("%.2d:%.2d:%.2d", parts.hour, parts.minute, parts.second);
}

QString RecordingEntry::GetTypeName() const
{
    switch (type) {
    case RECORDING_EVENT:
        return Common::GetResourceString(223);
    case RECORDING_NORMAL:
        return Common::GetResourceString(224);
    case RECORDING_MOTION:
        return Common::GetResourceString(288);
    case RECORDING_PARKING_MOTION:
        return Common::GetResourceString(301);
    case RECORDING_UNKNOWN:
        return QStringLiteral("Unknown");
    default:
        return {};
    }
}

std::optional<MotionSample> RecordingEntry::GetMotionSampleAt(double seconds) const
{
    if (motionTimes.empty() || motionSamples.size() < motionTimes.size()) {
        return std::nullopt;
    }
    size_t lo = 0;
    size_t hi = motionTimes.size() - 1;
    for (;;) {
        const size_t mid = (lo + hi) / 2;
        if (motionTimes[mid] == seconds) {
            return motionSamples[mid];
        }
        if (motionTimes[mid] > seconds && hi != mid) {
            hi = mid;
        } else if (motionTimes[mid] < seconds && lo != mid) {
            lo = mid;
        } else {
            break;
        }
    }
    const bool hiNearer = std::fabs(motionTimes[hi] - seconds) < std::fabs(motionTimes[lo] - seconds);
    return motionSamples[hiNearer ? hi : lo];
}

std::optional<GpsFix> RecordingEntry::GetGpsFixAt(double seconds) const
{
    if (gpsFixes.empty()) {
        return std::nullopt;
    }
    // Clamped in double: a NaN or huge time must not reach the conversion.
    if (!(seconds >= 0.0)) {
        return gpsFixes.front();
    }
    if (seconds >= static_cast<double>(gpsFixes.size())) {
        return gpsFixes.back();
    }
    return gpsFixes[static_cast<size_t>(seconds)];
}

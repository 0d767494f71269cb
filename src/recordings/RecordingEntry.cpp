#include "recordings/RecordingEntry.h"

#include "core/Common.h"

#include <cmath>
#include <utility>

namespace {

// Appends value as printf's "%.Nd" does (at least minDigits digits after a
// '-'), without printf's parsing and locale lookup: every entry of a load
// formats six numbers.
char* AppendNumber(char* out, int value, int minDigits)
{
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    if (value < 0)
        *out++ = '-';
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int pad = count; pad < minDigits; ++pad)
        *out++ = '0';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

// a, separator, b, separator, c; the first at least firstDigits digits, the
// others two.
QString JoinParts(int a, int firstDigits, char separator, int b, int c)
{
    char text[3 * 12];
    char* out = AppendNumber(text, a, firstDigits);
    *out++ = separator;
    out = AppendNumber(out, b, 2);
    *out++ = separator;
    out = AppendNumber(out, c, 2);
    return QString::fromLatin1(text, out - text);
}

}  // namespace

RecordingEntry::RecordingEntry(OleDateTime startTime_, int type_, QString path_, QString fileName_)
    : startTime(startTime_), path(std::move(path_)), fileName(std::move(fileName_)), type(type_)
{
    const OleDateTime::Parts parts = startTime.GetParts();
    dateText = FormatDateText(parts.year, parts.month, parts.day);
    timeText = FormatTimeText(parts.hour, parts.minute, parts.second);
}

QString RecordingEntry::FormatDateText(int year, int month, int day)
{
    return JoinParts(year, 1, '-', month, day);
}

QString RecordingEntry::FormatTimeText(int hour, int minute, int second)
{
    return JoinParts(hour, 2, ':', minute, second);
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

#include "recordings/TextChunkDecoder.h"

#include "core/NumberText.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace {

constexpr double kGravityPerCount = 0.03125;
constexpr double kKmhPerKnot = 1.852;

double SignedByteAt(QByteArrayView bytes, qsizetype index)
{
    const auto value = index < bytes.size() ? static_cast<signed char>(bytes[index]) : 0;
    return value * kGravityPerCount;
}

double Number(const QString& text)
{
    return NumberText::ReadDecimalPrefix(text);
}

// ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3) as signed degrees.
double Degrees(const QString& field, qsizetype degreeDigits, bool negative)
{
    const double degrees = Number(field.left(degreeDigits)) + Number(field.mid(degreeDigits)) / 60.0;
    return negative ? -degrees : degrees;
}

}  // namespace

namespace TextChunkDecoder {

MotionSample DecodeMotion(QByteArrayView bytes)
{
    MotionSample sample;
    sample.x = SignedByteAt(bytes, 1);
    sample.y = SignedByteAt(bytes, 2);
    sample.z = SignedByteAt(bytes, 3);
    sample.x2 = SignedByteAt(bytes, 4);
    sample.y2 = SignedByteAt(bytes, 5);
    sample.z2 = SignedByteAt(bytes, 6);
    return sample;
}

std::optional<GpsFix> DecodeGps(QByteArrayView text)
{
    if (!text.sliced(std::min<qsizetype>(1, text.size())).startsWith("$GPRMC")) {
        return std::nullopt;
    }
    const qsizetype star = text.indexOf('*');
    if (star >= 0) {
        text = text.first(star + 1);
    }
    // One byte per character; empty pieces keep their place.
    const QStringList pieces = QString::fromLatin1(text).split(u',', Qt::KeepEmptyParts);
    if (pieces.size() < 8) {
        return std::nullopt;
    }
    GpsFix fix;
    fix.valid = pieces[2] == u"A";
    double time = Number(pieces[1]) + 90000.0;
    if (time >= 240000.0) {
        time -= 240000.0;
    }
    fix.timeOfDay = NumberText::TruncateToInt(time);
    fix.latitude = Degrees(pieces[3], 2, pieces[4] == u"S");
    fix.longitude = Degrees(pieces[5], 3, pieces[6] == u"W");
    fix.speed = Number(pieces[7]) * kKmhPerKnot;
    return fix;
}

std::vector<double> MotionTimes(size_t count, int duration)
{
    std::vector<double> times;
    if (count == 0) {
        return times;
    }
    times.reserve(count);
    const double step = static_cast<double>(duration) / static_cast<double>(count);
    double time = 0.0;
    for (size_t k = 0; k < count; ++k) {
        time += step;
        times.push_back(time);
    }
    return times;
}

}  // namespace TextChunkDecoder

#include "ui/CommandText.h"

#include "core/Common.h"
#include "core/Numbers.h"
#include "platform/Paths.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>

#include <cstdio>
#include <thread>

namespace {

constexpr int kGSensorHeading = 265;
constexpr int kTimeHeading = 264;
constexpr int kSpeedHeading = 266;
constexpr int kLatitudeHeading = 267;
constexpr int kLongitudeHeading = 268;
constexpr auto kLookInterval = std::chrono::milliseconds(50);

const QString kNotAvailable = QStringLiteral(" : N/A");

QString Fixed8(double value)
{
    return Numbers::FormatFixed(value, 8);
}

// The file name with a tag before its last four characters (its ".png").
QString Tagged(const QString& path, const QString& tag)
{
    return path.size() < 4 ? tag + path : path.left(path.size() - 4) + tag + path.right(4);
}

}  // namespace

QString MakeTimeSuffix(const QDateTime& time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    char text[64];
    std::snprintf(text, sizeof text, "-%d-%d-%d-%.2dh%.2dm%.2ds%.d", date.year(), date.month(), date.day(),
                  clock.hour(), clock.minute(), clock.second(), clock.msec());
    return QString::fromLatin1(text);
}

QString MakeCaptureFolder(const QString& saveDirectory, const QString& captureFolderName)
{
    return Paths::Join(saveDirectory, captureFolderName);
}

QString MakeCapturePath(const QString& folder, const QString& fileName, const QString& suffix)
{
    const QString base = fileName.size() > 4 ? fileName.left(fileName.size() - 4) : QString();
    return Paths::Join(folder, base + suffix + QStringLiteral(".png"));
}

std::vector<QString> SnapshotFiles(const QString& path, int videoStreamCount)
{
    if (videoStreamCount > 1)
        return {Tagged(path, QStringLiteral("(Track1)")), Tagged(path, QStringLiteral("(Track2)"))};
    return {path};
}

ReportLines MakeReportLines(const std::optional<GpsFix>& fix, const std::optional<MotionSample>& sample,
                            const QString& dateText, const QString& timeText)
{
    ReportLines lines;
    lines.gSensor = Common::GetResourceString(kGSensorHeading) +
                    (sample ? QStringLiteral(" : X= %1, Y= %2, Z= %3").arg(Fixed8(sample->x), Fixed8(sample->y),
                                                                         Fixed8(sample->z))
                            : QStringLiteral(" : X= N/A, Y= N/A, Z= N/A"));
    lines.dateTime = Common::GetResourceString(kTimeHeading) + QStringLiteral(" : %1 %2").arg(dateText, timeText);
    lines.speed = Common::GetResourceString(kSpeedHeading) +
                  (fix ? QStringLiteral(" : %1 km/h").arg(Numbers::FormatFixed(fix->speed, 1)) : kNotAvailable);
    lines.latitude = Common::GetResourceString(kLatitudeHeading) +
                     (fix ? QStringLiteral(" : ") + Fixed8(fix->latitude) : kNotAvailable);
    lines.longitude = Common::GetResourceString(kLongitudeHeading) +
                      (fix ? QStringLiteral(" : ") + Fixed8(fix->longitude) : kNotAvailable);
    return lines;
}

QImage WaitForCompletePng(const QString& path, std::chrono::milliseconds bound, const std::function<void()>& serve)
{
    QElapsedTimer waited;
    waited.start();
    qint64 lastSize = -1;
    for (;;) {
        const QFileInfo file(path);
        const qint64 size = file.isFile() ? file.size() : -1;
        // A file still being written may already decode as far as it goes:
        // only a size that held still for one interval is tried.
        if (size > 0 && size == lastSize) {
            QImageReader reader(path, "png");
            const QImage image = reader.read();
            if (!image.isNull())
                return image;
        }
        lastSize = size;
        if (waited.elapsed() >= bound.count())
            return {};
        if (serve)
            serve();
        std::this_thread::sleep_for(kLookInterval);
    }
}

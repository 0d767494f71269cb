#include "H264Source.h"

#include "recordings/AVIFileParser.h"

#include <exception>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

int RunProgram(const QString& program, const QStringList& arguments, QByteArray* output, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output) {
        *output = process.readAllStandardOutput();
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

AviFixtureOptions TwoCameraRecording(const std::vector<AnnexBFrame>& front, const H264Options& frontOptions,
                                     const std::vector<AnnexBFrame>& rear, const H264Options& rearOptions)
{
    AviFixtureOptions o;
    o.seconds = frontOptions.seconds;
    o.frontData = front;
    o.rearData = rear;
    o.width = static_cast<uint32_t>(frontOptions.width);
    o.height = static_cast<uint32_t>(frontOptions.height);
    o.rearWidth = static_cast<uint32_t>(rearOptions.width);
    o.rearHeight = static_cast<uint32_t>(rearOptions.height);
    o.streams[kFront] = {1000, static_cast<uint32_t>(frontOptions.fps * 1000), std::nullopt};
    o.streams[kRear] = {1000, static_cast<uint32_t>(rearOptions.fps * 1000), std::nullopt};
    return o;
}

bool H264Source::Available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

std::optional<std::vector<AnnexBFrame>> H264Source::Encode(const H264Options& o, const QString& workFolder, QString* error)
{
    const QString path = workFolder + QStringLiteral("/h264-%1x%2-%3.avi").arg(o.width).arg(o.height).arg(o.seconds);
    QStringList arguments{"-v", "error", "-y", "-f", "lavfi", "-i",
                          QStringLiteral("%1%2size=%3x%4:rate=%5")
                              .arg(o.pattern, o.pattern.contains('=') ? QStringLiteral(":") : QStringLiteral("="))
                              .arg(o.width)
                              .arg(o.height)
                              .arg(o.fps),
                          "-t", QString::number(o.seconds)};
    QStringList filters;
    if (!o.boxColour.isEmpty())
        filters << QStringLiteral("drawbox=x=0:y=0:w=40:h=40:color=%1:t=fill").arg(o.boxColour);
    if (!o.laterColour.isEmpty())
        filters << QStringLiteral("drawbox=x=0:y=0:w=iw:h=ih:color=%1:t=fill:enable='gte(t,%2)'")
                       .arg(o.laterColour)
                       .arg(o.laterFrom);
    if (!filters.isEmpty())
        arguments << "-vf" << filters.join(QLatin1Char(','));
    arguments << QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-bf", "0",
                             "-g", QString::number(o.gop), "-x264-params",
                             QStringLiteral("repeat-headers=1:keyint=%1:min-keyint=%1:scenecut=0").arg(o.gop),
                             "-pix_fmt", "yuv420p"};
    // Header room, so that the file of a flat picture still reaches the size
    // the reader takes for a recording.
    arguments << "-reserve_index_space" << "32768";
    if (o.kilobitsPerSecond > 0) {
        arguments << "-b:v" << QStringLiteral("%1k").arg(o.kilobitsPerSecond);
    }
    arguments << path;
    if (RunProgram(QStringLiteral("ffmpeg"), arguments) != 0) {
        if (error) {
            *error = QStringLiteral("ffmpeg could not encode ") + path;
        }
        return std::nullopt;
    }
    AVIFileParser parser;
    if (!parser.Open(path) || parser.GetRootChunks().empty()) {
        if (error) {
            *error = QStringLiteral("the reader does not accept ") + path;
        }
        return std::nullopt;
    }
    std::vector<AnnexBFrame> frames;
    for (const IndexEntry& entry : parser.GetIndexEntries("00dc")) {
        const uint32_t size = parser.ReadDword(entry.dataOffset - 4);
        QByteArray bytes(static_cast<qsizetype>(size), '\0');
        if (size == 0 || !parser.Read(entry.dataOffset, size, bytes.data())) {
            continue;  // ffmpeg writes empty chunks for dropped frames
        }
        frames.push_back({bytes, (entry.flags & 0x10) != 0});
    }
    return frames;
}

bool WritePlayableRecording(const QString& path, const H264Options& front, const H264Options& rear,
                            const QString& workFolder, QString* error)
{
    const auto frontFrames = H264Source::Encode(front, workFolder, error);
    if (!frontFrames)
        return false;
    const auto rearFrames = H264Source::Encode(rear, workFolder, error);
    if (!rearFrames)
        return false;
    if (!QDir().mkpath(QFileInfo(path).path())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of ") + path;
        return false;
    }
    try {
        AviFixtureBuilder(TwoCameraRecording(*frontFrames, front, *rearFrames, rear)).Write(path);
    } catch (const std::exception& failure) {
        if (error)
            *error = QString::fromUtf8(failure.what());
        return false;
    }
    return true;
}

}  // namespace testsupport

#include "support/ChannelFixtures.h"

#include "recordings/RecordingEntry.h"
#include "support/AviFixtureBuilder.h"
#include "support/H264Source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <exception>
#include <functional>

namespace testsupport {

namespace {

constexpr const char* kNames = "ABCDPRZ";
// Raised whenever a fixture changes, so build folders remake theirs.
constexpr int kVersion = 3;
// The reader sets files of 30 KiB or less aside as no recording: the
// recorder's layout is padded at its end (a JUNK chunk) to this size.
constexpr int64_t kPaddedSize = 64 * 1024;

QString VersionFile(const QString& folder)
{
    return folder + QStringLiteral("/version");
}

bool UpToDate(const QString& folder)
{
    QFile file(VersionFile(folder));
    return file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == QByteArray::number(kVersion);
}

QString FileName(char name)
{
    return name == 'Z' ? QStringLiteral("x.avi") : QString(QChar(name)) + QStringLiteral(".avi");
}

H264Options Camera(int width, const QString& pattern, const QString& box = {})
{
    H264Options o;
    o.width = width;
    o.height = width * 9 / 16;
    o.fps = 30;
    o.seconds = 2;
    o.gop = 30;
    o.pattern = pattern;
    o.boxColour = box;
    return o;
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Two encoded cameras in the recorder's layout; an empty rear pattern
// declares the rear stream and writes none of its frames.
bool WriteRecording(const QString& path, const H264Options& front, const H264Options& rear, const QString& work,
                    QString* error, const std::function<void(AviFixtureOptions&)>& adjust = {})
{
    const auto frontFrames = H264Source::Encode(front, work, error);
    if (!frontFrames)
        return false;
    std::vector<AnnexBFrame> rearFrames;
    if (!rear.pattern.isEmpty()) {
        const auto encoded = H264Source::Encode(rear, work, error);
        if (!encoded)
            return false;
        rearFrames = *encoded;
    }
    AviFixtureOptions options = TwoCameraRecording(*frontFrames, front, rearFrames, rear);
    if (rearFrames.empty())
        options.rearFrames = 0;
    if (adjust)
        adjust(options);
    try {
        if (AviFixtureBuilder(options).Write(path).fileSize < kPaddedSize) {
            options.exactSize = kPaddedSize;
            AviFixtureBuilder(options).Write(path);
        }
    } catch (const std::exception& failure) {
        return Fail(error, QString::fromUtf8(failure.what()));
    }
    return true;
}

bool WriteOneCamera(const QString& path, QString* error)
{
    const int result = RunProgram(QStringLiteral("ffmpeg"),
                                  {"-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                   "color=c=lime:s=320x180:r=30:d=2", "-f", "lavfi", "-i",
                                   "sine=frequency=440:sample_rate=44100:duration=2", "-map", "0:v", "-map", "1:a",
                                   "-c:v", "libx264", "-pix_fmt", "yuv420p", "-g", "30", "-bf", "0", "-c:a",
                                   "pcm_s16le", "-f", "avi", path});
    return result == 0 || Fail(error, QStringLiteral("ffmpeg could not write ") + path);
}

bool WriteFixture(char name, const QString& path, const QString& work, QString* error)
{
    switch (name) {
    case 'A':
        return WriteRecording(path, Camera(320, "color=c=red", "white"), Camera(320, "color=c=blue", "yellow"), work,
                              error);
    case 'C':
        return WriteRecording(path, Camera(320, "color=c=cyan", "white"), Camera(320, "color=c=magenta", "yellow"),
                              work, error);
    case 'D':
        return WriteRecording(path, Camera(640, "testsrc2"), Camera(640, "smptebars"), work, error);
    case 'P': {
        H264Options front = Camera(320, "color=c=red");
        front.seconds = 4;
        front.laterColour = QStringLiteral("lime");
        front.laterFrom = 2;
        H264Options rear = Camera(320, "color=c=blue");
        rear.seconds = 4;
        return WriteRecording(path, front, rear, work, error,
                              [](AviFixtureOptions& o) { o.gpsKnots = QByteArrayLiteral("24.44"); });
    }
    case 'R':
        return WriteRecording(path, Camera(320, "color=c=red", "white"), Camera(320, QString()), work, error);
    case 'B':
        return WriteOneCamera(path, error);
    case 'Z': {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
               Fail(error, QStringLiteral("cannot create ") + path);
    }
    default:
        return Fail(error, QStringLiteral("no fixture ") + QChar(name));
    }
}

}  // namespace

QString ChannelFixture(char name)
{
    return QStringLiteral(KESTROV_CHANNEL_FIXTURE_DIR "/") + FileName(name);
}

std::shared_ptr<RecordingEntry> ChannelFixtureEntry(char name)
{
    const QString path = ChannelFixture(name);
    return std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, path, path.section('/', -1));
}

bool ChannelFixturesPresent()
{
    if (!UpToDate(QFileInfo(ChannelFixture('A')).path()))
        return false;
    for (const char* name = kNames; *name; ++name)
        if (!QFileInfo(ChannelFixture(*name)).isFile())
            return false;
    return true;
}

bool WriteChannelFixtures(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder))
        return Fail(error, QStringLiteral("cannot create ") + folder);
    QTemporaryDir work(folder + QStringLiteral("/work-XXXXXX"));
    if (!work.isValid())
        return Fail(error, QStringLiteral("no work folder in ") + folder);
    const bool current = UpToDate(folder);
    for (const char* name = kNames; *name; ++name) {
        const QString path = folder + "/" + FileName(*name);
        if (current && QFileInfo(path).isFile())
            continue;
        QFile::remove(path);
        const QString part = work.path() + "/" + FileName(*name);
        if (!WriteFixture(*name, part, work.path(), error))
            return false;
        if (!QFile::rename(part, path))
            return Fail(error, QStringLiteral("cannot move ") + part + QStringLiteral(" to ") + path);
    }
    QFile version(VersionFile(folder));
    if (!version.open(QIODevice::WriteOnly | QIODevice::Truncate) || version.write(QByteArray::number(kVersion)) < 0)
        return Fail(error, QStringLiteral("cannot write ") + VersionFile(folder));
    return true;
}

}  // namespace testsupport

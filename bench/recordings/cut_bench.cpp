// The cutter's benchmark process, run by scripts/bench-cut:
//   cut_bench make-recording OUT   a 1-minute two-camera recording of real H.264
//   cut_bench cut SRC S E DST      one cut, then exit (0 = written)

#include "core/Numbers.h"
#include "recordings/AviSegmentCutter.h"
#include "support/AviFixtureBuilder.h"
#include "support/H264Source.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <exception>

namespace {

int MakeRecording(const QString& out)
{
    using namespace testsupport;
    QTemporaryDir work(QFileInfo(out).absolutePath() + "/h264-XXXXXX");
    QString error;
    const H264Options frontOptions{1920, 1080, 30, 60, 30, 15000, "testsrc2"};
    const H264Options rearOptions{1280, 720, 30, 60, 30, 7500, "testsrc"};
    const auto front = H264Source::Encode(frontOptions, work.path(), &error);
    const auto rear = front ? H264Source::Encode(rearOptions, work.path(), &error) : std::nullopt;
    if (!front || !rear) {
        std::fprintf(stderr, "cut_bench: %s\n", qPrintable(error));
        return 1;
    }
    AviFixtureOptions o = TwoCameraRecording(*front, frontOptions, *rear, rearOptions);
    o.audioChunkSize = 1470;  // 44.1 kHz, 16-bit mono per frame
    o.motionPerSecond = 10;
    try {
        const AviManifest manifest = AviFixtureBuilder(o).Write(out);
        std::printf("recording: %s, %.1f MB, %d front and %d rear frames\n", qPrintable(out), manifest.fileSize / 1e6,
                    manifest.streamCounts[0], manifest.streamCounts[1]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "cut_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == QLatin1String("make-recording") && argc == 3) {
        return MakeRecording(QString::fromLocal8Bit(argv[2]));
    }
    if (mode == QLatin1String("cut") && argc == 6) {
        const auto start = Numbers::ParseDecimal(QString::fromLatin1(argv[3]));
        const auto end = Numbers::ParseDecimal(QString::fromLatin1(argv[4]));
        if (!start || !end) {
            std::fprintf(stderr, "cut_bench: the seconds must be whole numbers\n");
            return 2;
        }
        return AviSegmentCutter::CutSegment(argv[2], static_cast<uint32_t>(*start), static_cast<uint32_t>(*end), argv[5]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: cut_bench make-recording OUT | cut SRC S E DST\n");
    return 2;
}

// Writes recorder-layout AVI files for benchmarks and manual checks.
// avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]
//             [--power-cut F] [--sparse]
// avi-fixture OUTDIR --h264 [--count N] [--seconds S]
//   playable recordings: real H.264 front and rear (ffmpeg), GPS and G chunks

#include "support/AviFixtureBuilder.h"
#include "support/H264Source.h"
#include "core/NumberText.h"

#include <QDir>
#include <QTemporaryDir>
#include <QString>
#include <cstdio>
#include <algorithm>
#include <exception>
#include <stdexcept>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]"
                 " [--power-cut F] [--sparse]\n"
                 "       avi-fixture OUTDIR --h264 [--count N] [--seconds S]\n");
    return 2;
}

// A test picture in front, colour bars behind at half the size.
void WritePlayable(const QString& path, int seconds)
{
    // The encoder's own files stay out of the recordings' folder.
    QTemporaryDir work;
    if (!work.isValid()) {
        throw std::runtime_error("no temporary folder for the encoder");
    }
    testsupport::H264Options front;
    front.seconds = seconds;
    testsupport::H264Options rear = front;
    rear.width = front.width / 2;
    rear.height = front.height / 2;
    rear.pattern = QStringLiteral("smptebars");
    QString error;
    if (!testsupport::WritePlayableRecording(path, front, rear, work.path(), &error)) {
        throw std::runtime_error(error.toStdString());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // An option in the folder's place (say --help) is never taken for a folder.
    if (argc < 2 || argv[1][0] == '-') {
        return Usage();
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    int count = 1;
    testsupport::AviFixtureOptions options;
    double megabytes = 0;
    bool h264 = false;
    bool layoutOptions = false;  // options that only synthetic files take
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        const QString value = hasValue ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        if (arg == "--count" && hasValue) {
            count = NumberText::ReadIntPrefix(value);
            ++i;
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = NumberText::ReadIntPrefix(value);
            ++i;
        } else if (arg == "--megabytes" && hasValue) {
            megabytes = NumberText::ReadDecimalPrefix(value);
            layoutOptions = true;
            ++i;
        } else if (arg == "--power-cut" && hasValue) {
            options.powerCut = NumberText::ReadDecimalPrefix(value);
            layoutOptions = true;
            ++i;
        } else if (arg == "--no-rear") {
            options.rearFrames = 0;
            layoutOptions = true;
        } else if (arg == "--sparse") {
            options.sparse = true;
            layoutOptions = true;
        } else if (arg == "--h264") {
            h264 = true;
        } else {
            return Usage();
        }
    }
    if (count < 1 || options.seconds < 1 || (h264 && layoutOptions)) {
        return Usage();
    }
    if (megabytes > 0) {
        // Front frames carry the size; rear frames are half as large.
        const double perSecond = megabytes * 1e6 / options.seconds;
        const double frontRate = 22.056;
        const double rearRate = options.rearFrames == 0 ? 0 : 9.342;
        const double fixed = frontRate * (8 + 8 + options.audioChunkSize) + rearRate * 8 + 400;
        const auto frame = static_cast<uint32_t>(std::max(64.0, (perSecond - fixed) / (frontRate + rearRate / 2)));
        options.frameSize = [frame](int stream, int) { return stream == testsupport::kFront ? frame : frame / 2 + 1; };
    }
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "avi-fixture: cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        for (int n = 0; n < count; ++n) {
            // Recorder names: one recording per minute from 2013-04-05 12:00.
            const int minute = n % 60;
            const int hour = 12 + n / 60 % 12;
            const int day = 5 + n / 720;
            const QString name = QString::asprintf("201304%02d_%02d%02d00_NOR.avi", day, hour, minute);
            if (h264) {
                WritePlayable(outDir + "/" + name, options.seconds);
                continue;
            }
            testsupport::AviFixtureBuilder(options).Write(outDir + "/" + name);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "avi-fixture: %s\n", error.what());
        return 1;
    }
    return 0;
}

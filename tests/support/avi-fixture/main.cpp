// Writes recorder-layout AVI files for benchmarks and manual checks.
// avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]
//             [--power-cut F] [--sparse] [--mix SEED] [--per-folder K]
// avi-fixture OUTDIR --h264 [--count N] [--seconds S]
//   playable recordings: real H.264 front and rear (ffmpeg), GPS and G chunks
// --mix: a card's mix, seeded: sizes of 0.2 to 4.7 MB, 65 % two-camera.
//        With --sparse its frames are few (one every 10 s) and large, so the
//        files cost little space: for benchmarks that read headers only.
// --per-folder: K files to a numbered sub-folder (000, 001, ...).

#include "support/AviFixtureBuilder.h"
#include "support/H264Source.h"
#include "core/NumberText.h"

#include <QDir>
#include <QTemporaryDir>
#include <QString>
#include <cstdio>
#include <algorithm>
#include <exception>
#include <optional>
#include <random>
#include <stdexcept>

namespace {

// Front frames carry the size; rear frames are half as large.
void SetSize(testsupport::AviFixtureOptions& options, double megabytes)
{
    const double perSecond = megabytes * 1e6 / options.seconds;
    const double frontRate = 22.056;
    const double rearRate = options.rearFrames == 0 ? 0 : 9.342;
    const double fixed = frontRate * (8 + 8 + options.audioChunkSize) + rearRate * 8 + 400;
    const auto frame = static_cast<uint32_t>(std::max(64.0, (perSecond - fixed) / (frontRate + rearRate / 2)));
    options.frameSize = [frame](int stream, int) { return stream == testsupport::kFront ? frame : frame / 2 + 1; };
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]"
                 " [--power-cut F] [--sparse] [--mix SEED] [--per-folder K]\n"
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
    std::optional<unsigned> mixSeed;
    int perFolder = 0;
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
        } else if (arg == "--mix" && hasValue) {
            mixSeed = static_cast<unsigned>(NumberText::ReadIntPrefix(value));
            ++i;
        } else if (arg == "--per-folder" && hasValue) {
            perFolder = NumberText::ReadIntPrefix(value);
            ++i;
        } else if (arg == "--h264") {
            h264 = true;
        } else {
            return Usage();
        }
    }
    if (count < 1 || options.seconds < 1 || (h264 && (layoutOptions || mixSeed))) {
        return Usage();
    }
    if (megabytes > 0) {
        SetSize(options, megabytes);
    }
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "avi-fixture: cannot create %s\n", argv[1]);
        return 1;
    }
    std::mt19937 random(mixSeed.value_or(0));
    try {
        for (int n = 0; n < count; ++n) {
            testsupport::AviFixtureOptions file = options;
            if (mixSeed) {
                const bool twoCameras = std::uniform_int_distribution<int>(0, 99)(random) < 65;
                file.rearFrames = twoCameras ? std::nullopt : std::optional<int>(0);
                if (file.sparse) {
                    file.frontFrames = std::max(1, file.seconds / 10);
                    file.rearFrames = twoCameras ? std::optional<int>(std::max(1, file.seconds / 20)) : std::optional<int>(0);
                    file.motionPerSecond = 0;
                    file.gps = false;
                    file.audioChunkSize = 4000;
                }
                const double megabytes = std::uniform_real_distribution<double>(0.2, 4.7)(random);
                if (file.sparse) {
                    const int frames = *file.frontFrames + *file.rearFrames;
                    const auto frame = static_cast<uint32_t>(std::max(64.0, (megabytes * 1e6 - 8000.0 * frames) / frames));
                    file.frameSize = [frame](int, int) { return frame; };
                } else {
                    SetSize(file, megabytes);
                }
            }
            QString folder = outDir;
            if (perFolder > 0) {
                folder += QString::asprintf("/%03d", n / perFolder);
                QDir().mkpath(folder);
            }
            // Recorder names: one recording per minute from 2013-04-05 12:00.
            const int minute = n % 60;
            const int hour = 12 + n / 60 % 12;
            const int day = 5 + n / 720;
            const QString name = QString::asprintf("201304%02d_%02d%02d00_NOR.avi", day, hour, minute);
            if (h264) {
                WritePlayable(folder + "/" + name, options.seconds);
                continue;
            }
            testsupport::AviFixtureBuilder(file).Write(folder + "/" + name);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "avi-fixture: %s\n", error.what());
        return 1;
    }
    return 0;
}

// Writes recorder-layout AVI files for benchmarks and manual checks.
// avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]
//             [--power-cut F] [--sparse]

#include "support/AviFixtureBuilder.h"
#include "core/NumberText.h"

#include <QDir>
#include <QString>
#include <cstdio>
#include <algorithm>
#include <exception>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: avi-fixture OUTDIR --count N --seconds S [--megabytes M] [--no-rear]"
                 " [--power-cut F] [--sparse]\n");
    return 2;
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
            ++i;
        } else if (arg == "--power-cut" && hasValue) {
            options.powerCut = NumberText::ReadDecimalPrefix(value);
            ++i;
        } else if (arg == "--no-rear") {
            options.rearFrames = 0;
        } else if (arg == "--sparse") {
            options.sparse = true;
        } else {
            return Usage();
        }
    }
    if (count < 1 || options.seconds < 1) {
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
            testsupport::AviFixtureBuilder(options).Write(outDir + "/" + name);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "avi-fixture: %s\n", error.what());
        return 1;
    }
    return 0;
}

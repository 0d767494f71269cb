// channel-fixtures [folder]: writes the channel panes' test recordings that
// are missing (see support/ChannelFixtures.h); the CTest step
// channel_fixtures runs it once per build folder.

#include "support/ChannelFixtures.h"
#include "support/H264Source.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QFileInfo(testsupport::ChannelFixture('A')).path();
    if (!testsupport::H264Source::Available()) {
        // Without ffmpeg the cases that need the recordings say so and skip
        // (or fail under KESTROV_REQUIRE_REAL=1).
        std::fprintf(stderr, "channel-fixtures: ffmpeg is not installed\n");
        return 0;
    }
    QString error;
    if (!testsupport::WriteChannelFixtures(folder, &error)) {
        std::fprintf(stderr, "channel-fixtures: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

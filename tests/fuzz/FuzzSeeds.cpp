// Writes the fuzz targets' seed inputs, each into OUT/<target>/: recordings
// from the fixture builder (healthy, one camera, odd sizes, JUNK, power cut,
// truncated, forged sizes), text chunks, a default setup.cfg and option.ini,
// and a few string-table lines. Run at build time; nothing is committed.

#include "platform/ProfileFile.h"
#include "support/AviFixtureBuilder.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <exception>
#include <functional>
#include <vector>

namespace {

using namespace testsupport;

void WriteSeed(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz-seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

// Small recordings: a few seconds of small frames, so a seed stays near
// 10-40 KB and the fuzzer's mutations reach every part of it.
AviFixtureOptions Small()
{
    AviFixtureOptions o;
    o.seconds = 2;
    o.frontFrames = 30;
    o.rearFrames = 12;
    o.gop = 10;
    o.frameSize = [](int, int frame) { return 200u + static_cast<uint32_t>(frame % 3); };
    o.audioChunkSize = 32;
    o.motionPerSecond = 4;
    return o;
}

void WriteRecordings(const QString& out)
{
    const std::vector<std::pair<const char*, std::function<void(AviFixtureOptions&)>>> variants = {
        {"healthy", [](AviFixtureOptions&) {}},
        {"one-camera", [](AviFixtureOptions& o) { o.rearFrames = 0; }},
        {"odd-sizes", [](AviFixtureOptions& o) { o.frameSize = [](int s, int f) { return (s ? 151u : 301u) + 2u * static_cast<uint32_t>(f % 5); }; }},
        {"junk", [](AviFixtureOptions& o) { o.hdrlJunkSize = 12; o.junkBeforeMoviSize = 20; o.moviJunkSize = 7; o.moviJunkAfter = 3; }},
        {"rear-first", [](AviFixtureOptions& o) { o.rearLead = 3; }},
        {"power-cut", [](AviFixtureOptions& o) { o.powerCut = 0.7; }},
        {"truncated", [](AviFixtureOptions& o) { o.truncateAt = 6000; }},
        {"no-index", [](AviFixtureOptions& o) { o.writeIndex = false; }},
        {"forged-idx1-size", [](AviFixtureOptions& o) { o.idx1Size = 0xFFFFFFF0u; }},
        {"riff-size-too-large", [](AviFixtureOptions& o) { o.riffSize = 0x7FFFFFFFu; }},
    };
    QDir().mkpath(out);
    const QString scratch = out + QStringLiteral("/scratch.avi");
    for (const auto& [name, change] : variants) {
        AviFixtureOptions o = Small();
        change(o);
        AviFixtureBuilder(o).Write(scratch);
        QFile file(scratch);
        if (!file.open(QIODevice::ReadOnly)) {
            std::exit(1);
        }
        const QByteArray bytes = file.readAll();
        const QString fileName = QString::fromLatin1(name) + QStringLiteral(".avi");
        WriteSeed(out + QStringLiteral("/avi_parser"), fileName, bytes);
        WriteSeed(out + QStringLiteral("/repair_plan"), fileName, bytes);
    }
    QFile::remove(scratch);
}

void WriteTextChunks(const QString& out)
{
    const QString folder = out + QStringLiteral("/text_chunk");
    WriteSeed(folder, "motion", MotionChunk({1, -2, 3, -128, 127, 0}));
    WriteSeed(folder, "fix", GprmcChunk("123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"));
    WriteSeed(folder, "no-fix", GprmcChunk("123519,V,,,,,,,230394,,"));
    WriteSeed(folder, "south-west", GprmcChunk("000000,A,3356.0,S,15112.0,W,0.0,0.0,010100,,"));
}

void WriteSettings(const QString& out)
{
    WriteSeed(out + QStringLiteral("/setup_cfg"), "default",
              "Product Name            : QV7\r\n"
              "H/W Version             : V1.0.0\r\n"
              "Acc Trigger Level       : 2\r\n"
              "LCD Brightness          : 3\r\n"
              "Screen saver Enable     : 1\r\n"
              "Power OFF Time          : 3\r\n"
              "LCD Off Time            : 1\r\n"
              "SD Format Year          : 0\r\n"
              "Video Quality           : 8\r\n"
              "Time Zone               : 13\r\n");
    WriteSeed(out + QStringLiteral("/setup_cfg"), "odd",
              "LCD OFF Time            : 2\r\nVideo Quality           : 99999999999999\r\nProduct Name: x\r\n^\xff\r");

    ProfileFile ini;
    ini.SetValue(QStringLiteral("DIRECTORY"), QStringLiteral("SAVE_DIRECTORY"), QStringLiteral("/home/user/Снимки"));
    ini.SetValue(QStringLiteral("OPTION"), QStringLiteral("USE_LOG"), QStringLiteral("TRUE"));
    ini.SetValue(QStringLiteral("OPTION"), QStringLiteral("LOG_LEVEL"), QStringLiteral("5"));
    const QString iniPath = out + QStringLiteral("/profile_file/default.ini");
    QDir().mkpath(out + QStringLiteral("/profile_file"));
    if (ini.Save(iniPath)) {
        std::exit(1);
    }
    WriteSeed(out + QStringLiteral("/profile_file"), "messy",
              "\xEF\xBB\xBF; comment\n[option]\n  seek_step = \"7\" \n[OPTION]\nSEEK_STEP=9\nnot a key\n[\n=\n");
}

void WriteStrings(const QString& out)
{
    WriteSeed(out + QStringLiteral("/string_table"), "lines",
              "# comment\n223\tСобытие\n298\tНевозможно прочитать файл.\n1\ta\\tb\\nc\\\\d\n\n7\n-1\tx\n99999999999\ty\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds OUT\n");
        return 2;
    }
    const QString out = QFile::decodeName(argv[1]);
    try {
        WriteRecordings(out);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "fuzz-seeds: %s\n", failure.what());
        return 1;
    }
    WriteTextChunks(out);
    WriteSettings(out);
    WriteStrings(out);
    return 0;
}

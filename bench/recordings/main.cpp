// Figures for the recordings layer, printed for scripts/bench-recordings.
//   recordings-bench probe DIR    Open of every *avi file under DIR
//   recordings-bench decode FILE  metadata decoding of one file
//   (discovery and repair modes: DiscoveryBench.cpp)

#include "DiscoveryBench.h"
#include "recordings/AVIFileLoader.h"
#include "recordings/AVIFileParser.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Probe(const QString& dir)
{
    QStringList paths;
    QDirIterator it(dir, {QStringLiteral("*avi")}, QDir::Files, QDirIterator::Subdirectories);
    double megabytes = 0;
    while (it.hasNext()) {
        paths << it.next();
        megabytes += static_cast<double>(it.fileInfo().size()) / 1e6;
    }
    if (paths.isEmpty()) {
        std::fprintf(stderr, "recordings-bench: no *avi files under %s\n", qPrintable(dir));
        return 1;
    }
    uint64_t reads = 0;
    uint64_t bytes = 0;
    int accepted = 0;
    const auto start = Clock::now();
    for (const QString& path : paths) {
        AVIFileParser parser;
        accepted += parser.Open(path) ? 1 : 0;
        reads += parser.GetIoStats().reads;
        bytes += parser.GetIoStats().bytes;
    }
    const double seconds = SecondsSince(start);
    const auto files = static_cast<double>(paths.size());
    std::printf("probe: %lld files (%d accepted), %.1f MB, %.3f s, %.1f us/file, %.2f reads/file, %.1f bytes/file\n",
                static_cast<long long>(paths.size()), accepted, megabytes, seconds, seconds * 1e6 / files,
                static_cast<double>(reads) / files, static_cast<double>(bytes) / files);
    return accepted == paths.size() ? 0 : 1;
}

int Decode(const QString& path)
{
    RecordingEntry entry(OleDateTime(), RECORDING_UNKNOWN, path, QFileInfo(path).fileName());
    AVIFileLoader loader;
    const auto start = Clock::now();
    const bool ok = loader.GetMetadataFromAVIFile(entry);
    const double seconds = SecondsSince(start);
    loader.Close();
    const IoStats stats = loader.GetLastIoStats();
    std::printf("decode: %s, %.3f ms, %llu reads, %llu bytes, %zu samples, %zu fixes\n", ok ? "ok" : "FAILED",
                seconds * 1e3, static_cast<unsigned long long>(stats.reads), static_cast<unsigned long long>(stats.bytes),
                entry.motionSamples.size(), entry.gpsFixes.size());
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QString::fromLatin1(argv[1]) == QLatin1String("probe")) {
        return Probe(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 3 && QString::fromLatin1(argv[1]) == QLatin1String("decode")) {
        return Decode(QString::fromLocal8Bit(argv[2]));
    }
    if (const std::optional<int> code = RunDiscoveryBench(argc, argv)) {
        return *code;
    }
    std::fprintf(stderr,
                 "usage: recordings-bench probe DIR | decode FILE | discovery DIR | scan DIR RUNS | repair FILE DOCS | evict PATH |"
                 " measure LABEL FILES -- CMD...\n");
    return 2;
}

// The cutter's benchmark, run by scripts/bench-cut:
//   cut_bench make-recording OUT SECONDS  a two-camera recording of real
//                                         H.264 (one encoded minute, repeated)
//   cut_bench compare LONG SHORT RUNS DIR the cut measured in this process
//                                         beside dd of the same bytes and
//                                         ffmpeg -c copy of the same range
//   cut_bench cut SRC S E DST             one cut, then exit (0 = written)

#include "core/Numbers.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AviSegmentCutter.h"
#include "recordings/AviSegmentCutterPlan.h"
#include "support/AviFixtureBuilder.h"
#include "support/H264Source.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int MakeRecording(const QString& out, int seconds)
{
    using namespace testsupport;
    QTemporaryDir work(QFileInfo(out).absolutePath() + "/h264-XXXXXX");
    QString error;
    const H264Options frontOptions{1280, 720, 30, 60, 30, 1000, "testsrc2", {}, {}, 0};
    const H264Options rearOptions{640, 360, 30, 60, 30, 400, "testsrc", {}, {}, 0};
    const auto front = H264Source::Encode(frontOptions, work.path(), &error);
    const auto rear = front ? H264Source::Encode(rearOptions, work.path(), &error) : std::nullopt;
    if (!front || !rear) {
        std::fprintf(stderr, "cut_bench: %s\n", qPrintable(error));
        return 1;
    }
    AviFixtureOptions o = TwoCameraRecording(*front, frontOptions, *rear, rearOptions);
    // The encoded minute, repeated up to the length asked for.
    for (int minute = 1; minute < seconds / 60; ++minute) {
        o.frontData.insert(o.frontData.end(), front->begin(), front->end());
        o.rearData.insert(o.rearData.end(), rear->begin(), rear->end());
    }
    o.seconds = seconds;
    o.audioChunkSize = 1470;  // 44.1 kHz, 16-bit mono per frame
    o.motionPerSecond = 10;
    try {
        const AviManifest manifest = AviFixtureBuilder(o).Write(out);
        std::printf("recording: %s, %d s, %.1f MB, %d front and %d rear frames\n", qPrintable(out), seconds,
                    manifest.fileSize / 1e6, manifest.streamCounts[0], manifest.streamCounts[1]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "cut_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}

// Runs a program to its end, output dropped; its seconds, negative when it
// did not exit 0.
double Run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = SecondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

bool Fsync(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0)
        close(fd);
    return synced;
}

// Reads the whole file once, so the runs after it are warm.
void Warm(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buffer(1 << 20);
    while (fd >= 0 && read(fd, buffer.data(), buffer.size()) > 0) {
    }
    if (fd >= 0)
        close(fd);
}

// The cut in this process, to a fresh file each run, fsync included.
double TimeOurs(const std::string& source, uint32_t start, uint32_t end, const std::string& out, int runs, int64_t* bytes)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        unlink(out.c_str());
        const auto begin = Clock::now();
        if (!AviSegmentCutter::CutSegment(source, start, end, out)) {
            std::fprintf(stderr, "cut_bench: the cut %u-%u failed\n", start, end);
            return -1;
        }
        times.push_back(SecondsSince(begin));
    }
    *bytes = QFileInfo(QString::fromStdString(out)).size();
    return Median(times);
}

double TimeProgram(const std::vector<std::string>& command, const std::string& out, bool syncAfter, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        unlink(out.c_str());
        const auto begin = Clock::now();
        if (Run(command) < 0 || (syncAfter && !Fsync(out))) {
            std::fprintf(stderr, "cut_bench: %s failed\n", command[0].c_str());
            return -1;
        }
        times.push_back(SecondsSince(begin));
    }
    return Median(times);
}

// Where the cut's movie data starts in the source: the front key frame it
// begins at.
int64_t CutSourceOffset(const std::string& source, uint32_t start, uint32_t end)
{
    AVIFileParser parser;
    if (!parser.Open(QString::fromStdString(source)))
        return 0;
    const auto plan = AviSegmentCutter::CutFrames(parser, start, end);
    return plan && !plan->pieces.empty() ? plan->pieces.front().sourceStart : 0;
}

int Compare(const std::string& longSource, const std::string& shortSource, int runs, const std::string& dir)
{
    const std::string out = dir + "/cut-out.avi";
    Warm(longSource);
    Warm(shortSource);
    std::printf("%-10s %10s %10s %10s %10s %12s %9s %11s\n", "range", "ours s", "dd 4M s", "dd 1M s", "ffmpeg s", "bytes",
                "ours/dd", "ours/ffmpeg");
    const std::pair<uint32_t, uint32_t> ranges[] = {{100, 110}, {100, 160}, {100, 400}};
    for (const auto& [start, end] : ranges) {
        int64_t bytes = 0;
        const double ours = TimeOurs(longSource, start, end, out, runs, &bytes);
        const int64_t skip = CutSourceOffset(longSource, start, end);
        // dd at two block sizes; the faster is the floor.
        const auto ddWith = [&](const char* blockSize) {
            return TimeProgram({"dd", "if=" + longSource, "of=" + out, std::string("bs=") + blockSize,
                                "iflag=skip_bytes,count_bytes", "skip=" + std::to_string(skip),
                                "count=" + std::to_string(bytes), "conv=fsync", "status=none"},
                               out, false, runs);
        };
        const double dd4 = ddWith("4M");
        const double dd1 = ddWith("1M");
        const double dd = std::min(dd4, dd1);
        const double ffmpeg = TimeProgram({"ffmpeg", "-v", "error", "-y", "-ss", std::to_string(start), "-to",
                                           std::to_string(end), "-i", longSource, "-map", "0", "-map", "-0:s", "-c",
                                           "copy", out},
                                          out, true, runs);
        if (ours < 0 || dd4 < 0 || dd1 < 0 || ffmpeg < 0)
            return 1;
        std::printf("%4u-%-5u %10.4f %10.4f %10.4f %10.4f %12lld %9.2f %11.2f\n", start, end, ours, dd4, dd1, ffmpeg,
                    static_cast<long long>(bytes), ours / dd, ours / ffmpeg);
    }
    // The same 10 s from a source a tenth as long.
    int64_t bytes = 0;
    const double fromLong = TimeOurs(longSource, 20, 30, out, runs, &bytes);
    const double fromShort = TimeOurs(shortSource, 20, 30, out, runs, &bytes);
    unlink(out.c_str());
    if (fromLong < 0 || fromShort < 0)
        return 1;
    std::printf("cut 20-30 s: from the 600 s source %.4f s, from the 60 s source %.4f s, ratio %.2f (target within "
                "20 %%)\n",
                fromLong, fromShort, fromLong / fromShort);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == QLatin1String("make-recording") && argc == 4) {
        const auto seconds = Numbers::ParseDecimal(QString::fromLatin1(argv[3]));
        if (!seconds || *seconds < 60 || *seconds % 60 != 0) {
            std::fprintf(stderr, "cut_bench: the length is a whole number of minutes in seconds\n");
            return 2;
        }
        return MakeRecording(QString::fromLocal8Bit(argv[2]), *seconds);
    }
    if (mode == QLatin1String("compare") && argc == 6) {
        const auto runs = Numbers::ParseDecimal(QString::fromLatin1(argv[4]));
        return Compare(argv[2], argv[3], std::max(1, runs.value_or(5)), argv[5]);
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
    std::fprintf(stderr, "usage: cut_bench make-recording OUT SECONDS | compare LONG SHORT RUNS DIR | cut SRC S E DST\n");
    return 2;
}

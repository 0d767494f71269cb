// Discovery and repair figures for scripts/bench-recordings.
//   recordings-bench discovery DIR         LoadVideoFiles over DIR
//   recordings-bench repair FILE DOCS      one repair of FILE, backup in DOCS
//   recordings-bench evict DIR|FILE        drops the cached pages of the files
//   recordings-bench measure FILES -- CMD  runs CMD, prints its time and I/O
//   recordings-bench scan DIR RUNS         LoadVideoFiles beside find + head -c
//                                          12 over DIR, warm and cold, medians
// Reads and bytes come from /proc/self/io, which counts waited-for children.

#include "DiscoveryBench.h"

#include "platform/UserNotifier.h"
#include "support/ProcessIo.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/CFileLoader.h"
#include "recordings/FileRepair.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

using testsupport::ProcessIo;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Counts what discovery would send to the repair; repairs nothing.
class RepairCounter : public FileRepair {
public:
    bool RecoverFile(const QString&, QString&) override
    {
        ++calls;
        return false;
    }
    int calls = 0;
};

QStringList FilesUnder(const QString& path)
{
    if (QFileInfo(path).isFile())
        return {path};
    QStringList files;
    QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

int Discovery(const QString& dir)
{
    RecordingNotifier notifier;
    auto counter = std::make_shared<RepairCounter>();
    CFileLoader loader(notifier, QDir::tempPath(), counter);
    const ProcessIo before = ProcessIo::Now();
    const auto start = Clock::now();
    const auto entries = loader.LoadVideoFiles({dir}, {});
    const double seconds = SecondsSince(start);
    const ProcessIo used = ProcessIo::Now() - before;
    const double files = std::max<double>(1, double(entries.size()));
    std::printf("discovery: %zu recordings, %.3f s, %.0f files/s, %.2f reads/file, %.1f bytes/file, %d sent to "
                "repair, %zu boxes\n",
                entries.size(), seconds, double(entries.size()) / seconds, double(used.readCalls) / files,
                double(used.bytesRead) / files, counter->calls, notifier.Count());
    return entries.empty() ? 1 : 0;
}

int Repair(const QString& path, const QString& documents)
{
    const qint64 size = QFileInfo(path).size();
    AVIFileRecovery recovery(documents);
    QString repaired;
    const ProcessIo before = ProcessIo::Now();
    const auto start = Clock::now();
    const bool ok = recovery.RecoverFile(path, repaired);
    const double seconds = SecondsSince(start);
    const ProcessIo used = ProcessIo::Now() - before;
    const qint64 backup = QFileInfo(recovery.LastBackupPath()).size();
    const uint64_t toOriginal = used.bytesWritten - uint64_t(backup);
    std::printf("repair: %s, %.1f MB, %.3f s, read %.1f MB (%.2f x the file), written to the original %llu bytes "
                "(%.4f %% of it), to the backup %.1f MB\n",
                ok ? "ok" : "FAILED", double(size) / 1e6, seconds, double(used.bytesRead) / 1e6,
                double(used.bytesRead) / double(size), static_cast<unsigned long long>(toOriginal),
                100.0 * double(toOriginal) / double(size), double(backup) / 1e6);
    return ok ? 0 : 1;
}

// Runs a command to its end with its output dropped; its seconds, negated
// when it did not exit 0.
double RunQuiet(char** command)
{
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(command[0], command);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = SecondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -seconds;
}

// Drops the page, dentry and inode caches; false when the process may not.
bool DropCaches()
{
    sync();
    const int fd = open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool dropped = write(fd, "3", 1) == 1;
    close(fd);
    return dropped;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Scan and probe of every recording under dir, beside the floor: find
// listing the same tree and head reading each file's first 12 bytes. Each
// run of one alternates with a run of the other; medians of runs.
int Scan(const QString& dir, int runs)
{
    const QByteArray native = QFile::encodeName(dir);
    const char* floorCommand[] = {"find", native.constData(), "-name", "*avi", "-exec", "head", "-c", "12", "{}", "+", nullptr};
    size_t files = 0;
    const auto ours = [&] {
        RecordingNotifier notifier;
        CFileLoader loader(notifier, QDir::tempPath(), std::make_shared<RepairCounter>());
        const auto start = Clock::now();
        files = loader.LoadVideoFiles({dir}, {}).size();
        return SecondsSince(start);
    };
    for (const bool cold : {false, true}) {
        if (cold && !DropCaches()) {
            std::printf("scan: cold runs left out (the process may not drop the caches)\n");
            break;
        }
        ours();  // fills the caches for the warm runs
        std::vector<double> oursTimes;
        std::vector<double> floorTimes;
        for (int run = 0; run < runs; ++run) {
            if (cold)
                DropCaches();
            oursTimes.push_back(ours());
            if (cold)
                DropCaches();
            floorTimes.push_back(RunQuiet(const_cast<char**>(floorCommand)));
        }
        const double a = Median(oursTimes);
        const double b = Median(floorTimes);
        const double n = std::max<double>(1, double(files));
        std::printf("scan %s: %zu recordings, ours %.4f s (%.1f us/file), floor find + head -c 12 %.4f s (%.1f us/file), "
                    "ours/floor %.2f\n",
                    cold ? "cold" : "warm", files, a, a * 1e6 / n, b, b * 1e6 / n, a / b);
    }
    return files > 0 ? 0 : 1;
}

int Evict(const QString& path)
{
    for (const QString& file : FilesUnder(path)) {
        const int fd = open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
    return 0;
}

int Measure(const char* label, int files, char** command)
{
    const ProcessIo before = ProcessIo::Now();
    const double seconds = RunQuiet(command);
    const double elapsed = std::fabs(seconds);
    const ProcessIo used = ProcessIo::Now() - before;
    const double count = std::max(1, files);
    std::printf("%s: %d files, %.3f s, %.0f files/s, %.2f reads/file, %.1f bytes/file%s\n", label, files, elapsed,
                count / elapsed, double(used.readCalls) / count, double(used.bytesRead) / count,
                seconds >= 0 ? "" : " (exit status not 0)");
    return 0;
}

}  // namespace

std::optional<int> RunDiscoveryBench(int argc, char** argv)
{
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == QLatin1String("discovery") && argc == 3)
        return Discovery(QString::fromLocal8Bit(argv[2]));
    if (mode == QLatin1String("repair") && argc == 4)
        return Repair(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (mode == QLatin1String("scan") && argc == 4)
        return Scan(QString::fromLocal8Bit(argv[2]), std::max(1, std::atoi(argv[3])));
    if (mode == QLatin1String("evict") && argc == 3)
        return Evict(QString::fromLocal8Bit(argv[2]));
    // measure LABEL FILES -- CMD ...
    if (mode == QLatin1String("measure") && argc > 5 && std::string(argv[4]) == "--")
        return Measure(argv[2], std::atoi(argv[3]), argv + 5);
    return std::nullopt;
}

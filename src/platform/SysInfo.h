#pragma once
// Facts about the machine for the start-up log's system summary, where the
// original asked GetVersionExW, GlobalMemoryStatus, the registry's "~MHz" and
// GetSystemInfo: /proc/meminfo, /proc/self/status, /proc/cpuinfo, cpufreq
// under /sys, os-release, uname(2) and getrlimit(RLIMIT_AS). Every source is
// injectable, so tests stand fixture trees and fixed answers in for them.
// Missing or unreadable sources give empty or zero facts, never an error.

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

struct KernelName {
    QString sysname;  // "Linux"
    QString release;  // "6.1.0-18-amd64"
};

class SysInfo {
public:
    struct Sources {
        QString procRoot = QStringLiteral("/proc");
        QString sysRoot = QStringLiteral("/sys");
        QString etcRoot = QStringLiteral("/etc");  // os-release here first,
        QString usrRoot = QStringLiteral("/usr");  // then in lib/os-release here
        // Empty: uname(2). Gives nullopt when the call fails.
        std::function<std::optional<KernelName>()> uname;
        // Empty: the soft RLIMIT_AS. Gives nullopt when unlimited.
        std::function<std::optional<quint64>()> addressSpaceLimit;
        // "x86_64", "i386" or any other name; the build's own by default.
        QString architecture = BuildArchitecture();
    };

    // The counts of GlobalMemoryStatus's record, in bytes: two 32-bit and six
    // 64-bit fields (56 bytes).
    struct MemoryStatus {
        quint32 length = 0;      // sizeof(MemoryStatus)
        quint32 memoryLoad = 0;  // percent in use
        quint64 totalPhys = 0;
        quint64 availPhys = 0;
        quint64 totalPageFile = 0;
        quint64 availPageFile = 0;
        quint64 totalVirtual = 0;
        quint64 availVirtual = 0;
    };

    // GetSystemInfo's processor type and level: 8664 on x86-64; on 32-bit x86
    // 386, 486 or 586 for cpu family 3, 4 or 5 and above, level = family;
    // 0 elsewhere.
    struct Processor {
        int type = 0;
        int level = 0;
    };

    SysInfo();  // the running system
    explicit SysInfo(Sources sources);

    // os-release's PRETTY_NAME; empty when there is none.
    QString OsPrettyName() const;
    // uname(2)'s sysname and release; nullopt when it fails.
    std::optional<KernelName> Kernel() const;

    // Load = 100 * (MemTotal - MemAvailable) / MemTotal (0 without MemTotal);
    // physical = MemTotal / MemAvailable; paging file = CommitLimit /
    // max(0, CommitLimit - Committed_AS); virtual = the RLIMIT_AS soft limit
    // (2^47 when unlimited) / that less VmSize, floored at 0.
    MemoryStatus Memory() const;

    // The integer part of the first "cpu MHz" of cpuinfo, else cpu0's
    // cpufreq cpuinfo_max_freq / 1000, else nullopt.
    std::optional<int> CpuMegahertz() const;

    Processor ProcessorInfo() const;

    static QString BuildArchitecture();

private:
    Sources sources;
};

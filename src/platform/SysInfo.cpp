#include "platform/SysInfo.h"

#include "platform/FileRead.h"
#include "platform/Paths.h"

#include <QStringList>

#include <algorithm>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <utility>

namespace {

static_assert(sizeof(SysInfo::MemoryStatus) == 56, "two 32-bit and six 64-bit fields");

constexpr qsizetype kMaxFactFile = 4 * 1024 * 1024;

// A small text file of /proc, /sys or /etc (whose sizes read as 0), whole.
QByteArray ReadFact(const QString& path)
{
    return FileRead::ReadWholeFile(path, kMaxFactFile, FileRead::Kind::Any).bytes;
}

// The value after "name:" on the first line starting with that name (blanks
// before the colon allowed, as in cpuinfo's "cpu MHz\t\t: 2394.454").
std::optional<QByteArray> Field(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != name) {
            continue;
        }
        return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

// The leading unsigned integer of a text such as "16384000 kB" or "2394.454".
std::optional<quint64> LeadingNumber(const QByteArray& text)
{
    qsizetype end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    if (end == 0) {
        return std::nullopt;
    }
    bool ok = false;
    const quint64 value = text.left(end).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

// A "kB" field of meminfo or status, in bytes.
std::optional<quint64> KilobyteField(const QByteArray& text, const QByteArray& name)
{
    const auto value = Field(text, name);
    if (!value) {
        return std::nullopt;
    }
    const auto number = LeadingNumber(*value);
    if (!number) {
        return std::nullopt;
    }
    return *number * 1024;
}

// os-release's value syntax: shell-like, optionally quoted.
QString UnquoteOsReleaseValue(QByteArray value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
        return QString::fromUtf8(value.mid(1, value.size() - 2));
    }
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        QByteArray unescaped;
        for (qsizetype i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == '\\' && i + 2 < value.size()) {
                ++i;
            }
            unescaped += value[i];
        }
        return QString::fromUtf8(unescaped);
    }
    return QString::fromUtf8(value);
}

std::optional<KernelName> SystemUname()
{
    struct utsname name {};
    if (::uname(&name) != 0) {
        return std::nullopt;
    }
    return KernelName{QString::fromLocal8Bit(name.sysname), QString::fromLocal8Bit(name.release)};
}

std::optional<quint64> SystemAddressSpaceLimit()
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    return static_cast<quint64>(limit.rlim_cur);
}

}  // namespace

SysInfo::SysInfo() : SysInfo(Sources{}) {}

SysInfo::SysInfo(Sources from) : sources(std::move(from)) {}

QString SysInfo::BuildArchitecture()
{
#if defined(__x86_64__)
    return QStringLiteral("x86_64");
#elif defined(__i386__)
    return QStringLiteral("i386");
#elif defined(__aarch64__)
    return QStringLiteral("aarch64");
#else
    return QStringLiteral("other");
#endif
}

QString SysInfo::OsPrettyName() const
{
    for (const QString& path : {Paths::Join(sources.etcRoot, QStringLiteral("os-release")),
                                Paths::Join(sources.usrRoot, QStringLiteral("lib/os-release"))}) {
        const QByteArray text = ReadFact(path);
        if (text.isEmpty()) {
            continue;
        }
        for (const QByteArray& line : text.split('\n')) {
            if (line.startsWith("PRETTY_NAME=")) {
                return UnquoteOsReleaseValue(line.mid(12));
            }
        }
        return QString();
    }
    return QString();
}

std::optional<KernelName> SysInfo::Kernel() const
{
    return sources.uname ? sources.uname() : SystemUname();
}

SysInfo::MemoryStatus SysInfo::Memory() const
{
    MemoryStatus status;
    status.length = sizeof(MemoryStatus);

    const QByteArray meminfo = ReadFact(Paths::Join(sources.procRoot, QStringLiteral("meminfo")));
    const quint64 total = KilobyteField(meminfo, "MemTotal").value_or(0);
    auto available = KilobyteField(meminfo, "MemAvailable");
    if (!available) {  // kernels before 3.14
        available = KilobyteField(meminfo, "MemFree");
    }
    status.totalPhys = total;
    status.availPhys = std::min(available.value_or(0), total);
    status.memoryLoad = total == 0 ? 0 : static_cast<quint32>(100 * (total - status.availPhys) / total);

    const quint64 commitLimit = KilobyteField(meminfo, "CommitLimit").value_or(0);
    const quint64 committed = KilobyteField(meminfo, "Committed_AS").value_or(0);
    status.totalPageFile = commitLimit;
    status.availPageFile = commitLimit > committed ? commitLimit - committed : 0;

    const auto limit = sources.addressSpaceLimit ? sources.addressSpaceLimit() : SystemAddressSpaceLimit();
    const QByteArray processStatus = ReadFact(Paths::Join(sources.procRoot, QStringLiteral("self/status")));
    const quint64 used = KilobyteField(processStatus, "VmSize").value_or(0);
    status.totalVirtual = limit.value_or(quint64(1) << 47);
    status.availVirtual = status.totalVirtual > used ? status.totalVirtual - used : 0;
    return status;
}

std::optional<int> SysInfo::CpuMegahertz() const
{
    const QByteArray cpuinfo = ReadFact(Paths::Join(sources.procRoot, QStringLiteral("cpuinfo")));
    if (const auto field = Field(cpuinfo, "cpu MHz")) {
        if (const auto mhz = LeadingNumber(*field); mhz && *mhz <= 0x7FFFFFFF) {
            return static_cast<int>(*mhz);
        }
    }
    const QByteArray maxFreq = ReadFact(
        Paths::Join(sources.sysRoot, QStringLiteral("devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq")));
    if (const auto khz = LeadingNumber(maxFreq.trimmed()); khz && *khz / 1000 <= 0x7FFFFFFF) {
        return static_cast<int>(*khz / 1000);
    }
    return std::nullopt;
}

SysInfo::Processor SysInfo::ProcessorInfo() const
{
    const QByteArray cpuinfo = ReadFact(Paths::Join(sources.procRoot, QStringLiteral("cpuinfo")));
    int family = 0;
    if (const auto field = Field(cpuinfo, "cpu family")) {
        family = static_cast<int>(std::min<quint64>(LeadingNumber(*field).value_or(0), 0x7FFFFFFF));
    }
    if (sources.architecture == QLatin1String("x86_64")) {
        return Processor{8664, family};
    }
    if (sources.architecture == QLatin1String("i386")) {
        if (family == 3) {
            return Processor{386, 3};
        }
        if (family == 4) {
            return Processor{486, 4};
        }
        if (family >= 5) {
            return Processor{586, family};
        }
    }
    return Processor{0, family};
}

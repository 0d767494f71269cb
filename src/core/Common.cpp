#include "core/Common.h"

#include "core/Logger.h"
#include "core/Numbers.h"
#include "platform/Paths.h"
#include "platform/SysInfo.h"

#include <QFile>

#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

QStringList Common::Split(const QString& text, QChar separator)
{
    return text.split(separator, Qt::SkipEmptyParts);
}

bool Common::IsNumber(const QString& text)
{
    // The same ASCII-digits rule as the parser: QChar::isDigit would take
    // U+0661 or U+FF11, and the low byte alone would take U+0131.
    return Numbers::ParseDecimal(text).has_value();
}

QString Common::GetOSName()
{
    return GetOSName(SysInfo());
}

QString Common::GetOSName(const SysInfo& info)
{
    const auto kernel = info.Kernel();
    if (!kernel) {
        return QStringLiteral("fail~");
    }
    const QString name = kernel->sysname + QLatin1Char(' ') + kernel->release;
    const QString pretty = info.OsPrettyName();
    if (pretty.isEmpty()) {
        return name;
    }
    return pretty + QStringLiteral(" (") + name + QLatin1Char(')');
}

QString Common::GetMemoryStatus()
{
    return GetMemoryStatus(SysInfo());
}

QString Common::GetMemoryStatus(const SysInfo& info)
{
    const SysInfo::MemoryStatus status = info.Memory();
    const QString indent = QStringLiteral("                   \t");
    auto kbytes = [](quint64 bytes) { return Numbers::FormatInt(static_cast<long long>(bytes >> 10)); };
    QString text;
    text += QStringLiteral("The MEMORYSTATUS structure is ") + Numbers::FormatInt(status.length)
            + QStringLiteral(" bytes long.\n");
    text += indent + QStringLiteral("It should be ") + Numbers::FormatInt(32) + QStringLiteral(".\n");
    text += indent + QStringLiteral("There is ") + Numbers::FormatInt(status.memoryLoad)
            + QStringLiteral(" percent of memory in use.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.totalPhys)
            + QStringLiteral(" total Kbytes of physical memory.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.availPhys)
            + QStringLiteral(" free Kbytes of physical memory.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.totalPageFile)
            + QStringLiteral(" total Kbytes of paging file.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.availPageFile)
            + QStringLiteral(" free Kbytes of paging file.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.totalVirtual)
            + QStringLiteral(" total Kbytes of virtual memory.\n");
    text += indent + QStringLiteral("There are ") + kbytes(status.availVirtual)
            + QStringLiteral(" free Kbytes of virtual memory.");
    return text;
}

QString Common::GetCPUSpeed()
{
    return GetCPUSpeed(SysInfo());
}

QString Common::GetCPUSpeed(const SysInfo& info)
{
    const auto megahertz = info.CpuMegahertz();
    if (!megahertz) {
        return QString();
    }
    return Numbers::FormatFixed(*megahertz / 1000.0, 2) + QStringLiteral(" GHz");
}

QString Common::GetCPUType()
{
    const SysInfo::Processor processor = SysInfo().ProcessorInfo();
    return GetCPUType(processor.type, processor.level);
}

QString Common::GetCPUType(int processorType, int processorLevel)
{
    switch (processorType) {
    case 386:
        return QStringLiteral("Intel 386");
    case 486:
        return QStringLiteral("Intel 486");
    case 586:
        return processorLevel == 6 ? QStringLiteral("Intel Pentium (II/Pro)") : QStringLiteral("Intel Pentium");
    default:
        return QStringLiteral("알 수 없는 시스템");
    }
}

namespace {

using EnteredSet = std::set<std::pair<dev_t, ino_t>>;

void FindFilesInto(const QString& folder, QStringList& found, EnteredSet& entered)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return;
    }
    struct stat self {};
    if (::fstat(::dirfd(dir), &self) != 0 || !entered.insert({self.st_dev, self.st_ino}).second) {
        ::closedir(dir);
        return;
    }
    // readdir's order, "." and ".." included. The names are taken first so
    // that only one folder is open per level of the walk.
    QStringList names;
    while (const struct dirent* entry = ::readdir(dir)) {
        names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);

    for (const QString& name : names) {
        const QString path = Paths::Join(folder, name);
        struct stat info {};
        // lstat: a symlink to a folder is listed, not entered.
        if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
            && !name.contains(QLatin1Char('.')) && !entered.count({info.st_dev, info.st_ino})) {
            FindFilesInto(path, found, entered);
        }
        found.append(path);
    }
}

}  // namespace

QStringList Common::FindFiles(const QString& folder)
{
    QStringList found;
    EnteredSet entered;
    FindFilesInto(folder, found, entered);
    return found;
}

QString Common::GetFileNames()
{
    Logger& logger = Logger::GetInstance();
    // No line would be written: skip the walk, so a start from "~" or "/"
    // stays quick.
    if (!logger.WouldWrite(3, 3)) {
        return QString();
    }
    const QString folder = Paths::WorkingFolder();
    if (folder.isEmpty()) {
        return QString();
    }
    for (const QString& path : FindFiles(folder)) {
        logger.Log(path, QStringLiteral("Common"), QStringLiteral("GetFileNames"), 3, 3);
    }
    return QString();
}

#include "core/Common.h"
#include "platform/SysInfo.h"

#include "support/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class CommonSummary : public ::testing::Test {
protected:
    QTemporaryDir root;
    std::optional<KernelName> kernel = KernelName{QStringLiteral("Linux"), QStringLiteral("6.1.0-18-amd64")};

    SysInfo Info() const
    {
        SysInfo::Sources sources;
        sources.procRoot = root.path() + QStringLiteral("/proc");
        sources.sysRoot = root.path() + QStringLiteral("/sys");  // no cpufreq
        sources.etcRoot = root.path() + QStringLiteral("/etc");
        sources.usrRoot = root.path() + QStringLiteral("/usr");
        sources.uname = [k = kernel] { return k; };
        sources.addressSpaceLimit = [] { return std::optional<quint64>(); };
        sources.architecture = QStringLiteral("x86_64");
        return SysInfo(sources);
    }
    void Write(const char* relative, const QByteArray& bytes)
    {
        WriteFileBytes(root.path() + QLatin1Char('/') + QLatin1String(relative), bytes);
    }
};

TEST_F(CommonSummary, MemoryStatusIsTheNineLinesByteForByte)
{
    Write("proc/meminfo", "MemTotal:       16384000 kB\n"
                          "MemFree:         1000000 kB\n"
                          "MemAvailable:    4096000 kB\n"
                          "CommitLimit:    10000000 kB\n"
                          "Committed_AS:    6000000 kB\n");
    Write("proc/self/status", "Name:\tviewer\nVmSize:\t  200000 kB\n");
    const QString expected = QStringLiteral(
        "The MEMORYSTATUS structure is 56 bytes long.\n"
        "                   \tIt should be 32.\n"
        "                   \tThere is 75 percent of memory in use.\n"
        "                   \tThere are 16384000 total Kbytes of physical memory.\n"
        "                   \tThere are 4096000 free Kbytes of physical memory.\n"
        "                   \tThere are 10000000 total Kbytes of paging file.\n"
        "                   \tThere are 4000000 free Kbytes of paging file.\n"
        "                   \tThere are 137438953472 total Kbytes of virtual memory.\n"
        "                   \tThere are 137438753472 free Kbytes of virtual memory.");
    EXPECT_EQ(Common::GetMemoryStatus(Info()), expected);
}

TEST_F(CommonSummary, KbytesAreBytesShiftedRightByTen)
{
    Write("proc/meminfo", "MemTotal: 3 kB\nMemAvailable: 1 kB\n");
    SysInfo::Sources sources;
    sources.procRoot = root.path() + QStringLiteral("/proc");
    sources.addressSpaceLimit = [] { return std::optional<quint64>(5000); };  // bytes
    const QString text = Common::GetMemoryStatus(SysInfo(sources));
    EXPECT_TRUE(text.contains(QStringLiteral("There is 66 percent of memory in use.\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("There are 4 total Kbytes of virtual memory.\n")));
    EXPECT_FALSE(text.endsWith(QLatin1Char('\n')));
    EXPECT_EQ(text.count(QLatin1Char('\n')), 8);
}

TEST_F(CommonSummary, CpuSpeedFromCpuinfoOrEmpty)
{
    EXPECT_EQ(Common::GetCPUSpeed(Info()), QString());
    Write("proc/cpuinfo", "processor\t: 0\ncpu MHz\t\t: 2394.454\n");
    EXPECT_EQ(Common::GetCPUSpeed(Info()), QStringLiteral("2.39 GHz"));
    Write("proc/cpuinfo", "cpu MHz\t\t: 800.000\n");
    EXPECT_EQ(Common::GetCPUSpeed(Info()), QStringLiteral("0.80 GHz"));
}

TEST_F(CommonSummary, OsNameForms)
{
    EXPECT_EQ(Common::GetOSName(Info()), QStringLiteral("Linux 6.1.0-18-amd64"));
    Write("etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n");
    EXPECT_EQ(Common::GetOSName(Info()), QStringLiteral("Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64)"));
    kernel.reset();
    EXPECT_EQ(Common::GetOSName(Info()), QStringLiteral("fail~"));
}

struct CpuTypeCase {
    int type;
    int level;
    const char* text;
};

class CommonCpuType : public ::testing::TestWithParam<CpuTypeCase> {};

TEST_P(CommonCpuType, ThePartsTable)
{
    EXPECT_EQ(Common::GetCPUType(GetParam().type, GetParam().level), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, CommonCpuType,
    ::testing::Values(CpuTypeCase{386, 3, "Intel 386"}, CpuTypeCase{486, 4, "Intel 486"},
                      CpuTypeCase{586, 6, "Intel Pentium (II/Pro)"}, CpuTypeCase{586, 5, "Intel Pentium"},
                      CpuTypeCase{586, 15, "Intel Pentium"}, CpuTypeCase{8664, 6, "알 수 없는 시스템"},
                      CpuTypeCase{0, 0, "알 수 없는 시스템"}));

TEST(CommonSystem, TheRunningSystemGivesTexts)
{
    EXPECT_NE(Common::GetOSName(), QStringLiteral("fail~"));
    EXPECT_TRUE(Common::GetMemoryStatus().startsWith(QStringLiteral("The MEMORYSTATUS structure is 56 bytes long.\n")));
#if defined(__x86_64__)
    EXPECT_EQ(Common::GetCPUType(), QStringLiteral("알 수 없는 시스템"));
#endif
    const QString speed = Common::GetCPUSpeed();
    EXPECT_TRUE(speed.isEmpty() || speed.endsWith(QStringLiteral(" GHz")));
}

}  // namespace

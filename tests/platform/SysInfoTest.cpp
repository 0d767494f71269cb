#include "platform/SysInfo.h"

#include "support/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class SysInfoTest : public ::testing::Test {
protected:
    QTemporaryDir root;

    SysInfo::Sources Fixture() const
    {
        SysInfo::Sources sources;
        sources.procRoot = root.path() + QStringLiteral("/proc");
        sources.sysRoot = root.path() + QStringLiteral("/sys");
        sources.etcRoot = root.path() + QStringLiteral("/etc");
        sources.usrRoot = root.path() + QStringLiteral("/usr");
        sources.uname = [] { return std::optional<KernelName>(KernelName{QStringLiteral("Linux"), QStringLiteral("6.1.0")}); };
        sources.addressSpaceLimit = [] { return std::optional<quint64>(); };
        sources.architecture = QStringLiteral("x86_64");
        return sources;
    }
    void Write(const char* relative, const QByteArray& bytes)
    {
        WriteFileBytes(root.path() + QLatin1Char('/') + QLatin1String(relative), bytes);
    }
};

TEST_F(SysInfoTest, MemoryFromMeminfoStatusAndTheAddressSpaceLimit)
{
    Write("proc/meminfo", "MemTotal:       16384000 kB\n"
                          "MemFree:         1000000 kB\n"
                          "MemAvailable:    4096000 kB\n"
                          "CommitLimit:    10000000 kB\n"
                          "Committed_AS:    6000000 kB\n");
    Write("proc/self/status", "Name:\tviewer\nVmPeak:\t  300000 kB\nVmSize:\t  200000 kB\n");
    const SysInfo::MemoryStatus status = SysInfo(Fixture()).Memory();
    EXPECT_EQ(status.length, 56u);
    EXPECT_EQ(status.memoryLoad, 75u);
    EXPECT_EQ(status.totalPhys, 16384000ull * 1024);
    EXPECT_EQ(status.availPhys, 4096000ull * 1024);
    EXPECT_EQ(status.totalPageFile, 10000000ull * 1024);
    EXPECT_EQ(status.availPageFile, 4000000ull * 1024);
    EXPECT_EQ(status.totalVirtual, 1ull << 47);
    EXPECT_EQ(status.availVirtual, (1ull << 47) - 200000ull * 1024);
}

TEST_F(SysInfoTest, OvercommitAndAnExhaustedAddressSpaceFloorAtZero)
{
    Write("proc/meminfo", "MemTotal: 1000 kB\nMemAvailable: 0 kB\nCommitLimit: 100 kB\nCommitted_AS: 500 kB\n");
    Write("proc/self/status", "VmSize:\t  2048 kB\n");
    SysInfo::Sources sources = Fixture();
    sources.addressSpaceLimit = [] { return std::optional<quint64>(1024 * 1024); };
    const SysInfo::MemoryStatus status = SysInfo(sources).Memory();
    EXPECT_EQ(status.memoryLoad, 100u);
    EXPECT_EQ(status.availPageFile, 0u);
    EXPECT_EQ(status.totalVirtual, 1024u * 1024);
    EXPECT_EQ(status.availVirtual, 0u);
}

TEST_F(SysInfoTest, MissingSourcesGiveZeros)
{
    const SysInfo::MemoryStatus status = SysInfo(Fixture()).Memory();
    EXPECT_EQ(status.length, 56u);
    EXPECT_EQ(status.memoryLoad, 0u);
    EXPECT_EQ(status.totalPhys, 0u);
    EXPECT_EQ(status.availPageFile, 0u);
    EXPECT_EQ(status.availVirtual, 1ull << 47);
    EXPECT_EQ(SysInfo(Fixture()).CpuMegahertz(), std::nullopt);
    EXPECT_EQ(SysInfo(Fixture()).OsPrettyName(), QString());
}

TEST_F(SysInfoTest, CpuMegahertzFromCpuinfoThenCpufreq)
{
    Write("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3600000\n");
    EXPECT_EQ(SysInfo(Fixture()).CpuMegahertz(), 3600);
    Write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Test CPU\ncpu MHz\t\t: 2394.454\n\n"
                          "processor\t: 1\ncpu MHz\t\t: 1200.000\n");
    EXPECT_EQ(SysInfo(Fixture()).CpuMegahertz(), 2394);
}

TEST_F(SysInfoTest, OsPrettyNameFromEtcThenUsrLib)
{
    Write("usr/lib/os-release", "NAME=Other\nPRETTY_NAME='Usr Lib OS'\n");
    EXPECT_EQ(SysInfo(Fixture()).OsPrettyName(), QStringLiteral("Usr Lib OS"));
    Write("etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
    EXPECT_EQ(SysInfo(Fixture()).OsPrettyName(), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    Write("etc/os-release", "PRETTY_NAME=\"Say \\\"hi\\\"\"\n");
    EXPECT_EQ(SysInfo(Fixture()).OsPrettyName(), QStringLiteral("Say \"hi\""));
    Write("etc/os-release", "PRETTY_NAME=Plain\n");
    EXPECT_EQ(SysInfo(Fixture()).OsPrettyName(), QStringLiteral("Plain"));
}

struct ProcessorCase {
    const char* architecture;
    const char* family;
    int type;
    int level;
};

class SysInfoProcessor : public SysInfoTest, public ::testing::WithParamInterface<ProcessorCase> {};

TEST_P(SysInfoProcessor, TypeAndLevel)
{
    Write("proc/cpuinfo", QByteArray("processor\t: 0\ncpu family\t: ") + GetParam().family + "\n");
    SysInfo::Sources sources = Fixture();
    sources.architecture = QString::fromLatin1(GetParam().architecture);
    const SysInfo::Processor processor = SysInfo(sources).ProcessorInfo();
    EXPECT_EQ(processor.type, GetParam().type);
    EXPECT_EQ(processor.level, GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Cases, SysInfoProcessor,
    ::testing::Values(ProcessorCase{"x86_64", "6", 8664, 6}, ProcessorCase{"i386", "3", 386, 3},
                      ProcessorCase{"i386", "4", 486, 4}, ProcessorCase{"i386", "5", 586, 5},
                      ProcessorCase{"i386", "6", 586, 6}, ProcessorCase{"i386", "15", 586, 15},
                      ProcessorCase{"aarch64", "0", 0, 0}));

TEST(SysInfoSystem, TheRunningSystemAnswers)
{
    const SysInfo info;
    const auto kernel = info.Kernel();
    ASSERT_TRUE(kernel.has_value());
    EXPECT_FALSE(kernel->sysname.isEmpty());
    EXPECT_GT(info.Memory().totalPhys, 0u);
    EXPECT_GT(info.Memory().totalVirtual, 0u);
#if defined(__x86_64__)
    EXPECT_EQ(SysInfo::BuildArchitecture(), QStringLiteral("x86_64"));
    EXPECT_EQ(info.ProcessorInfo().type, 8664);
#endif
}

}  // namespace

#include "platform/Paths.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using testsupport::ScopedEnv;
using testsupport::ScopedWorkingFolder;

namespace {

TEST(Paths, WorkingFolderIsTheFullCurrentDirectory)
{
    ScopedWorkingFolder folder;
    EXPECT_EQ(Paths::WorkingFolder(), QFileInfo(folder.Path()).canonicalFilePath());
    EXPECT_TRUE(Paths::WorkingFolder().startsWith(QLatin1Char('/')));
}

TEST(Paths, ProgramFolderAndBaseNameComeFromProcSelfExe)
{
    // No QCoreApplication exists in this suite.
    EXPECT_EQ(Paths::ProgramBaseName(), QStringLiteral("platform_tests"));
    const QString folder = Paths::ProgramFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(Paths::Join(folder, QStringLiteral("platform_tests"))).isExecutable());
}

struct ConfigCase {
    std::optional<QString> xdg;
    std::optional<QString> home;
    QString expected;
};

class PathsConfigFolder : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(PathsConfigFolder, XdgThenHomeThenNone)
{
    ScopedEnv xdg("XDG_CONFIG_HOME", GetParam().xdg);
    ScopedEnv home("HOME", GetParam().home);
    EXPECT_EQ(Paths::ConfigFolder(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PathsConfigFolder,
    ::testing::Values(
        ConfigCase{QStringLiteral("/x/cfg"), QStringLiteral("/home/u"), QStringLiteral("/x/cfg/KestrovViewer")},
        ConfigCase{QStringLiteral("/x/cfg/"), std::nullopt, QStringLiteral("/x/cfg/KestrovViewer")},
        ConfigCase{QStringLiteral("relative"), QStringLiteral("/home/u"), QStringLiteral("/home/u/.config/KestrovViewer")},
        ConfigCase{QStringLiteral(""), QStringLiteral("/home/u"), QStringLiteral("/home/u/.config/KestrovViewer")},
        ConfigCase{std::nullopt, QStringLiteral("/home/u"), QStringLiteral("/home/u/.config/KestrovViewer")},
        ConfigCase{std::nullopt, QStringLiteral("home"), QString()},
        ConfigCase{QStringLiteral("cfg"), QStringLiteral(""), QString()},
        ConfigCase{std::nullopt, std::nullopt, QString()}));

TEST(Paths, DocumentsFolderIsAbsolute)
{
    QTemporaryDir home;
    ScopedEnv homeVariable("HOME", home.path());
    ScopedEnv xdg("XDG_CONFIG_HOME", home.path() + QStringLiteral("/.config"));
    const QString documents = Paths::DocumentsFolder();
    EXPECT_TRUE(documents.startsWith(home.path())) << documents.toStdString();
}

struct JoinCase {
    const char* folder;
    const char* name;
    const char* expected;
};

class PathsJoin : public ::testing::TestWithParam<JoinCase> {};

TEST_P(PathsJoin, ExactlyOneSlash)
{
    EXPECT_EQ(Paths::Join(QString::fromUtf8(GetParam().folder), QString::fromUtf8(GetParam().name)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, PathsJoin,
    ::testing::Values(JoinCase{"/a", "b", "/a/b"}, JoinCase{"/a/", "b", "/a/b"},
                      JoinCase{"/a//", "/b", "/a/b"}, JoinCase{"/", "b", "/b"},
                      JoinCase{"/", "/b", "/b"}, JoinCase{"", "b", "b"},
                      JoinCase{"/media/card/", "..", "/media/card/.."},
                      JoinCase{"a", "Дб.cfg", "a/Дб.cfg"}));

}  // namespace

#include "platform/ExclusiveOutputFile.h"
#include "support/FaultyFileOps.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cerrno>
#include <sys/stat.h>

namespace {

std::string Native(const QString& path)
{
    return path.toStdString();
}

TEST(ExclusiveOutputFile, KeepsOnlyACommittedFile)
{
    QTemporaryDir dir;
    const QString kept = dir.path() + "/kept.bin";
    {
        ExclusiveOutputFile file;
        ASSERT_TRUE(file.Create(Native(kept)));
        ASSERT_TRUE(file.Write("abc", 3));
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(testsupport::ReadFileBytes(kept), "abc");

    const QString dropped = dir.path() + "/dropped.bin";
    {
        ExclusiveOutputFile file;
        ASSERT_TRUE(file.Create(Native(dropped)));
        ASSERT_TRUE(file.Write("abc", 3));
    }
    EXPECT_FALSE(testsupport::Exists(dropped)) << "destroyed uncommitted";

    ExclusiveOutputFile abandoned;
    ASSERT_TRUE(abandoned.Create(Native(dropped)));
    abandoned.Abandon();
    EXPECT_FALSE(testsupport::Exists(dropped));
}

TEST(ExclusiveOutputFile, NeverOpensWhatExists)
{
    QTemporaryDir dir;
    const QString existing = dir.path() + "/existing.bin";
    testsupport::WriteFileBytes(existing, "keep");
    {
        ExclusiveOutputFile file;
        EXPECT_FALSE(file.Create(Native(existing)));
        EXPECT_EQ(file.Error(), EEXIST);
        EXPECT_FALSE(file.Write("x", 1));
    }
    EXPECT_EQ(testsupport::ReadFileBytes(existing), "keep") << "a failed create removes nothing";
}

TEST(ExclusiveOutputFile, AFailedCommitRemovesTheFile)
{
    QTemporaryDir dir;
    for (const bool fsyncFails : {true, false}) {
        const QString path = dir.path() + "/out.bin";
        testsupport::FaultyFileOps ops;
        ops.failFsync = fsyncFails;
        ops.failClose = !fsyncFails;
        ExclusiveOutputFile file(ops);
        ASSERT_TRUE(file.Create(Native(path)));
        ASSERT_TRUE(file.Write("abc", 3));
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(file.Error(), EIO);
        EXPECT_FALSE(testsupport::Exists(path));
    }
}

}  // namespace

namespace {

TEST(ExclusiveOutputFile, ZeroBlocksBecomeHolesAndTheFileKeepsItsLengthAndTimes)
{
    QTemporaryDir dir;
    ExclusiveOutputFile file;
    ASSERT_TRUE(file.CreateUnique(Native(dir.path()), ".tmp-"));
    EXPECT_EQ(file.Path().rfind(Native(dir.path()) + "/.tmp-", 0), 0u);
    const std::string zeros(1 << 20, '\0');
    ASSERT_TRUE(file.WriteSparse("head", 4));
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(file.WriteSparse(zeros.data(), zeros.size()));
    }
    ASSERT_TRUE(file.WriteSparse("tail", 4));
    ASSERT_TRUE(file.WriteSparse(zeros.data(), zeros.size()));  // ends in a hole
    const timespec when{1'000'000'000, 5};
    ASSERT_TRUE(file.SetTimes(when, when));
    const std::string path = file.Path();
    ASSERT_TRUE(file.Commit());

    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 8 + 9 * (1 << 20));
    EXPECT_LT(info.st_blocks * 512, 1 << 20) << "the zero blocks take no space";
    EXPECT_EQ(info.st_mtim.tv_sec, when.tv_sec);
    const QByteArray bytes = testsupport::ReadFileBytes(QString::fromStdString(path));
    EXPECT_EQ(bytes.left(4), "head");
    EXPECT_EQ(bytes.mid(4 + 8 * (1 << 20), 4), "tail");
    EXPECT_EQ(bytes.count('\0'), 9 * (1 << 20));

    // Two fresh names never meet.
    ExclusiveOutputFile a;
    ExclusiveOutputFile b;
    ASSERT_TRUE(a.CreateUnique(Native(dir.path()), ".tmp-"));
    ASSERT_TRUE(b.CreateUnique(Native(dir.path()), ".tmp-"));
    EXPECT_NE(a.Path(), b.Path());
}

}  // namespace

#include "platform/ExclusiveOutputFile.h"
#include "support/FaultyFileOps.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cerrno>

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

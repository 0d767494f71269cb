// The repair of power-cut recordings: the golden case through discovery, the
// end state of every refusal, and a failure injected at every step.

#include "DiscoveryFixtures.h"
#include "FaultyRepairOps.h"
#include "core/Logger.h"
#include "platform/UserNotifier.h"
#include "recordings/AVIFileLoader.h"
#include "recordings/AVIFileParser.h"
#include "recordings/CFileLoader.h"
#include "recordings/RepairPlan.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <set>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

using discoverytest::FileState;
using discoverytest::Folders;
using discoverytest::RepairSpy;
using discoverytest::RepairStep;
using discoverytest::WriteBroken;
using discoverytest::WriteRecording;

uint32_t U32(const QByteArray& bytes, qsizetype at)
{
    return ReadLe32(reinterpret_cast<const uint8_t*>(bytes.constData() + at));
}

constexpr time_t kTime = 1365165296;
constexpr long kNanoseconds = 123456789;

// A power-cut recording of odd length, cut inside its last chunk.
testsupport::AviManifest WriteOddPowerCut(const QString& path)
{
    testsupport::AviManifest manifest = WriteBroken(path, 0.999);
    if (manifest.fileSize % 2 == 0)
        manifest = WriteBroken(path, 0.999, discoverytest::Options([&](auto& o) {
                                   o.truncateAt = manifest.cutOffset - 1;
                               }));
    discoverytest::SetModifiedTime(path, kTime, kNanoseconds);
    return manifest;
}

// The chunks whose data lies wholly inside the file, in file order.
std::vector<testsupport::AviChunkRecord> CompleteChunks(const testsupport::AviManifest& manifest, int64_t size)
{
    std::vector<testsupport::AviChunkRecord> complete;
    for (const auto& chunk : manifest.chunks)
        if (chunk.headerOffset + 8 + int64_t(chunk.size) <= size)
            complete.push_back(chunk);
    return complete;
}

class Repair : public ::testing::Test {
protected:
    QString Card(const QString& name) const { return folders.CardPath(name); }

    Folders folders;
    RecordingNotifier notifier;
};

TEST_F(Repair, GoldenPowerCutThroughDiscovery)
{
    const QString path = Card("20130405_123456_NOR.avi");
    const testsupport::AviManifest manifest = WriteOddPowerCut(path);
    const FileState broken = FileState::Of(path);
    const int64_t oldSize = broken.size;
    ASSERT_EQ(oldSize % 2, 1);
    ASSERT_GT(manifest.chunks.back().headerOffset + 8 + int64_t(manifest.chunks.back().size), oldSize);

    auto spy = std::make_shared<RepairSpy>(std::make_shared<AVIFileRecovery>(folders.Documents()));
    const auto entries = CFileLoader(notifier, folders.Documents(), spy).LoadVideoFiles({folders.Card()}, {});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->path, path);
    EXPECT_EQ(spy->calls, QStringList{path});
    EXPECT_EQ(notifier.Count(), 0u);

    // The backup: byte-identical, with the original's time.
    EXPECT_EQ(folders.BrokenNames(), QStringList{"20130405_123456_NOR.avi"});
    const FileState backup = FileState::Of(folders.Broken() + "/20130405_123456_NOR.avi");
    EXPECT_TRUE(backup == broken);

    const FileState repaired = FileState::Of(path);
    EXPECT_EQ(repaired.mtime.tv_sec, kTime);
    EXPECT_EQ(repaired.mtime.tv_nsec, kNanoseconds);
    const QByteArray& bytes = repaired.bytes;

    const auto chunks = CompleteChunks(manifest, oldSize);
    ASSERT_EQ(chunks.size(), manifest.chunks.size() - 1);
    const int64_t padded = oldSize + 1;
    EXPECT_EQ(bytes[qsizetype(oldSize)], '\0');
    EXPECT_EQ(bytes.mid(qsizetype(padded), 4), QByteArray("idx1"));
    EXPECT_EQ(U32(bytes, qsizetype(padded) + 4), 16 * chunks.size());
    EXPECT_EQ(bytes.size(), padded + 8 + 16 * qsizetype(chunks.size()));
    EXPECT_EQ(U32(bytes, 4), uint32_t(bytes.size() - 8));
    EXPECT_EQ(U32(bytes, 524), uint32_t(padded - 528));
    EXPECT_EQ(U32(bytes, 524) % 2, 0u);

    std::map<std::string, std::pair<uint32_t, uint32_t>> perId;  // count, largest
    for (size_t i = 0; i < chunks.size(); ++i) {
        SCOPED_TRACE(i);
        const qsizetype at = qsizetype(padded) + 8 + qsizetype(16 * i);
        EXPECT_EQ(bytes.mid(at, 4).toStdString(), chunks[i].id);
        EXPECT_EQ(U32(bytes, at + 4), chunks[i].flags);
        EXPECT_EQ(U32(bytes, at + 8), uint32_t(chunks[i].headerOffset - 528));
        EXPECT_EQ(U32(bytes, at + 12), chunks[i].size);
        auto& [count, largest] = perId[chunks[i].id];
        ++count;
        largest = std::max(largest, chunks[i].size);
    }
    EXPECT_EQ(U32(bytes, 48), perId["00dc"].first + perId["01dc"].first);
    const struct {
        const char* id;
        qsizetype rateAt;
        uint32_t rate;
    } streams[] = {{"00dc", 132, 22056}, {"01dc", 256, 9342}, {"02wb", 380, 44100}, {"03tx", 480, 20250}};
    std::set<qsizetype> patched;
    for (qsizetype at : {4, 48, 524})
        for (int k = 0; k < 4; ++k)
            patched.insert(at + k);
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.id);
        EXPECT_EQ(U32(bytes, stream.rateAt), stream.rate);
        EXPECT_EQ(U32(bytes, stream.rateAt + 8), perId[stream.id].first);
        EXPECT_EQ(U32(bytes, stream.rateAt + 12), perId[stream.id].second);
        for (qsizetype at : {stream.rateAt, stream.rateAt + 8, stream.rateAt + 12})
            for (int k = 0; k < 4; ++k)
                patched.insert(at + k);
    }
    // Only the patched fields differ from the broken file's bytes.
    for (qsizetype i = 0; i < qsizetype(oldSize); ++i) {
        if (bytes[i] != broken.bytes[i]) {
            ASSERT_TRUE(patched.count(i)) << "byte " << i << " changed";
        }
    }

    // The reader takes it, and every index entry points at its chunk.
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    ASSERT_FALSE(parser.GetRootChunks().empty());
    size_t indexed = 0;
    for (const char* id : {"00dc", "01dc", "02wb", "03tx"}) {
        for (const IndexEntry& entry : parser.GetIndexEntries(id)) {
            const qsizetype header = qsizetype(entry.dataOffset) - 8;
            EXPECT_EQ(bytes.mid(header, 4), QByteArray(id));
            ++indexed;
        }
    }
    EXPECT_EQ(indexed, chunks.size());
    parser.Close();

    AVIFileLoader decoder;
    RecordingEntry entry = *entries[0];
    ASSERT_TRUE(decoder.GetMetadataFromAVIFile(entry));
    decoder.Close();
    EXPECT_EQ(entry.motionSamples.size() + entry.gpsFixes.size(), perId["03tx"].first);

    // A second load finds a valid file and repairs nothing.
    const auto again = CFileLoader(notifier, folders.Documents(), spy).LoadVideoFiles({}, {path});
    EXPECT_EQ(again.size(), 1u);
    EXPECT_EQ(spy->calls.size(), 1);
    EXPECT_EQ(folders.BrokenNames().size(), 1);
}

// One RecoverFile call and the state both places are left in.
struct Outcome {
    bool result = false;
    FileState original;
    QStringList broken;
};

class RepairState : public Repair {
protected:
    Outcome Recover(const QString& path, std::shared_ptr<RepairFileOps> ops = nullptr, bool withBytes = true)
    {
        AVIFileRecovery recovery(documents.isEmpty() ? folders.Documents() : documents,
                                 ops ? ops : std::make_shared<PosixRepairFileOps>());
        QString repaired;
        Outcome outcome;
        outcome.result = recovery.RecoverFile(path, repaired);
        if (outcome.result) {
            EXPECT_EQ(repaired, path);
        }
        outcome.original = FileState::Of(path, withBytes);
        outcome.broken = folders.BrokenNames();
        return outcome;
    }
    // Refused: false, the file as it was, nothing new among the backups.
    // (Bytes are not compared for huge files.)
    void ExpectRefused(const QString& path, std::shared_ptr<RepairFileOps> ops = nullptr, bool withBytes = true)
    {
        const FileState before = FileState::Of(path, withBytes);
        const QStringList backups = folders.BrokenNames();
        const Outcome outcome = Recover(path, ops, withBytes);
        EXPECT_FALSE(outcome.result);
        EXPECT_TRUE(outcome.original == before);
        EXPECT_EQ(outcome.broken, backups);
    }

    QString documents;
};

TEST_F(RepairState, GuardRefusals)
{
    using Options = testsupport::AviFixtureOptions;
    struct Row {
        const char* name;
        std::function<QString(const QString& folder)> make;  // returns the path to repair
    };
    const Row rows[] = {
        {"missing", [](const QString& f) { return f + "/gone.avi"; }},
        {"symlink to a broken recording",
         [](const QString& f) {
             WriteOddPowerCut(f + "/target.avi");
             symlink(QFile::encodeName(f + "/target.avi").constData(), QFile::encodeName(f + "/link.avi").constData());
             return f + "/link.avi";
         }},
        {"FIFO", [](const QString& f) {
             mkfifo(QFile::encodeName(f + "/pipe.avi").constData(), 0644);
             return f + "/pipe.avi";
         }},
        {"SDEXIT in the path", [](const QString& f) {
             WriteOddPowerCut(f + "/SDEXIT/x.avi");
             return f + "/SDEXIT/x.avi";
         }},
        {"smaller than 540 bytes", [](const QString& f) {
             WriteOddPowerCut(f + "/x.avi");
             truncate(QFile::encodeName(f + "/x.avi").constData(), 539);
             return f + "/x.avi";
         }},
        {"above 4 GiB - 1", [](const QString& f) {
             WriteOddPowerCut(f + "/x.avi");
             truncate(QFile::encodeName(f + "/x.avi").constData(), off_t(1) << 32);
             return f + "/x.avi";
         }},
        {"foreign layout", [](const QString& f) {
             WriteBroken(f + "/x.avi", 0.9, discoverytest::Options([](Options& o) { o.foreignLayout = true; }));
             return f + "/x.avi";
         }},
        {"RIFX", [](const QString& f) {
             WriteBroken(f + "/x.avi", 0.9, discoverytest::Options([](Options& o) { o.riffId = "RIFX"; }));
             return f + "/x.avi";
         }},
        {"form type WAVE", [](const QString& f) {
             WriteBroken(f + "/x.avi", 0.9, discoverytest::Options([](Options& o) { o.formType = "WAVE"; }));
             return f + "/x.avi";
         }},
        {"not broken", [](const QString& f) {
             WriteRecording(f + "/x.avi");
             return f + "/x.avi";
         }},
        {"no complete chunk", [](const QString& f) {
             WriteBroken(f + "/x.avi", 0.0);
             truncate(QFile::encodeName(f + "/x.avi").constData(), 540);
             return f + "/x.avi";
         }},
        {"a backup itself", [this](const QString&) {
             WriteOddPowerCut(folders.Broken() + "/old.avi");
             return folders.Broken() + "/old.avi";
         }},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = Card(QString::number(n++));
        QDir().mkpath(folder);
        const QString path = row.make(folder);
        ExpectRefused(path, nullptr, QFileInfo(path).size() < (qint64(1) << 31));
        EXPECT_FALSE(folders.BrokenNames().contains("x.avi"));
    }
    EXPECT_FALSE(Recover(QString()).result);
}

TEST_F(RepairState, PermissionsAndDocumentsInTheWay)
{
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);

    // Through the fake, so that the rows hold as root too.
    for (const auto& [step, error] : {std::pair{RepairStep::OpenOriginal, EACCES}, {RepairStep::OpenOriginal, EROFS},
                                      {RepairStep::CreateFolders, EACCES}, {RepairStep::CreateFolders, EROFS},
                                      {RepairStep::CreateTemporary, ENOSPC}, {RepairStep::BackupWrite, ENOSPC},
                                      {RepairStep::BackupWrite, EIO}}) {
        SCOPED_TRACE(int(step));
        auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
        ops->failing = step;
        ops->error = error;
        ExpectRefused(path, ops);
    }
    EXPECT_TRUE(folders.BrokenNames().isEmpty());

    if (!discoverytest::RunningAsRoot()) {
        chmod(QFile::encodeName(path).constData(), 0444);
        ExpectRefused(path);
        chmod(QFile::encodeName(path).constData(), 0644);
        chmod(QFile::encodeName(folders.Documents()).constData(), 0555);
        ExpectRefused(path);
        chmod(QFile::encodeName(folders.Documents()).constData(), 0755);
    }

    documents = folders.Root() + "/docs-file";
    testsupport::WriteFileBytes(documents, "a file where the documents folder should be");
    ExpectRefused(path);
    EXPECT_EQ(testsupport::ReadFileBytes(documents), QByteArray("a file where the documents folder should be"));
}

TEST_F(RepairState, LogLines)
{
    testsupport::ScopedWorkingFolder working;
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(true);
    logger.SetType(3);
    logger.SetLevel(3);
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    ops->failing = RepairStep::OpenOriginal;
    ops->error = EACCES;
    ExpectRefused(path, ops);
    ExpectRefused(Card("missing.avi"));
    logger.SetEnabled(false);

    const QString log = QString::fromLatin1(testsupport::ReadFileBytes(logger.GetLogFilePath()));
    EXPECT_TRUE(log.contains("[AVIFileRecovery]\t[OpenFile]\t" + path + " Recovery File Not Found~"));
    EXPECT_TRUE(log.contains("[AVIFileRecovery]\t[CheckRepairable]\tCheckRepairable: " + Card("missing.avi") +
                             ": not a regular file"));
}

TEST_F(RepairState, BackupNamesNeverReplaceOlderBackups)
{
    QDir().mkpath(folders.Broken());
    testsupport::WriteFileBytes(folders.Broken() + "/x.avi", "older backup");
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    const FileState first = FileState::Of(path);
    ASSERT_TRUE(Recover(path).result);
    EXPECT_TRUE(FileState::Of(folders.Broken() + "/x(1).avi") == first);

    const QString other = Card("sub/x.avi");
    WriteOddPowerCut(other);
    const FileState second = FileState::Of(other);
    const Outcome outcome = Recover(other);
    ASSERT_TRUE(outcome.result);
    EXPECT_EQ(outcome.broken, (QStringList{"x(1).avi", "x(2).avi", "x.avi"}));
    EXPECT_EQ(testsupport::ReadFileBytes(folders.Broken() + "/x.avi"), QByteArray("older backup"));
    EXPECT_TRUE(FileState::Of(folders.Broken() + "/x(1).avi") == first);
    EXPECT_TRUE(FileState::Of(folders.Broken() + "/x(2).avi") == second);
}

TEST_F(RepairState, FileInUseOrChangingIsLeftAlone)
{
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    {
        const int holder = open(QFile::encodeName(path).constData(), O_RDONLY);
        ASSERT_EQ(flock(holder, LOCK_EX), 0);
        ExpectRefused(path);
        close(holder);
    }
    EXPECT_TRUE(folders.BrokenNames().isEmpty());

    // Another program appends while the backup is made.
    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    const QByteArray native = QFile::encodeName(path);
    ops->duringCopy = [native] {
        const int fd = open(native.constData(), O_WRONLY | O_APPEND);
        ASSERT_EQ(write(fd, "more", 4), 4);
        close(fd);
    };
    QByteArray grown = FileState::Of(path).bytes + "more";
    const Outcome outcome = Recover(path, ops);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.original.bytes, grown);
    EXPECT_TRUE(outcome.broken.isEmpty());
}

TEST_F(RepairState, FileRepairedElsewhereMeanwhileIsAccepted)
{
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    // Another program gives it a valid RIFF size while the backup is made.
    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    const QByteArray native = QFile::encodeName(path);
    ops->duringCopy = [native] {
        const int fd = open(native.constData(), O_WRONLY);
        uint8_t size[4];
        WriteLe32(size, 1000);
        ASSERT_EQ(pwrite(fd, size, 4, 4), 4);
        close(fd);
    };
    const Outcome outcome = Recover(path, ops);
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(U32(outcome.original.bytes, 4), 1000u);
    EXPECT_TRUE(outcome.broken.isEmpty());
}

TEST_F(RepairState, FailureAtEveryStepKeepsTheOriginal)
{
    struct Row {
        RepairStep step;
        bool originalWritten;
        bool restoreFails = false;
    };
    const Row rows[] = {
        {RepairStep::CreateTemporary, false}, {RepairStep::BackupWrite, false}, {RepairStep::BackupSync, false},
        {RepairStep::Rename, false},          {RepairStep::FolderSync, false},  {RepairStep::IndexAppend, true},
        {RepairStep::Sync, true},             {RepairStep::HeaderWrite, true},  {RepairStep::FinalSync, true},
        {RepairStep::Close, true},
    };
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    const FileState before = FileState::Of(path);
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.step));
        auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
        ops->failing = row.step;
        const Outcome outcome = Recover(path, ops);
        EXPECT_TRUE(ops->Injected());
        EXPECT_FALSE(outcome.result);
        EXPECT_TRUE(outcome.original == before);
        if (row.originalWritten) {
            ASSERT_EQ(outcome.broken.size(), 1);
            EXPECT_TRUE(FileState::Of(folders.Broken() + "/" + outcome.broken[0]) == before);
            QFile::remove(folders.Broken() + "/" + outcome.broken[0]);
        } else {
            EXPECT_TRUE(outcome.broken.isEmpty());
        }
    }
}

TEST_F(RepairState, FailedRestoreKeepsTheBackup)
{
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    const FileState before = FileState::Of(path);
    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    ops->failing = RepairStep::FinalSync;
    ops->restoreFails = true;
    const Outcome outcome = Recover(path, ops);
    EXPECT_FALSE(outcome.result);
    ASSERT_EQ(outcome.broken, QStringList{"x.avi"});
    EXPECT_TRUE(FileState::Of(folders.Broken() + "/x.avi") == before);
}

TEST_F(RepairState, FileSizeLimitRestoresTheOriginal)
{
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    const FileState before = FileState::Of(path);
    // In a child, so the limit cannot touch the rest of the suite.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        testsupport::ScopedFileSizeLimit limit(rlim_t(before.size + 10));
        QString repaired;
        const bool result = AVIFileRecovery(folders.Documents()).RecoverFile(path, repaired);
        _exit(result ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(FileState::Of(path) == before);
    ASSERT_EQ(folders.BrokenNames(), QStringList{"x.avi"});
    EXPECT_TRUE(FileState::Of(folders.Broken() + "/x.avi") == before);
}

TEST_F(RepairState, MoreChunksThanTheLimitAreRefusedDuringTheCopy)
{
    // The recorder's broken header, then empty chunks: one more than the
    // repair holds, and 4 MiB more behind it.
    const QString path = Card("x.avi");
    WriteOddPowerCut(path);
    const QByteArray header = testsupport::ReadFileBytes(path).left(qsizetype(RecorderLayout::kFirstChunkOffset));
    const QByteArray emptyChunk("03tx\0\0\0\0", 8);
    const qsizetype chunks = qsizetype(RecorderLayout::kMaximumIndexEntries) + 1 + (4 << 20) / 8;
    const QByteArray forged = header + emptyChunk.repeated(chunks);
    testsupport::WriteFileBytes(path, forged);
    ASSERT_EQ(U32(forged, 4), 0u);

    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    ExpectRefused(path, ops);
    EXPECT_TRUE(folders.BrokenNames().isEmpty());
    EXPECT_EQ(ops->counters.originalBytesWritten, 0u);
    // Stopped where the limit was passed, not at the end of the file.
    EXPECT_LT(ops->counters.backupBytesWritten, uint64_t(forged.size()));
}

TEST_F(RepairState, IoBudgetOfOneRepair)
{
    const QString path = Card("x.avi");
    const auto manifest = WriteOddPowerCut(path);
    const int64_t size = FileState::Of(path, false).size;
    auto ops = std::make_shared<discoverytest::FaultyRepairOps>();
    ASSERT_TRUE(Recover(path, ops).result);
    const auto complete = CompleteChunks(manifest, size);
    // The header once for the guard, then one pass for the copy.
    EXPECT_EQ(ops->counters.originalBytesRead, uint64_t(size) + RecorderLayout::kMinimumFileSize);
    EXPECT_EQ(ops->counters.originalBytesWritten, 1 + 8 + 16 * complete.size() + RecorderLayout::kHeaderBytes);
    EXPECT_EQ(ops->counters.originalWrites, 2);
    EXPECT_EQ(ops->counters.backupBytesWritten, uint64_t(size));
}

}  // namespace

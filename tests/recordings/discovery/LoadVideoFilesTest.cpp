// Discovery through LoadVideoFiles: messages, order, dates from the file's
// time, and the files that must never be listed nor reach the repair.

#include "DiscoveryFixtures.h"
#include "core/Common.h"
#include "platform/UserNotifier.h"
#include "recordings/CFileLoader.h"

#include <QRandomGenerator>
#include <climits>
#include <dirent.h>
#include <string>
#include <vector>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using discoverytest::FileState;
using discoverytest::Folders;
using discoverytest::RepairSpy;
using discoverytest::WriteBroken;
using discoverytest::WriteRecording;
using Entries = std::vector<std::shared_ptr<RecordingEntry>>;

class Discovery : public ::testing::Test {
protected:
    Entries Load(const QStringList& scan, const QStringList& files)
    {
        CFileLoader loader(notifier, folders.Documents(), spy);
        return loader.LoadVideoFiles(scan, files);
    }
    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const auto& box : notifier.Boxes())
            texts << box.text;
        return texts;
    }

    Folders folders;
    RecordingNotifier notifier;
    std::shared_ptr<RepairSpy> spy = std::make_shared<RepairSpy>();
};

TEST_F(Discovery, LoadMessages)
{
    const QString card = folders.Card();
    testsupport::WriteFileBytes(card + "/x.mp4", "not a recording");
    WriteRecording(card + "/y.avi");
    WriteBroken(card + "/z.avi");
    QDir().mkpath(card + "/empty");
    QDir().mkpath(card + "/two");
    WriteRecording(card + "/two/20130405_123456_NOR.avi");
    WriteRecording(card + "/two/20130405_123457_EVT.avi");

    struct Row {
        const char* name;
        QStringList folders;
        QStringList files;
        int message;  // 0: no box
        size_t entries;
    };
    const Row rows[] = {
        {"only x.mp4", {}, {card + "/x.mp4"}, 299, 0},
        {"x.mp4 and a valid y.avi", {}, {card + "/x.mp4", card + "/y.avi"}, 298, 1},
        {"an empty folder", {card + "/empty"}, {}, 0, 0},
        {"z.avi that cannot be repaired", {}, {card + "/z.avi"}, 300, 0},
        {"a folder of recordings", {card + "/two"}, {}, 0, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        notifier.Clear();
        const Entries entries = Load(row.folders, row.files);
        EXPECT_EQ(entries.size(), row.entries);
        if (row.message == 0)
            EXPECT_TRUE(BoxTexts().isEmpty());
        else
            EXPECT_EQ(BoxTexts(), QStringList{Common::GetResourceString(row.message)});
    }
    EXPECT_EQ(spy->calls, QStringList{card + "/z.avi"});
}

TEST_F(Discovery, EqualStartTimesKeepTheirOrderAndNumbersRunFromOne)
{
    QStringList files;
    for (const char* folder : {"c", "a", "b"}) {
        QDir().mkpath(folders.CardPath(QString::fromLatin1(folder)));
        const QString path = folders.CardPath(QString::fromLatin1(folder) + "/20130405_123456_NOR.avi");
        WriteRecording(path);
        files << path;
    }
    const QString earlier = folders.CardPath("20130405_120000_EVT.avi");
    WriteRecording(earlier);
    files << earlier;

    const Entries entries = Load({}, files);
    ASSERT_EQ(entries.size(), 4u);
    const QStringList expected{earlier, files[0], files[1], files[2]};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]->path, expected[int(i)]);
        EXPECT_EQ(entries[i]->number, int(i + 1));
    }
    EXPECT_EQ(entries[0]->type, RECORDING_EVENT);
    EXPECT_EQ(entries[1]->fileName, QStringLiteral("20130405_123456_NOR.avi"));
}

TEST(FileWriteTime, LocalTimeUnderFixedZones)
{
    const std::optional<QString> base = discoverytest::FarFutureTimeBase();
    if (!base)
        GTEST_SKIP() << "no file system here keeps times in the year 10000";
    Folders folders(*base);
    const QString path = folders.CardPath("clip.avi");
    testsupport::WriteFileBytes(path, "x");
    struct Row {
        const char* zone;
        time_t utc;
        int hour, minute, day;
    };
    const Row rows[] = {
        {"MSK-3", 1365165296, 15, 34, 5},                          // 2013-04-05 12:34:56 UTC
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1364689800, 1, 30, 31},    // before the spring change
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1364693400, 3, 30, 31},    // after it
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1382833800, 2, 30, 27},    // summer time, last hour
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1382837400, 2, 30, 27},    // winter time again
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.utc);
        testsupport::ScopedEnv zone("TZ", QString::fromLatin1(row.zone));
        discoverytest::SetModifiedTime(path, row.utc, 999999999);  // milliseconds dropped
        const OleDateTime time = CFileLoader::GetFileWriteTime(path);
        ASSERT_TRUE(time.IsValid());
        const OleDateTime::Parts parts = time.GetParts();
        EXPECT_EQ(parts.day, row.day);
        EXPECT_EQ(parts.hour, row.hour);
        EXPECT_EQ(parts.minute, row.minute);
        EXPECT_EQ(parts.second, 56 * (row.utc == 1365165296));
    }
    testsupport::ScopedEnv zone("TZ", QStringLiteral("MSK-3"));
    discoverytest::SetModifiedTime(path, 253402300800 - 3 * 3600 - 1);  // 9999-12-31 23:59:59 local
    EXPECT_TRUE(CFileLoader::GetFileWriteTime(path).IsValid());
    discoverytest::SetModifiedTime(path, 253402300800 - 3 * 3600);  // the year 10000
    EXPECT_FALSE(CFileLoader::GetFileWriteTime(path).IsValid());
    EXPECT_FALSE(CFileLoader::GetFileWriteTime(folders.CardPath("missing.avi")).IsValid());
}

TEST(UndatedFiles, SortLikeTheReferenceBubbleSort)
{
    const std::optional<QString> base = discoverytest::FarFutureTimeBase();
    if (!base)
        GTEST_SKIP() << "no file system here keeps times in the year 10000";
    Folders folders(*base);
    RecordingNotifier notifier;
    testsupport::ScopedEnv zone("TZ", QStringLiteral("MSK-3"));
    const time_t year10000 = 253402300800;
    const time_t choices[] = {1365165296, 1365165296 + 60, 1365165296 - 3600, year10000, year10000 + 86400};
    QRandomGenerator random(20130405);
    QStringList files;
    std::vector<time_t> times;
    for (int i = 0; i < 14; ++i) {
        const QString path = folders.CardPath(QStringLiteral("clip%1.avi").arg(i));
        WriteRecording(path, discoverytest::Options([](auto& o) { o.seconds = 1; }));
        const time_t t = choices[random.bounded(int(std::size(choices)))];
        discoverytest::SetModifiedTime(path, t);
        files << path;
        times.push_back(t);
    }
    // The reference: an invalid time is never later than another.
    std::vector<int> order(files.size());
    for (int i = 0; i < files.size(); ++i)
        order[size_t(i)] = i;
    auto later = [&](int a, int b) {
        const bool valid = times[size_t(a)] < year10000 - 3 * 3600 && times[size_t(b)] < year10000 - 3 * 3600;
        return valid && times[size_t(a)] > times[size_t(b)];
    };
    for (size_t pass = order.size() - 1; pass >= 1; --pass)
        for (size_t i = 1; i <= pass; ++i)
            if (later(order[i - 1], order[i]))
                std::swap(order[i - 1], order[i]);

    const Entries entries = CFileLoader(notifier, folders.Documents(), std::make_shared<RepairSpy>())
                                .LoadVideoFiles({}, files);
    ASSERT_EQ(entries.size(), size_t(files.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i]->path, files[order[i]]) << i;
    for (const auto& entry : entries) {
        if (!entry->startTime.IsValid()) {
            EXPECT_EQ(entry->GetDateText(), QStringLiteral("-1--01--01"));
            EXPECT_EQ(entry->GetTimeText(), QStringLiteral("-01:-01:-01"));
        }
    }
}

// Removes name under the folder open at folderFd, depth first, by
// descriptors: a tree deeper than PATH_MAX cannot be removed by path.
void RemoveTreeAt(int folderFd, const char* name)
{
    const int fd = openat(folderFd, name, O_DIRECTORY | O_RDONLY | O_NOFOLLOW);
    if (fd >= 0) {
        if (DIR* dir = fdopendir(dup(fd))) {
            std::vector<std::string> names;
            while (const dirent* entry = readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                    names.push_back(entry->d_name);
            closedir(dir);
            for (const std::string& child : names)
                RemoveTreeAt(fd, child.c_str());
        }
        close(fd);
        unlinkat(folderFd, name, AT_REMOVEDIR);
    } else {
        unlinkat(folderFd, name, 0);
    }
}

// A path longer than PATH_MAX, made one folder at a time.
struct DeepPath {
    QString top;
    QString file;
    int parentFd = -1;
    ~DeepPath()
    {
        if (parentFd >= 0)
            close(parentFd);
        RemoveTreeAt(AT_FDCWD, QFile::encodeName(top).constData());
    }
};

void MakeDeepPath(const QString& top, DeepPath& deep)
{
    deep.top = top;
    QDir().mkpath(top);
    int fd = open(QFile::encodeName(top).constData(), O_DIRECTORY | O_RDONLY);
    ASSERT_GE(fd, 0);
    const std::string name(200, 'd');
    QString path = top;
    while (path.size() <= PATH_MAX) {
        ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int next = openat(fd, name.c_str(), O_DIRECTORY | O_RDONLY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        path += QLatin1Char('/') + QString::fromStdString(name);
    }
    deep.parentFd = fd;
    deep.file = path + QStringLiteral("/x.avi");
    const QString temporary = top + QStringLiteral("/deep.tmp");
    WriteBroken(temporary);
    ASSERT_EQ(renameat(AT_FDCWD, QFile::encodeName(temporary).constData(), fd, "x.avi"), 0);
}

FileState DeepState(const DeepPath& deep)
{
    FileState state;
    struct stat info {};
    if (fstatat(deep.parentFd, "x.avi", &info, 0) != 0)
        return state;
    state.size = info.st_size;
    state.mtime = info.st_mtim;
    const int fd = openat(deep.parentFd, "x.avi", O_RDONLY);
    state.bytes.resize(info.st_size);
    if (fd >= 0 && read(fd, state.bytes.data(), size_t(info.st_size)) != info.st_size)
        state.bytes.clear();
    close(fd);
    return state;
}

TEST_F(Discovery, FilesThatAreNeverListedNorRepaired)
{
    using Options = testsupport::AviFixtureOptions;
    const uint64_t fourGiB = 1ull << 32;
    struct Row {
        const char* name;
        std::function<void(const QString& path)> make;
        bool skipAsRoot = false;
        bool huge = false;
    };
    const Row rows[] = {
        {"a recording of 30720 bytes",
         [](const QString& p) {
             Options o;
             o.seconds = 1;
             o.frontFrames = 4;
             o.rearFrames = 2;
             o.frameSize = [](int, int) { return 200u; };
             o.exactSize = 30720;
             WriteRecording(p, o);
         }},
        {"an empty x.avi", [](const QString& p) { testsupport::WriteFileBytes(p, QByteArray()); }},
        {"40 KiB of foreign bytes", [](const QString& p) { testsupport::WriteFileBytes(p, QByteArray(40960, 'x')); }},
        {"a broken foreign-layout AVI", [](const QString& p) { WriteBroken(p, 0.9, discoverytest::Options([](auto& o) { o.foreignLayout = true; })); }},
        {"RIFX", [](const QString& p) { WriteBroken(p, 0.9, discoverytest::Options([](auto& o) { o.riffId = "RIFX"; })); }},
        {"a broken RIFF WAVE", [](const QString& p) { WriteBroken(p, 0.9, discoverytest::Options([](auto& o) { o.formType = "WAVE"; })); }},
        {"a broken AVI of one stream list",
         [](const QString& p) {
             WriteBroken(p);
             QByteArray bytes = testsupport::ReadFileBytes(p);
             for (int at : {212, 336, 436})
                 bytes.replace(at, 4, "JUNK");
             for (int at : {224, 348, 448})
                 bytes.replace(at, 4, "junk");
             testsupport::WriteFileBytes(p, bytes);
         }},
        {"a valid recording nobody may read",
         [](const QString& p) {
             WriteRecording(p);
             chmod(QFile::encodeName(p).constData(), 0);
         },
         true},
        {"a sparse broken recording of 4 GiB",
         [&](const QString& p) {
             WriteBroken(p);
             ASSERT_EQ(truncate(QFile::encodeName(p).constData(), off_t(fourGiB)), 0);
         },
         false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.skipAsRoot && discoverytest::RunningAsRoot())
            continue;
        const QString folder = folders.CardPath(QString::fromLatin1(row.name).replace(' ', '_'));
        const QString path = folder + "/x.avi";
        QDir().mkpath(folder);
        row.make(path);
        discoverytest::SetModifiedTime(path, 1365165296, 123456789);
        const FileState before = FileState::Of(path, !row.huge);

        EXPECT_TRUE(Load({}, {path}).empty());
        EXPECT_TRUE(Load({folder}, {}).empty());
        EXPECT_TRUE(FileState::Of(path, !row.huge) == before);
        chmod(QFile::encodeName(path).constData(), 0644);
    }
    EXPECT_TRUE(spy->calls.isEmpty()) << spy->calls.join(' ').toStdString();
    EXPECT_TRUE(folders.BrokenNames().isEmpty());
}

TEST_F(Discovery, PathsBeyondPathMaxAreLeftAlone)
{
    DeepPath deep;
    MakeDeepPath(folders.CardPath("deep"), deep);
    const FileState before = DeepState(deep);
    ASSERT_FALSE(before.bytes.isEmpty());
    EXPECT_TRUE(Load({}, {deep.file}).empty());
    EXPECT_TRUE(Load({deep.top}, {}).empty());
    EXPECT_TRUE(DeepState(deep) == before);
    EXPECT_TRUE(spy->calls.isEmpty());
}

TEST_F(Discovery, BackupsAreNeverRepairedWhenTheDocumentsFolderIsOpened)
{
    const QString backup = folders.Broken() + "/x.avi";
    WriteBroken(backup);
    const FileState before = FileState::Of(backup);
    // The real repair behind the spy: it must never be asked.
    spy = std::make_shared<RepairSpy>(std::make_shared<AVIFileRecovery>(folders.Documents()));
    EXPECT_TRUE(Load({folders.Documents()}, {}).empty());
    EXPECT_TRUE(Load({}, {backup}).empty());
    EXPECT_TRUE(spy->calls.isEmpty());
    EXPECT_TRUE(FileState::Of(backup) == before);
    EXPECT_EQ(folders.BrokenNames(), QStringList{"x.avi"});
}

TEST_F(Discovery, SymlinkedRecordingsAreListedButNeverRepaired)
{
    const QString outside = folders.Root() + "/outside";
    WriteRecording(outside + "/20130405_123456_NOR.avi");
    WriteBroken(outside + "/broken.avi");
    const FileState broken = FileState::Of(outside + "/broken.avi");
    const QString card = folders.Card();
    ASSERT_EQ(symlink(QFile::encodeName(outside + "/20130405_123456_NOR.avi").constData(),
                      QFile::encodeName(card + "/good.avi").constData()),
              0);
    ASSERT_EQ(symlink(QFile::encodeName(outside + "/broken.avi").constData(),
                      QFile::encodeName(card + "/cut.avi").constData()),
              0);
    const Entries entries = Load({card}, {});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->path, card + "/good.avi");
    EXPECT_EQ(entries[0]->type, RECORDING_UNKNOWN);  // typed by the link's own name
    EXPECT_TRUE(spy->calls.isEmpty());
    EXPECT_TRUE(FileState::Of(outside + "/broken.avi") == broken);
}

TEST_F(Discovery, SparseValidRecordingAboveTwoGibibytesIsListedUntouched)
{
    testsupport::AviFixtureOptions options;
    options.seconds = 1;
    options.sparse = true;
    options.frameSize = [](int, int) { return 87000000u; };
    const QString path = folders.CardPath("20130405_123456_NOR.avi");
    const auto manifest = WriteRecording(path, options);
    ASSERT_GT(manifest.fileSize, int64_t(5) << 29);
    const FileState before = FileState::Of(path, false);
    const Entries entries = Load({folders.Card()}, {});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->type, RECORDING_NORMAL);
    EXPECT_TRUE(FileState::Of(path, false) == before);
    EXPECT_TRUE(spy->calls.isEmpty());
}

}  // namespace

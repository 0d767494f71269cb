#pragma once
// Shared pieces of the discovery and repair suites: a temporary card and
// documents folder (HOME pointed at a temporary folder too), a repair spy,
// and snapshots of a file's bytes and times.

#include "support/AviFixtureBuilder.h"
#include "support/FileFixtures.h"
#include "support/TestSupport.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/FileRepair.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "support/QtPrinters.h"

namespace discoverytest {

// A card folder and a documents folder, both temporary.
class Folders {
public:
    explicit Folders(const QString& base = QDir::tempPath())
        : root(base + QStringLiteral("/discovery-XXXXXX")), home("HOME", root.path() + QStringLiteral("/home"))
    {
        QDir().mkpath(Card());
        QDir().mkpath(Documents());
        QDir().mkpath(root.path() + QStringLiteral("/home"));
    }
    // QTemporaryDir cannot remove a name that is not UTF-8 (the scan tests
    // make one): the tree goes by its bytes first.
    ~Folders()
    {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(root.path()).toStdString(), ignored);
    }
    Folders(const Folders&) = delete;
    Folders& operator=(const Folders&) = delete;

    QString Card() const { return root.path() + QStringLiteral("/card"); }
    QString Documents() const { return root.path() + QStringLiteral("/docs"); }
    QString Broken() const { return Documents() + QStringLiteral("/BROKENFILES"); }
    QString Root() const { return root.path(); }
    QString CardPath(const QString& name) const { return Card() + QLatin1Char('/') + name; }
    // The names in BROKENFILES, sorted (empty when it does not exist).
    QStringList BrokenNames() const { return testsupport::EntryNames(Broken()); }

private:
    QTemporaryDir root;
    testsupport::ScopedEnv home;
};

// Records what discovery hands to the repair; optionally passes it on.
class RepairSpy : public FileRepair {
public:
    explicit RepairSpy(std::shared_ptr<FileRepair> inner = nullptr) : inner(std::move(inner)) {}
    bool RecoverFile(const QString& path, QString& repairedPath) override
    {
        calls.append(path);
        return inner ? inner->RecoverFile(path, repairedPath) : false;
    }
    QStringList calls;

private:
    std::shared_ptr<FileRepair> inner;
};

// A file's bytes, length and modification time.
struct FileState {
    QByteArray bytes;
    off_t size = -1;
    timespec mtime{};

    static FileState Of(const QString& path, bool withBytes = true)
    {
        FileState state;
        struct stat info {};
        if (lstat(QFile::encodeName(path).constData(), &info) != 0)
            return state;
        state.size = info.st_size;
        state.mtime = info.st_mtim;
        if (withBytes && S_ISREG(info.st_mode))
            state.bytes = testsupport::ReadFileBytes(path);
        return state;
    }
    bool operator==(const FileState& other) const
    {
        return bytes == other.bytes && size == other.size && mtime.tv_sec == other.mtime.tv_sec &&
               mtime.tv_nsec == other.mtime.tv_nsec;
    }
};

inline void SetModifiedTime(const QString& path, time_t seconds, long nanoseconds = 0)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Default options with some changed.
template <typename Edit>
testsupport::AviFixtureOptions Options(Edit edit)
{
    testsupport::AviFixtureOptions options;
    edit(options);
    return options;
}

// A small recorder file; the manifest describes it.
inline testsupport::AviManifest WriteRecording(const QString& path, testsupport::AviFixtureOptions options = {})
{
    if (options.seconds == 10)
        options.seconds = 2;
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    return testsupport::AviFixtureBuilder(options).Write(path);
}

// A recorder file cut by a power loss inside one of its chunks.
inline testsupport::AviManifest WriteBroken(const QString& path, double cutAt = 0.9,
                                            testsupport::AviFixtureOptions options = {})
{
    options.powerCut = cutAt;
    return WriteRecording(path, options);
}

// A temporary folder whose file system keeps modification times in the year
// 10000 (tmpfs does, ext4 stops at 2446); none when there is none.
inline std::optional<QString> FarFutureTimeBase()
{
    for (const QString& base : {QDir::tempPath(), QStringLiteral("/dev/shm")}) {
        QTemporaryDir probe(base + QStringLiteral("/far-future-XXXXXX"));
        if (!probe.isValid())
            continue;
        const QByteArray path = QFile::encodeName(probe.path());
        const timespec times[2] = {{253402300800, 0}, {253402300800, 0}};
        struct stat info {};
        if (utimensat(AT_FDCWD, path.constData(), times, 0) == 0 && stat(path.constData(), &info) == 0 &&
            info.st_mtim.tv_sec == 253402300800)
            return base;
    }
    return std::nullopt;
}

inline bool RunningAsRoot()
{
    return geteuid() == 0;
}

}  // namespace discoverytest

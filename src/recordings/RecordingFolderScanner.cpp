#include "recordings/RecordingFolderScanner.h"

#include "core/Logger.h"
#include "platform/Paths.h"

#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <memory>
#include <sys/stat.h>

namespace {

void LogScan(const QString& message)
{
    Logger::GetInstance().Log(message, QStringLiteral("CFileLoader"), QStringLiteral("ScanFolder"), 3, 3);
}

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::string NativeJoin(const std::string& folder, const char* name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + name;
}

// The entry's name as text; none when it is not valid UTF-8, since such a
// name could not be carried to the reader and back.
std::optional<QString> DecodeName(const char* name)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(QByteArrayView(name));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool RecordingFolderScanner::IsRecordingName(const QString& name)
{
    return name.endsWith(QLatin1String("avi"), Qt::CaseSensitive);
}

QStringList RecordingFolderScanner::Scan(const QString& folder)
{
    QStringList found;
    visited.clear();
    const std::string native = QFile::encodeName(folder).toStdString();
    struct stat info {};
    if (native.empty() || stat(native.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        LogScan(folder + QStringLiteral(" cannot be listed: ") + ErrorText(native.empty() ? ENOENT : errno));
        return found;
    }
    Enter(info.st_dev, info.st_ino);
    ScanDirectory(folder, native, found);
    return found;
}

bool RecordingFolderScanner::Enter(dev_t device, ino_t inode)
{
    return visited.insert({device, inode}).second;
}

void RecordingFolderScanner::ScanDirectory(const QString& folder, const std::string& nativeFolder, QStringList& found)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(nativeFolder.c_str()));
    if (!dir) {
        LogScan(folder + QStringLiteral(" cannot be listed: ") + ErrorText(errno));
        return;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                LogScan(folder + QStringLiteral(" listing stopped: ") + ErrorText(errno));
            return;
        }
        const char* rawName = entry->d_name;
        if (std::strcmp(rawName, ".") == 0 || std::strcmp(rawName, "..") == 0)
            continue;
        const std::optional<QString> name = DecodeName(rawName);
        if (!name) {
            LogScan(folder + QStringLiteral(" holds a name that is not UTF-8; skipped"));
            continue;
        }
        const bool folderCandidate = !name->contains(QLatin1Char('.'));
        const bool fileCandidate = IsRecordingName(*name);
        if (!folderCandidate && !fileCandidate)
            continue;

        const std::string nativePath = NativeJoin(nativeFolder, rawName);
        bool isDirectory = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        struct stat info {};
        const bool needsStat = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN || (isDirectory && folderCandidate);
        if (needsStat) {
            if (stat(nativePath.c_str(), &info) != 0)
                continue;  // a dangling link, or gone since the listing
            isDirectory = S_ISDIR(info.st_mode);
            isFile = S_ISREG(info.st_mode);
        }
        if (isDirectory && folderCandidate) {
            if (Enter(info.st_dev, info.st_ino))
                ScanDirectory(Paths::Join(folder, *name), nativePath, found);
        } else if (isFile && fileCandidate) {
            found.append(Paths::Join(folder, *name));
        }
    }
}

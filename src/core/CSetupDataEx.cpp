#include "core/CSetupDataEx.h"

#include "platform/AtomicFile.h"
#include "platform/FileRead.h"
#include "platform/Paths.h"
#include "platform/Text8.h"
#include "platform/UserNotifier.h"

#include <QFile>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace {

// A settings file is a few kilobytes; anything over this is not one.
constexpr qint64 kMaxTextFile = 1024 * 1024;

// The file's bytes; nullopt when there is none (silently) or it cannot be
// read (after one file-error box).
std::optional<QByteArray> ReadBytes(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0) {
        return std::nullopt;  // no file at the path
    }
    auto fail = [&](int error) -> std::optional<QByteArray> {
        UserNotifier::Current().ShowFileError(path, error);
        return std::nullopt;
    };
    if (S_ISDIR(info.st_mode)) {
        return fail(EISDIR);
    }
    const FileRead::Result read = FileRead::ReadWholeFile(path, kMaxTextFile, FileRead::Kind::Regular);
    if (read.error != 0) {
        return fail(read.error);
    }
    return read.bytes;
}

}  // namespace

QStringList CSetupDataEx::ReadTextLines(const QString& path)
{
    const auto bytes = ReadBytes(path);
    return bytes ? Text8::DecodeLines(*bytes) : QStringList();
}

QString CSetupDataEx::ReadTextFile(const QString& path)
{
    QString text;
    for (const QString& line : ReadTextLines(path)) {
        text += line;
        text += QLatin1Char('^');
    }
    return text;
}

bool CSetupDataEx::WriteTextFile(const QString& fileName, const QString& directory, const QString& content)
{
    return WriteTextFileError(fileName, directory, content) == 0;
}

int CSetupDataEx::WriteTextFileError(const QString& fileName, const QString& directory, const QString& content)
{
    if (fileName.isEmpty() || directory.isEmpty()) {
        return EINVAL;
    }
    const QByteArray folder = QFile::encodeName(directory);
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0) {
        // One level only: a missing parent is not created.
        if (errno != ENOENT) {
            return errno;
        }
        if (::mkdir(folder.constData(), 0777) != 0) {
            return errno;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        return ENOTDIR;
    }
    return AtomicFile::Write(Paths::Join(directory, fileName), Text8::Encode(content)).value();
}

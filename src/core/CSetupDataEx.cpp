#include "core/CSetupDataEx.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text8.h"
#include "platform/UserNotifier.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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
    // O_NONBLOCK: a FIFO planted at the path must not hang the UI thread.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return fail(errno);
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return fail(error);
    }
    if (info.st_size > kMaxTextFile) {
        ::close(fd);
        return fail(EFBIG);
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        if (got == 0) {
            break;
        }
        if (bytes.size() + got > kMaxTextFile) {  // grew while being read
            ::close(fd);
            return fail(EFBIG);
        }
        bytes.append(buffer, got);
    }
    ::close(fd);
    return bytes;
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
    if (fileName.isEmpty() || directory.isEmpty()) {
        return false;
    }
    const QByteArray folder = QFile::encodeName(directory);
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0) {
        // One level only: a missing parent is not created.
        if (errno != ENOENT || ::mkdir(folder.constData(), 0777) != 0) {
            return false;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        return false;
    }
    return !AtomicFile::Write(Paths::Join(directory, fileName), Text8::Encode(content));
}

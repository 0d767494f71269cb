#include "platform/AtomicFile.h"

#include "platform/FullIo.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::error_code LastError()
{
    return std::error_code(errno, std::generic_category());
}

// The process's umask without changing it (umask(2) can only set it, which
// would race with other threads): the "Umask:" line of /proc/self/status.
mode_t CurrentUmask()
{
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned int value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value & 0777);
                break;
            }
        }
        std::fclose(status);
    }
    return mask;
}

}  // namespace

std::error_code AtomicFile::Write(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);

    // The new file gets the old file's permissions, or those a newly created
    // file would get.
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    }

    QByteArray temporary = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    auto fail = [&](int error, bool open) {
        if (open) {
            ::close(fd);
        }
        ::unlink(temporary.constData());
        return std::error_code(error, std::generic_category());
    };

    // vfat and some network file systems refuse modes; the content matters.
    (void)::fchmod(fd, mode);
    if (const int error = FullIo::Write(fd, bytes.constData(), static_cast<size_t>(bytes.size()))) {
        return fail(error, true);
    }
    if (::fsync(fd) != 0) {
        return fail(errno, true);
    }
    if (::close(fd) != 0) {
        return fail(errno, false);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        return fail(errno, false);
    }

    // Make the rename itself durable. File systems that cannot sync a folder
    // say EINVAL; the data is in place then all the same.
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        const int synced = ::fsync(folderFd);
        const int error = errno;
        ::close(folderFd);
        if (synced != 0 && error != EINVAL) {
            return std::error_code(error, std::generic_category());
        }
    }
    return std::error_code();
}

#include "platform/AtomicFile.h"

#include "platform/FullIo.h"

#include <QFile>
#include <functional>
#include <optional>

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

// Where a replacement goes: the target, its folder, and the permissions
// the new file gets (the old file's, or those a new file would get).
struct Replacement {
    QByteArray target;
    QByteArray folder;
    mode_t mode = 0;
};

std::optional<Replacement> PlanReplacement(const QString& path)
{
    Replacement plan;
    plan.target = QFile::encodeName(path);
    if (plan.target.isEmpty()) {
        return std::nullopt;
    }
    const qsizetype slash = plan.target.lastIndexOf('/');
    plan.folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : plan.target.left(slash);
    plan.mode = 0666 & ~CurrentUmask();
    struct stat old {};
    if (::stat(plan.target.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        plan.mode = old.st_mode & 07777;
    }
    return plan;
}

// A new temporary beside the target, with the target's mode: its open
// descriptor, or -1 with errno set.
int CreateTemporary(const Replacement& plan, QByteArray& temporary)
{
    temporary = plan.target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd >= 0) {
        // vfat and some network file systems refuse modes; the content matters.
        (void)::fchmod(fd, plan.mode);
    }
    return fd;
}

// Renames the synced temporary over the target and makes the rename
// durable; the temporary is removed when the rename fails.
std::error_code Publish(const Replacement& plan, const QByteArray& temporary)
{
    if (::rename(temporary.constData(), plan.target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return std::error_code(error, std::generic_category());
    }
    // File systems that cannot sync a folder say EINVAL; the data is in
    // place then all the same.
    const int folderFd = ::open(plan.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

// The temporary is made beside path; fill writes it, through the open
// descriptor or by name, and returns 0 or an errno value. Then the
// temporary is synced, closed and renamed over path; on any failure it is
// removed and path stays as it was.
std::error_code ReplaceThrough(const QString& path, const std::function<int(int fd, const QByteArray& temporary)>& fill)
{
    const std::optional<Replacement> plan = PlanReplacement(path);
    if (!plan) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    QByteArray temporary;
    const int fd = CreateTemporary(*plan, temporary);
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
    if (const int error = fill(fd, temporary); error != 0) {
        return fail(error, true);
    }
    // A writer that wrote by name wrote the same file: this syncs it too.
    if (::fsync(fd) != 0) {
        return fail(errno, true);
    }
    if (::close(fd) != 0) {
        return fail(errno, false);
    }
    return Publish(*plan, temporary);
}

}  // namespace

std::error_code AtomicFile::Write(const QString& path, const QByteArray& bytes)
{
    return ReplaceThrough(path, [&](int fd, const QByteArray&) {
        return FullIo::Write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    });
}

std::error_code AtomicFile::Replace(const QString& path, const std::function<bool(const QString&)>& write)
{
    return ReplaceThrough(path, [&](int, const QByteArray& temporary) {
        return write(QFile::decodeName(temporary)) ? 0 : ECANCELED;
    });
}

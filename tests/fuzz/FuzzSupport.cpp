#include "FuzzSupport.h"

#include "platform/FullIo.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fuzzsupport {

ScratchFile::ScratchFile(const char* name)
{
    QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/kestrov-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::abort();
    }
    root = QFile::decodeName(pattern);
    folder = root + QStringLiteral("/SDEXIT");
    QDir().mkpath(folder);
    path = folder + QLatin1Char('/') + QString::fromLatin1(name);
}

ScratchFile::~ScratchFile()
{
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(root).toStdString(), ignored);
}

const QString& ScratchFile::Write(const uint8_t* data, size_t size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || FullIo::Write(fd, data, size) != 0) {
        std::abort();
    }
    ::close(fd);
    return path;
}

}  // namespace fuzzsupport

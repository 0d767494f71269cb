#include "FileFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <sys/stat.h>

namespace testsupport {

void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write fixture " + path.toStdString());
    }
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + path.toStdString());
    }
    return file.readAll();
}

bool Exists(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QStringList EntryNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t limit)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGXFSZ, &ignore, &previousAction) != 0 || getrlimit(RLIMIT_FSIZE, &previous) != 0) {
        throw std::runtime_error("cannot prepare the file-size limit");
    }
    struct rlimit lowered = previous;
    lowered.rlim_cur = limit;
    if (setrlimit(RLIMIT_FSIZE, &lowered) != 0) {
        throw std::runtime_error("cannot lower the file-size limit");
    }
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous);
    sigaction(SIGXFSZ, &previousAction, nullptr);
}

}  // namespace testsupport

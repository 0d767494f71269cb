#include "platform/Paths.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace Paths {

namespace {

// The running program's full path, from the kernel's link.
QString ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) {
        return QString();
    }
    return QFile::decodeName(QByteArray(buffer, static_cast<qsizetype>(length)));
}

// An environment variable's value when it is an absolute path, else empty.
QString AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') {
        return QString();
    }
    return QFile::decodeName(value);
}

}  // namespace

QString WorkingFolder()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) {
        return QString();
    }
    return QFile::decodeName(buffer);
}

QString ProgramFolder()
{
    const QString path = ProgramPath();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return QString();
    }
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString ProgramBaseName()
{
    const QString path = ProgramPath();
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        name.truncate(dot);
    }
    return name;
}

QString ConfigFolder()
{
    QString base = AbsoluteEnv("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        const QString home = AbsoluteEnv("HOME");
        if (home.isEmpty()) {
            return QString();
        }
        base = Join(home, QStringLiteral(".config"));
    }
    return Join(base, QStringLiteral("KestrovViewer"));
}

QString DocumentsFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
        documents = AbsoluteEnv("HOME");
    }
    return documents;
}

QString Join(const QString& folder, const QString& name)
{
    if (folder.isEmpty()) {
        return name;
    }
    QString result = folder;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/'))) {
        result.chop(1);
    }
    qsizetype start = 0;
    while (start < name.size() && name[start] == QLatin1Char('/')) {
        ++start;
    }
    if (!result.endsWith(QLatin1Char('/'))) {
        result += QLatin1Char('/');
    }
    result += QStringView(name).mid(start);
    return result;
}

}  // namespace Paths

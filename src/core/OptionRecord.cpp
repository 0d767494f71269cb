#include "core/OptionRecord.h"

#include "core/Common.h"
#include "core/Numbers.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <QFile>

#include <cerrno>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace {

const QString kDirectory = QStringLiteral("DIRECTORY");
const QString kOption = QStringLiteral("OPTION");

std::mutex pathMutex;
std::optional<QString> fixedPath;  // set by LoadOptionIni

QString CurrentPath()
{
    const QString folder = Paths::ConfigFolder();
    return folder.isEmpty() ? QString() : Paths::Join(folder, QStringLiteral("option.ini"));
}

bool IsFolder(const QString& path)
{
    // Never QDir("").exists(), which is true for the empty text.
    struct stat info {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsTrue(const QString& value)
{
    QString upper = value;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - u'a' + u'A');
        }
    }
    return upper == QLatin1String("TRUE");
}

// The folder and its missing parents, each new one private to the user.
bool MakeFolders(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (path.isEmpty()) {
        return false;
    }
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        struct stat info {};
        if (!part.isEmpty() && ::stat(part.constData(), &info) != 0
            && (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)) {
            return false;
        }
        if (slash < 0) {
            break;
        }
    }
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A value holding a line break would end its line and could add keys; it is
// written empty, and the next load falls back as for a missing value.
QString Storable(const QString& value)
{
    return value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ? QString() : value;
}

}  // namespace

OptionRecord::OptionRecord()
    : eventDirectory(QStringLiteral("MP4_EVENT")),
      continuousDirectory(QStringLiteral("MP4_INFINITE")),
      rootDirectory(QStringLiteral("CL_KESTROV")),
      captureFolderName(QStringLiteral("CAM_CAPTURE")),
      saveDirectory(Paths::DocumentsFolder())
{
}

QString OptionRecord::FilePath()
{
    std::lock_guard lock(pathMutex);
    return fixedPath ? *fixedPath : CurrentPath();
}

OptionRecord OptionRecord::LoadOptionIni()
{
    OptionRecord record;
    QString path = CurrentPath();
    {
        std::lock_guard lock(pathMutex);
        fixedPath = path;
    }
    if (path.isEmpty()) {
        return record;  // no config folder: the defaults, no file anywhere
    }
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        record.Load();
    } else {
        record.Save();
    }
    return record;
}

void OptionRecord::Load()
{
    const QString path = FilePath();
    if (path.isEmpty()) {
        return;
    }
    const ProfileFile file = ProfileFile::Read(path);

    rootDirectory = file.Value(kDirectory, QStringLiteral("ROOT_DIRECTORY"));
    eventDirectory = file.Value(kDirectory, QStringLiteral("EVENT_DIRECTORY"));
    continuousDirectory = file.Value(kDirectory, QStringLiteral("CONTINUOS_DIRECTORY"));

    const QString save = file.Value(kOption, QStringLiteral("SAVE_DIRECTORY"));
    saveDirectory = IsFolder(save) ? save : Paths::WorkingFolder();
    const QString drive = file.Value(kOption, QStringLiteral("DRIVE_PATH"));
    drivePath = IsFolder(drive) ? drive : QString();

    const QString play = file.Value(kOption, QStringLiteral("PLAY_VALUE"));
    if (Common::IsNumber(play)) {
        const int n = Numbers::ParseDecimal(play).value_or(0);
        playValue = n >= 1 && n <= 10 ? n : 5;
    }
    const QString level = file.Value(kOption, QStringLiteral("LOG_LEVEL"));
    if (Common::IsNumber(level)) {
        logLevel = Numbers::ParseDecimal(level).value_or(logLevel);
    }
    const QString type = file.Value(kOption, QStringLiteral("LOG_TYPE"));
    if (Common::IsNumber(type)) {
        logType = Numbers::ParseDecimal(type).value_or(logType);
    }

    useLog = IsTrue(file.Value(kOption, QStringLiteral("USE_LOG")));
    ch1VerticalFlip = IsTrue(file.Value(kOption, QStringLiteral("CH1_VERTICAL_FLIP")));
    ch1HorizontalFlip = IsTrue(file.Value(kOption, QStringLiteral("CH1_HORIZONTAL_FLIP")));
    ch2VerticalFlip = IsTrue(file.Value(kOption, QStringLiteral("CH2_VERTICAL_FLIP")));
    ch2HorizontalFlip = IsTrue(file.Value(kOption, QStringLiteral("CH2_HORIZONTAL_FLIP")));
}

bool OptionRecord::Save(int* error) const
{
    const auto failed = [&](int cause) {
        if (error) {
            *error = cause;
        }
        return false;
    };
    const QString path = FilePath();
    if (path.isEmpty()) {
        return failed(0);
    }
    if (!MakeFolders(path.left(path.lastIndexOf(QLatin1Char('/'))))) {
        return failed(errno);
    }
    // Private-profile writing: the file's other lines stay, known keys are
    // rewritten in place, missing ones are added at their section's end. A
    // file that is there but cannot be read is left alone: replacing it would
    // lose every line of it.
    int readError = 0;
    ProfileFile file = ProfileFile::Read(path, &readError);
    if (readError != 0) {
        return failed(readError);
    }
    file.SetValue(kDirectory, QStringLiteral("ROOT_DIRECTORY"), Storable(rootDirectory));
    file.SetValue(kDirectory, QStringLiteral("EVENT_DIRECTORY"), Storable(eventDirectory));
    file.SetValue(kDirectory, QStringLiteral("CONTINUOS_DIRECTORY"), Storable(continuousDirectory));
    file.SetValue(kOption, QStringLiteral("SAVE_DIRECTORY"), Storable(saveDirectory));
    file.SetValue(kOption, QStringLiteral("DRIVE_PATH"), Storable(drivePath));
    file.SetValue(kOption, QStringLiteral("PLAY_VALUE"), Numbers::FormatInt(playValue));
    file.SetValue(kOption, QStringLiteral("USE_LOG"), FlagText(useLog));
    file.SetValue(kOption, QStringLiteral("LOG_LEVEL"), Numbers::FormatInt(logLevel));
    file.SetValue(kOption, QStringLiteral("LOG_TYPE"), Numbers::FormatInt(logType));
    file.SetValue(kOption, QStringLiteral("CH1_VERTICAL_FLIP"), FlagText(ch1VerticalFlip));
    file.SetValue(kOption, QStringLiteral("CH1_HORIZONTAL_FLIP"), FlagText(ch1HorizontalFlip));
    file.SetValue(kOption, QStringLiteral("CH2_VERTICAL_FLIP"), FlagText(ch2VerticalFlip));
    file.SetValue(kOption, QStringLiteral("CH2_HORIZONTAL_FLIP"), FlagText(ch2HorizontalFlip));
    const int failure = file.Save(path).value();
    return failure == 0 || failed(failure);
}

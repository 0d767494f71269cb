#include "core/Logger.h"

#include "platform/FullIo.h"
#include "platform/Paths.h"
#include "platform/Text8.h"
#include "platform/UserNotifier.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kCannotOpenLog = "Cannot Open Log!!";

}  // namespace

Logger& Logger::GetInstance()
{
    // Never destroyed: threads may still log while statics are torn down.
    static Logger* const instance = new Logger();
    return *instance;
}

Logger::Logger() = default;

void Logger::Log(QString message, QString className, QString functionName, int type, int level)
{
    if (!WouldWrite(type, level)) {
        return;
    }
    // One clock reading gives both the line's time and the file's date, so a
    // line written at midnight lands in the file its own time names.
    const QDateTime now = Now();
    if (!AppendLine(LogFilePathAt(now), LineAt(now, message, className, functionName))) {
        ReportFailure();
    }
}

bool Logger::WouldWrite(int callType, int callLevel) const
{
    return enabled.load() && callLevel <= level.load() && callType == type.load();
}

void Logger::SetEnabled(bool value) { enabled.store(value); }
void Logger::SetType(int value) { type.store(value); }
void Logger::SetLevel(int value) { level.store(value); }

QString Logger::GetTimeText() const { return TimeText(Now()); }

QString Logger::GetLogFilePath() const { return LogFilePathAt(Now()); }

QString Logger::MakeLine(const QString& message, const QString& className, const QString& functionName) const
{
    return LineAt(Now(), message, className, functionName);
}

bool Logger::WriteLine(const QString& line)
{
    if (AppendLine(GetLogFilePath(), line)) {
        return true;
    }
    ReportFailure();
    return false;
}

void Logger::SetClock(Clock value)
{
    std::lock_guard lock(mutex);
    clock = std::move(value);
}

void Logger::SetNotifier(UserNotifier* value)
{
    std::lock_guard lock(mutex);
    notifier = value;
}

QDateTime Logger::Now() const
{
    std::lock_guard lock(mutex);
    return clock ? clock() : QDateTime::currentDateTime();
}

QString Logger::TimeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Logger::LogFilePathAt(const QDateTime& time)
{
    const QString folder = Paths::Join(Paths::WorkingFolder(), QStringLiteral("LOG"));
    // A folder that cannot be made is not reported: the open fails and says so.
    ::mkdir(folder.toLocal8Bit().constData(), 0755);
    const QString name = Paths::ProgramBaseName() + QLatin1Char(' ') + time.toString(QStringLiteral("yyyyMMdd"))
        + QStringLiteral(".log");
    return Paths::Join(folder, name);
}

QString Logger::LineAt(const QDateTime& time, const QString& message, const QString& className,
                       const QString& functionName)
{
    QString line = TimeText(time) + QLatin1Char('\t');
    if (!className.isEmpty() && !functionName.isEmpty()) {
        line += QLatin1Char('[') + className + QStringLiteral("]\t[") + functionName + QStringLiteral("]\t");
    } else if (!functionName.isEmpty()) {
        line += QLatin1Char('[') + functionName + QStringLiteral("]\t");
    }
    line += message;
    line += QLatin1Char('\n');
    return line;
}

bool Logger::AppendLine(const QString& path, const QString& line)
{
    const QByteArray bytes = Text8::Encode(line);
    const QByteArray nativePath = path.toLocal8Bit();
    // The lock keeps lines of this process whole and in order; O_APPEND with
    // a single write keeps them whole against other writers of the file too.
    std::lock_guard lock(mutex);
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = FullIo::Write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == 0;
    const bool closed = ::close(fd) == 0;
    return closed && written;
}

void Logger::ReportFailure()
{
    // Posted, never shown modally: the failing thread may be a worker, and a
    // flood of failing lines must not become a flood of boxes.
    if (failureBoxOpen.exchange(true)) {
        return;
    }
    UserNotifier* target;
    {
        std::lock_guard lock(mutex);
        target = notifier;
    }
    UserNotifier& shown = target ? *target : UserNotifier::Current();
    shown.PostMessage(QString::fromLatin1(kCannotOpenLog), [this] { failureBoxOpen.store(false); });
}

#include "platform/UserNotifier.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

std::atomic<UserNotifier*> installed{nullptr};

StderrNotifier& DefaultNotifier()
{
    // Never destroyed, so it still answers during and after static
    // destruction (once the QApplication is gone).
    static StderrNotifier* notifier = new StderrNotifier;
    return *notifier;
}

void PrintBox(const QString& text)
{
    const QByteArray line = "KestrovViewer: " + text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

void UserNotifier::Install(UserNotifier* notifier)
{
    installed.store(notifier, std::memory_order_release);
}

UserNotifier& UserNotifier::Current()
{
    UserNotifier* notifier = installed.load(std::memory_order_acquire);
    return notifier ? *notifier : DefaultNotifier();
}

QString UserNotifier::FileErrorText(const QString& path, int error)
{
    char buffer[256];
    // The GNU strerror_r: thread-safe, returns the text (not always buffer).
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return path + QLatin1Char('\n') + QString::fromLocal8Bit(text);
}

void StderrNotifier::ShowMessage(const QString& text)
{
    PrintBox(text);
}

void StderrNotifier::ShowFileError(const QString& path, int error)
{
    PrintBox(FileErrorText(path, error));
}

void StderrNotifier::PostMessage(const QString& text, std::function<void()> onClosed)
{
    PrintBox(text);
    if (onClosed) {
        onClosed();
    }
}

void RecordingNotifier::ShowMessage(const QString& text)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{Kind::Message, text, QString(), 0});
}

void RecordingNotifier::ShowFileError(const QString& path, int error)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{Kind::FileError, FileErrorText(path, error), path, error});
}

void RecordingNotifier::PostMessage(const QString& text, std::function<void()> onClosed)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{Kind::Posted, text, QString(), 0});
    openCallbacks.push_back(std::move(onClosed));
}

std::vector<RecordingNotifier::Box> RecordingNotifier::Boxes() const
{
    std::lock_guard lock(mutex);
    return boxes;
}

std::size_t RecordingNotifier::Count() const
{
    std::lock_guard lock(mutex);
    return boxes.size();
}

void RecordingNotifier::Clear()
{
    std::lock_guard lock(mutex);
    boxes.clear();
}

void RecordingNotifier::CloseAll()
{
    std::vector<std::function<void()>> closing;
    {
        std::lock_guard lock(mutex);
        closing.swap(openCallbacks);
    }
    // Outside the lock: a callback may post again.
    for (auto& onClosed : closing) {
        if (onClosed) {
            onClosed();
        }
    }
}

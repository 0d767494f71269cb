#include "platform/UserNotifier.h"

#include "platform/Paths.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <stdexcept>
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

UserNotifier::Button UserNotifier::Ask(const QString& text, const QString& caption, Buttons buttons,
                                       Button defaultButton)
{
    if (!buttons) {
        throw std::logic_error("a question needs at least one button");
    }
    if (!buttons.testFlag(defaultButton)) {
        throw std::logic_error("the default button of a question must be one it offers");
    }
    return AskBox(text, caption.isEmpty() ? Paths::ProgramBaseName() : caption, buttons, defaultButton);
}

UserNotifier::Button UserNotifier::EscapeAnswer(Buttons buttons)
{
    if (buttons.testFlag(Button::Cancel)) {
        return Button::Cancel;
    }
    return buttons.testFlag(Button::No) ? Button::No : Button::Ok;
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

UserNotifier::Button StderrNotifier::AskBox(const QString& text, const QString& caption, Buttons buttons, Button)
{
    PrintBox(caption + QStringLiteral(": ") + text);
    return EscapeAnswer(buttons);
}

void RecordingNotifier::ShowMessage(const QString& text)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{.kind = Kind::Message, .text = text});
}

void RecordingNotifier::ShowFileError(const QString& path, int error)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{.kind = Kind::FileError, .text = FileErrorText(path, error), .path = path, .error = error});
}

void RecordingNotifier::PostMessage(const QString& text, std::function<void()> onClosed)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{.kind = Kind::Posted, .text = text});
    openCallbacks.push_back(std::move(onClosed));
}

void RecordingNotifier::ScriptAnswers(std::vector<Button> answers)
{
    std::lock_guard lock(mutex);
    script.assign(answers.begin(), answers.end());
}

UserNotifier::Button RecordingNotifier::AskBox(const QString& text, const QString& caption, Buttons buttons,
                                               Button defaultButton)
{
    std::lock_guard lock(mutex);
    boxes.push_back(Box{.kind = Kind::Asked, .text = text, .caption = caption, .buttons = buttons, .defaultButton = defaultButton});
    if (script.empty()) {
        return EscapeAnswer(buttons);
    }
    const Button answer = script.front();
    script.pop_front();
    if (!buttons.testFlag(answer)) {
        throw std::logic_error("the scripted answer is not a button of the question \"" + text.toStdString() + "\"");
    }
    return answer;
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

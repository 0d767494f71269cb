#pragma once
// What the user must see: the message boxes of the design, behind an
// interface so that tests record them and code without a display prints them.

#include <QFlags>
#include <QString>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class UserNotifier {
public:
    enum class Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~UserNotifier() = default;

    // Modal, on the UI thread: returns when the user has closed the box.
    virtual void ShowMessage(const QString& text) = 0;
    // Modal, on the UI thread: the file-error box for path and errno.
    virtual void ShowFileError(const QString& path, int error) = 0;
    // Non-blocking, from any thread: the box is shown on the UI thread;
    // onClosed (may be empty) runs there when it has been closed.
    virtual void PostMessage(const QString& text, std::function<void()> onClosed = {}) = 0;

    // Modal, on the UI thread (a worker goes through UiThread::Invoke): a
    // question offering `buttons`, with `defaultButton` (one of them) on
    // Enter; returns the button chosen. Esc and the window's close give
    // EscapeAnswer(buttons). An empty caption is the program's name. An empty
    // set, or a default that is not offered, throws std::logic_error.
    Button Ask(const QString& text, const QString& caption, Buttons buttons, Button defaultButton);

    // Cancel when it is offered, else No, else Ok.
    static Button EscapeAnswer(Buttons buttons);

    // The process-wide notifier. Install(nullptr) restores the default
    // StderrNotifier; the caller keeps an installed notifier alive until it
    // is replaced.
    static void Install(UserNotifier* notifier);
    static UserNotifier& Current();

    // The file-error text: the path, a line break, the strerror text.
    static QString FileErrorText(const QString& path, int error);

protected:
    // Ask, its arguments checked and the caption filled in.
    virtual Button AskBox(const QString& text, const QString& caption, Buttons buttons, Button defaultButton) = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UserNotifier::Buttons)

// Prints every box to standard error; PostMessage runs onClosed at once, on
// the calling thread; a question gets its escape answer. The default, also
// after the QApplication is gone.
class StderrNotifier : public UserNotifier {
public:
    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;

protected:
    Button AskBox(const QString& text, const QString& caption, Buttons buttons, Button defaultButton) override;
};

// Records every box for tests. Thread-safe. Posted boxes stay "open" until
// CloseAll runs their onClosed callbacks, in posting order. Questions are
// answered from the script, in order; with the script used up, with the
// escape answer, so a test that forgot its script never gets a Yes.
class RecordingNotifier : public UserNotifier {
public:
    enum class Kind { Message, FileError, Posted, Asked };
    struct Box {
        Kind kind = Kind::Message;
        QString text{};                     // message text, or FileErrorText for a file error
        QString path{};                     // file errors only
        int error = 0;                      // file errors only
        QString caption{};                  // questions only, as shown
        Buttons buttons{};                  // questions only
        Button defaultButton = Button::Ok;  // questions only
    };

    // The answers of the next questions, in order (replaces what is left).
    // A scripted answer the question does not offer throws std::logic_error.
    void ScriptAnswers(std::vector<Button> answers);

    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;

    std::vector<Box> Boxes() const;
    std::size_t Count() const;
    // Forgets the recorded boxes; posted boxes that are open stay open.
    void Clear();
    // Closes every posted box that is still open.
    void CloseAll();

protected:
    Button AskBox(const QString& text, const QString& caption, Buttons buttons, Button defaultButton) override;

private:
    mutable std::mutex mutex;
    std::vector<Box> boxes;
    std::vector<std::function<void()>> openCallbacks;
    std::deque<Button> script;
};

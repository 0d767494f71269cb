#pragma once
// What the user must see: the message boxes of the design, behind an
// interface so that tests record them and code without a display prints them.

#include <QString>
#include <functional>
#include <mutex>
#include <vector>

class UserNotifier {
public:
    virtual ~UserNotifier() = default;

    // Modal, on the UI thread: returns when the user has closed the box.
    virtual void ShowMessage(const QString& text) = 0;
    // Modal, on the UI thread: the file-error box for path and errno.
    virtual void ShowFileError(const QString& path, int error) = 0;
    // Non-blocking, from any thread: the box is shown on the UI thread;
    // onClosed (may be empty) runs there when it has been closed.
    virtual void PostMessage(const QString& text, std::function<void()> onClosed = {}) = 0;

    // The process-wide notifier. Install(nullptr) restores the default
    // StderrNotifier; the caller keeps an installed notifier alive until it
    // is replaced.
    static void Install(UserNotifier* notifier);
    static UserNotifier& Current();

    // The file-error text: the path, a line break, the strerror text.
    static QString FileErrorText(const QString& path, int error);
};

// Prints every box to standard error; PostMessage runs onClosed at once, on
// the calling thread. The default, also after the QApplication is gone.
class StderrNotifier : public UserNotifier {
public:
    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;
};

// Records every box for tests. Thread-safe. Posted boxes stay "open" until
// CloseAll runs their onClosed callbacks, in posting order.
class RecordingNotifier : public UserNotifier {
public:
    enum class Kind { Message, FileError, Posted };
    struct Box {
        Kind kind;
        QString text;  // message text, or FileErrorText for a file error
        QString path;  // file errors only
        int error = 0; // file errors only
    };

    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;

    std::vector<Box> Boxes() const;
    std::size_t Count() const;
    // Forgets the recorded boxes; posted boxes that are open stay open.
    void Clear();
    // Closes every posted box that is still open.
    void CloseAll();

private:
    mutable std::mutex mutex;
    std::vector<Box> boxes;
    std::vector<std::function<void()>> openCallbacks;
};

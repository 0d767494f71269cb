#pragma once
// The message boxes as Qt shows them: a warning icon, OK only, the program's
// name as caption; questions with the question icon and Qt's standard
// buttons. Install it while a QApplication exists.

#include "platform/UserNotifier.h"

class QMessageBox;

class QtMessageBoxNotifier : public UserNotifier {
public:
    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    // Hands the box to the UI thread (UiThread::Post) and returns at once; the
    // box is opened without a nested event loop and onClosed runs there when
    // it finishes. Without an installed UI thread it goes to stderr.
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;

protected:
    // exec() of the box; off the UI thread it throws std::logic_error.
    Button AskBox(const QString& text, const QString& caption, Buttons buttons, Button defaultButton) override;

private:
    static QMessageBox* MakeBox(const QString& text);
};

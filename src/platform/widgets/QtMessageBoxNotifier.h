#pragma once
// The message boxes as Qt shows them: a warning icon, OK only, the program's
// name as caption. Install it while a QApplication exists.

#include "platform/UserNotifier.h"

class QMessageBox;

class QtMessageBoxNotifier : public UserNotifier {
public:
    void ShowMessage(const QString& text) override;
    void ShowFileError(const QString& path, int error) override;
    // Hands the box to the UI thread and returns at once; the box is opened
    // without a nested event loop and onClosed runs there when it finishes.
    void PostMessage(const QString& text, std::function<void()> onClosed = {}) override;

private:
    static QMessageBox* MakeBox(const QString& text);
};

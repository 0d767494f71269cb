#pragma once
// The one folder chooser of the viewer (in place of the shell's folder
// browser).

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Answers a folder question: (parent, caption, start) -> the folder, or none.
using FolderChooser =
    std::function<std::optional<QString>(QWidget* parent, const QString& caption, const QString& start)>;

// A non-native folder dialog, modal over parent and titled caption, opening
// at start (the home folder when start is empty or not a folder). Returns the
// chosen folder's absolute path, or none after Cancel, Esc or the window's
// close. While a ScopedFolderChooser lives, its function answers instead and
// no dialog is shown. UI thread only.
std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& start);

// Puts chooser in place of the dialog for its lifetime (tests); the one it
// replaced comes back after.
class ScopedFolderChooser {
public:
    explicit ScopedFolderChooser(FolderChooser chooser);
    ~ScopedFolderChooser();
    ScopedFolderChooser(const ScopedFolderChooser&) = delete;
    ScopedFolderChooser& operator=(const ScopedFolderChooser&) = delete;

private:
    FolderChooser previous;
};

}  // namespace platform

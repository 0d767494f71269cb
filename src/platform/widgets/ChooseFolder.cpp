#include "platform/widgets/ChooseFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace platform {

namespace {

// Empty: the dialog answers.
FolderChooser& Installed()
{
    static FolderChooser chooser;
    return chooser;
}

std::optional<QString> AskWithDialog(QWidget* parent, const QString& caption, const QString& start)
{
    const QString folder = !start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath();
    QFileDialog dialog(parent, caption, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

}  // namespace

std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& start)
{
    if (const FolderChooser& chooser = Installed()) {
        return chooser(parent, caption, start);
    }
    return AskWithDialog(parent, caption, start);
}

ScopedFolderChooser::ScopedFolderChooser(FolderChooser chooser) : previous(std::exchange(Installed(), std::move(chooser)))
{
}

ScopedFolderChooser::~ScopedFolderChooser()
{
    Installed() = std::move(previous);
}

}  // namespace platform

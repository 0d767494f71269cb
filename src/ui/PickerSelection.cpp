#include "ui/PickerSelection.h"

#include "platform/Drives.h"

QStringList ComputeSelection(const QString& folder, const std::vector<PickerItem>& items)
{
    if (items.empty()) {
        return {folder.endsWith(u'/') ? folder : folder + u'/'};
    }
    QStringList folders;
    QStringList files;
    for (const PickerItem& item : items) {
        if (item.isMountRoot) {
            folders << NormalizeRoot(item.path);
        } else if (item.isDir) {
            folders << item.path;
        } else {
            files << item.path;
        }
    }
    return folders + files;
}

#pragma once
// What the file-and-folder picker returns for the items selected in its list:
// windowless, so the rule is tested on tables.

#include <QString>
#include <QStringList>
#include <vector>

// One selected item of the picker's list, in list order. path is the file
// system model's (never rebuilt from the shown name).
struct PickerItem {
    QString path;
    QString displayName;
    bool isDir = false;
    bool isMountRoot = false;  // a drive: the root of a mounted volume
};

// Nothing selected: the shown folder itself with a trailing '/'. Otherwise
// the selected folders and drive roots (a root with its trailing '/'), then
// the selected files, each group in list order.
QStringList ComputeSelection(const QString& folder, const std::vector<PickerItem>& items);

#include "settings/dialogs/DriveCombo.h"

#include "settings/DriveListEntries.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QVariant>

void FillDriveCombo(QComboBox& combo, const Drives& drives)
{
    combo.clear();
    for (const DriveListEntry& entry : DriveListEntries(drives))
        combo.addItem(entry.text, QVariant::fromValue(entry.drive));
    // The first entry added becomes the current one; the dialogs start with none.
    combo.setCurrentIndex(-1);
    // Mount points are longer than the field: the open list shows them whole.
    combo.view()->setMinimumWidth(combo.view()->sizeHintForColumn(0) + 2 * combo.view()->frameWidth());
}

std::optional<DriveInfo> SelectedDrive(const QComboBox& combo)
{
    return DriveAt(combo, combo.currentIndex());
}

std::optional<DriveInfo> DriveAt(const QComboBox& combo, int index)
{
    if (index < 0 || index >= combo.count())
        return std::nullopt;
    const QVariant data = combo.itemData(index);
    if (!data.canConvert<DriveInfo>())
        return std::nullopt;
    return data.value<DriveInfo>();
}

#pragma once
// The one fill of both dialogs' drive lists: each entry's text for the eye,
// its DriveInfo as item data, so a root is never read back from a text.

#include "platform/Drives.h"

#include <optional>

class QComboBox;

// Replaces the entries with the drives' list entries, in their order, and
// leaves no entry selected.
void FillDriveCombo(QComboBox& combo, const Drives& drives);
// The selected entry's drive; none without a selection.
std::optional<DriveInfo> SelectedDrive(const QComboBox& combo);
// The drive of entry index; none outside the list.
std::optional<DriveInfo> DriveAt(const QComboBox& combo, int index);

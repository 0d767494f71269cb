#pragma once
// Decides whether a drive may have its label set or be formatted. A wrong
// choice destroys a disk's data, so anything but a plainly removable card,
// still mounted where it was listed and carrying nothing the system uses, is
// refused.

#include "platform/CardFormatter.h"
#include "platform/Drives.h"

#include <QString>
#include <optional>

struct FormatRefusal {
    FormatProblem problem = FormatProblem::Failed;
    QString reason;  // English, for the log
};

namespace FormatGuard {

// The refusal, or none when the drive may be formatted. Pure over the drive
// sources: reads them afresh, changes nothing.
std::optional<FormatRefusal> Check(const DriveInfo& drive, const Drives& drives);

}  // namespace FormatGuard

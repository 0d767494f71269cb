#pragma once
// Labels and formats a card through udisks2, which unmounts, formats and
// mounts it again on behalf of an ordinary user (polkit decides). Before any
// change it checks that udisks2's object is the drive's device and not one
// it counts as part of the system.

#include "platform/CardFormatter.h"
#include "platform/dbus/UDisksBus.h"

#include <memory>

class UDisksCardFormatter : public CardFormatter {
public:
    explicit UDisksCardFormatter(std::shared_ptr<UDisksBus> bus);

    void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) override;
    void Format(const DriveInfo& drive, const QString& label, FormatDone done) override;

    // Calls that change the card may take long on a slow card.
    static constexpr int kStateChangeTimeoutMs = 10 * 60 * 1000;

private:
    std::shared_ptr<UDisksBus> bus;
};

#pragma once
// Formats with dosfstools when no udisks2 service is there to do it. Only
// for a process that may write the device node itself (in practice root);
// the card is not mounted again afterwards.

#include "platform/CardFormatter.h"
#include "platform/CommandRunner.h"

#include <memory>

class MkfsCardFormatter : public CardFormatter {
public:
    explicit MkfsCardFormatter(std::shared_ptr<CommandRunner> runner);

    // fatlabel NODE LABEL
    void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) override;
    // umount ROOT (when mounted), then mkfs.vfat -F 32 --mbr=n -n LABEL NODE
    void Format(const DriveInfo& drive, const QString& label, FormatDone done) override;

private:
    bool MayWrite(const DriveInfo& drive, FormatDone& done) const;
    static void MakeFilesystem(const std::shared_ptr<CommandRunner>& runner, const DriveInfo& drive,
                               const QString& label, FormatDone done);

    std::shared_ptr<CommandRunner> runner;
};

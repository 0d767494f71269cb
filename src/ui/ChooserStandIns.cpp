#include "ui/ChooserStandIns.h"

#include "core/Common.h"
#include "platform/widgets/ChooseFolder.h"

namespace {

constexpr int kOpenText = 241;

}  // namespace

StartupDriveChooser DriveChooserStandIn()
{
    return [](QWidget*) -> std::optional<QString> { return std::nullopt; };
}

OpenPicker FolderPickerStandIn()
{
    return [](QWidget* owner, const QString& startFolder) -> std::optional<PickedPaths> {
        const std::optional<QString> folder =
            platform::ChooseFolder(owner, Common::GetResourceString(kOpenText), startFolder);
        if (!folder)
            return std::nullopt;
        return PickedPaths{*folder, {*folder}};
    };
}

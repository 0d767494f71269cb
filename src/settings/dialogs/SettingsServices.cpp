#include "settings/dialogs/SettingsServices.h"

#include "platform/dbus/MakeCardFormatter.h"

SettingsServices SettingsServices::ForProgram()
{
    auto drives = std::make_shared<const Drives>();
    return SettingsServices{
        .drives = drives,
        .makeFormatter = [drives]() -> std::shared_ptr<CardFormatter> { return MakeCardFormatter(drives); },
        .notifier = UserNotifier::Current(),
        .clock = [] { return QDateTime::currentDateTime(); },
        .stopPlayback = {},
    };
}

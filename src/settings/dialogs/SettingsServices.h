#pragma once
// What the settings dialog and its session act through: the drives, the card
// formatter, the message boxes, the clock and the player.

#include "platform/CardFormatter.h"
#include "platform/Drives.h"
#include "platform/UserNotifier.h"
#include "settings/CVelmarkSetupData.h"

#include <functional>
#include <memory>

struct SettingsServices {
    std::shared_ptr<const Drives> drives;
    // Called at the first format of a dialog, never before.
    std::function<std::shared_ptr<CardFormatter>()> makeFormatter;
    UserNotifier& notifier;
    // Given to every settings model; also the pickers' first time.
    CVelmarkSetupData::Clock clock;
    // Before a format: returns when both channels are stopped and no file on
    // the card is open. Empty: nothing plays.
    std::function<void()> stopPlayback;

    // The program's: the live drives, the real formatter, the installed
    // notifier, the wall clock, and an empty stopPlayback the settings
    // command sets.
    static SettingsServices ForProgram();
};

#include "platform/dbus/MakeCardFormatter.h"

#include "platform/MkfsCardFormatter.h"
#include "platform/dbus/QtDBusUDisksBus.h"
#include "platform/dbus/UDisksCardFormatter.h"

std::unique_ptr<CardFormatter> MakeCardFormatter(std::shared_ptr<const Drives> drives)
{
    auto bus = std::make_shared<QtDBusUDisksBus>(QDBusConnection::systemBus());
    std::unique_ptr<CardFormatter> inner;
    if (bus->ServiceAvailable())
        inner = std::make_unique<UDisksCardFormatter>(bus);
    else
        inner = std::make_unique<MkfsCardFormatter>(std::make_shared<ProcessCommandRunner>());
    return std::make_unique<GuardedCardFormatter>(std::move(drives), std::move(inner));
}

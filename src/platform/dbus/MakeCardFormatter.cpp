#include "platform/dbus/MakeCardFormatter.h"

#include "platform/MkfsCardFormatter.h"
#include "platform/dbus/QtDBusUDisksBus.h"
#include "platform/dbus/UDisksCardFormatter.h"

std::unique_ptr<CardFormatter> MakeCardFormatter(std::shared_ptr<const Drives> drives)
{
    // The test runs set this: a test reaching the real formatter could wipe
    // a disk of the machine it runs on.
    if (!qEnvironmentVariableIsEmpty("KESTROV_NO_DEVICES"))
        qFatal("MakeCardFormatter: refused, KESTROV_NO_DEVICES is set (tests format only through fakes)");
    auto bus = std::make_shared<QtDBusUDisksBus>(QDBusConnection::systemBus());
    std::unique_ptr<CardFormatter> inner;
    if (bus->ServiceAvailable())
        inner = std::make_unique<UDisksCardFormatter>(bus);
    else
        inner = std::make_unique<MkfsCardFormatter>(std::make_shared<ProcessCommandRunner>());
    return std::make_unique<GuardedCardFormatter>(std::move(drives), std::move(inner));
}

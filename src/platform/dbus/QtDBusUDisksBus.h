#pragma once
// The udisks2 calls over a real D-Bus connection (the system bus in the
// program).

#include "platform/dbus/UDisksBus.h"

#include <QDBusConnection>

class QtDBusUDisksBus : public UDisksBus {
public:
    explicit QtDBusUDisksBus(QDBusConnection connection);

    // udisks2 is running or can be started on demand by the bus.
    bool ServiceAvailable() const;
    void Call(const UDisksCall& call, Done done) override;

    // A reply value as plain Qt values (see UDisksReply).
    static QVariant Plain(const QVariant& value);

private:
    QDBusConnection connection;
};

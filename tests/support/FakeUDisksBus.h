#pragma once
// A udisks2 bus that records every call and answers, through the event loop,
// with the reply scripted for the call's key (success with no values when
// none is).

#include "platform/dbus/UDisksBus.h"

#include <QHash>
#include <vector>

namespace testsupport {

class FakeUDisksBus : public UDisksBus {
public:
    void Call(const UDisksCall& call, Done done) override;

    // The key of a call: its method, and for property calls the interface and
    // property too ("ResolveDevice", "GetAll org.freedesktop.UDisks2.Block",
    // "Get org.freedesktop.UDisks2.Manager Version").
    static QString KeyOf(const UDisksCall& call);

    void SetReply(const QString& key, UDisksReply reply);
    void SetValue(const QString& key, const QVariant& value);
    void SetError(const QString& key, const QString& name, const QString& message);

    const std::vector<UDisksCall>& Calls() const { return calls; }
    QStringList Keys() const;

private:
    std::vector<UDisksCall> calls;
    QHash<QString, UDisksReply> replies;
};

}  // namespace testsupport

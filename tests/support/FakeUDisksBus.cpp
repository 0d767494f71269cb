#include "support/FakeUDisksBus.h"

#include <QTimer>

namespace testsupport {

QString FakeUDisksBus::KeyOf(const UDisksCall& call)
{
    if (call.interface != UDisks::PropertiesInterface)
        return call.method;
    QStringList parts{call.method};
    for (const QVariant& argument : call.arguments)
        parts.append(argument.toString());
    return parts.join(u' ');
}

void FakeUDisksBus::Call(const UDisksCall& call, Done done)
{
    calls.push_back(call);
    UDisksReply reply = replies.value(KeyOf(call));
    QTimer::singleShot(0, [done = std::move(done), reply = std::move(reply)] { done(reply); });
}

void FakeUDisksBus::SetReply(const QString& key, UDisksReply reply)
{
    replies.insert(key, std::move(reply));
}

void FakeUDisksBus::SetValue(const QString& key, const QVariant& value)
{
    UDisksReply reply;
    reply.values = {value};
    SetReply(key, std::move(reply));
}

void FakeUDisksBus::SetError(const QString& key, const QString& name, const QString& message)
{
    UDisksReply reply;
    reply.errorName = name;
    reply.errorMessage = message;
    SetReply(key, std::move(reply));
}

QStringList FakeUDisksBus::Keys() const
{
    QStringList keys;
    for (const UDisksCall& call : calls)
        keys.append(KeyOf(call));
    return keys;
}

}  // namespace testsupport

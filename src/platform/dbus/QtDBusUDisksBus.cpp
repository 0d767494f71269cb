#include "platform/dbus/QtDBusUDisksBus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusVariant>
#include <QVariantMap>

QtDBusUDisksBus::QtDBusUDisksBus(QDBusConnection connection) : connection(std::move(connection)) {}

bool QtDBusUDisksBus::ServiceAvailable() const
{
    if (!connection.isConnected() || !connection.interface())
        return false;
    if (connection.interface()->isServiceRegistered(UDisks::Service))
        return true;
    const QDBusReply<QStringList> activatable = connection.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(UDisks::Service);
}

void QtDBusUDisksBus::Call(const UDisksCall& call, Done done)
{
    QDBusMessage message = QDBusMessage::createMethodCall(UDisks::Service, call.objectPath, call.interface, call.method);
    message.setArguments(call.arguments);
    message.setInteractiveAuthorizationAllowed(call.interactive);
    auto* watcher = new QDBusPendingCallWatcher(connection.asyncCall(message, call.timeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [done = std::move(done)](QDBusPendingCallWatcher* finished) {
        const QDBusMessage reply = finished->reply();
        finished->deleteLater();
        UDisksReply result;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            result.errorName = reply.errorName();
            result.errorMessage = reply.errorMessage();
            if (result.errorName.isEmpty())
                result.errorName = QStringLiteral("org.freedesktop.DBus.Error.Failed");
        } else {
            for (const QVariant& value : reply.arguments())
                result.values.append(Plain(value));
        }
        done(result);
    });
}

QVariant QtDBusUDisksBus::Plain(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return Plain(value.value<QDBusVariant>().variant());
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return value;

    const QDBusArgument argument = value.value<QDBusArgument>();
    switch (argument.currentType()) {
    case QDBusArgument::ArrayType: {
        const QString signature = argument.currentSignature();
        QVariantList items;
        argument.beginArray();
        while (!argument.atEnd())
            items.append(Plain(argument.asVariant()));
        argument.endArray();
        if (signature == u"ao" || signature == u"as") {
            QStringList strings;
            for (const QVariant& item : items)
                strings.append(item.toString());
            return strings;
        }
        return items;
    }
    case QDBusArgument::MapType: {
        QVariantMap map;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QVariant key = Plain(argument.asVariant());
            const QVariant item = Plain(argument.asVariant());
            argument.endMapEntry();
            map.insert(key.toString(), item);
        }
        argument.endMap();
        return map;
    }
    case QDBusArgument::StructureType: {
        QVariantList fields;
        argument.beginStructure();
        while (!argument.atEnd())
            fields.append(Plain(argument.asVariant()));
        argument.endStructure();
        return fields;
    }
    default:
        return Plain(argument.asVariant());
    }
}

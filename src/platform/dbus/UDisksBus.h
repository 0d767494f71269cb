#pragma once
// The few udisks2 method calls the card formatter makes, as plain Qt values,
// so the formatter's order of calls and checks runs without a bus.

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>

struct UDisksCall {
    QString objectPath;
    QString interface;
    QString method;
    QVariantList arguments;  // a{sv} as QVariantMap, as as QStringList
    int timeoutMs = -1;      // -1: the bus's default
    bool interactive = true; // polkit may ask the user
};

struct UDisksReply {
    QString errorName;       // empty on success
    QString errorMessage;
    // Object paths as QString, arrays of them as QStringList, variants
    // unwrapped, a{sv} as QVariantMap.
    QVariantList values;

    bool Ok() const { return errorName.isEmpty(); }
};

class UDisksBus {
public:
    using Done = std::function<void(const UDisksReply&)>;
    virtual ~UDisksBus() = default;
    // done runs later from the calling thread's event loop.
    virtual void Call(const UDisksCall& call, Done done) = 0;
};

namespace UDisks {
inline const QString Service = QStringLiteral("org.freedesktop.UDisks2");
inline const QString ManagerPath = QStringLiteral("/org/freedesktop/UDisks2/Manager");
inline const QString ManagerInterface = QStringLiteral("org.freedesktop.UDisks2.Manager");
inline const QString BlockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
inline const QString FilesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
}  // namespace UDisks

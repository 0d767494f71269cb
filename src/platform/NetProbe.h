#pragma once
// Is the machine online? Answered by a short TCP connection to one address,
// within a fixed time, so that no caller can hang on a stalled network.

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

class NetProbe {
public:
    virtual ~NetProbe() = default;
    // Any thread. May take up to the probe's deadline.
    virtual bool IsOnline() = 0;
};

// One address of one network interface, as getifaddrs lists them.
struct InterfaceAddress {
    unsigned flags = 0;  // IFF_*
    int family = 0;      // AF_INET, AF_INET6, AF_PACKET...
};

using InterfaceLister = std::function<std::vector<InterfaceAddress>()>;

// The machine's interface addresses (getifaddrs); empty when it fails.
std::vector<InterfaceAddress> SystemInterfaces();

// A non-loopback interface is up, running and has an IP address.
bool HasConnectedInterface(const std::vector<InterfaceAddress>& addresses);

// A numeric IPv4 address in 127.0.0.0/8, or ::1.
bool IsLoopbackLiteral(const QString& host);

// Online when a connected interface exists (not asked for a loopback host)
// and a TCP connection to host:port opens; it is closed at once, nothing is
// sent. The name lookup and the connection share one deadline. An empty host
// is never online.
//
// With KESTROV_NO_NETWORK=1 in the environment (every test), a probe that
// would reach further than a loopback literal aborts the process, so no test
// can talk to the outside.
class SystemNetProbe final : public NetProbe {
public:
    static constexpr std::chrono::milliseconds kDefaultDeadline{3000};

    SystemNetProbe(QString host, int port, std::chrono::milliseconds deadline = kDefaultDeadline,
                   InterfaceLister interfaces = SystemInterfaces);

    bool IsOnline() override;

    const QString& Host() const { return host; }
    int Port() const { return port; }

private:
    QString host;
    int port;
    std::chrono::milliseconds deadline;
    InterfaceLister interfaces;
};

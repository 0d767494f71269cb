#include "platform/NetProbe.h"

#include "platform/FileDescriptor.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point end)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? int(std::min<long long>(left, 1 << 30)) : 0;
}

struct AddrInfoFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoFree>;

addrinfo StreamHints(int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    return hints;
}

// A numeric address: resolved at once, nothing asked of a name server.
AddrInfoList NumericAddress(const std::string& host, const std::string& service)
{
    const addrinfo hints = StreamHints(AI_NUMERICHOST);
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0)
        return {};
    return AddrInfoList(list);
}

// glibc's resolver thread writes into the request block until the lookup
// ends, so the block lives on the heap and one still running at the
// deadline is abandoned, never freed or reused.
struct Lookup {
    std::string name;
    std::string service;
    addrinfo hints{};
    gaicb request{};
};

AddrInfoList LookUp(const std::string& host, const std::string& service, Clock::time_point end)
{
    auto lookup = std::make_unique<Lookup>();
    lookup->name = host;
    lookup->service = service;
    lookup->hints = StreamHints(AI_ADDRCONFIG);
    lookup->request.ar_name = lookup->name.c_str();
    lookup->request.ar_service = lookup->service.c_str();
    lookup->request.ar_request = &lookup->hints;
    gaicb* requests[] = {&lookup->request};
    if (getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr) != 0)
        return {};
    for (;;) {
        const int status = gai_error(&lookup->request);
        if (status != EAI_INPROGRESS)
            return AddrInfoList(status == 0 ? lookup->request.ar_result : nullptr);
        const int left = MillisecondsLeft(end);
        if (left == 0)
            break;
        const timespec wait{left / 1000, (left % 1000) * 1000000L};
        gai_suspend(requests, 1, &wait);  // ends on completion, timeout or a signal
    }
    switch (gai_cancel(&lookup->request)) {
    case EAI_CANCELED:
        return {};
    case EAI_ALLDONE:
        // Ended just now; too late to use.
        if (gai_error(&lookup->request) == 0 && lookup->request.ar_result)
            freeaddrinfo(lookup->request.ar_result);
        return {};
    default:
        lookup.release();  // still running: abandoned
        return {};
    }
}

// A non-blocking connect to each address in turn, all within the deadline.
bool ConnectsBefore(const addrinfo* addresses, Clock::time_point end)
{
    for (const addrinfo* address = addresses; address; address = address->ai_next) {
        const int flags = SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC;
        const platform::FileDescriptor socket(::socket(address->ai_family, flags, 0));
        if (socket.Get() < 0)
            continue;
        if (::connect(socket.Get(), address->ai_addr, address->ai_addrlen) == 0)
            return true;
        if (errno != EINPROGRESS)
            continue;  // refused, unreachable: the next address
        pollfd writable{socket.Get(), POLLOUT, 0};
        int ready;
        do {
            ready = ::poll(&writable, 1, MillisecondsLeft(end));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;  // the deadline
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
            return true;
    }
    return false;
}

[[noreturn]] void RefuseOutsideTraffic(const QString& host, int port)
{
    std::fprintf(stderr,
                 "KESTROV_NO_NETWORK=1: refused a connection probe to %s:%d; tests may reach loopback "
                 "addresses only\n",
                 host.toUtf8().constData(), port);
    std::abort();
}

}  // namespace

std::vector<InterfaceAddress> SystemInterfaces()
{
    std::vector<InterfaceAddress> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return addresses;
    for (const ifaddrs* each = list; each; each = each->ifa_next)
        addresses.push_back({each->ifa_flags, each->ifa_addr ? each->ifa_addr->sa_family : AF_UNSPEC});
    freeifaddrs(list);
    return addresses;
}

bool HasConnectedInterface(const std::vector<InterfaceAddress>& addresses)
{
    for (const InterfaceAddress& address : addresses) {
        const bool ip = address.family == AF_INET || address.family == AF_INET6;
        const bool live = (address.flags & IFF_UP) && (address.flags & IFF_RUNNING);
        if (ip && live && !(address.flags & IFF_LOOPBACK))
            return true;
    }
    return false;
}

bool IsLoopbackLiteral(const QString& host)
{
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    if (inet_pton(AF_INET, text.constData(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return inet_pton(AF_INET6, text.constData(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

SystemNetProbe::SystemNetProbe(QString host, int port, std::chrono::milliseconds deadline, InterfaceLister interfaces)
    : host(std::move(host)), port(port), deadline(deadline), interfaces(std::move(interfaces))
{
}

bool SystemNetProbe::IsOnline()
{
    if (host.isEmpty() || port <= 0 || port > 65535)
        return false;
    const bool loopback = IsLoopbackLiteral(host);
    if (!loopback && !HasConnectedInterface(interfaces()))
        return false;
    if (!loopback && qEnvironmentVariableIntValue("KESTROV_NO_NETWORK") == 1)
        RefuseOutsideTraffic(host, port);

    const Clock::time_point end = Clock::now() + deadline;
    const std::string name = host.toStdString();
    const std::string service = std::to_string(port);
    AddrInfoList addresses = NumericAddress(name, service);
    if (!addresses)
        addresses = LookUp(name, service, end);
    return addresses && ConnectsBefore(addresses.get(), end);
}

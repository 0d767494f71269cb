// The connection probe against listeners on 127.0.0.1: it answers within
// its deadline whatever the other side does, and never reaches further than
// loopback under KESTROV_NO_NETWORK=1.

#include "platform/NetProbe.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <optional>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A TCP socket bound to 127.0.0.1 on a free port; listening with the given
// backlog, or only bound (connections to it are refused).
class LoopbackSocket {
public:
    explicit LoopbackSocket(std::optional<int> backlog)
    {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        if (backlog) {
            EXPECT_EQ(::listen(fd, *backlog), 0);
        }
    }
    ~LoopbackSocket() { ::close(fd); }

    int fd = -1;
    int port = 0;
};

// Connects until the listener's queue takes no more: the last connection
// stays unanswered. The sockets stay open for the fixture's life.
class QueueFiller {
public:
    explicit QueueFiller(int port)
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            sockets.push_back(fd);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(uint16_t(port));
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                continue;
            pollfd writable{fd, POLLOUT, 0};
            if (::poll(&writable, 1, 200) == 0) {
                full = true;
                return;
            }
        }
    }
    ~QueueFiller()
    {
        for (int fd : sockets)
            ::close(fd);
    }

    bool full = false;

private:
    std::vector<int> sockets;
};

std::vector<InterfaceAddress> OneConnectedInterface()
{
    return {{IFF_UP | IFF_RUNNING, AF_INET}};
}

std::chrono::milliseconds Elapsed(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(NetProbe, ALoopbackListenerIsOnlineWithoutAskingForInterfaces)
{
    LoopbackSocket listener(16);
    int listed = 0;
    SystemNetProbe probe(QStringLiteral("127.0.0.1"), listener.port, 3000ms, [&] {
        ++listed;
        return std::vector<InterfaceAddress>{};
    });
    EXPECT_TRUE(probe.IsOnline());
    EXPECT_EQ(listed, 0);
}

TEST(NetProbe, AClosedPortIsOfflineAtOnce)
{
    LoopbackSocket boundOnly(std::nullopt);
    SystemNetProbe probe(QStringLiteral("127.0.0.1"), boundOnly.port);
    const auto start = Clock::now();
    EXPECT_FALSE(probe.IsOnline());
    EXPECT_LT(Elapsed(start), 500ms);
}

TEST(NetProbe, AListenerThatNeverAnswersIsOfflineWithinTheDeadline)
{
    LoopbackSocket listener(0);
    QueueFiller filler(listener.port);
    ASSERT_TRUE(filler.full) << "the listener kept accepting connections";
    SystemNetProbe probe(QStringLiteral("127.0.0.1"), listener.port, 300ms);
    const auto start = Clock::now();
    EXPECT_FALSE(probe.IsOnline());
    const auto took = Elapsed(start);
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 800ms);
}

TEST(NetProbe, WithoutAConnectedInterfaceNothingIsTried)
{
    // Under KESTROV_NO_NETWORK=1 a lookup or connection would abort the test.
    testsupport::ScopedEnv noNetwork("KESTROV_NO_NETWORK", QStringLiteral("1"));
    const std::vector<InterfaceAddress> loopbackOnly{{IFF_UP | IFF_RUNNING | IFF_LOOPBACK, AF_INET}};
    for (const QString& host : {QStringLiteral("192.0.2.1"), QStringLiteral("tile.example.invalid")}) {
        SystemNetProbe probe(host, 443, 3000ms, [&] { return loopbackOnly; });
        EXPECT_FALSE(probe.IsOnline()) << host.toStdString();
    }
    EXPECT_FALSE(SystemNetProbe(QString(), 443).IsOnline());
    EXPECT_FALSE(SystemNetProbe(QStringLiteral("127.0.0.1"), 0).IsOnline());
}

TEST(NetProbe, ConnectedMeansALiveNonLoopbackInterfaceWithAnIpAddress)
{
    const struct {
        InterfaceAddress address;
        bool connected;
    } cases[] = {
        {{IFF_UP | IFF_RUNNING, AF_INET}, true},
        {{IFF_UP | IFF_RUNNING, AF_INET6}, true},
        {{IFF_UP | IFF_RUNNING | IFF_LOOPBACK, AF_INET}, false},
        {{IFF_UP, AF_INET}, false},
        {{IFF_RUNNING, AF_INET}, false},
        {{IFF_UP | IFF_RUNNING, AF_PACKET}, false},
        {{IFF_UP | IFF_RUNNING, AF_UNSPEC}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasConnectedInterface({c.address}), c.connected) << c.address.flags << " " << c.address.family;
    EXPECT_FALSE(HasConnectedInterface({}));
}

TEST(NetProbe, LoopbackLiterals)
{
    for (const char* host : {"127.0.0.1", "127.255.3.4", "::1"})
        EXPECT_TRUE(IsLoopbackLiteral(QString::fromLatin1(host))) << host;
    for (const char* host : {"128.0.0.1", "localhost", "", "0.0.0.0", "::", "::ffff:127.0.0.1", "127.1"})
        EXPECT_FALSE(IsLoopbackLiteral(QString::fromLatin1(host))) << host;
}

TEST(NetProbeDeathTest, AProbeBeyondLoopbackAbortsUnderNoNetwork)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::ScopedEnv noNetwork("KESTROV_NO_NETWORK", QStringLiteral("1"));
    for (const QString& host : {QStringLiteral("192.0.2.1"), QStringLiteral("tile.example.invalid")}) {
        SystemNetProbe probe(host, 443, 3000ms, OneConnectedInterface);
        EXPECT_DEATH(probe.IsOnline(), "KESTROV_NO_NETWORK=1: refused a connection probe") << host.toStdString();
    }
}

}  // namespace

#include "platform/tcp_connection.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

// A socket bound to 127.0.0.1 on a port the system picks; listening unless told otherwise.
class LoopbackServer {
public:
    explicit LoopbackServer(bool listening = true) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            EXPECT_EQ(::listen(m_fd, 4), 0);
        }
        socklen_t length = sizeof address;
        EXPECT_EQ(::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackServer() { ::close(m_fd); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    std::shared_ptr<TcpConnection> Accept() {
        return TcpConnection::Adopt(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
    }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

struct ConnectedPair {
    LoopbackServer server;
    std::shared_ptr<TcpConnection> client = TcpConnection::Connect(server.Port());
    std::shared_ptr<TcpConnection> peer = server.Accept();
};

std::string ReceiveExactly(TcpConnection& connection, std::size_t count) {
    std::string text;
    char buffer[64];
    while (text.size() < count) {
        long n = connection.Receive(buffer, std::min(sizeof buffer, count - text.size()));
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(TcpConnection, ConnectionRefusedGivesNothing) {
    LoopbackServer notListening(false);
    EXPECT_EQ(TcpConnection::Connect(notListening.Port()), nullptr);
}

TEST(TcpConnection, BytesTravelBothWaysInChunksAndOneByOne) {
    ConnectedPair pair;
    ASSERT_NE(pair.client, nullptr);
    ASSERT_NE(pair.peer, nullptr);

    ASSERT_TRUE(pair.client->Send("AUTHENTICATE \"x\"\r\n"));
    EXPECT_EQ(ReceiveExactly(*pair.peer, 18), "AUTHENTICATE \"x\"\r\n");

    ASSERT_TRUE(pair.peer->Send("250 OK\r\n"));
    std::string line;
    char byte = 0;
    while (line.size() < 8 && pair.client->ReceiveByte(byte)) {
        line.push_back(byte);
    }
    EXPECT_EQ(line, "250 OK\r\n");

    // A reply far larger than a socket buffer arrives whole and in order.
    std::string big(std::size_t{3} * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    auto sender = std::async(std::launch::async, [&] { return pair.peer->Send(big); });
    EXPECT_EQ(ReceiveExactly(*pair.client, big.size()), big);
    EXPECT_TRUE(sender.get());
}

TEST(TcpConnection, PeerCloseReadsAsEndNotError) {
    ConnectedPair pair;
    ASSERT_TRUE(pair.peer->Send("x"));
    pair.peer.reset(); // the last user drops it: the descriptor closes

    EXPECT_EQ(pair.client->WaitReadable(5s), TcpConnection::Wait::Readable);
    char byte = 0;
    EXPECT_TRUE(pair.client->ReceiveByte(byte));
    EXPECT_EQ(byte, 'x');
    char buffer[8];
    EXPECT_EQ(pair.client->Receive(buffer, sizeof buffer), 0);
    EXPECT_FALSE(pair.client->ReceiveByte(byte));
    EXPECT_FALSE(pair.client->IsClosed());
}

TEST(TcpConnection, WaitReadableTimesOutThenSeesData) {
    ConnectedPair pair;
    EXPECT_EQ(pair.client->WaitReadable(20ms), TcpConnection::Wait::TimedOut);
    EXPECT_EQ(pair.client->WaitReadable(0ms), TcpConnection::Wait::TimedOut);
    ASSERT_TRUE(pair.peer->Send("650 NOTICE x\r\n"));
    EXPECT_EQ(pair.client->WaitReadable(5s), TcpConnection::Wait::Readable);
}

TEST(TcpConnection, ReceiveIfReadyTakesWhatHasComeAndNeverWaits) {
    ConnectedPair pair;
    char buffer[8];
    EXPECT_EQ(pair.client->ReceiveIfReady(buffer, sizeof buffer), TcpConnection::kNothingYet);
    ASSERT_TRUE(pair.peer->Send("ab"));
    ASSERT_EQ(pair.client->WaitReadable(5s), TcpConnection::Wait::Readable);
    EXPECT_EQ(pair.client->ReceiveIfReady(buffer, sizeof buffer), 2);
    pair.peer.reset();
    ASSERT_EQ(pair.client->WaitReadable(5s), TcpConnection::Wait::Readable);
    EXPECT_EQ(pair.client->ReceiveIfReady(buffer, sizeof buffer), 0);
    pair.client->Close();
    EXPECT_EQ(pair.client->ReceiveIfReady(buffer, sizeof buffer), -1);
}

TEST(TcpConnection, SendingToAVanishedPeerFailsWithoutKillingTheProcess) {
    ConnectedPair pair;
    pair.peer.reset();
    // The first sends may still be accepted by the kernel; once the peer's reset arrives they must fail with an
    // error instead of raising SIGPIPE (whose default action would end this test program).
    std::string chunk(std::size_t{64} * 1024, 'z');
    bool failed = false;
    for (int i = 0; i < 200 && !failed; ++i) {
        failed = !pair.client->Send(chunk);
    }
    EXPECT_TRUE(failed);
}

TEST(TcpConnection, CloseFromAnotherThreadReleasesABlockedReceive) {
    ConnectedPair pair;
    auto byteResult = std::async(std::launch::async, [client = pair.client] {
        char byte = 0;
        return client->ReceiveByte(byte);
    });
    auto chunkResult = std::async(std::launch::async, [client = pair.client] {
        char buffer[16];
        return client->Receive(buffer, sizeof buffer);
    });
    auto waitResult = std::async(std::launch::async, [client = pair.client] { return client->WaitReadable(1h); });
    // Give the threads time to block; the outcome does not depend on whether they did.
    std::this_thread::sleep_for(50ms);
    pair.client->Close();

    EXPECT_FALSE(byteResult.get());
    EXPECT_EQ(chunkResult.get(), -1);
    EXPECT_EQ(waitResult.get(), TcpConnection::Wait::Failed);
    EXPECT_TRUE(pair.client->IsClosed());
}

TEST(TcpConnection, EverythingFailsAfterCloseAndCloseTwiceIsHarmless) {
    ConnectedPair pair;
    ASSERT_TRUE(pair.peer->Send("pending"));
    pair.client->Close();
    pair.client->Close();
    char buffer[8];
    char byte = 0;
    EXPECT_FALSE(pair.client->Send("x"));
    EXPECT_EQ(pair.client->Receive(buffer, sizeof buffer), -1);
    EXPECT_FALSE(pair.client->ReceiveByte(byte));
    EXPECT_EQ(pair.client->WaitReadable(1s), TcpConnection::Wait::Failed);
    // The peer sees the connection end.
    EXPECT_EQ(pair.peer->Receive(buffer, sizeof buffer), 0);
}

TEST(TcpConnection, DescriptorIsReleasedOnlyByTheLastUser) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    auto first = TcpConnection::Adopt(ends[0]);
    auto second = first;
    first->Close();
    first.reset();
    // Still ours: a later connection cannot be given this number while `second` may read from it.
    EXPECT_NE(::fcntl(ends[0], F_GETFD), -1);
    second.reset();
    EXPECT_EQ(::fcntl(ends[0], F_GETFD), -1);
    ::close(ends[1]);
    EXPECT_EQ(TcpConnection::Adopt(-1), nullptr);
}

} // namespace
} // namespace quorvel

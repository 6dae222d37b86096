#include "platform/tcp_connection.h"
#include "support/fake_control_port.h"

#include <gtest/gtest.h>

#include <future>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

TEST(Win32TcpConnection, CloseWakesAReceiveBlockedInAnotherThread) {
    FakeControlPort fake;
    fake.NextConnection().Hang();
    auto connection = TcpConnection::Connect(fake.Port());
    ASSERT_TRUE(connection);
    auto receive = std::async(std::launch::async, [&] {
        char byte = 0;
        return connection->Receive(&byte, 1);
    });
    EXPECT_EQ(receive.wait_for(200ms), std::future_status::timeout);
    connection->Close();
    ASSERT_EQ(receive.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(receive.get(), -1);
    EXPECT_FALSE(connection->Send("x"));
}

TEST(Win32TcpConnection, LargeSendArrivesWholeAndRepliesAreRead) {
    FakeControlPort fake;
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    fake.NextConnection().Expect(big).Send("250 OK\r\n");
    auto connection = TcpConnection::Connect(fake.Port());
    ASSERT_TRUE(connection);
    ASSERT_TRUE(connection->Send(big));
    ASSERT_EQ(connection->WaitReadable(10s), TcpConnection::Wait::Readable);
    char reply[16] = {};
    long got = 0;
    while (got < 8) {
        const long n = connection->Receive(reply + got, sizeof reply - 1 - static_cast<std::size_t>(got));
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_STREQ(reply, "250 OK\r\n");
    EXPECT_TRUE(fake.WaitScriptsDone(10s));
    EXPECT_TRUE(fake.Failures().empty());
}

TEST(Win32TcpConnection, ReceiveIfReadyTakesWhatHasComeAndNeverWaits) {
    FakeControlPort fake;
    fake.NextConnection().Expect("go\r\n").Send("ab").Hang();
    auto connection = TcpConnection::Connect(fake.Port());
    ASSERT_TRUE(connection);
    char buffer[8];
    EXPECT_EQ(connection->ReceiveIfReady(buffer, sizeof buffer), TcpConnection::kNothingYet);
    ASSERT_TRUE(connection->Send("go\r\n"));
    ASSERT_EQ(connection->WaitReadable(10s), TcpConnection::Wait::Readable);
    EXPECT_EQ(connection->ReceiveIfReady(buffer, sizeof buffer), 2);
    connection->Close();
    EXPECT_EQ(connection->ReceiveIfReady(buffer, sizeof buffer), -1);
}

TEST(Win32TcpConnection, RefusedPortGivesNothing) {
    std::uint16_t port = 0;
    {
        FakeControlPort gone;
        port = gone.Port();
    }
    EXPECT_FALSE(TcpConnection::Connect(port));
}

} // namespace
} // namespace quorvel::test

#include "tor/reply_readers.h"

#include "support/fake_control_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

using test::FakeControlPort;

std::shared_ptr<ControlSocket> ConnectTo(const FakeControlPort& fake) {
    auto socket = ControlSocket::Connect(fake.Port());
    EXPECT_NE(socket, nullptr);
    return socket;
}

// The client asks for each reply with "go", so that the fake's pieces reach a reader that is waiting.
void ServeEachCut(FakeControlPort& fake, const std::string& reply) {
    auto& script = fake.NextConnection();
    for (std::size_t cut = 1; cut < reply.size(); ++cut) {
        script.Expect("go\r\n").SendSplit(reply, {cut});
    }
}

TEST(ReplyLine, EndsAtTheLineEndAndLeavesTheRest) {
    FakeControlPort fake;
    fake.NextConnection().Send("250 OK\r\n" + std::string(300, 'a') + "\r\n250 OK\r\n");
    auto socket = ConnectTo(fake);
    std::string line;
    EXPECT_EQ(ReadReplyLinePiece(*socket, line, 2s), LineRead::Complete);
    EXPECT_EQ(line, "250 OK");
    // A line without its end within 255 bytes is cut there; the next read starts with byte 256.
    EXPECT_EQ(ReadReplyLinePiece(*socket, line, 2s), LineRead::Cut);
    EXPECT_EQ(line, std::string(255, 'a'));
    EXPECT_EQ(ReadReplyLinePiece(*socket, line, 2s), LineRead::Complete);
    EXPECT_EQ(line, std::string(45, 'a'));
    EXPECT_TRUE(ReadReplyLine(*socket, line));
    EXPECT_EQ(line, "250 OK");
}

TEST(ReplyLine, ArrivesWholeHoweverItIsCut) {
    FakeControlPort fake;
    const std::string reply = "250 OK\r\n";
    ServeEachCut(fake, reply);
    auto socket = ConnectTo(fake);
    for (std::size_t cut = 1; cut < reply.size(); ++cut) {
        socket->Send("go\r\n");
        std::string line;
        ASSERT_TRUE(ReadReplyLine(*socket, line, 2s)) << cut;
        EXPECT_EQ(line, "250 OK") << cut;
    }
    EXPECT_TRUE(fake.Failures().empty());
}

TEST(CommandReply, PassesOverEventLinesOfAnyLength) {
    FakeControlPort fake;
    fake.NextConnection().Send("650 NOTICE " + std::string(400, 'x') + "\r\n650 WARN short\r\n250 OK\r\n");
    auto socket = ConnectTo(fake);
    std::string line;
    ASSERT_TRUE(ReadCommandReply(*socket, line, 2s));
    EXPECT_EQ(line, "250 OK");
}

TEST(Readers, EndWhenThePeerStaysSilentOrCloses) {
    FakeControlPort fake;
    fake.NextConnection().Send("250-ip-to-count").Hang();
    fake.NextConnection().Send("250-ip-to-country/1.2.3.4=d").Close();
    fake.NextConnection().Send("250+ns/all=\r\nr a b").Close();
    fake.NextConnection().Send("250+ns/all=\r\nr a b").Hang();

    std::string text;
    auto silent = ConnectTo(fake);
    EXPECT_FALSE(ReadReplyLine(*silent, text, 100ms));
    EXPECT_FALSE(ReadCommandReply(*silent, text, 100ms));
    EXPECT_FALSE(ReadReply(*silent, text, 100ms));

    auto closing = ConnectTo(fake);
    EXPECT_FALSE(ReadReply(*closing, text, 5s));
    EXPECT_FALSE(ReadReplyLine(*closing, text, 5s));

    auto closingStatus = ConnectTo(fake);
    EXPECT_FALSE(ReadRouterStatus(*closingStatus, text, nullptr, 5s));
    auto silentStatus = ConnectTo(fake);
    EXPECT_FALSE(ReadRouterStatus(*silentStatus, text, nullptr, 100ms));
}

TEST(Reply, KeepsTheDataLineAndPassesOverEvents) {
    FakeControlPort fake;
    const std::string reply = "250-ip-to-country/1.2.3.4=de\r\n650 NOTICE between\r\n250 OK\r\n";
    ServeEachCut(fake, reply);
    auto socket = ConnectTo(fake);
    for (std::size_t cut = 1; cut < reply.size(); ++cut) {
        socket->Send("go\r\n");
        std::string text;
        ASSERT_TRUE(ReadReply(*socket, text, 2s)) << cut;
        EXPECT_EQ(text, "250-ip-to-country/1.2.3.4=de\r\n250") << cut;
    }
}

TEST(Reply, EndsAtAnErrorStatusAndStaysInStep) {
    FakeControlPort fake;
    fake.NextConnection().Send("551 Invalid address family\r\n250-ip-to-country/8.8.8.8=us\r\n250 OK\r\n");
    auto socket = ConnectTo(fake);
    std::string text;
    // A long limit: the error must end the read, not the wait.
    EXPECT_EQ(ReadReplyOutcome(*socket, text, 60s), ReplyOutcome::Error);
    EXPECT_EQ(ReadReplyOutcome(*socket, text, 60s), ReplyOutcome::Ok);
    EXPECT_EQ(text, "250-ip-to-country/8.8.8.8=us\r\n250");
}

TEST(RouterStatus, KeepsAHeaderCutAnywhereAndWhatFollowsTheReply) {
    FakeControlPort fake;
    const std::string reply = "650 NOTICE before\r\n250+ns/all=\r\nr n1 id dg 2038-01-01 00:00:00 1.2.3.4 9001 0\r\n"
                              "s Exit Running\r\n.\r\n250 OK\r\n650 NOTICE after\r\n";
    ServeEachCut(fake, reply);
    auto socket = ConnectTo(fake);
    for (std::size_t cut = 1; cut < reply.size(); ++cut) {
        socket->Send("go\r\n");
        std::string text;
        ASSERT_TRUE(ReadRouterStatus(*socket, text, nullptr, 2s)) << cut;
        EXPECT_EQ(text, "250+ns/all=\r\nr n1 id dg 2038-01-01 00:00:00 1.2.3.4 9001 0\r\ns Exit Running\r\n.\r\n250")
            << cut;
        std::string line;
        ASSERT_TRUE(ReadReplyLine(*socket, line, 2s)) << cut;
        EXPECT_EQ(line, "650 NOTICE after") << cut;
    }
}

TEST(RouterStatus, ShortAnswersEndTheRead) {
    FakeControlPort fake;
    // Before Tor has a consensus.
    fake.NextConnection().Send("250-ns/all=\r\n250 OK\r\n650 NOTICE later\r\n");
    fake.NextConnection().Send("552 Unrecognized key \"ns/all\"\r\n");
    std::string text = "old";
    auto noConsensus = ConnectTo(fake);
    EXPECT_TRUE(ReadRouterStatus(*noConsensus, text, nullptr, 60s));
    EXPECT_EQ(text, "");
    std::string line;
    ASSERT_TRUE(ReadReplyLine(*noConsensus, line, 2s));
    EXPECT_EQ(line, "650 NOTICE later");

    auto error = ConnectTo(fake);
    EXPECT_FALSE(ReadRouterStatus(*error, text, nullptr, 60s));
}

TEST(RouterStatus, ProgressWrapsFromTwelveToOne) {
    FakeControlPort fake;
    std::string reply = "250+ns/all=\r\n";
    while (reply.size() < 400 * 1024) {
        reply += "w Bandwidth=100\r\n";
    }
    reply += ".\r\n250 OK\r\n";
    fake.NextConnection().Send(reply);
    auto socket = ConnectTo(fake);
    std::vector<int> positions;
    std::string text;
    ASSERT_TRUE(ReadRouterStatus(
        *socket, text, [&](int position) { positions.push_back(position); }, 2s));
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}));
    EXPECT_EQ(text.size(), reply.size() - 5);
}

} // namespace
} // namespace quorvel

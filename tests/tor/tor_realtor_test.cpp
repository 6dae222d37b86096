// Against Debian's tor on 127.0.0.1:9051, without network.
#include "real_tor_process.h"

#include "app/language_file.h"
#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/paths.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "tor/anonymity_mode.h"
#include "tor/control_auth.h"
#include "tor/exit_countries.h"
#include "tor/tor_controller.h"
#include "tor/torrc_file.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

class RealTorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::RealTor::Installed()) {
            GTEST_SKIP() << "/usr/sbin/tor is not installed; scripts/setup-deps installs it";
        }
        test::MakeFolders(SettingsFolder(paths));
        real = std::make_unique<test::RealTor>(TorrcPath(paths), env.Root() + "/tor-data", Auth());
        ASSERT_EQ(real->Error(), "");
        timing.newIdentityPause = 0ms;
        tor = std::make_unique<TorController>(ui, language, settings, paths, test::kRealControlPort, timing);
    }

    virtual test::TorAuth Auth() const { return test::TorAuth::Cookie; }

    // A connection of the test's own, authenticated.
    std::shared_ptr<ControlSocket> Raw() {
        auto socket = ControlSocket::Connect(test::kRealControlPort);
        if (!socket || AuthenticateControl(*socket, false, kReplyLineWait) != ControlAuthResult::Authenticated) {
            ADD_FAILURE() << "cannot authenticate at tor";
            return nullptr;
        }
        return socket;
    }

    std::string Ask(ControlSocket& socket, const std::string& command) {
        std::string reply;
        socket.Send(command + "\r\n");
        EXPECT_TRUE(ReadCommandReply(socket, reply)) << command;
        return reply;
    }

    test::TestEnvironment env;
    LinuxPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    test::RecordingUi ui;
    TorTiming timing;
    std::unique_ptr<test::RealTor> real;
    std::unique_ptr<TorController> tor; // goes before its tor
};

TEST_F(RealTorTest, CommandsAreAnsweredAndHaltEndsTor) {
    ASSERT_TRUE(tor->Connect());
    EXPECT_TRUE(tor->NewIdentity());
    EXPECT_TRUE(tor->NewIdentity());
    tor->Halt();
    EXPECT_TRUE(real->WaitExited(10s));
    EXPECT_TRUE(ui.Events().empty());
}

// A torrc from before the cookie: Tor offers only the password, and the program's password line still opens it.
class OldTorrcRealTorTest : public RealTorTest {
protected:
    test::TorAuth Auth() const override { return test::TorAuth::Password; }
};

TEST_F(OldTorrcRealTorTest, ThePasswordStillOpensThePort) {
    ASSERT_TRUE(tor->Connect());
    EXPECT_TRUE(tor->NewIdentity());
    ASSERT_TRUE(tor->ConnectAndWatch());
    EXPECT_TRUE(tor->Reload());
    tor->Halt();
    EXPECT_TRUE(real->WaitExited(10s));
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(RealTorTest, EventLinesArriveAndRepliesPassOverThem) {
    auto socket = Raw();
    ASSERT_NE(socket, nullptr);
    EXPECT_EQ(Ask(*socket, "SETEVENTS NOTICE WARN"), "250 OK");
    socket->Send("SIGNAL RELOAD\r\n");
    std::string line;
    EXPECT_TRUE(ReadCommandReply(*socket, line));
    EXPECT_EQ(line, "250 OK");
    // The reload's notices follow its reply; once they wait in the connection, the next reply comes after them.
    std::this_thread::sleep_for(500ms);
    socket->Send("GETINFO version\r\n");
    EXPECT_TRUE(ReadCommandReply(*socket, line));
    EXPECT_TRUE(line.starts_with("250-version=")) << line;

    socket->Send("SIGNAL RELOAD\r\n");
    std::vector<std::string> events;
    while (events.empty() && ReadWholeLine(*socket, line, 5s)) {
        if (IsEventLine(line)) {
            events.push_back(line);
        }
    }
    ASSERT_FALSE(events.empty());
    EXPECT_TRUE(events[0].starts_with("650 NOTICE Received reload signal")) << events[0];
}

TEST_F(RealTorTest, ReloadReadsTheEditedTorrc) {
    ASSERT_TRUE(tor->ConnectAndWatch());
    AnonymityMode mode(*tor, ui, language, settings, paths);
    mode.ApplyAnonymityMode(kFastMode, MessageOwner::MainWindow);
    TorrcFile torrc(paths);
    std::string text;
    ASSERT_TRUE(torrc.Load(text));
    EXPECT_NE(text.find("\r\nTunnelDirConns 1 #Added by Quorvel\r\nPreferTunneledDirConns 1 #Added by Quorvel"),
              std::string::npos);

    TorrcFile::SetNumber(text, "MaxCircuitDirtiness", "600", true);
    ASSERT_TRUE(torrc.Save(text));
    EXPECT_TRUE(tor->Reload());
    auto socket = Raw();
    ASSERT_NE(socket, nullptr);
    std::string value;
    for (int i = 0; i < 50 && value != "250 MaxCircuitDirtiness=600"; ++i) {
        value = Ask(*socket, "GETCONF MaxCircuitDirtiness");
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(value, "250 MaxCircuitDirtiness=600");
    EXPECT_TRUE(ui.Events().empty());
}

// Without network Tor never opens a circuit, and none of its notices may pass for the circuit or for an exit
// country that failed (a country is chosen, so that rule is armed too).
TEST_F(RealTorTest, WatcherWaitsQuietlyWithoutNetwork) {
    settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "Germany");
    ASSERT_TRUE(tor->ConnectAndWatch());
    EXPECT_TRUE(tor->Reload());
    EXPECT_TRUE(tor->NewIdentity());
    EXPECT_FALSE(tor->CircuitEvent()->Wait(3s));
    EXPECT_TRUE(tor->IsWatching());
    EXPECT_TRUE(ui.Events().empty());
    EXPECT_EQ(settings.ReadString(settings::kCountrySelection, settings::kCurrentCountry, ""), "Germany");

    tor->Halt();
    EXPECT_TRUE(tor->WaitWatcherEnded(10s));
    EXPECT_TRUE(real->WaitExited(10s));
}

TEST_F(RealTorTest, RouterStatusIsEmptyWithoutConsensus) {
    auto socket = Raw();
    ASSERT_NE(socket, nullptr);
    socket->Send("GETINFO ns/all\r\n");
    std::string status = "old";
    EXPECT_TRUE(ReadRouterStatus(*socket, status, nullptr));
    EXPECT_EQ(status, "");

    ASSERT_TRUE(tor->Connect());
    LoadExitCountries(*tor, nullptr);
    EXPECT_TRUE(tor->ExitLists().m_exitNicknames.empty());

    // While the watcher still waits for a circuit, the status comes over a connection of its own.
    timing.circuit = 500ms;
    timing.replyLine = 1s;
    TorController watched(ui, language, settings, paths, test::kRealControlPort, timing);
    ASSERT_TRUE(watched.ConnectAndWatch());
    LoadExitCountries(watched, nullptr);
    EXPECT_TRUE(watched.ExitLists().m_countryList.empty());
    EXPECT_TRUE(watched.IsWatching());
    EXPECT_TRUE(watched.NewIdentity());
}

TEST_F(RealTorTest, AddressesHaveLowerCaseCountryCodes) {
    auto socket = Raw();
    ASSERT_NE(socket, nullptr);
    std::string text;
    socket->Send("getinfo ip-to-country/8.8.8.8\r\n");
    EXPECT_TRUE(ReadReply(*socket, text));
    EXPECT_EQ(text, "250-ip-to-country/8.8.8.8=us\r\n250");
    socket->Send("getinfo ip-to-country/127.0.0.1\r\n");
    EXPECT_TRUE(ReadReply(*socket, text));
    EXPECT_EQ(text, "250-ip-to-country/127.0.0.1=??\r\n250");
    socket->Send("getinfo ip-to-country/999.1.1.1\r\n");
    EXPECT_EQ(ReadReplyOutcome(*socket, text), ReplyOutcome::Error);
    EXPECT_EQ(text, "551 Invalid address family\r\n");
}

} // namespace
} // namespace quorvel

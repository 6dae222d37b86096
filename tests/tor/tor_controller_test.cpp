#include "tor_test_fixture.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

class TorControllerTest : public test::TorFixture {};

TEST_F(TorControllerTest, ConnectAcceptsExactlyOk) {
    Authenticated();
    PasswordLogin().Send("250 OK and more\r\n");
    PasswordLogin().Send(
        "515 Authentication failed: Password did not match HashedControlPassword value from configuration\r\n");

    EXPECT_TRUE(Tor().Connect());
    auto first = Tor().CircuitEvent();
    EXPECT_FALSE(Tor().Connect());
    EXPECT_FALSE(Tor().Connect());
    // Every connect brings a new, unset circuit-ready event.
    ASSERT_NE(Tor().CircuitEvent(), nullptr);
    EXPECT_NE(Tor().CircuitEvent(), first);
    EXPECT_FALSE(Tor().CircuitEvent()->IsSet());
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
    EXPECT_TRUE(fake.Failures().empty()) << fake.Failures().front();
}

TEST_F(TorControllerTest, WithoutTorEveryCommandGoesNowhere) {
    std::uint16_t closedPort;
    {
        test::FakeControlPort gone;
        closedPort = gone.Port();
    }
    TorController lonely(ui, language, settings, paths, closedPort, timing);
    EXPECT_FALSE(lonely.Connect());
    EXPECT_NE(lonely.CircuitEvent(), nullptr);
    EXPECT_FALSE(lonely.ConnectAndWatch());
    EXPECT_FALSE(lonely.NewIdentity());
    EXPECT_TRUE(lonely.Reload());
    lonely.Halt();
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(TorControllerTest, UnreadableAuthenticationReplyIsReported) {
    PasswordLogin().Close();
    EXPECT_FALSE(Tor().ConnectAndWatch());
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"Unable to read command"});
    EXPECT_EQ(ui.Messages()[0].caption, "Quorvel");
    EXPECT_FALSE(Tor().IsWatching());
}

// The watcher ends with the circuit-ready event set on each form of the circuit notice.
TEST_F(TorControllerTest, WatcherSetsTheEventOnTheCircuit) {
    const std::vector<std::string> notices = {
        "650 NOTICE Tor has successfully opened a circuit. Looks like client functionality is working.\r\n",
        "650 NOTICE Bootstrapped 100% (done): Done\r\n",
        // Longer than a reply line: the notice only comes whole.
        "650 NOTICE " + std::string(300, '.') + " Tor has successfully opened a circuit.\r\n",
    };
    for (const auto& notice : notices) {
        Watched().Send("650 NOTICE Bootstrapped 50% (loading_descriptors): Loading relay descriptors\r\n" + notice);
        ASSERT_TRUE(Tor().ConnectAndWatch());
        EXPECT_TRUE(Tor().CircuitEvent()->Wait(5s)) << notice;
        EXPECT_TRUE(Tor().WaitWatcherEnded(5s)) << notice;
    }
    // A Tor that had its circuit before the watcher subscribed says so in the answer to the watcher's question.
    Authenticated()
        .Expect("SETEVENTS NOTICE WARN\r\nGETINFO status/circuit-established\r\n")
        .Send("250 OK\r\n250-status/circuit-established=1\r\n250 OK\r\n");
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().CircuitEvent()->Wait(5s));
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_TRUE(fake.Failures().empty());
}

TEST_F(TorControllerTest, WatcherWithoutCircuitEndsWhenTorCloses) {
    Watched().Send("650 NOTICE Bootstrapped 5% (conn): Connecting to a relay\r\n").Pause(200ms).Close();
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_FALSE(Tor().CircuitEvent()->IsSet());
}

// While the watcher reads the connection, commands still get their own replies, and the watcher does not end
// before the reply it owes has come.
TEST_F(TorControllerTest, CommandsDuringTheWatchGetTheirOwnReplies) {
    Watched()
        .Expect("SIGNAL RELOAD\r\n")
        .Send("650 NOTICE Received reload signal (hup).\r\n650 NOTICE Bootstrapped 100% (done): Done\r\n")
        .Pause(100ms)
        .Send("250 OK\r\n")
        .Expect("SIGNAL NEWNYM\r\n")
        .Send("552 Unrecognized signal\r\n")
        .Expect("SIGNAL NEWNYM\r\n")
        .Send("650 NOTICE Rate limiting NEWNYM request: delaying by 9 second(s)\r\n250 OK\r\n")
        .Expect("SIGNAL HALT\r\n")
        .Send("250 OK\r\n")
        .Close();
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().Reload());
    EXPECT_TRUE(Tor().CircuitEvent()->Wait(5s));
    // Had the reload's "250 OK" been left behind, this would take it.
    EXPECT_FALSE(Tor().NewIdentity());
    EXPECT_TRUE(Tor().NewIdentity());
    Tor().Halt();
    EXPECT_TRUE(Tor().CommandConnection()->IsClosed());
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
    EXPECT_TRUE(fake.Failures().empty()) << fake.Failures().front();
}

TEST_F(TorControllerTest, NewIdentityPausesOnlyAfterOk) {
    timing.newIdentityPause = 20s;
    Authenticated()
        .Expect("SIGNAL RELOAD\r\n")
        .Send("250 OK\r\n")
        .Expect("SIGNAL NEWNYM\r\n")
        .Send("552 Unrecognized signal\r\n");
    ASSERT_TRUE(Tor().Connect());
    Tor().Reload();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Tor().NewIdentity());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(TorControllerTest, ExitCountryFailureUndoesTheRestriction) {
    WriteTorrc("SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes relayA, relayB\r\n");
    ASSERT_TRUE(settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "France"));
    Watched()
        .Send("650 WARN No exits in ExitNodes, except possibly those excluded by your configuration, seem to be "
              "running: can't choose an exit.\r\n")
        .Expect("SIGNAL RELOAD\r\n")
        .Send("250 OK\r\n");
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().CircuitEvent()->Wait(5s));
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n\r\n\r\n");
    EXPECT_EQ(CurrentCountry(), "");
    tor.reset(); // the message comes once the watcher no longer reads
    auto messages = ui.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "None of the servers in the selected country is operational. Country selection has "
                                "been cancelled. Please select another country or try again later.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages[0].owner, MessageOwner::None);
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
    EXPECT_TRUE(fake.Failures().empty());
}

// The sentence of a Tor that has every descriptor and no usable exit is a failure only with a country chosen.
TEST_F(TorControllerTest, NoUsableExitCountsOnlyWithACountry) {
    const std::string notice =
        "650 NOTICE Our directory information is no longer up-to-date enough to build circuits: We need more "
        "microdescriptors: we have 9/9, and can only build 0% of likely paths. (We have 100% of guards bw, 100% of "
        "midpoint bw, and 0% of exit bw = 0% of path bw.)\r\n";
    WriteTorrc("StrictExitNodes 1\r\nExitNodes relayA\r\n");
    Watched().Send(notice).Pause(300ms).Close();
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_FALSE(Tor().CircuitEvent()->IsSet());
    EXPECT_TRUE(ui.Messages().empty());

    settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "Germany");
    Watched().Send(notice).Expect("SIGNAL RELOAD\r\n").Send("250 OK\r\n");
    ASSERT_TRUE(Tor().ConnectAndWatch());
    EXPECT_TRUE(Tor().CircuitEvent()->Wait(5s));
    EXPECT_TRUE(Tor().WaitWatcherEnded(5s));
    EXPECT_EQ(ReadTorrc(), "\r\n");
    tor.reset();
    EXPECT_EQ(ui.Messages().size(), 1u);
}

// The user-interface thread carries out the watcher's message boxes; while it waits for a command's reply, the
// watcher must not hold that reply back until its box has been shown.
TEST_F(TorControllerTest, ACommandDuringTheExitFailureGetsItsReplyWithoutWaitingForTheMessage) {
    class BusyGuiThread : public test::RecordingUi {
    public:
        MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                  MessageButtons buttons, MessageOwner owner) override {
            if (std::this_thread::get_id() != gui) {
                std::unique_lock lock(mutex);
                changed.wait_for(lock, 10s, [this] { return free; });
            }
            return RecordingUi::ShowMessage(caption, text, icon, buttons, owner);
        }
        void Free() {
            std::lock_guard lock(mutex);
            free = true;
            changed.notify_all();
        }
        const std::thread::id gui = std::this_thread::get_id();
        std::mutex mutex;
        std::condition_variable changed;
        bool free = false;
    } busyUi;

    settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "France");
    Watched()
        .Send("650 WARN No exits in ExitNodes seem to be running: can't choose an exit.\r\n")
        .Answer([](const std::string&) { return std::optional<std::string>("250 OK\r\n"); }); // RELOAD, NEWNYM
    {
        TorController watched(busyUi, language, settings, paths, fake.Port(), timing);
        ASSERT_TRUE(watched.ConnectAndWatch());
        EXPECT_TRUE(watched.CircuitEvent()->Wait(5s));
        EXPECT_TRUE(watched.NewIdentity());
        busyUi.Free();
    }
    EXPECT_EQ(busyUi.Messages().size(), 1u);
    EXPECT_TRUE(fake.Failures().empty()) << fake.Failures().front();
}

TEST_F(TorControllerTest, QueriesUseTheirOwnConnectionWhileTheWatcherWaits) {
    timing.circuit = 200ms;
    timing.replyLine = 300ms;
    Watched();
    Authenticated().Expect("GETINFO ns/all\r\n").Send("250-ns/all=\r\n250 OK\r\n");
    ASSERT_TRUE(Tor().ConnectAndWatch());
    LoadExitCountries(Tor(), nullptr);
    EXPECT_TRUE(Tor().ExitLists().m_exitNicknames.empty());
    EXPECT_TRUE(Tor().IsWatching());
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
    EXPECT_EQ(fake.Received(0).find("ns/all"), std::string::npos);
    EXPECT_TRUE(fake.Failures().empty());
}

} // namespace
} // namespace quorvel

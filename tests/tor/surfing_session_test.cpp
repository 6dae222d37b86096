// The surfing session against a scripted control port and a stand-in Tor program that logs how it was started.

#include "support/fake_control_port.h"
#include "tor/surfing_session_fixture.h"

#include <atomic>
#include <sstream>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

class SurfingSessionTest : public ::testing::Test {
protected:
    SurfingSessionTest() {
        // A Tor that runs briefly and notes when it started (with its arguments) and ended.
        WriteScript(env.ProgramFolder() + "/Tor/tor", "echo \"start $(date +%s%N) $*\" >> '" + LaunchLog() +
                                                          "'\nsleep " + torLifetime +
                                                          "\necho \"end $(date +%s%N)\" >> '" + LaunchLog() + "'\n");
        WriteFileBytes(TorrcPath(rig.paths), "ControlPort 9051\nSocksPort 9050\n");
        for (int i = 0; i < 24; ++i) {
            fake.NextConnection().Answer([this](const std::string& line) { return Answer(line); });
        }
    }

    // Answers as Tor does; the circuit is there when `circuit` says so.
    std::optional<std::string> Answer(const std::string& line) {
        if (line == "GETINFO status/circuit-established") {
            return std::string("250-status/circuit-established=") + (circuit ? "1" : "0") + "\r\n250 OK\r\n" +
                   (noExit ? "650 WARN No exits in ExitNodes seem to be running: can't choose an exit.\r\n" : "");
        }
        if (line == "PROTOCOLINFO 1") {
            return std::string(kPasswordOffer);
        }
        if (line.rfind("AUTHENTICATE ", 0) == 0 || line == "SETEVENTS NOTICE WARN" || line.rfind("SIGNAL ", 0) == 0) {
            return std::string("250 OK\r\n");
        }
        return std::string("510 Unrecognized command \"" + line + "\"\r\n");
    }

    std::string LaunchLog() const { return env.Root() + "/launches.log"; }
    std::vector<std::string> LaunchLines() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFileBytes(LaunchLog()));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // What the client sent on each connection that said anything.
    std::vector<std::string> Conversations() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < fake.Accepted(); ++i) {
            if (!fake.Received(i).empty()) {
                out.push_back(fake.Received(i));
            }
        }
        return out;
    }

    bool Setting(const char* section, const char* key, bool fallback) const {
        return rig.settings.ReadBool(section, key, fallback);
    }

    void NotFirstStart() { rig.settings.WriteBool(settings::kOptionsDialog, settings::kFirstStart, false); }

    TestEnvironment env;
    std::string torLifetime = "0.3";
    std::atomic<bool> circuit{true};
    std::atomic<bool> noExit{false}; // Tor says no exit of the chosen country runs
    FakeControlPort fake;
    SessionRig rig{fake.Port()};
};

constexpr const char* kAuth = "PROTOCOLINFO 1\r\nAUTHENTICATE \"Vintreal\"\r\n";

TEST_F(SurfingSessionTest, FirstStartRunsEveryStepInOrder) {
    rig.ui.AnswerNextMode(ModeChoice::Strong);
    rig.session->StartSurfing();

    EXPECT_EQ(Shown(rig.ui), (std::vector<std::string>{"icon - Quorvel", kWaitingBalloon, "mode", kFirstStartMessage,
                                                       kReadyBalloon, "icon 130 Quorvel"}));
    EXPECT_TRUE(rig.session->IsRunning());
    EXPECT_TRUE(Setting(settings::kTorSettings, settings::kIsTorRunning, false));
    EXPECT_FALSE(Setting(settings::kOptionsDialog, settings::kFirstStart, true));
    EXPECT_EQ(rig.settings.ReadInt(settings::kMainMenu, settings::kMode, -1), 1);

    // Two launches, each told where the torrc is.
    auto launches = LaunchLines();
    ASSERT_GE(launches.size(), 3u);
    std::vector<std::string> starts;
    std::copy_if(launches.begin(), launches.end(), std::back_inserter(starts),
                 [](const std::string& l) { return l.rfind("start ", 0) == 0; });
    ASSERT_EQ(starts.size(), 2u);
    for (const auto& start : starts) {
        EXPECT_NE(start.find(" -f " + TorrcPath(rig.paths)), std::string::npos) << start;
        EXPECT_EQ(start.find("__OwningControllerProcess"), std::string::npos) << "no owner was given";
    }

    // Halt whatever answered after the first launch; then a plain connection; then the watched one, which also
    // carries the mode's reload.
    auto talks = Conversations();
    ASSERT_EQ(talks.size(), 3u);
    EXPECT_EQ(talks[0], std::string(kAuth) + "SIGNAL HALT\r\n");
    EXPECT_EQ(talks[1], kAuth);
    EXPECT_EQ(talks[2],
              std::string(kAuth) + "SETEVENTS NOTICE WARN\r\nGETINFO status/circuit-established\r\nSIGNAL RELOAD\r\n");

    // The mode picked in the dialog is the one applied.
    std::string torrc = ReadFileBytes(TorrcPath(rig.paths));
    EXPECT_NE(torrc.find("TunnelDirConns 0 #Added by Quorvel"), std::string::npos) << torrc;
    EXPECT_NE(torrc.find("PreferTunneledDirConns 0 #Added by Quorvel"), std::string::npos) << torrc;

    // Internet Explorer now goes through Tor's SOCKS port.
    EXPECT_EQ(rig.LanProxy().proxyServer, IeProxy::SocksProxyText(9050));
    EXPECT_EQ(rig.waiter.Waits(), (std::vector<std::chrono::milliseconds>{60000ms}));
    EXPECT_TRUE(fake.Failures().empty()) << fake.Failures().front();
}

TEST_F(SurfingSessionTest, TheSecondTorStartsOnlyAfterTheHaltedOneHasEnded) {
    rig.session->StartSurfing();
    auto launches = LaunchLines();
    ASSERT_GE(launches.size(), 3u);
    // start (first), end (first), start (second): never two at once.
    EXPECT_EQ(launches[0].rfind("start ", 0), 0u);
    EXPECT_EQ(launches[1].rfind("end ", 0), 0u);
    EXPECT_EQ(launches[2].rfind("start ", 0), 0u);
}

TEST_F(SurfingSessionTest, AnOlderTorSlowToLeaveThePortIsWaitedForBeforeTheSecondLaunch) {
    // The first answer comes from a Tor of earlier that takes half a second to go; the Tor just launched cannot
    // take the port and ends at once.
    torLifetime = "0";
    WriteScript(env.ProgramFolder() + "/Tor/tor", "echo \"start $(date +%s%N) $*\" >> '" + LaunchLog() + "'\n");
    fake.haltLinger = 500ms;
    rig.waiter.pauseCap = 100ms;
    const auto halted = std::chrono::system_clock::now();
    rig.session->StartSurfing();

    auto launches = LaunchLines();
    ASSERT_EQ(launches.size(), 2u);
    const long long second = std::stoll(launches[1].substr(6, launches[1].find(' ', 6) - 6));
    const auto secondStart = std::chrono::system_clock::time_point(std::chrono::nanoseconds(second));
    EXPECT_GE(secondStart - halted, 500ms) << "the second Tor was launched while the older one held the port";
    EXPECT_TRUE(rig.session->IsRunning());
    EXPECT_TRUE(fake.Failures().empty()) << fake.Failures().front();
}

TEST_F(SurfingSessionTest, AStartAfterStopLetsTheHaltedTorEndFirst) {
    rig.session->StartSurfing();
    rig.session->StopSurfing();
    rig.session->StartSurfing();
    auto launches = LaunchLines();
    ASSERT_GE(launches.size(), 5u);
    // The Tor of the first Start ends before the second Start launches anything.
    EXPECT_EQ(launches[2].rfind("start ", 0), 0u);
    EXPECT_EQ(launches[3].rfind("end ", 0), 0u);
    EXPECT_EQ(launches[4].rfind("start ", 0), 0u);
}

TEST_F(SurfingSessionTest, TorIsTiedToTheOwnerProcessWhenOneIsGiven) {
    SessionRig owned(fake.Port(), ProcessId{4242});
    auto args = owned.session->TorArguments();
    EXPECT_EQ(args, (std::vector<std::string>{"-f", TorrcPath(rig.paths), "__OwningControllerProcess", "4242"}));
}

TEST_F(SurfingSessionTest, LaterStartsAskNothingAndBalloonsCanBeSwitchedOff) {
    NotFirstStart();
    rig.session->StartSurfing();
    EXPECT_EQ(Shown(rig.ui),
              (std::vector<std::string>{"icon - Quorvel", kWaitingBalloon, kReadyBalloon, "icon 130 Quorvel"}));

    rig.ui.Clear();
    rig.settings.WriteBool(settings::kOptionsDialog, settings::kShowBalloonTips, false);
    rig.session->StopSurfing();
    rig.session->StartSurfing();
    EXPECT_EQ(Shown(rig.ui), (std::vector<std::string>{"icon 181 Quorvel", "icon - Quorvel", "icon 130 Quorvel"}));
}

TEST_F(SurfingSessionTest, AModeSetByHandIsAppliedAtTheNextStart) {
    NotFirstStart();
    WriteFileBytes(TorrcPath(rig.paths),
                   "SocksPort 9050\nTunnelDirConns 1 #Added by Quorvel\nPreferTunneledDirConns 1 #Added by Quorvel");
    rig.session->StartSurfing();
    std::string torrc = ReadFileBytes(TorrcPath(rig.paths));
    EXPECT_NE(torrc.find("TunnelDirConns 1 #Added by Quorvel"), std::string::npos) << torrc;
    EXPECT_EQ(torrc.find("TunnelDirConns 0"), std::string::npos) << torrc;

    rig.settings.WriteInt(settings::kMainMenu, settings::kMode, 1);
    rig.session->StartSurfing();
    torrc = ReadFileBytes(TorrcPath(rig.paths));
    EXPECT_NE(torrc.find("TunnelDirConns 0 #Added by Quorvel"), std::string::npos) << torrc;
    EXPECT_NE(torrc.find("PreferTunneledDirConns 0 #Added by Quorvel"), std::string::npos) << torrc;
    EXPECT_EQ(torrc.find("TunnelDirConns 1"), std::string::npos) << torrc;
}

TEST_F(SurfingSessionTest, ClosingTheModeDialogWithoutOkKeepsTheStoredMode) {
    // What the dialog answers when it is dismissed: the mode in force.
    rig.settings.WriteInt(settings::kMainMenu, settings::kMode, 1);
    rig.ui.AnswerNextMode(ModeChoice::Strong);
    rig.session->StartSurfing();
    EXPECT_EQ(rig.settings.ReadInt(settings::kMainMenu, settings::kMode, -1), 1);
    EXPECT_NE(ReadFileBytes(TorrcPath(rig.paths)).find("TunnelDirConns 0 #Added by Quorvel"), std::string::npos);
}

TEST_F(SurfingSessionTest, WithoutACircuitTheWaitRunsOutAndNoSuccessIsClaimed) {
    NotFirstStart();
    circuit = false;
    rig.session->StartSurfing();
    EXPECT_EQ(rig.waiter.Waits(), (std::vector<std::chrono::milliseconds>{60000ms}));
    EXPECT_EQ(Shown(rig.ui), (std::vector<std::string>{"icon - Quorvel", kWaitingBalloon, "icon 130 Quorvel"}));
    EXPECT_TRUE(rig.session->IsRunning());

    // The circuit-ready message sets the event of the current connection.
    rig.session->OnCircuitReady();
    ASSERT_TRUE(rig.tor->CircuitEvent());
    EXPECT_TRUE(rig.tor->CircuitEvent()->IsSet());
}

// The watcher ends the wait on the exit-country failure too, but that is no circuit to announce.
TEST_F(SurfingSessionTest, AnExitCountryFailureEndsTheWaitWithoutTheReadyBalloon) {
    NotFirstStart();
    circuit = false;
    noExit = true;
    rig.settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, "France");
    rig.session->StartSurfing();
    rig.tor.reset(); // the watcher's message is in once it has ended
    const auto shown = Shown(rig.ui);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kReadyBalloon), 0);
    EXPECT_EQ(rig.ui.MessageTexts(),
              (std::vector<std::string>{"None of the servers in the selected country is operational. Country "
                                        "selection has been cancelled. Please select another country or try again "
                                        "later."}));
}

TEST_F(SurfingSessionTest, AMissingTorIsReportedAndTheSessionStaysStopped) {
    NotFirstStart();
    std::remove((env.ProgramFolder() + "/Tor/tor").c_str());
    rig.session->StartSurfing();

    EXPECT_EQ(Shown(rig.ui),
              (std::vector<std::string>{"icon - Quorvel", "message Tor not found!", "icon 181 Quorvel"}));
    auto messages = rig.ui.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Quorvel");
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(rig.session->IsRunning());
    EXPECT_FALSE(rig.session->TorProcess());
    EXPECT_EQ(rig.settings.ReadString(settings::kTorSettings, settings::kIsTorRunning, "unset"), "unset");
    // Nothing could set a circuit event, so there was no wait; the rest of Start still ran.
    EXPECT_TRUE(rig.waiter.Waits().empty());
    EXPECT_NE(ReadFileBytes(TorrcPath(rig.paths)).find("TunnelDirConns 1 #Added by Quorvel"), std::string::npos);
    EXPECT_EQ(rig.LanProxy().proxyServer, IeProxy::SocksProxyText(9050));
    EXPECT_EQ(fake.Accepted(), 0u);
}

TEST_F(SurfingSessionTest, StopHaltsTorOnTheWatchedConnectionAndPutsTheProgramsBack) {
    NotFirstStart();
    const ConnectionProxy before = rig.LanProxy();
    rig.session->StartSurfing();
    ASSERT_NE(rig.LanProxy(), before);
    rig.ui.Clear();

    rig.session->StopSurfing();
    EXPECT_FALSE(rig.session->IsRunning());
    EXPECT_FALSE(Setting(settings::kTorSettings, settings::kIsTorRunning, true));
    EXPECT_EQ(rig.LanProxy(), before);
    EXPECT_EQ(Shown(rig.ui), (std::vector<std::string>{"icon 181 Quorvel"}));
    auto talks = Conversations();
    ASSERT_FALSE(talks.empty());
    EXPECT_EQ(talks.back().substr(talks.back().size() - 13), "SIGNAL HALT\r\n");
    EXPECT_TRUE(fake.WaitClosed(fake.Accepted() - 1, 3s));
}

TEST_F(SurfingSessionTest, StopWhileStoppedStillRecordsAndRestores) {
    rig.redirector.RedirectAll(MessageOwner::MainWindow);
    ASSERT_EQ(rig.LanProxy().proxyServer, IeProxy::SocksProxyText(9050));

    rig.session->StopSurfing();
    EXPECT_FALSE(Setting(settings::kTorSettings, settings::kIsTorRunning, true));
    EXPECT_NE(rig.LanProxy().proxyServer, IeProxy::SocksProxyText(9050));
    EXPECT_EQ(fake.Accepted(), 0u);
}

TEST_F(SurfingSessionTest, ChangeFalseIpAsksForANewIdentityAndPauses) {
    NotFirstStart();
    rig.session->StartSurfing();
    rig.ui.Clear();

    rig.session->ChangeFalseIp();
    EXPECT_EQ(Shown(rig.ui),
              (std::vector<std::string>{"icon 181 Quorvel", kWaitingBalloon, kReadyBalloon, "icon 130 Quorvel"}));
    auto pauses = rig.waiter.Pauses();
    ASSERT_FALSE(pauses.empty());
    EXPECT_EQ(pauses.back(), 3000ms);
    EXPECT_NE(Conversations().back().find("SIGNAL NEWNYM\r\n"), std::string::npos);
}

TEST_F(SurfingSessionTest, ChangeFalseIpWhileStoppedClaimsNothing) {
    rig.session->ChangeFalseIp();
    EXPECT_EQ(Shown(rig.ui), (std::vector<std::string>{"icon 181 Quorvel", kWaitingBalloon, "icon 181 Quorvel"}));
    EXPECT_TRUE(rig.waiter.Pauses().empty());
}

// The launch after a crash and a restart for a new country are one operation each: one Firefox restart box.
TEST_F(SurfingSessionTest, OneFirefoxRestartBoxPerOperation) {
    NotFirstStart();
    const std::string profile = env.Home() + "/ff";
    WriteFileBytes(profile + "/prefs.js", "user_pref(\"a\", 1);\n");
    rig.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, profile);
    rig.settings.WriteBool(settings::kAnonymization, settings::kFirefox, true);
    const std::string restart =
        "message Please restart Firefox to make new settings take effect. All Firefox windows must be closed.";
    auto restartBoxes = [&] {
        const auto shown = Shown(rig.ui);
        return std::count(shown.begin(), shown.end(), restart);
    };

    rig.redirector.RedirectAll(MessageOwner::MainWindow); // then the program died
    rig.settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, true);
    rig.ui.Clear();
    rig.session->RecoverUnfinishedSession();
    rig.session->StartSurfing();
    EXPECT_EQ(restartBoxes(), 1);

    rig.ui.Clear();
    rig.session->RestartSurfing();
    EXPECT_EQ(restartBoxes(), 1);
}

TEST_F(SurfingSessionTest, AnUnfinishedSessionIsUndoneBeforeTheNextStart) {
    const ConnectionProxy own = rig.LanProxy();
    EXPECT_FALSE(rig.session->RecoverUnfinishedSession());

    // A session that redirected Internet Explorer and then died without Stop.
    rig.redirector.RedirectAll(MessageOwner::MainWindow);
    rig.settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, true);

    EXPECT_TRUE(rig.session->RecoverUnfinishedSession());
    EXPECT_EQ(rig.LanProxy(), own);
    EXPECT_FALSE(Setting(settings::kTorSettings, settings::kIsTorRunning, true));

    // The next Start backs up the user's own setting, so a Stop brings that back and not the redirection.
    NotFirstStart();
    rig.session->StartSurfing();
    rig.session->StopSurfing();
    EXPECT_EQ(rig.LanProxy(), own);
}

} // namespace
} // namespace quorvel::test

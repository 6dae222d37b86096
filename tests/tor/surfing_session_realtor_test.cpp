// Start and Stop against Debian's real tor on the fixed control port 9051, with the network switched off so no
// circuit comes: the 60-second wait is shortened by the test's waiter only.

#include "platform/tcp_connection.h"
#include "tor/surfing_session_fixture.h"

#include <csignal>
#include <fstream>
#include <sstream>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kDebianTor = "/usr/sbin/tor";

class SurfingSessionRealTorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(kDebianTor)) {
            GTEST_SKIP() << "Debian's tor is not installed (scripts/setup-deps installs it)";
        }
        if (TcpConnection::Connect(TorController::kControlPort)) {
            GTEST_SKIP() << "something already listens on 127.0.0.1:9051; these tests would halt it";
        }
        // The program folder's Tor is Debian's, started through a wrapper that notes each process number.
        WriteScript(env.ProgramFolder() + "/Tor/tor",
                    "echo $$ >> '" + PidLog() + "'\nexec " + kDebianTor + " \"$@\"\n");
        const std::string data = env.Root() + "/tordata";
        MakeFolders(data);
        ::chmod(data.c_str(), 0700);
        // The default torrc's cookie authentication.
        WriteFileBytes(TorrcPath(rig->paths), "ControlPort 9051\nCookieAuthentication 1"
                                              "\nSocksPort auto\nDataDirectory " +
                                                  data + "\nDisableNetwork 1\nAvoidDiskWrites 1\n");
        rig->settings.WriteBool(settings::kOptionsDialog, settings::kFirstStart, false);
        rig->waiter.waitCap = 1s;
        rig->waiter.pauseCap = 100ms;
    }

    void TearDown() override {
        // Whatever happened, leave no Tor behind on the shared port.
        if (rig && rig->session && rig->session->IsRunning()) {
            rig->session->StopSurfing();
        }
        for (ProcessId pid : Pids()) {
            if (!rig->launcher.WaitForExit(pid, 10s)) {
                ADD_FAILURE() << "Tor " << pid << " was still running; ended by the test";
                ::kill(pid, SIGTERM);
                rig->launcher.WaitForExit(pid, 10s);
            }
        }
    }

    std::string PidLog() const { return env.Root() + "/tor-pids.log"; }
    std::vector<ProcessId> Pids() const {
        std::vector<ProcessId> pids;
        std::istringstream in(ReadFileBytes(PidLog()));
        for (ProcessId pid = 0; in >> pid;) {
            pids.push_back(pid);
        }
        return pids;
    }

    TestEnvironment env;
    std::unique_ptr<SessionRig> rig = std::make_unique<SessionRig>(TorController::kControlPort);
};

TEST_F(SurfingSessionRealTorTest, StartLaunchesTwiceKeepsTheSecondAndStopHaltsIt) {
    rig->session->StartSurfing();

    ASSERT_TRUE(rig->session->IsRunning());
    auto pids = Pids();
    ASSERT_EQ(pids.size(), 2u);
    // The first Tor was halted and had ended before the second was started.
    EXPECT_FALSE(rig->launcher.IsRunning(pids[0]));
    ASSERT_EQ(rig->session->TorProcess(), pids[1]);
    EXPECT_TRUE(rig->launcher.IsRunning(pids[1]));
    // The connections that follow a launch reached the new Tor: the watcher reads the command connection.
    EXPECT_TRUE(rig->tor->IsWatching());
    EXPECT_TRUE(rig->settings.ReadBool(settings::kTorSettings, settings::kIsTorRunning, false));
    EXPECT_EQ(rig->waiter.Waits(), (std::vector<std::chrono::milliseconds>{60000ms}));
    EXPECT_EQ(Shown(rig->ui), (std::vector<std::string>{"icon - Quorvel", kWaitingBalloon, "icon 130 Quorvel"}));
    EXPECT_NE(ReadFileBytes(TorrcPath(rig->paths)).find("TunnelDirConns 1 #Added by Quorvel"), std::string::npos);

    rig->session->StopSurfing();
    EXPECT_TRUE(rig->launcher.WaitForExit(pids[1], 10s)) << "the halted Tor did not end";
    EXPECT_FALSE(rig->settings.ReadBool(settings::kTorSettings, settings::kIsTorRunning, true));
}

TEST_F(SurfingSessionRealTorTest, ChangeFalseIpReachesTheRunningTor) {
    rig->session->StartSurfing();
    ASSERT_TRUE(rig->session->IsRunning());
    rig->ui.Clear();
    rig->session->ChangeFalseIp();
    // Tor took the NEWNYM: the session paused for it and says the new circuits are there.
    EXPECT_EQ(Shown(rig->ui),
              (std::vector<std::string>{"icon 181 Quorvel", kWaitingBalloon, kReadyBalloon, "icon 130 Quorvel"}));
    EXPECT_EQ(rig->waiter.Pauses().back(), 3000ms);
}

TEST_F(SurfingSessionRealTorTest, AStartHaltsTheTorOfTheStartBefore) {
    rig->session->StartSurfing();
    auto earlier = rig->session->TorProcess();
    ASSERT_TRUE(earlier);

    // Another program instance (here: a second session) starts while the first one's Tor still runs.
    SessionRig other(TorController::kControlPort);
    other.waiter.waitCap = 1s;
    other.session->StartSurfing();
    EXPECT_FALSE(rig->launcher.IsRunning(*earlier));
    ASSERT_TRUE(other.session->TorProcess());
    EXPECT_TRUE(other.launcher.IsRunning(*other.session->TorProcess()));
    EXPECT_TRUE(other.tor->IsWatching());

    const ProcessId later = *other.session->TorProcess();
    other.session->StopSurfing();
    EXPECT_TRUE(other.launcher.WaitForExit(later, 10s));
}

TEST_F(SurfingSessionRealTorTest, TorEndsByItselfOnceTheProgramIsGone) {
    // The "program" is a short-lived process; Tor checks on its owner every 15 seconds.
    auto owner = rig->launcher.Launch("/bin/sleep", {"1"});
    ASSERT_TRUE(owner);
    SessionRig owned(TorController::kControlPort, *owner);
    owned.waiter.waitCap = 1s;
    owned.session->StartSurfing();
    auto tor = owned.session->TorProcess();
    ASSERT_TRUE(tor);
    ASSERT_TRUE(owned.launcher.IsRunning(*tor));

    EXPECT_TRUE(rig->launcher.WaitForExit(*owner, 5s));
    EXPECT_TRUE(owned.launcher.WaitForExit(*tor, 40s)) << "Tor kept running after its owner had ended";
}

} // namespace
} // namespace quorvel::test

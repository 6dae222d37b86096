// The program as a person uses it, against a real Tor network and a real Firefox: Start makes Firefox surf
// through an exit, masking changes what the page sees, the exits can be restricted to one country (and the
// restriction is dropped when that country's exits are gone), a new identity keeps working, and Stop ends Tor
// and lets Firefox go direct again.
#include "app/locations.h"
#include "app/settings_keys.h"
#include "e2e/child_process.h"
#include "e2e/control_probe.h"
#include "e2e/e2e_support.h"
#include "e2e/headless_firefox.h"
#include "e2e/private_tor_network.h"
#include "e2e/program_under_test.h"
#include "e2e/show_ip_server.h"
#include "redirect/mozilla_profiles.h"
#include "support/fake_controls.h"
#include "support/test_environment.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace quorvel::e2e {
namespace {

using namespace std::chrono_literals;

// The program's control password, as its torrc must allow it.
constexpr const char* kControlPassword = "Vintreal";
// A visit normally comes within a second or two. A stream that Tor sent down a failing circuit of the small test
// network can hang far longer, so a visit that does not come is tried once more, as a user would reload the page.
constexpr auto kVisitLimit = 45s;
const std::set<std::string> kExitAddresses = {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool HasMessage(const test::RecordingUi& ui, const std::string& text) {
    const auto texts = ui.MessageTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

bool HasBalloon(const test::RecordingUi& ui, const std::string& text) {
    for (const auto& event : ui.Events()) {
        if (event.kind == test::RecordingUi::Event::Kind::Balloon && event.text == text) {
            return true;
        }
    }
    return false;
}

void LogShown(test::RecordingUi& ui) {
    for (const auto& event : ui.Events()) {
        using Kind = test::RecordingUi::Event::Kind;
        if (event.kind == Kind::Message) {
            Log("message box: \"" + event.text + "\"");
        } else if (event.kind == Kind::Balloon) {
            Log("balloon: \"" + event.text + "\"");
        } else if (event.kind == Kind::ModeDialog) {
            Log("mode dialog (answered: fast mode)");
        }
    }
    ui.Clear();
}

// The lines of a text that contain `part`.
std::string LinesWith(const std::string& text, const std::string& part) {
    std::istringstream lines(text);
    std::string found;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (Contains(line, part)) {
            found += line + "\n";
        }
    }
    return found;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(network.Start(error)) << error;
        ASSERT_TRUE(server.Start(8080, error)) << error;

        // The program folder's Tor is Debian's tor.
        test::MakeFolders(env.ProgramFolder() + "/Tor");
        ASSERT_EQ(::symlink("/usr/sbin/tor", TorExecutablePath(paths).c_str()), 0);

        // A Firefox profile as Firefox keeps it, found through its profiles.ini.
        const std::string firefoxFolder = env.Home() + "/.mozilla/firefox";
        profile = firefoxFolder + "/e2e.default";
        test::MakeFolders(profile);
        ASSERT_TRUE(WriteText(firefoxFolder + "/profiles.ini", "[General]\nStartWithLastProfile=1\n\n[Profile0]\n"
                                                               "Name=default\nIsRelative=1\nPath=e2e.default\n"
                                                               "Default=1\n"));
        ASSERT_TRUE(WriteText(UserJs(), HeadlessFirefox::QuietPreferences()));

        // The torrc of the installation, joining the test network.
        auto hashed = RunAndCapture("/usr/sbin/tor", {"--quiet", "--hash-password", kControlPassword}, env.Root(), 30s);
        ASSERT_TRUE(hashed);
        std::string hash = *hashed;
        hash.erase(hash.find_last_not_of("\r\n") + 1);
        hash = hash.substr(hash.find_last_of('\n') + 1);
        torData = env.AppData() + "/tor/data";
        test::MakeFolders(torData);
        ::chmod(torData.c_str(), 0700);
        torLog = env.AppData() + "/tor/notice.log";
        ASSERT_TRUE(WriteText(TorrcPath(paths), "ControlPort 9051\nHashedControlPassword " + hash +
                                                    "\nSocksPort 9050\nDataDirectory " + torData +
                                                    "\nLog notice file " + torLog + "\n" + network.ClientOptions()));
        LogBlock("the torrc in the application-data folder:", ReadText(TorrcPath(paths)));
    }

    void TearDown() override {
        if (HasFailure()) {
            LogBlock("the program's Tor, last lines:", Tail(torLog, 40));
            LogBlock("the network's nodes:", network.Diagnostics());
            LogBlock("user.js:", ReadText(UserJs()));
        }
        program.reset();
        network.Stop();
        server.Stop();
    }

    // The lines that the program's Tor has logged since the last call and that contain one of `parts`.
    void LogTorSaid(const std::vector<std::string>& parts) {
        std::istringstream lines(torSaid.NewLines());
        std::string found;
        for (std::string line; std::getline(lines, line);) {
            if (std::any_of(parts.begin(), parts.end(),
                            [&](const std::string& part) { return Contains(line, part); })) {
                found += line + "\n";
            }
        }
        LogBlock("the program's Tor said:", found);
    }

    std::string UserJs() const { return profile + "/user.js"; }
    std::string Torrc() const { return ReadText(TorrcPath(paths)); }
    std::string CurrentCountry() {
        return program->app.Settings().ReadString(settings::kCountrySelection, settings::kCurrentCountry, "");
    }

    std::optional<ShowIpServer::Visit> Visit(const std::string& path) {
        if (auto visit = firefox.Visit(server, path, kVisitLimit)) {
            return visit;
        }
        if (program && program->session.IsRunning()) {
            for (const char* command : {"GETINFO circuit-status", "GETINFO stream-status"}) {
                auto reply = probe.Ask(command);
                std::string text;
                for (const auto& line : reply.value_or(std::vector<std::string>{"(no answer)"})) {
                    text += line + "\n";
                }
                LogBlock(std::string("control port, ") + command + ":", text);
            }
            LogBlock("the program's Tor, last lines:", Tail(torLog, 20));
        }
        Log("trying the visit of " + path + " once more");
        return firefox.Visit(server, path, kVisitLimit);
    }

    int RowOf(const test::FakeControls& page, const std::string& country) {
        for (int row = 0; row < page.ItemCount(kCountryListId); ++row) {
            if (page.ItemText(kCountryListId, row, 0) == country) {
                return row;
            }
        }
        return -1;
    }

    void Restart() {
        program->session.StopSurfing();
        program->session.StartSurfing();
    }

    test::TestEnvironment env;
    LinuxPaths paths;
    PrivateTorNetwork network{env.Root() + "/network", QUORVEL_E2E_EXIT_SHIM};
    ShowIpServer server;
    std::string profile;
    std::string torData;
    std::string torLog;
    LogFollower torSaid{env.AppData() + "/tor/notice.log"};
    HeadlessFirefox firefox{env.Home(), env.Home() + "/.mozilla/firefox/e2e.default", env.Root()};
    ControlProbe probe{TorController::kControlPort, kControlPassword};
    std::unique_ptr<ProgramUnderTest> program;
};

TEST_F(EndToEnd, TheProgramTakesFirefoxThroughTorAndBack) {
    // Before anything: Firefox reaches the page directly (and writes its prefs.js, as a used profile has one).
    auto before = Visit("/before");
    ASSERT_TRUE(before);
    ASSERT_EQ(before->peer, "127.0.0.1");

    ASSERT_TRUE(network.WaitForConsensus(120s)) << "the network formed no consensus";
    Log("the test network has a consensus with every node running");

    program = std::make_unique<ProgramUnderTest>(paths);
    ASSERT_TRUE(program->app.InitInstance([] {}));
    SettingsStore& settings = program->app.Settings();
    // What the profiles center does when the user ticks Firefox and detects its profile.
    settings.WriteBool(settings::kAnonymization, settings::kFirefox, true);
    DetectMozillaProfiles(paths, settings, nullptr);
    ASSERT_EQ(settings.ReadString(settings::kOptionsDialog, settings::kFirefoxProfile, ""), profile);
    Log("Firefox profile setting: " + profile);

    // --- Start -----------------------------------------------------------------------------------------------
    EXPECT_FALSE(program->session.RecoverUnfinishedSession());
    const auto started = std::chrono::steady_clock::now();
    program->session.StartSurfing();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    Log("Start returned after " + std::to_string(seconds) + " s");
    ASSERT_TRUE(program->session.IsRunning());
    ASSERT_EQ(program->launcher.Launched().size(), 2u) << "Start launches Tor twice";
    // The ready balloon is shown only when Tor's own notice ended the wait, never after the time-out.
    EXPECT_TRUE(HasBalloon(program->ui, "Tor has successfully opened a circuit. Now you can start surfing the net."));
    EXPECT_TRUE(HasMessage(program->ui, "Please restart Firefox to make new settings take effect. All Firefox "
                                        "windows must be closed."));
    LogShown(program->ui);
    LogTorSaid({"Bootstrapped 100%", "Received reload signal"});
    LogBlock("torrc after Start:", Torrc());
    EXPECT_TRUE(Contains(Torrc(), "#Added by Quorvel"));
    auto established = probe.Ask("GETINFO status/circuit-established");
    ASSERT_TRUE(established);
    Log("control port: " + established->front());
    EXPECT_EQ(established->front(), "250-status/circuit-established=1");
    LogBlock("user.js after Start:", LinesWith(ReadText(UserJs()), "network.proxy"));
    EXPECT_TRUE(Contains(ReadText(UserJs()), "user_pref(\"network.proxy.socks_port\", 9050);"));

    auto throughTor = Visit("/started");
    ASSERT_TRUE(throughTor) << "Firefox did not reach the page through Tor";
    EXPECT_TRUE(kExitAddresses.count(throughTor->peer)) << "the page saw " << throughTor->peer;

    // --- Masking: Windows XP, Internet Explorer 7, German ---------------------------------------------------
    IdentityChoice masked;
    masked.agentMode = MaskMode::Masked;
    masked.languageMode = MaskMode::Masked;
    masked.os = "Windows";
    masked.osVersion = "XP";
    masked.browser = "Internet Explorer";
    masked.browserVersion = "7";
    masked.falseLanguage = "German (de)";
    program->masking.ApplyMasking(masked);
    LogBlock("user.js after masking:", LinesWith(ReadText(UserJs()), "general.useragent.override") +
                                           LinesWith(ReadText(UserJs()), "intl.accept_languages"));
    auto maskedVisit = Visit("/masked");
    ASSERT_TRUE(maskedVisit);
    EXPECT_EQ(maskedVisit->userAgent, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");
    EXPECT_EQ(maskedVisit->acceptLanguage, "de");
    EXPECT_TRUE(kExitAddresses.count(maskedVisit->peer)) << "the page saw " << maskedVisit->peer;

    // --- Countries ----------------------------------------------------------------------------------------
    test::FakeControls page;
    program->countries.ObtainList(page);
    std::map<std::string, std::string> listed;
    for (int row = 0; row < page.ItemCount(kCountryListId); ++row) {
        listed[page.ItemText(kCountryListId, row, 0)] = page.ItemText(kCountryListId, row, 1);
        Log("country list: " + page.ItemText(kCountryListId, row, 0) + " " + page.ItemText(kCountryListId, row, 1));
    }
    const std::map<std::string, std::string> expected = {{"France", "1"}, {"Germany", "2"}, {"United States", "1"}};
    ASSERT_EQ(listed, expected);

    program->ui.Clear();
    const int france = RowOf(page, "France");
    page.SelectRow(kCountryListId, france);
    program->countries.SelectCountry(page, [this] { Restart(); });
    EXPECT_TRUE(HasMessage(program->ui, "Country selected, IP addresses added."));
    LogShown(program->ui);
    LogTorSaid({"Bootstrapped 100%", "Received reload signal", "Catching signal"});
    LogBlock("torrc after selecting France:", LinesWith(Torrc(), "ExitNodes"));
    ASSERT_EQ(network.Exits("FR").size(), 1u);
    EXPECT_TRUE(Contains(Torrc(), "StrictExitNodes 1\r\nExitNodes $" + network.Exits("FR")[0]->fingerprint + "\r\n"));
    EXPECT_EQ(CurrentCountry(), "France");
    ASSERT_TRUE(program->session.IsRunning());
    auto inFrance = Visit("/france");
    ASSERT_TRUE(inFrance);
    EXPECT_EQ(inFrance->peer, "127.0.0.4") << "the French exit is the only one allowed";

    program->countries.CancelCountry();
    EXPECT_TRUE(HasMessage(program->ui, "Country selection cancelled."));
    LogShown(program->ui);
    EXPECT_FALSE(Contains(Torrc(), "ExitNodes"));
    EXPECT_EQ(CurrentCountry(), "");
    Log("after cancelling, the torrc holds no ExitNodes line and no country is stored");

    // --- A restriction that cannot be met ----------------------------------------------------------------
    ASSERT_TRUE(network.TakeOutExits("FR", 90s)) << "the authorities kept the French exit";
    Log("the published consensus no longer lists exitfr");
    LogTorSaid({"0% of exit bw"});
    // The running Tor learns of it as well, so the next Start begins without any French exit.
    ASSERT_TRUE(WaitUntil(
        [this] {
            auto routers = probe.RouterNicknames();
            return routers && !routers->empty() &&
                   std::find(routers->begin(), routers->end(), "exitfr") == routers->end();
        },
        120s, 2s));
    Log("control port: GETINFO ns/all no longer lists exitfr");

    page.SelectRow(kCountryListId, france);
    program->countries.SelectCountry(page, [this] { Restart(); });
    const std::string failed = "None of the servers in the selected country is operational. Country selection has "
                               "been cancelled. Please select another country or try again later.";
    ASSERT_TRUE(WaitUntil([&] { return HasMessage(program->ui, failed); }, 60s))
        << "the watcher did not report the country failure";
    // The reload that follows the message's removal of the restriction.
    EXPECT_TRUE(WaitUntil([&] { return CurrentCountry().empty() && !Contains(Torrc(), "ExitNodes"); }, 10s));
    LogShown(program->ui);
    LogTorSaid({"0% of exit bw", "Received reload signal", "Bootstrapped 100%"});
    EXPECT_FALSE(Contains(Torrc(), "StrictExitNodes"));
    Log("the restriction is gone from the torrc and the settings");
    auto afterFailure = Visit("/after-failure");
    ASSERT_TRUE(afterFailure) << "Tor did not recover after the restriction was removed";
    EXPECT_TRUE(kExitAddresses.count(afterFailure->peer) && afterFailure->peer != "127.0.0.4")
        << "the page saw " << afterFailure->peer;

    // --- Change false IP, then Stop ------------------------------------------------------------------------
    program->session.ChangeFalseIp();
    EXPECT_TRUE(HasBalloon(program->ui, "Tor has successfully opened a circuit. Now you can start surfing the net."));
    LogShown(program->ui);
    auto newIdentity = Visit("/new-identity");
    ASSERT_TRUE(newIdentity);
    EXPECT_TRUE(kExitAddresses.count(newIdentity->peer)) << "the page saw " << newIdentity->peer;

    const auto tor = program->session.TorProcess();
    ASSERT_TRUE(tor);
    program->session.StopSurfing();
    EXPECT_FALSE(program->session.IsRunning());
    EXPECT_TRUE(program->launcher.WaitForExit(*tor, 15s)) << "Tor did not halt";
    Log("Stop: Tor (pid " + std::to_string(*tor) + ") has ended");
    EXPECT_FALSE(probe.Ask("GETINFO version", 2s)) << "something still answers on the control port";
    LogShown(program->ui);
    LogTorSaid({"Catching signal", "exiting cleanly", "Interrupt"});
    // Every Tor the program started has ended: the ones each Start halted before its second launch, and this one.
    for (ProcessId pid : program->launcher.Launched()) {
        EXPECT_TRUE(program->launcher.WaitForExit(pid, 5s)) << "Tor " << pid << " is still running";
    }
    const std::string restored = ReadText(UserJs());
    LogBlock("user.js after Stop:", restored);
    EXPECT_FALSE(Contains(restored, "\"network.proxy.socks\", \"127.0.0.1\""));
    auto after = Visit("/after-stop");
    ASSERT_TRUE(after) << "Firefox did not reach the page after Stop";
    EXPECT_EQ(after->peer, "127.0.0.1");
}

} // namespace
} // namespace quorvel::e2e

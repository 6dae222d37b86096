#include "tor/anonymity_mode.h"

#ifndef _WIN32
#include "masking/file_size_limit.h"
#endif
#include "tor_test_fixture.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;

class AnonymityModeTest : public test::TorFixture {
protected:
    AnonymityMode& Mode() {
        if (!mode) {
            mode = std::make_unique<AnonymityMode>(Tor(), ui, language, settings, paths);
        }
        return *mode;
    }
    int StoredMode() const { return settings.ReadInt(settings::kMainMenu, settings::kMode, -1); }

    std::unique_ptr<AnonymityMode> mode;
};

TEST_F(AnonymityModeTest, SwitchingBackAndForthKeepsOneLineEach) {
    WriteTorrc("SocksPort 9050\r\n");
    auto& script = Authenticated();
    for (int i = 0; i < 3; ++i) {
        script.Expect("SIGNAL RELOAD\r\n").Send("250 OK\r\n");
    }
    ASSERT_TRUE(Tor().Connect());

    Mode().OnFastMode();
    EXPECT_EQ(ReadTorrc(),
              "SocksPort 9050\r\n\nTunnelDirConns 1 #Added by Quorvel\nPreferTunneledDirConns 1 #Added by Quorvel");
    Mode().OnStrongMode();
    EXPECT_EQ(StoredMode(), 1);
    Mode().OnFastMode();
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n\r\nTunnelDirConns 1 #Added by Quorvel\r\n"
                           "PreferTunneledDirConns 1 #Added by Quorvel");
    EXPECT_EQ(StoredMode(), 0);
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
    EXPECT_TRUE(fake.Failures().empty());
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(AnonymityModeTest, ModeInEffectStillReloads) {
    const std::string torrc = "TunnelDirConns 0 #Added by Quorvel\r\nPreferTunneledDirConns 0 #Added by Quorvel\r\n";
    WriteTorrc(torrc);
    Authenticated().Expect("SIGNAL RELOAD\r\n").Send("250 OK\r\n");
    ASSERT_TRUE(Tor().Connect());
    // Any mode other than 0 is the strong one.
    Mode().ApplyAnonymityMode(7, MessageOwner::MainWindow);
    EXPECT_EQ(ReadTorrc(), torrc);
    EXPECT_TRUE(fake.WaitScriptsDone(5s));
}

TEST_F(AnonymityModeTest, MissingTorrcIsReportedAndNothingIsSent) {
    Authenticated();
    ASSERT_TRUE(Tor().Connect());
    Mode().OnStrongMode();
    EXPECT_EQ(StoredMode(), 1);
    auto messages = ui.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "No Tor configuration file found! Settings have not been saved. Please reinstall the program.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages[0].owner, MessageOwner::MainWindow);
    EXPECT_FALSE(test::FileExists(TorrcPathNow()));
    EXPECT_EQ(fake.Received(0), test::kPasswordLogin);
}

#ifndef _WIN32 // a write that fails for root too needs the Linux file-size limit
TEST_F(AnonymityModeTest, UnwritableTorrcIsReported) {
    const std::string torrc = std::string(2000, '#') + "\r\n";
    WriteTorrc(torrc);
    {
        test::FileSizeLimit limit(torrc.size());
        Mode().OnStrongMode();
    }
    EXPECT_EQ(ReadTorrc(), torrc);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "The Tor configuration file could not be written! Tor settings have not been changed.");
    EXPECT_EQ(ui.Messages()[0].owner, MessageOwner::MainWindow);
}
#endif

TEST_F(AnonymityModeTest, DialogTextsAndChoice) {
    EXPECT_EQ(FastModeRadioText(language), "Fast mode (more speed)");
    EXPECT_EQ(StrongModeRadioText(language), "Strong anonymity mode (more anonymity)");
    test::WriteFileBytes(env.ProgramFolder() + "/lang/Test.ini", "[Main menu]\nFast mode=Rapide\nmore speed=vite\n");
    settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Test");
    EXPECT_EQ(FastModeRadioText(language), "Rapide (vite)");

    ui.AnswerNextMode(ModeChoice::Strong);
    Mode().SelectMode();
    EXPECT_EQ(StoredMode(), 1);
}

} // namespace
} // namespace quorvel

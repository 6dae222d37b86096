#include "redirect_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using ::testing::ElementsAre;

class IeProxyTest : public ::testing::Test {
protected:
    RedirectWorld w;
    std::string Backup(const std::string& key) const { return w.Setting(settings::kIeProxyBackup, key); }
};

TEST_F(IeProxyTest, EnumerationGrowsTheBufferAndGivesUpQuietly) {
    // Names travel as UTF-16 in the records: accents and characters beyond 16 bits come back whole.
    w.internet.dialUps = {"Office", "Modem \xc3\xa9t\xc3\xa9", "Phone \xf0\x9f\x93\x9e"};
    EXPECT_THAT(w.ie.DialUpConnections(), ElementsAre("Office", "Modem \xc3\xa9t\xc3\xa9", "Phone \xf0\x9f\x93\x9e"));
    EXPECT_THAT(w.internet.log, ElementsAre("enum 1048", "enum 3144"));

    // A phone book that keeps wanting more after five tries, or fails outright, lists nothing.
    w.internet.log.clear();
    w.internet.neverEnough = true;
    EXPECT_TRUE(w.ie.DialUpConnections().empty());
    EXPECT_EQ(w.internet.log.size(), 5u);
    w.internet.neverEnough = false;
    w.internet.enumFailure = 623;
    EXPECT_TRUE(w.ie.DialUpConnections().empty());
}

TEST_F(IeProxyTest, BackupKeepsEveryConnectionAndBlanksTheRedirectionItself) {
    w.internet.dialUps = {"Office", "Travel"};
    w.internet.connections["Office"] = {kProxyTypeDirect | kProxyTypeProxy, "http=proxy:80;https=proxy:443"};
    w.internet.connections["Travel"] = {3, "socks=127.0.0.1:9050"};
    w.internet.Lan() = {kProxyTypeDirect, std::nullopt};

    ASSERT_TRUE(w.ie.BackupIeProxy());
    EXPECT_EQ(Backup("Office-settings"), "3");
    EXPECT_EQ(Backup("Office"), "http=proxy:80;https=proxy:443");
    EXPECT_EQ(Backup("Travel"), ""); // the SOCKS proxy at the current port is no setting of the user's
    EXPECT_EQ(Backup("LAN-settings"), "1");
    EXPECT_EQ(Backup("LAN"), "");
    EXPECT_NE(ReadFileBytes(w.settings.SettingsPath()).find("LAN= "), std::string::npos);

    w.state.torPort = 9150; // at another port the same text is an ordinary proxy setting
    ASSERT_TRUE(w.ie.BackupIeProxy());
    EXPECT_EQ(Backup("Travel"), "socks=127.0.0.1:9050");
}

TEST_F(IeProxyTest, UnreadableConnectionKeepsItsOldBackupAndFails) {
    w.settings.WriteInt(settings::kIeProxyBackup, "LAN-settings", 9);
    w.internet.unreadable = {"LAN"};
    EXPECT_FALSE(w.ie.BackupIeProxy());
    EXPECT_EQ(Backup("LAN-settings"), "9");
}

TEST_F(IeProxyTest, ApplySetsDialUpsThenLanEachFollowedByTheNotifications) {
    w.internet.dialUps = {"Office", "Travel"};
    w.ie.ApplyIeProxy(9050);
    EXPECT_THAT(w.internet.log,
                ElementsAre("enum 1048", "enum 2096", "set Office flags=3 proxy=socks=127.0.0.1:9050", "changed",
                            "refresh", "set Travel flags=3 proxy=socks=127.0.0.1:9050", "changed", "refresh",
                            "set LAN flags=3 proxy=socks=127.0.0.1:9050", "changed", "refresh"));
}

TEST_F(IeProxyTest, RoundTripPutsEveryConnectionBack) {
    w.internet.dialUps = {"Office", "LAN"};
    const ConnectionProxy office{kProxyTypeDirect | kProxyTypeProxy, "ftp=a:21;http=b:8080"};
    const ConnectionProxy lan{kProxyTypeDirect | kProxyTypeAutoDetect, std::nullopt};
    w.internet.connections["Office"] = office;
    w.internet.connections["LAN"] = {kProxyTypeDirect, "dialup-named-lan:1"};
    w.internet.Lan() = lan;

    ASSERT_TRUE(w.ie.BackupIeProxy());
    w.ie.ApplyIeProxy(9050);
    EXPECT_EQ(w.internet.connections["Office"], (ConnectionProxy{3, "socks=127.0.0.1:9050"}));
    EXPECT_EQ(w.internet.Lan(), (ConnectionProxy{3, "socks=127.0.0.1:9050"}));

    // A connection made while redirected has no backup and is left alone.
    w.internet.dialUps.emplace_back("New");
    w.internet.connections["New"] = {kProxyTypeDirect, "new:1"};
    w.internet.log.clear();
    ASSERT_TRUE(w.ie.RestoreIeProxy());
    EXPECT_EQ(w.internet.connections["Office"], office);
    EXPECT_EQ(w.internet.Lan(), lan);
    EXPECT_EQ(w.internet.connections["New"], (ConnectionProxy{kProxyTypeDirect, "new:1"}));
    // The dial-up named "LAN" shares the LAN's keys, so its restore goes to the LAN.
    EXPECT_THAT(w.internet.SetsOnly(), ElementsAre("set Office flags=3 proxy=ftp=a:21;http=b:8080",
                                                   "set LAN flags=9 proxy=(none)", "set LAN flags=9 proxy=(none)"));
}

TEST_F(IeProxyTest, RestoreWithoutBackupClearsTheLanAndReportsFailedSets) {
    w.internet.Lan() = {3, "socks=127.0.0.1:9050"};
    EXPECT_TRUE(w.ie.RestoreIeProxy());
    EXPECT_EQ(w.internet.Lan(), (ConnectionProxy{0, std::nullopt}));

    w.internet.unwritable = {"LAN"};
    EXPECT_FALSE(w.ie.RestoreIeProxy());
}

} // namespace
} // namespace quorvel::test

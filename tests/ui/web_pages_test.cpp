// Which page the privacy test and Support open, and what reaches the browser.

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/web_pages.h"
#include "platform/paths.h"
#include "platform/url_opener.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

class RecordingOpener : public UrlOpener {
public:
    bool Open(const std::string& url) override {
        opened.push_back(url);
        return answer;
    }
    std::vector<std::string> opened;
    bool answer = true;
};

class WebPagesTest : public ::testing::Test {
protected:
    WebPagesTest() { MakeFolders(env.AppData() + "/Quorvel"); }
    void Language(const std::string& name) {
        settings.WriteString(settings::kOptionsDialog, settings::kLanguage, name);
    }

    TestEnvironment env;
    LinuxPaths paths;
    SettingsStore settings{paths};
};

TEST_F(WebPagesTest, TheMakersPrivacyTestCarriesReferrerAndVersion) {
    EXPECT_EQ(PrivacyTestAddress(settings), "http://quorvel.example/privacy_test.php?ref=quorvel-tray&ver=2.0");
    Language("Russian(Русский)");
    EXPECT_EQ(PrivacyTestAddress(settings), "http://quorvel.example/privacy_test-ru.php?ref=quorvel-tray&ver=2.0");
    Language("Russian");
    EXPECT_EQ(PrivacyTestAddress(settings), "http://quorvel.example/privacy_test.php?ref=quorvel-tray&ver=2.0");
}

TEST_F(WebPagesTest, AnOwnPrivacyTestOpensTheChosenAddressOrTheShowMyIpPage) {
    settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, true);
    EXPECT_EQ(PrivacyTestAddress(settings), "check.torproject.org");
    settings.WriteString(settings::kPrivacyTest, settings::kCustomPrivacyTestUrl, "http://example.org/ip");
    EXPECT_EQ(PrivacyTestAddress(settings), "http://example.org/ip");
    settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, false);
    EXPECT_EQ(PrivacyTestAddress(settings).rfind("http://quorvel.example/", 0), 0u);
}

TEST_F(WebPagesTest, SupportIsRussianOnlyForTheExactLanguageName) {
    EXPECT_EQ(SupportAddress(settings), "http://quorvel.example/support/");
    Language("Russian(Русский)");
    EXPECT_EQ(SupportAddress(settings), "http://quorvel.example/support/ru/");
    Language("Russian");
    EXPECT_EQ(SupportAddress(settings), "http://quorvel.example/support/");
}

TEST_F(WebPagesTest, AddressesWithoutASchemeGoToTheBrowserAsHttps) {
    EXPECT_EQ(BrowserAddress("check.torproject.org"), "https://check.torproject.org");
    EXPECT_EQ(BrowserAddress("  example.org/a b  "), "https://example.org/a b");
    EXPECT_EQ(BrowserAddress("http://example.org"), "http://example.org");
    EXPECT_EQ(BrowserAddress("HTTPS://example.org"), "HTTPS://example.org");
    EXPECT_EQ(BrowserAddress("example.org/?next=http://x"), "https://example.org/?next=http://x");
    EXPECT_EQ(BrowserAddress("1http://x"), "https://1http://x");
    EXPECT_EQ(BrowserAddress("   "), "");
}

TEST_F(WebPagesTest, OpeningHandsOneAddressToTheOpenerAndNothingWhenEmpty) {
    RecordingOpener opener;
    EXPECT_TRUE(OpenWebPage(opener, "check.torproject.org"));
    EXPECT_FALSE(OpenWebPage(opener, " "));
    opener.answer = false;
    EXPECT_FALSE(OpenWebPage(opener, "http://quorvel.example/support/"));
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{"https://check.torproject.org", "http://quorvel.example/support/"}));
}

} // namespace
} // namespace quorvel::test

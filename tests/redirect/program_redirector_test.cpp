#include "redirect_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kRestartFirefox =
    "Please restart Firefox to make new settings take effect. All Firefox windows must be closed.";
constexpr const char* kRestartNetscape =
    "Please restart Netscape to make new settings take effect. All Netscape windows must be closed.";
constexpr const char* kCloseIcq = "Close ICQ and click OK!";
constexpr const char* kIcqProxyKey = "Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxySetting0";
constexpr const char* kYahooKey = "Software\\Yahoo\\pager";

class ProgramRedirectorTest : public ::testing::Test {
protected:
    RedirectWorld w;

    void Select(ProgramKind kind, const std::string& value) {
        w.settings.WriteString(settings::kAnonymization, Program(kind).selectionKey, value);
    }
    void SelectOnly(std::initializer_list<ProgramKind> kinds) {
        for (ProgramKind kind : kAllPrograms) {
            Select(kind, "0");
        }
        for (ProgramKind kind : kinds) {
            Select(kind, "1");
        }
    }
    std::string IcqHost() const {
        const auto value = w.registry.GetValue(RegistryHive::CurrentUser, kIcqProxyKey, "ProxyHostName");
        return value ? std::get<std::string>(value->data) : "<none>";
    }
    std::vector<MessageOwner> Owners() const {
        std::vector<MessageOwner> owners;
        for (const auto& box : w.ui.Messages()) {
            owners.push_back(box.owner);
        }
        return owners;
    }
};

TEST_F(ProgramRedirectorTest, DefaultsRedirectOnlyInternetExplorerAndPendingValuesCountAsUnselected) {
    Select(ProgramKind::Firefox, "2");
    Select(ProgramKind::Icq, "-1");
    w.MakeProfile(MozillaBrowser::Firefox, "user_pref(\"network.proxy.type\", 1);\n");
    w.internet.Lan() = {kProxyTypeDirect, std::nullopt};

    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_EQ(w.internet.Lan(), (ConnectionProxy{3, "socks=127.0.0.1:9050"}));
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_EQ(w.internet.Lan(), (ConnectionProxy{kProxyTypeDirect, std::nullopt}));

    EXPECT_TRUE(w.ui.Messages().empty());
    EXPECT_EQ(IcqHost(), "<none>");
    EXPECT_EQ(w.Setting(settings::kFirefoxProxyBackup, settings::kProxy), "<missing>");
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kFirefox), "2"); // left for the page's OK step
}

TEST_F(ProgramRedirectorTest, StartTakesThePortFromTheTorSettings) {
    SelectOnly({ProgramKind::InternetExplorer, ProgramKind::YahooMessenger});
    w.settings.WriteString(settings::kTorSettings, settings::kTorPort, "9150");
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_EQ(w.state.torPort, 9150);
    EXPECT_EQ(w.internet.Lan().proxyServer, "socks=127.0.0.1:9150");
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Port"), RegistryValue::Dword(9150));

    w.settings.WriteString(settings::kTorSettings, settings::kTorPort, "port 9050");
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_EQ(w.state.torPort, 0);

    EXPECT_EQ(ProgramRedirector::ParsePort("  9051x"), 9051);
    EXPECT_EQ(ProgramRedirector::ParsePort("-7"), -7);
    EXPECT_EQ(ProgramRedirector::ParsePort("99999999999999999999"), 2147483647);
}

// Nothing was written into a profile, so there is nothing to restart the browser for.
TEST_F(ProgramRedirectorTest, FirefoxWithoutProfileAtStartWarnsTwiceAndIsDeselected) {
    SelectOnly({ProgramKind::Firefox});
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(),
                ElementsAre("No Firefox profile found!", "Firefox: failed to save proxy settings!"));
    EXPECT_THAT(Owners(), ElementsAre(MessageOwner::None, MessageOwner::MainWindow));
    EXPECT_EQ(w.ui.Messages()[1].icon, MessageIcon::Warning);
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kFirefox), "0");

    w.ui.Clear();
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_TRUE(w.ui.Messages().empty());
}

TEST_F(ProgramRedirectorTest, BackupThatCannotBeStoredIsReportedAndTheRedirectGoesOn) {
    // A settings folder that is a file: nothing can be stored, and every selection reads as its default.
    std::filesystem::remove_all(SettingsFolder(w.paths));
    WriteFileBytes(SettingsFolder(w.paths), "not a folder");
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre("Internet Explorer: failed to save proxy settings!"));
    EXPECT_EQ(w.internet.Lan(), (ConnectionProxy{3, "socks=127.0.0.1:9050"}));
    EXPECT_FALSE(w.messengers.BackupMessengerProxy(ProgramKind::WindowsMessenger));
}

TEST_F(ProgramRedirectorTest, BrowsersAndIcqAreClosedBeforeTheirSettingsChange) {
    SelectOnly({ProgramKind::Firefox, ProgramKind::Icq});
    const std::string userJs = w.MakeProfile(MozillaBrowser::Firefox, "user_pref(\"a\", 1);\n") + "/user.js";
    w.ui.snapshot = [&] { return std::to_string(ReadFileBytes(userJs).size()) + " " + IcqHost(); };
    const std::string redirectedSize =
        std::to_string(MozillaProxy::RedirectionLines(9050, MozillaLineStyle::Page).size());

    // At Start the restart message follows the edit; ICQ is written only after OK.
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartFirefox, kCloseIcq));
    EXPECT_THAT(w.ui.seenAtMessage, ElementsAre(redirectedSize + " <none>", redirectedSize + " <none>"));
    EXPECT_EQ(IcqHost(), "127.0.0.1");

    // At Stop both messages come first.
    w.ui.Clear();
    w.ui.seenAtMessage.clear();
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartFirefox, kCloseIcq));
    EXPECT_THAT(w.ui.seenAtMessage, ElementsAre(redirectedSize + " 127.0.0.1",
                                                std::to_string(MozillaProxy::ResetLines().size()) + " 127.0.0.1"));
    EXPECT_EQ(IcqHost(), "");
}

TEST_F(ProgramRedirectorTest, NetscapeRestartTextFollowsTheLanguageFile) {
    SelectOnly({ProgramKind::Netscape});
    w.MakeProfile(MozillaBrowser::Netscape, "user_pref(\"x\", 1);\n");
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartNetscape));

    w.ui.Clear();
    w.UseLanguage("German", "[Messages]\nRestart Firefox=Bitte den Browser neu starten.\n"
                            "failed to restore the proxy settings=Wiederherstellen fehlgeschlagen!\n");
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre("Bitte den Browser neu starten."));

    // A failed restore names the program in its own words, whatever the language.
    w.ui.Clear();
    w.settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, " ");
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre("Netscape: Wiederherstellen fehlgeschlagen!"));
}

// One restart notice per operation that changed the browser's files, none when nothing changed.
TEST_F(ProgramRedirectorTest, RestartIsAskedForOnlyWhenTheBrowserFilesChanged) {
    SelectOnly({ProgramKind::Firefox});
    w.MakeProfile(MozillaBrowser::Firefox, "user_pref(\"a\", 1);\n");
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartFirefox, kRestartFirefox));

    // A second Stop (Exit while stopped) changes nothing.
    w.ui.Clear();
    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_TRUE(w.ui.Messages().empty());

    // A restore that leaves its notice to the redirect that follows: one box for both.
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    w.ui.Clear();
    w.redirector.RestoreAll(MessageOwner::MainWindow, ProgramRedirector::RestartNotice::Defer);
    EXPECT_TRUE(w.ui.Messages().empty());
    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartFirefox));
}

TEST_F(ProgramRedirectorTest, PageOkStepActsOnPendingChoicesAndAsksForRestart) {
    const std::string userJs = w.MakeProfile(MozillaBrowser::Firefox, "") + "/user.js"; // no prefs.js
    WriteFileBytes(userJs, "user_pref(\"mine\", 1);\n");
    Select(ProgramKind::Firefox, "2");
    Select(ProgramKind::AimClassic, "-1");
    Select(ProgramKind::YahooMessenger, "2");
    w.ui.AnswerNextMessage(MessageResult::No);

    w.redirector.ActOnPendingSelections();
    w.redirector.ShowRestartMessages(MessageOwner::ActiveDialog);

    const auto boxes = w.ui.Messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Firefox: failed to save proxy settings! If you will continue you must restore proxy "
                             "options manually at the end of this anonymous surfing session. Continue anyway?");
    EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(boxes[0].owner, MessageOwner::None);
    EXPECT_EQ(boxes[1].text, kRestartFirefox);
    EXPECT_EQ(boxes[1].owner, MessageOwner::ActiveDialog);

    EXPECT_EQ(ReadFileBytes(userJs), "user_pref(\"mine\", 1);\n"); // No leaves the browser alone
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kFirefox), "1");
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kAimClassic), "0");
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kYahooMessenger), "1");
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Port"), RegistryValue::Dword(9050));
    EXPECT_FALSE(w.state.netscapeSettingsChanged);

    // Answering Yes redirects all the same.
    Select(ProgramKind::Firefox, "2");
    w.ui.AnswerNextMessage(MessageResult::Yes);
    w.redirector.ActOnPendingSelections();
    EXPECT_NE(ReadFileBytes(userJs).find("socks_port\", 9050);"), std::string::npos);
}

TEST_F(ProgramRedirectorTest, StartStopRoundTripPutsEveryProgramBack) {
    SelectOnly({ProgramKind::InternetExplorer, ProgramKind::Firefox, ProgramKind::Netscape, ProgramKind::AimClassic,
                ProgramKind::WindowsMessenger, ProgramKind::YahooMessenger, ProgramKind::Icq});
    w.internet.dialUps = {"Office", "Travel"};
    w.internet.connections["Office"] = {3, "http=corp:3128"};
    w.internet.connections["Travel"] = {kProxyTypeDirect | kProxyTypeAutoDetect, std::nullopt};
    w.internet.Lan() = {kProxyTypeDirect | kProxyTypeAutoProxyUrl, std::nullopt};
    const auto internetBefore = w.internet.connections;
    const std::string firefox = w.MakeProfile(MozillaBrowser::Firefox, "user_pref(\"network.proxy.type\", 4);\r\n");
    const std::string netscape = w.MakeProfile(MozillaBrowser::Netscape, "user_pref(\"general.x\", 1);");
    WriteFileBytes(firefox + "/user.js", "user_pref(\"network.proxy.type\", 4);\n");
    for (const char* key : {"Software\\Yahoo\\pager", kIcqProxyKey}) {
        ASSERT_TRUE(w.registry.CreateKey(RegistryHive::CurrentUser, key));
    }
    w.registry.SetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Server", RegistryValue::String("my.socks"));
    w.registry.SetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Port", RegistryValue::Dword(1080));
    w.registry.SetValue(RegistryHive::CurrentUser, kIcqProxyKey, "ProxyPort", RegistryValue::Dword(8080));

    w.redirector.RedirectAll(MessageOwner::MainWindow);
    EXPECT_THAT(w.ui.MessageTexts(), ElementsAre(kRestartFirefox, kRestartNetscape, kCloseIcq));
    EXPECT_EQ(w.Setting(settings::kFirefoxProxyBackup, settings::kProxy), "~user_pref(\"network.proxy.type\", 4);");
    EXPECT_EQ(w.Setting(settings::kNetscapeProxyBackup, settings::kProxy), "");
    EXPECT_EQ(w.internet.connections["Travel"], (ConnectionProxy{3, "socks=127.0.0.1:9050"}));

    w.redirector.RestoreAll(MessageOwner::MainWindow);
    EXPECT_EQ(w.internet.connections, internetBefore);
    EXPECT_EQ(ReadFileBytes(firefox + "/user.js"), "user_pref(\"network.proxy.type\", 4);\r\n"
                                                   "user_pref(\"network.proxy.type\", 4);"
                                                   "user_pref(\"network.proxy.socks\", \"\");\n"
                                                   "user_pref(\"network.proxy.socks_port\", 0);\n");
    EXPECT_EQ(ReadFileBytes(netscape + "/user.js"), MozillaProxy::ResetLines());
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Server"),
              RegistryValue::String("my.socks"));
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kYahooKey, "Socks Port"), RegistryValue::Dword(1080));
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kIcqProxyKey, "ProxyPort"), RegistryValue::Dword(8080));
    // A value that did not exist before comes back with its saved default.
    EXPECT_EQ(w.registry.GetValue(RegistryHive::CurrentUser, kYahooKey, "SOCKS Enabled"), RegistryValue::Dword(0));
}

} // namespace
} // namespace quorvel::test

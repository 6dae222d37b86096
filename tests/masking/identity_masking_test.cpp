#include "app/language_file.h"
#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "file_size_limit.h"
#include "masking/identity_masking.h"
#include "masking/masking_page_ids.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "support/fake_controls.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;
using namespace settings;

const RegistryHive kHklm = RegistryHive::LocalMachine;
const RegistryHive kHkcu = RegistryHive::CurrentUser;
const std::string kUaKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\User Agent";
const std::string kPostPlatform = kUaKey + "\\Post Platform";
const std::string kCopyPostPlatform = kUaKey + "\\Copy Post Platform";
const std::string kLangKey = "Software\\Microsoft\\Internet Explorer\\International";

const std::string kProxyLine = "user_pref(\"network.proxy.type\", 1);";
const std::string kOwnLanguages = "user_pref(\"intl.accept_languages\", \"de-de, en\");";

std::string UaLine(const std::string& value) {
    return "user_pref(\"general.useragent.override\", \"" + value + "\");";
}
std::string LangLine(const std::string& value) {
    return "user_pref(\"intl.accept_languages\", \"" + value + "\");";
}

IdentityChoice Choice(MaskMode agent, MaskMode language) {
    IdentityChoice choice;
    choice.agentMode = agent;
    choice.languageMode = language;
    choice.os = "Windows";
    choice.osVersion = "XP";
    choice.browser = "Firefox";
    choice.browserVersion = "2";
    choice.falseLanguage = "French (fr)";
    return choice;
}

class IdentityMaskingTest : public testing::Test {
protected:
    IdentityMaskingTest() {
        test::MakeFolders(SettingsFolder(paths)); // on Linux the registry's files make it
        // On Windows these keys are the Wine prefix's own, which outlive a test.
        registry.DeleteTree(kHklm, kUaKey);
        registry.DeleteTree(kHkcu, kLangKey);
        // Internet Explorer as found on a real system: extra tokens and the user's languages.
        registry.CreateKey(kHklm, kPostPlatform);
        registry.SetValue(kHklm, kPostPlatform, "SV1", RegistryValue::String("IEAK"));
        registry.SetValue(kHklm, kPostPlatform, ".NET CLR 2.0.50727", RegistryValue::String(""));
        registry.CreateKey(kHkcu, kLangKey);
        registry.SetValue(kHkcu, kLangKey, "AcceptLanguage", RegistryValue::String("de-DE,en"));

        WriteFileBytes(firefox + "/user.js", kProxyLine + "\n");
        WriteFileBytes(firefox + "/prefs.js", kOwnLanguages + "\n");
        settings.WriteString(kOptionsDialog, kFirefoxProfile, firefox);
    }

    std::optional<std::string> Text(RegistryHive hive, const std::string& key, const std::string& name) const {
        const auto value = registry.GetValue(hive, key, name);
        if (!value) {
            return std::nullopt;
        }
        return std::get<std::string>(value->data);
    }
    std::optional<std::string> AcceptLanguage() const { return Text(kHkcu, kLangKey, "AcceptLanguage"); }
    std::string Stored(const char* key) const { return settings.ReadString(kOptionsDialog, key, "<missing>"); }
    std::string UserJs() const { return ReadFileBytes(firefox + "/user.js"); }

    test::TestEnvironment env;
    test::TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RegistryStore registry{RegistryFolder(paths)};
    test::RecordingUi ui;
    ProcessState state;
    IdentityMasking masking{settings, language, registry, ui, state};
    std::string firefox = env.Home() + "/.mozilla/firefox/abcd.default";
    std::string netscape = env.AppData() + "/Netscape/NSB/efgh.slt";
};

TEST_F(IdentityMaskingTest, MaskedInvisibleDefaultRoundTrip) {
    EXPECT_TRUE(masking.BackupIeUserAgentExtras());
    masking.BackupIeLanguage();
    EXPECT_TRUE(masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox));
    EXPECT_EQ(Stored(kIeLang), "de-DE,en");
    EXPECT_EQ(Stored(kFirefoxLanguagesBackup), kOwnLanguages);
    // The browser has copied an override into prefs.js at some time; Default must take it out there too.
    WriteFileBytes(firefox + "/prefs.js", UaLine("stale") + "\n" + kOwnLanguages + "\n");

    masking.ApplyMasking(Choice(MaskMode::Masked, MaskMode::Masked));
    const std::string ua = "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.8.1) Gecko/20061010 Firefox/2.0";
    EXPECT_EQ(Stored(kOs), "Windows");
    EXPECT_EQ(Stored(kOsVersion), "XP");
    EXPECT_EQ(Stored(kBrowser), "Firefox");
    EXPECT_EQ(Stored(kBrowserVersion), "2");
    EXPECT_EQ(Stored(kAgentRadio), "2");
    EXPECT_EQ(Stored(kLanguageRadio), "2");
    EXPECT_EQ(Stored(kUserAgent), ua);
    EXPECT_EQ(Stored(kLanguageField), "fr");
    EXPECT_EQ(Stored(kFalseLanguage), "French (fr)");
    EXPECT_FALSE(registry.KeyExists(kHklm, kPostPlatform));
    EXPECT_EQ(Text(kHklm, kUaKey, "Compatible"), std::nullopt);
    EXPECT_EQ(Text(kHklm, kUaKey, "Version"), "Windows; U; Windows NT 5.1; rv:1.8.1");
    EXPECT_EQ(Text(kHklm, kUaKey, "Platform"), "Gecko/20061010 Firefox/2.0");
    EXPECT_EQ(AcceptLanguage(), "fr");
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n" + UaLine(ua) + "\r\n\n" + LangLine("fr") + "\n");
    EXPECT_TRUE(state.mozillaSettingsChanged);

    masking.ApplyMasking(Choice(MaskMode::Invisible, MaskMode::Invisible));
    EXPECT_EQ(Stored(kAgentRadio), "1");
    EXPECT_EQ(Stored(kUserAgent), "");
    EXPECT_EQ(Stored(kLanguageField), "");
    EXPECT_EQ(Stored(kFalseLanguage), "French (fr)");
    for (const char* name : {"Compatible", "Version", "Platform"}) {
        EXPECT_EQ(Text(kHklm, kUaKey, name), " ") << name;
    }
    EXPECT_EQ(AcceptLanguage(), "-");
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n" + UaLine("") + "\r\n\r\n" + LangLine("") + "\r\n");

    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    EXPECT_EQ(Stored(kUserAgent), "default");
    EXPECT_EQ(Stored(kLanguageField), "default");
    EXPECT_EQ(registry.ValueNames(kHklm, kUaKey), std::vector<std::string>{});
    EXPECT_EQ(Text(kHklm, kPostPlatform, "SV1"), "IEAK");
    EXPECT_EQ(Text(kHklm, kPostPlatform, ".NET CLR 2.0.50727"), "");
    EXPECT_EQ(AcceptLanguage(), std::nullopt);
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n\r\n\r\n" + kOwnLanguages + "\r\n");
    EXPECT_EQ(ReadFileBytes(firefox + "/prefs.js"), "\r\n" + kOwnLanguages + "\r\n");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(IdentityMaskingTest, MaskedTwiceKeepsOneLine) {
    masking.ApplyMasking(Choice(MaskMode::Masked, MaskMode::Masked));
    IdentityChoice opera = Choice(MaskMode::Masked, MaskMode::Masked);
    opera.browser = "Opera";
    opera.browserVersion = "9";
    opera.falseLanguage = "Welsh (cy)";
    masking.ApplyMasking(opera);
    const std::string text = UserJs();
    EXPECT_EQ(text,
              kProxyLine + "\r\n" + UaLine("Opera/9.0 (Windows NT 5.1; U)") + "\r\n\r\n" + LangLine("cy") + "\r\n");
    // An OK that changes nothing adds nothing.
    masking.ApplyMasking(opera);
    masking.ApplyMasking(Choice(MaskMode::Invisible, MaskMode::Invisible));
    const std::string invisible = UserJs();
    masking.ApplyMasking(Choice(MaskMode::Invisible, MaskMode::Invisible));
    EXPECT_EQ(UserJs(), invisible);
}

TEST_F(IdentityMaskingTest, LanguageBackupIsNeverTheFalseLanguage) {
    ASSERT_TRUE(masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox));
    for (const MaskMode mode : {MaskMode::Masked, MaskMode::Invisible}) {
        masking.ApplyMasking(Choice(MaskMode::Default, mode));
        // The browser has copied the masked line into prefs.js; the options are opened again.
        WriteFileBytes(firefox + "/prefs.js", LangLine(mode == MaskMode::Masked ? "fr" : "") + "\n");
        EXPECT_FALSE(masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox));
        EXPECT_EQ(Stored(kFirefoxLanguagesBackup), kOwnLanguages);
    }
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    EXPECT_NE(UserJs().find(kOwnLanguages), std::string::npos);
}

TEST_F(IdentityMaskingTest, DefaultLanguageWithoutUsableBackupRemovesTheLine) {
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Masked));
    settings.WriteString(kOptionsDialog, kFirefoxLanguagesBackup, "#user_pref(\"intl.accept_languages\", \"x\");");
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n\r\n\r\n");
}

TEST_F(IdentityMaskingTest, NetscapeIsMaskedWithItsOwnBackup) {
    WriteFileBytes(netscape + "/prefs.js", LangLine("ja") + "\n");
    settings.WriteString(kOptionsDialog, kNetscapeProfile, netscape);
    settings.WriteBlank(kOptionsDialog, kFirefoxProfile);
    EXPECT_TRUE(masking.BackupMozillaLanguage(" " + netscape + " ", MozillaBrowser::Netscape));
    EXPECT_EQ(Stored(kNetscapeLanguagesBackup), LangLine("ja"));

    masking.ApplyMasking(Choice(MaskMode::Invisible, MaskMode::Masked));
    EXPECT_EQ(ReadFileBytes(netscape + "/user.js"), "\r\n" + UaLine("") + "\r\n\n" + LangLine("fr") + "\n");
    EXPECT_TRUE(state.mozillaSettingsChanged);
    EXPECT_FALSE(state.netscapeSettingsChanged);
    EXPECT_EQ(UserJs(), kProxyLine + "\n") << "Firefox is not set up any more";

    masking.ApplyMasking(Choice(MaskMode::Invisible, MaskMode::Default));
    EXPECT_EQ(ReadFileBytes(netscape + "/user.js"), "\r\n" + UaLine("") + "\r\n\r\n" + LangLine("ja") + "\r\n");
}

TEST_F(IdentityMaskingTest, UnconfiguredOrRelativeProfilesAreNeverWritten) {
    state.mozillaSettingsChanged = true;
    settings.WriteString(kOptionsDialog, kFirefoxProfile, "abcd.default");
    WriteFileBytes(env.ProgramFolder() + "/abcd.default/user.js", kProxyLine);
    masking.ApplyMasking(Choice(MaskMode::Masked, MaskMode::Masked));
    EXPECT_EQ(ReadFileBytes(env.ProgramFolder() + "/abcd.default/user.js"), kProxyLine);
    EXPECT_FALSE(state.mozillaSettingsChanged);
    EXPECT_FALSE(masking.BackupMozillaLanguage("abcd.default", MozillaBrowser::Firefox));
    EXPECT_FALSE(masking.BackupMozillaLanguage("  ", MozillaBrowser::Firefox));
    EXPECT_EQ(Stored(kFirefoxLanguagesBackup), "<missing>");
}

TEST_F(IdentityMaskingTest, TypedTextThatWouldInjectPreferencesIsRefusedBeforeAnythingIsWritten) {
    const std::string settingsBefore = ReadFileBytes(settings.SettingsPath());
    const auto extrasBefore = registry.ValueNames(kHklm, kPostPlatform);
#ifndef _WIN32
    // The registry is a file only on Linux, where every byte of it can be compared.
    const std::string registryBefore = ReadFileBytes(registry.HiveFile(kHklm));
#endif

    IdentityChoice version = Choice(MaskMode::Masked, MaskMode::Default);
    version.browserVersion = "2\"); user_pref(\"network.proxy.type\", 0); //";
    IdentityChoice semicolon = Choice(MaskMode::Masked, MaskMode::Default);
    semicolon.browserVersion = "2;";
    IdentityChoice newline = Choice(MaskMode::Masked, MaskMode::Default);
    newline.browser = "Firefox\nFirefox profile=/etc";
    IdentityChoice quoteInCode = Choice(MaskMode::Default, MaskMode::Masked);
    quoteInCode.falseLanguage = "Evil (e\")";
    IdentityChoice backslashInCode = Choice(MaskMode::Default, MaskMode::Masked);
    backslashInCode.falseLanguage = "Evil (\\\\)";
    IdentityChoice parenthesis = Choice(MaskMode::Masked, MaskMode::Default);
    parenthesis.browserVersion = "7 beta (x";
    for (const IdentityChoice& choice : {version, semicolon, newline, quoteInCode, backslashInCode, parenthesis}) {
        ui.Clear();
        EXPECT_FALSE(masking.ApplyMasking(choice));
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].caption, "Quorvel");
        EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Warning);
        EXPECT_NE(ui.Messages()[0].text.find("nothing was changed"), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(settings.SettingsPath()), settingsBefore);
#ifndef _WIN32
    EXPECT_EQ(ReadFileBytes(registry.HiveFile(kHklm)), registryBefore);
#endif
    EXPECT_EQ(registry.ValueNames(kHklm, kPostPlatform), extrasBefore);
    EXPECT_EQ(registry.ValueNames(kHklm, kUaKey), std::vector<std::string>{});
    EXPECT_EQ(AcceptLanguage(), "de-DE,en");
    EXPECT_EQ(UserJs(), kProxyLine + "\n");
}

TEST_F(IdentityMaskingTest, TypedTextThatIsHarmlessOnlyWhereItIsNotUsedIsAccepted) {
    // A version only matters when the software identity is masked.
    IdentityChoice choice = Choice(MaskMode::Default, MaskMode::Masked);
    choice.browserVersion = "2\");";
    masking.ApplyMasking(choice);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(AcceptLanguage(), "fr");
}

TEST_F(IdentityMaskingTest, LanguageWithoutCodeKeepsThePreviousLanguage) {
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Masked));

    IdentityChoice typed = Choice(MaskMode::Masked, MaskMode::Masked);
    typed.falseLanguage = "Klingon (tlh";
    EXPECT_TRUE(masking.ApplyMasking(typed));

    ASSERT_EQ(ui.MessageTexts().size(), 1u);
    EXPECT_NE(ui.MessageTexts()[0].find("Klingon (tlh"), std::string::npos);
    EXPECT_EQ(Stored(kFalseLanguage), "French (fr)");
    EXPECT_EQ(Stored(kLanguageField), "fr");
    EXPECT_EQ(Stored(kLanguageRadio), "2");
    EXPECT_EQ(AcceptLanguage(), "fr");
    // The software identity is still applied.
    EXPECT_EQ(Stored(kAgentRadio), "2");
    EXPECT_EQ(Text(kHklm, kUaKey, "Platform"), "Gecko/20061010 Firefox/2.0");
    const std::string ua = UaLine("Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.8.1) Gecko/20061010 Firefox/2.0");
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n\r\n" + LangLine("fr") + "\r\n" + ua + "\n");
}

TEST_F(IdentityMaskingTest, LinuxStoresABlankOsVersionAndEmptyOsFallsBack) {
    IdentityChoice linux = Choice(MaskMode::Masked, MaskMode::Default);
    linux.os = "Linux";
    linux.osVersion = "XP";
    linux.browser = "Konqueror";
    linux.browserVersion = "3";
    masking.ApplyMasking(linux);
    EXPECT_EQ(Stored(kOsVersion), "");
    EXPECT_EQ(Stored(kUserAgent), "Mozilla/5.0 (compatible; Konqueror/3.0)");
    EXPECT_EQ(Text(kHklm, kUaKey, "Platform"), "");

    IdentityChoice empty = Choice(MaskMode::Masked, MaskMode::Default);
    empty.os = "";
    masking.ApplyMasking(empty);
    EXPECT_EQ(Stored(kOs), "");
    EXPECT_EQ(Stored(kUserAgent), "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)");
    EXPECT_EQ(Text(kHklm, kUaKey, "Version"), "MSIE 4.0");
}

TEST_F(IdentityMaskingTest, FalseLanguageIsWrittenBackUnchangedOrEnglish) {
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Invisible));
    EXPECT_EQ(Stored(kFalseLanguage), "English");
    settings.WriteString(kOptionsDialog, kFalseLanguage, "Welsh (cy)");
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    EXPECT_EQ(Stored(kFalseLanguage), "Welsh (cy)");
}

TEST_F(IdentityMaskingTest, ResetRestoresInternetExplorerAndFirefoxAndSetsThePage) {
    masking.BackupIeUserAgentExtras();
    masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox);
    settings.WriteString(kOptionsDialog, kNetscapeProfile, netscape);
    WriteFileBytes(netscape + "/user.js", "netscape\n");
    masking.ApplyMasking(Choice(MaskMode::Masked, MaskMode::Masked));
    WriteFileBytes(firefox + "/prefs.js", UaLine("x") + "\n" + kOwnLanguages + "\n");
    WriteFileBytes(netscape + "/user.js", "netscape\n");
    const std::string settingsBefore = ReadFileBytes(settings.SettingsPath());

    test::FakeControls page;
    using namespace masking_page;
    page.SetCheck(kSoftwareMasked, kChecked);
    page.SetCheck(kLanguageInvisible, kChecked);
    masking.ResetMasking(page);

    EXPECT_EQ(page.Check(kSoftwareDefault), kChecked);
    EXPECT_EQ(page.Check(kSoftwareInvisible), kUnchecked);
    EXPECT_EQ(page.Check(kSoftwareMasked), kUnchecked);
    EXPECT_EQ(page.Check(kLanguageDefault), kChecked);
    EXPECT_EQ(page.Check(kLanguageInvisible), kUnchecked);
    EXPECT_EQ(page.Check(kLanguageMasked), kUnchecked);
    for (const int box : {kOsBox, kOsVersionBox, kBrowserBox, kBrowserVersionBox, kLanguageBox}) {
        EXPECT_FALSE(page.IsEnabled(box)) << box;
    }
    EXPECT_EQ(registry.ValueNames(kHklm, kUaKey), std::vector<std::string>{});
    EXPECT_EQ(Text(kHklm, kPostPlatform, "SV1"), "IEAK");
    EXPECT_EQ(AcceptLanguage(), std::nullopt);
    EXPECT_EQ(UserJs(), kProxyLine + "\r\n\r\n\r\n" + kOwnLanguages + "\r\n");
    EXPECT_EQ(ReadFileBytes(firefox + "/prefs.js"), "\r\n" + kOwnLanguages + "\r\n");
    EXPECT_EQ(ReadFileBytes(netscape + "/user.js"), "netscape\n");
    EXPECT_EQ(ReadFileBytes(settings.SettingsPath()), settingsBefore) << "the next OK stores the page";
}

TEST_F(IdentityMaskingTest, ResetWithoutFirefoxProfileTouchesOnlyInternetExplorer) {
    settings.WriteBlank(kOptionsDialog, kFirefoxProfile);
    WriteFileBytes(firefox + "/user.js", UaLine("masked") + "\n");
    test::FakeControls page;
    masking.ResetMasking(page);
    EXPECT_EQ(UserJs(), UaLine("masked") + "\n");
    EXPECT_EQ(AcceptLanguage(), std::nullopt);
    EXPECT_FALSE(state.mozillaSettingsChanged);
}

TEST_F(IdentityMaskingTest, BackupsWithNothingToKeep) {
    registry.DeleteTree(kHklm, kPostPlatform);
    registry.DeleteValue(kHkcu, kLangKey, "AcceptLanguage");
    EXPECT_TRUE(masking.BackupIeUserAgentExtras());
    EXPECT_FALSE(registry.KeyExists(kHklm, kCopyPostPlatform));
    masking.BackupIeLanguage();
    EXPECT_EQ(Stored(kIeLang), "");

    settings.WriteString(kOptionsDialog, kFirefoxLanguagesBackup, "old");
    WriteFileBytes(firefox + "/prefs.js", "user_pref(\"intl.accept_languages\", \"en\"\n);\n");
    EXPECT_FALSE(masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox)) << "a line broken in two";
    fs::remove(firefox + "/prefs.js");
    EXPECT_FALSE(masking.BackupMozillaLanguage(firefox, MozillaBrowser::Firefox));
    EXPECT_EQ(Stored(kFirefoxLanguagesBackup), "old");

    // Without a copy there were no extra tokens to put back: Default is complete without them.
    masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(registry.KeyExists(kHklm, kPostPlatform));
}

// The registry is a file only on Linux: this makes it fail to grow.
#ifndef _WIN32
TEST_F(IdentityMaskingTest, FailedCopyBackWarnsAndTheRestStillRuns) {
    masking.BackupIeUserAgentExtras();
    masking.ApplyMasking(Choice(MaskMode::Masked, MaskMode::Default));
    // A large unrelated value makes the machine hive by far the largest file written here, so a size limit at its
    // current size fails the copy back (which grows it) and nothing else.
    registry.CreateKey(kHklm, "SOFTWARE\\Other");
    registry.SetValue(kHklm, "SOFTWARE\\Other", "Big", RegistryValue::String(std::string(8000, 'x')));
    {
        test::FileSizeLimit limit(fs::file_size(registry.HiveFile(kHklm)));
        masking.ApplyMasking(Choice(MaskMode::Default, MaskMode::Default));
    }
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].caption, "Quorvel");
    EXPECT_EQ(ui.Messages()[0].text, "Internet Explorer: failed to completely restore User Agent");
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(registry.KeyExists(kHklm, kPostPlatform));
    EXPECT_EQ(registry.ValueNames(kHklm, kUaKey), std::vector<std::string>{}) << "the values are still removed";
    EXPECT_EQ(UserJs().find("general.useragent.override"), std::string::npos);
    EXPECT_EQ(Stored(kUserAgent), "default");
}
#endif

} // namespace
} // namespace quorvel

#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_lists.h"
#include "masking/masking_page_model.h"
#include "platform/paths.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using Names = std::vector<std::string>;

TEST(IdentityLists, OffersDependOnSystemAndMacVersion) {
    EXPECT_TRUE(OsVersionsOf("Linux").empty());
    EXPECT_EQ(BrowsersOf("Windows", "Vista"), BrowsersOf("Windows", "95"));
    EXPECT_EQ(BrowsersOf("Linux", "anything").front(), "Konqueror");
    EXPECT_EQ(BrowsersOf("Mac", "MacOS").front(), "Internet Explorer");
    EXPECT_EQ(BrowsersOf("Mac", "MacOS X").front(), "Safari");
    EXPECT_TRUE(BrowsersOf("Mac", "").empty());
    // The same browser is picked at a different version on each platform.
    EXPECT_EQ(BrowserVersionsOf("Windows", "XP", "Firefox"), (VersionOffer{{"1", "1.5", "2"}, "2"}));
    EXPECT_EQ(BrowserVersionsOf("Linux", "", "Firefox"), (VersionOffer{{"1", "1.5", "2"}, "1.5"}));
    EXPECT_EQ(BrowserVersionsOf("Mac", "MacOS X", "Firefox"), (VersionOffer{{"1", "1.5", "2"}, "1"}));
    EXPECT_EQ(BrowserVersionsOf("Mac", "MacOS", "Internet Explorer"), (VersionOffer{{"4", "5"}, "4"}));
    EXPECT_EQ(BrowserVersionsOf("Mac", "MacOS X", "Internet Explorer"), (VersionOffer{{"5"}, "5"}));
    EXPECT_EQ(BrowserVersionsOf("Mac", "MacOS X", "Safari"), (VersionOffer{{}, ""}));
    EXPECT_EQ(BrowserVersionsOf("Mac", "MacOS", "Safari"), std::nullopt);
    EXPECT_EQ(BrowserVersionsOf("Windows", "XP", "Konqueror"), std::nullopt);
    EXPECT_EQ(IeVersionsOf("ME"), (VersionOffer{{"5.5", "6"}, "5.5"}));
    EXPECT_EQ(IeVersionsOf("MacOS"), std::nullopt);
}

TEST(SoftwarePicker, ChoosingTheSystemRefillsEverythingBelowIt) {
    SoftwarePicker picker = ChooseOperatingSystem({}, "Mac");
    EXPECT_EQ(picker.osVersions, (Names{"MacOS", "MacOS X"}));
    EXPECT_EQ(picker.osVersion, "MacOS X");
    EXPECT_EQ(picker.browser, "Camino");
    EXPECT_EQ(picker.versions, (Names{"0.8", "1", "1.5"}));
    EXPECT_EQ(picker.browserVersion, "0.8");

    picker = ChooseOperatingSystem(picker, "Linux");
    EXPECT_EQ(picker.osVersion, "");
    EXPECT_FALSE(picker.osVersionEnabled);
    EXPECT_EQ(picker.osVersions, (Names{"MacOS", "MacOS X"})) << "the disabled box keeps its list";
    EXPECT_EQ(picker.browsers.front(), "Konqueror");
    EXPECT_EQ(picker.browser, "Konqueror");
    EXPECT_EQ(picker.versions, (Names{"2", "3"}));
    EXPECT_EQ(picker.browserVersion, "3");

    picker = ChooseOperatingSystem(picker, "Windows");
    EXPECT_TRUE(picker.osVersionEnabled);
    EXPECT_EQ(picker.osVersion, "95");
    EXPECT_EQ(picker.browser, "Internet Explorer");
    EXPECT_EQ(picker.versions, (Names{"5", "6", "7"}));
    EXPECT_EQ(picker.browserVersion, "5");
}

TEST(SoftwarePicker, ChoosingAnOsVersion) {
    SoftwarePicker windows = ChooseBrowser(ChooseOperatingSystem({}, "Windows"), "Opera");
    const SoftwarePicker vista = ChooseOsVersion(windows, "Vista");
    EXPECT_EQ(vista.browser, "Internet Explorer");
    EXPECT_EQ(vista.versions, (Names{"7"}));
    EXPECT_EQ(vista.browserVersion, "7");
    EXPECT_EQ(vista.browsers, windows.browsers);

    const SoftwarePicker macX = ChooseOsVersion(ChooseOperatingSystem({}, "Mac"), "MacOS X");
    EXPECT_EQ(macX.browsers.front(), "Safari");
    EXPECT_EQ(macX.browser, "Safari");
    EXPECT_TRUE(macX.versions.empty());
    EXPECT_EQ(macX.browserVersion, "");

    const SoftwarePicker mac = ChooseOsVersion(macX, "MacOS");
    EXPECT_EQ(mac.browsers, (Names{"Internet Explorer", "Opera", "Mozilla", "Netscape"}));
    EXPECT_EQ(mac.browser, "Internet Explorer");
    EXPECT_EQ(mac.versions, (Names{"4", "5"}));
    EXPECT_EQ(mac.browserVersion, "4");

    SoftwarePicker linux = ChooseOperatingSystem({}, "Linux");
    SoftwarePicker expected = linux;
    expected.osVersion = "XP";
    EXPECT_EQ(ChooseOsVersion(linux, "XP"), expected);
}

TEST(SoftwarePicker, ChoosingABrowser) {
    const SoftwarePicker mac = ChooseOperatingSystem({}, "Mac");
    const SoftwarePicker firefox = ChooseBrowser(mac, "Firefox");
    EXPECT_EQ(firefox.versions, (Names{"1", "1.5", "2"}));
    EXPECT_EQ(firefox.browserVersion, "1");

    const SoftwarePicker unlisted = ChooseBrowser(firefox, "Konqueror");
    EXPECT_EQ(unlisted.browser, "Konqueror");
    EXPECT_EQ(unlisted.versions, firefox.versions);
    EXPECT_EQ(unlisted.browserVersion, "");
}

class MaskingPageOpening : public testing::Test {
protected:
    MaskingPageOpening() { test::MakeFolders(SettingsFolder(paths)); }

    test::TestEnvironment env;
    test::TestPaths paths;
    SettingsStore settings{paths};

    std::string Stored(const char* key) { return settings.ReadString(settings::kOptionsDialog, key, "<missing>"); }
};

TEST_F(MaskingPageOpening, FirstOpeningShowsAndStoresTheDefaults) {
    const MaskingPageState page = OpenMaskingPage(settings);
    EXPECT_EQ(page.agentMode, MaskMode::Default);
    EXPECT_EQ(page.languageMode, MaskMode::Default);
    EXPECT_EQ(page.falseLanguage, "English (en)");
    EXPECT_EQ(page.software.os, "Windows");
    EXPECT_EQ(page.software.osVersion, "95");
    EXPECT_EQ(page.software.browser, "Internet Explorer");
    EXPECT_EQ(page.software.versions, (Names{"5", "6", "7"}));
    EXPECT_EQ(page.software.browserVersion, "6");
    EXPECT_FALSE(page.SoftwareBoxesEnabled());
    EXPECT_FALSE(page.LanguageBoxEnabled());

    EXPECT_EQ(Stored(settings::kOs), "Windows");
    EXPECT_EQ(Stored(settings::kOsVersion), "95");
    EXPECT_EQ(Stored(settings::kBrowser), "Internet Explorer");
    EXPECT_EQ(Stored(settings::kBrowserVersion), "<missing>");
}

TEST_F(MaskingPageOpening, StoredChoicesComeBack) {
    using namespace settings;
    settings.WriteInt(kOptionsDialog, kAgentRadio, 2);
    settings.WriteInt(kOptionsDialog, kLanguageRadio, 1);
    settings.WriteString(kOptionsDialog, kOs, "Linux");
    settings.WriteBlank(kOptionsDialog, kOsVersion);
    settings.WriteString(kOptionsDialog, kBrowser, "Firefox");
    settings.WriteString(kOptionsDialog, kBrowserVersion, "2");
    settings.WriteString(kOptionsDialog, kFalseLanguage, "Welsh (cy)");

    const MaskingPageState page = OpenMaskingPage(settings);
    EXPECT_TRUE(page.SoftwareBoxesEnabled());
    EXPECT_FALSE(page.OsVersionBoxEnabled());
    EXPECT_FALSE(page.LanguageBoxEnabled());
    EXPECT_EQ(page.software.osVersion, "");
    EXPECT_EQ(page.software.browsers.front(), "Konqueror");
    EXPECT_EQ(page.software.versions, (Names{"1", "1.5", "2"}));
    EXPECT_EQ(page.software.browserVersion, "2");
    EXPECT_EQ(page.falseLanguage, "Welsh (cy)");

    const IdentityChoice selections = page.Selections();
    EXPECT_EQ(selections.agentMode, MaskMode::Masked);
    EXPECT_EQ(selections.languageMode, MaskMode::Invisible);
    EXPECT_EQ(selections.browser, "Firefox");
    EXPECT_EQ(selections.falseLanguage, "Welsh (cy)");
}

TEST_F(MaskingPageOpening, UnusableSystemBecomesWindowsAndMacGetsItsVersion) {
    settings.WriteString(settings::kOptionsDialog, settings::kOs, "9lives");
    EXPECT_EQ(OpenMaskingPage(settings).software.os, "Windows");
    EXPECT_EQ(Stored(settings::kOs), "Windows");

    settings.WriteString(settings::kOptionsDialog, settings::kOs, "Mac");
    settings.WriteBlank(settings::kOptionsDialog, settings::kOsVersion);
    settings.WriteString(settings::kOptionsDialog, settings::kBrowser, "Camino");
    const MaskingPageState mac = OpenMaskingPage(settings);
    EXPECT_EQ(mac.software.osVersion, "MacOS");
    EXPECT_EQ(Stored(settings::kOsVersion), "MacOS");
    EXPECT_EQ(mac.software.browsers, (Names{"Internet Explorer", "Opera", "Mozilla", "Netscape"}));
}

} // namespace
} // namespace quorvel

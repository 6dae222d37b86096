#include "pages/masking_page.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using namespace masking_page;

class MaskingPageTest : public ::testing::Test {
protected:
    void Pick(int box, const std::string& entry) {
        const int index = controls.FindStringExact(box, entry);
        ASSERT_GE(index, 0) << entry;
        controls.SetCurSel(box, index);
        controls.SetText(box, controls.ItemText(box, 0)); // the edit still shows the old text while it is picked
        switch (box) {
        case kOsBox:
            page.OnOsSelected(controls);
            break;
        case kOsVersionBox:
            page.OnOsVersionSelected(controls);
            break;
        default:
            page.OnBrowserSelected(controls);
            break;
        }
    }
    std::vector<std::string> Items(int id) const { return controls.Get(id).items; }

    PagesWorld world;
    FakeControls controls;
    CMaskingPage page{world.settings, world.language, world.masking};
};

TEST_F(MaskingPageTest, FirstOpeningShowsTheDefaultsAndStoresThem) {
    page.OnInitDialog(controls);

    EXPECT_EQ(Items(kOsBox), (std::vector<std::string>{"Windows", "Linux", "Mac"}));
    EXPECT_EQ(controls.Text(kOsBox), "Windows");
    EXPECT_EQ(controls.Text(kOsVersionBox), "95");
    EXPECT_EQ(controls.Text(kBrowserBox), "Internet Explorer");
    EXPECT_EQ(Items(kBrowserVersionBox), (std::vector<std::string>{"5", "6", "7"}));
    EXPECT_EQ(controls.Text(kBrowserVersionBox), "6");
    EXPECT_EQ(controls.Text(kLanguageBox), "English (en)");
    EXPECT_EQ(controls.Count(kLanguageBox), 138);
    EXPECT_EQ(controls.Check(kSoftwareDefault), kChecked);
    EXPECT_EQ(controls.Check(kSoftwareMasked), kUnchecked);
    EXPECT_EQ(controls.Check(kLanguageDefault), kChecked);
    for (int box : {kOsBox, kOsVersionBox, kBrowserBox, kBrowserVersionBox, kLanguageBox}) {
        EXPECT_FALSE(controls.IsEnabled(box)) << box;
    }

    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kOs), "Windows");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kOsVersion), "95");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kBrowser), "Internet Explorer");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kBrowserVersion), "<missing>");

    EXPECT_EQ(controls.Text(kApplicableTo), "Applicable to Internet Explorer, Firefox");
    EXPECT_EQ(controls.Text(kTakesEffectNote), "Changes will take effect after browser restarting.");
    EXPECT_EQ(controls.Text(kRecommend), "(recommend)");
    EXPECT_EQ(controls.Text(kLanguageMasked), "Masked");
    EXPECT_EQ(controls.Text(kBrowserVersionLabel), "Version");
    EXPECT_EQ(controls.Text(kResetButton), "Reset to default");
}

TEST_F(MaskingPageTest, StoredMaskedChoicesOpenEnabled) {
    world.settings.WriteInt(settings::kOptionsDialog, settings::kAgentRadio, 2);
    world.settings.WriteInt(settings::kOptionsDialog, settings::kLanguageRadio, 1);
    world.settings.WriteString(settings::kOptionsDialog, settings::kOs, "Linux");
    world.settings.WriteString(settings::kOptionsDialog, settings::kBrowser, "Mozilla");
    world.settings.WriteString(settings::kOptionsDialog, settings::kBrowserVersion, "1.7");
    world.settings.WriteString(settings::kOptionsDialog, settings::kFalseLanguage, "German (de)");
    page.OnInitDialog(controls);

    EXPECT_EQ(controls.Check(kSoftwareMasked), kChecked);
    EXPECT_EQ(controls.Check(kLanguageInvisible), kChecked);
    EXPECT_TRUE(controls.IsEnabled(kOsBox));
    EXPECT_FALSE(controls.IsEnabled(kOsVersionBox)); // Linux has no versions
    EXPECT_TRUE(controls.IsEnabled(kBrowserVersionBox));
    EXPECT_FALSE(controls.IsEnabled(kLanguageBox));
    EXPECT_EQ(controls.Text(kBrowserBox), "Mozilla");
    EXPECT_EQ(controls.Text(kBrowserVersionBox), "1.7");
    EXPECT_EQ(controls.Text(kLanguageBox), "German (de)");
}

TEST_F(MaskingPageTest, PickingLinuxMasksTheSoftwareAndOffersKonqueror) {
    page.OnInitDialog(controls);
    Pick(kOsBox, "Linux");

    EXPECT_EQ(controls.Check(kSoftwareMasked), kChecked);
    EXPECT_EQ(controls.Check(kSoftwareDefault), kUnchecked);
    EXPECT_FALSE(controls.IsEnabled(kOsVersionBox));
    EXPECT_EQ(controls.Text(kOsVersionBox), " ");
    EXPECT_EQ(Items(kOsVersionBox).size(), 6u) << "the OS-version list is kept as it was";
    EXPECT_TRUE(controls.IsEnabled(kOsBox));
    EXPECT_TRUE(controls.IsEnabled(kBrowserBox));
    EXPECT_EQ(controls.Text(kBrowserBox), "Konqueror");
    EXPECT_EQ(Items(kBrowserVersionBox), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(controls.Text(kBrowserVersionBox), "3");
    // Picking stores nothing.
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kOs), "Windows");

    Pick(kOsBox, "Windows");
    EXPECT_TRUE(controls.IsEnabled(kOsVersionBox));
    EXPECT_EQ(controls.Text(kOsVersionBox), "95");
}

TEST_F(MaskingPageTest, OsVersionsDriveTheBrowsers) {
    page.OnInitDialog(controls);
    Pick(kOsVersionBox, "Vista");
    EXPECT_EQ(controls.Text(kBrowserBox), "Internet Explorer");
    EXPECT_EQ(Items(kBrowserVersionBox), (std::vector<std::string>{"7"}));
    EXPECT_EQ(controls.Text(kBrowserVersionBox), "7");

    Pick(kOsBox, "Mac");
    Pick(kOsVersionBox, "MacOS X");
    EXPECT_EQ(controls.Text(kBrowserBox), "Safari");
    EXPECT_EQ(controls.ItemText(kBrowserBox, 0), "Safari");
    EXPECT_EQ(controls.Text(kBrowserVersionBox), "");

    Pick(kBrowserBox, "Firefox");
    EXPECT_FALSE(Items(kBrowserVersionBox).empty());
    EXPECT_NE(controls.Text(kBrowserVersionBox), "");
}

TEST_F(MaskingPageTest, RadioButtonsSwitchTheirBoxes) {
    page.OnInitDialog(controls);
    page.OnSoftwareModeClicked(controls, kSoftwareMasked);
    for (int box : {kOsBox, kOsVersionBox, kBrowserBox, kBrowserVersionBox}) {
        EXPECT_TRUE(controls.IsEnabled(box)) << box;
    }
    page.OnSoftwareModeClicked(controls, kSoftwareInvisible);
    EXPECT_FALSE(controls.IsEnabled(kBrowserBox));
    page.OnLanguageModeClicked(controls, kLanguageMasked);
    EXPECT_TRUE(controls.IsEnabled(kLanguageBox));
    page.OnLanguageModeClicked(controls, kLanguageDefault);
    EXPECT_FALSE(controls.IsEnabled(kLanguageBox));
}

TEST_F(MaskingPageTest, OkAppliesWhatTheControlsShowIncludingTypedText) {
    page.OnInitDialog(controls);
    Pick(kOsBox, "Linux");
    controls.SetText(kBrowserVersionBox, "3.5"); // typed
    controls.SetCheck(kLanguageDefault, kUnchecked);
    controls.SetCheck(kLanguageMasked, kChecked);
    controls.SetText(kLanguageBox, "German (de)");
    page.OnOK(controls);

    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "2");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguageRadio), "2");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kOs), "Linux");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kBrowser), "Konqueror");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kBrowserVersion), "3.5");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFalseLanguage), "German (de)");
    EXPECT_NE(world.Setting(settings::kOptionsDialog, settings::kUserAgent).find("Konqueror/3.5"), std::string::npos);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguageField), "de");
}

// The refusal comes before any page stores anything, so the sheet stays open on this page; "(" is refused as the
// message says, like ")".
TEST_F(MaskingPageTest, RefusedTypedTextKeepsTheSheetOpen) {
    page.OnInitDialog(controls);
    Pick(kOsBox, "Linux");
    const std::string before = ReadFileBytes(world.settings.SettingsPath());
    controls.SetText(kBrowserVersionBox, "3 (beta");
    EXPECT_FALSE(page.CanApply(controls));
    ASSERT_EQ(world.ui.MessageTexts().size(), 1u);
    EXPECT_NE(world.ui.MessageTexts()[0].find("\"3 (beta\": "), std::string::npos);
    EXPECT_NE(world.ui.MessageTexts()[0].find("parentheses"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(world.settings.SettingsPath()), before);

    controls.SetText(kBrowserVersionBox, "3.5");
    EXPECT_TRUE(page.CanApply(controls));
}

TEST_F(MaskingPageTest, ResetShowsDefaultAndKeepsTheStoredChoices) {
    world.settings.WriteInt(settings::kOptionsDialog, settings::kAgentRadio, 2);
    world.settings.WriteInt(settings::kOptionsDialog, settings::kLanguageRadio, 2);
    page.OnInitDialog(controls);
    page.OnResetToDefault(controls);
    EXPECT_EQ(controls.Check(kSoftwareDefault), kChecked);
    EXPECT_EQ(controls.Check(kSoftwareMasked), kUnchecked);
    EXPECT_EQ(controls.Check(kLanguageDefault), kChecked);
    EXPECT_FALSE(controls.IsEnabled(kOsBox));
    EXPECT_FALSE(controls.IsEnabled(kLanguageBox));
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "2");
}

} // namespace
} // namespace quorvel::test

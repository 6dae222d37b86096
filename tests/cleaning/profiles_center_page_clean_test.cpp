#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "cleaning/profiles_center_page_clean.h"
#include "platform/paths.h"
#include "support/fake_controls.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Page = CProfilesCenterPageClean;

class CleanDialogTest : public ::testing::Test {
protected:
    void SetUp() override { MakeFolders(env.AppData() + "/Quorvel"); }
    void SelectBrowser(int group, int position) {
        settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, group);
        settings.WriteInt(settings::kOptionsDialog, settings::kCurrentBrowser, position);
    }
    // The dialog made anew from a template, as the profiles center does on every program change.
    FakeControls& Create(int templateId) {
        controls = FakeControls();
        dialog.SetTemplateId(templateId);
        dialog.OnInitDialog(controls);
        return controls;
    }
    void Click(int id, int state) {
        controls.SetCheck(id, state);
        dialog.OnCheckBoxClicked(controls, id);
    }
    bool Stored(const char* key) const { return settings.ReadBool(settings::kCleanOptions, key, false); }

    TestEnvironment env;
    TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    Page dialog{settings, language};
    FakeControls controls;
};

TEST_F(CleanDialogTest, FirefoxBoxesWithTheirMarksWhenFirefoxIsSelected) {
    SelectBrowser(0, 1);
    settings.WriteBool(settings::kCleanOptions, settings::kFirefoxCookies, true);
    settings.WriteBool(settings::kCleanOptions, settings::kFirefoxDownloadsHistory, true);
    const auto& c = Create(Page::kFirefoxTemplate);
    EXPECT_EQ(c.Get(306).text, "Cache *");
    EXPECT_EQ(c.Get(307).text, "Cookies");
    EXPECT_EQ(c.Get(308).text, "History *^");
    EXPECT_EQ(c.Get(309).text, "Forms and passwords *");
    EXPECT_EQ(c.Get(310).text, "Downloads history");
    EXPECT_EQ(c.Get(1040).text, "* the browser must be closed");
    EXPECT_EQ(c.Get(1041).text, "^ Firefox 2 only");
    EXPECT_EQ(c.Get(306).check, kUnchecked);
    EXPECT_EQ(c.Get(307).check, kChecked);
    EXPECT_EQ(c.Get(310).check, kChecked);
    // Only the template's own boxes are touched.
    for (int id : {300, 311, 1038}) {
        EXPECT_EQ(c.Get(id).text, "") << id;
    }
}

TEST_F(CleanDialogTest, MarksFollowTheSelectedBrowser) {
    SelectBrowser(1, 1); // a messenger group: no browser selected
    auto* c = &Create(Page::kFirefoxTemplate);
    EXPECT_EQ(c->Get(306).text, "Cache *");
    EXPECT_EQ(c->Get(308).text, "History");
    EXPECT_EQ(c->Get(309).text, "Forms and passwords");

    SelectBrowser(0, 2);
    c = &Create(Page::kNetscapeTemplate);
    EXPECT_EQ(c->Get(311).text, "Cache *");
    EXPECT_EQ(c->Get(312).text, "Cookies");
    EXPECT_EQ(c->Get(313).text, "History *");
    EXPECT_EQ(c->Get(314).text, "Forms and passwords");
    EXPECT_EQ(c->Get(315).text, "Downloads history");
    EXPECT_EQ(c->Get(1040).text, "* the browser must be closed");
    EXPECT_EQ(c->Get(1041).text, "");

    SelectBrowser(0, 1);
    c = &Create(Page::kNetscapeTemplate);
    EXPECT_EQ(c->Get(311).text, "Cache");
    EXPECT_EQ(c->Get(313).text, "History");
}

TEST_F(CleanDialogTest, InternetExplorerAndNoOptionsTemplates) {
    settings.WriteBool(settings::kCleanOptions, settings::kIeHistory, true);
    auto* c = &Create(Page::kInternetExplorerTemplate);
    EXPECT_EQ(c->Get(300).text, "Cache");
    EXPECT_EQ(c->Get(301).text, "Cookies");
    EXPECT_EQ(c->Get(302).text, "Addresses cache");
    EXPECT_EQ(c->Get(303).text, "Forms and passwords");
    EXPECT_EQ(c->Get(304).text, "History");
    EXPECT_EQ(c->Get(304).check, kChecked);
    EXPECT_EQ(c->Get(1040).text, "");

    c = &Create(Page::kNoOptionsTemplate);
    EXPECT_EQ(c->Get(1038).text, "No clean options available.");
    EXPECT_EQ(c->Log().size(), 1u);
}

TEST_F(CleanDialogTest, OkStoresTouchedChoicesOnly) {
    settings.WriteBool(settings::kCleanOptions, settings::kIeCache, true);
    settings.WriteBool(settings::kCleanOptions, settings::kIeCookies, true);
    Create(Page::kInternetExplorerTemplate);
    Click(300, kUnchecked);
    Click(302, kChecked);
    Click(303, kChecked);
    Click(303, kUnchecked);
    EXPECT_EQ(dialog.Choice(300), Page::kCleared);
    EXPECT_EQ(dialog.Choice(301), Page::kUntouched);
    EXPECT_EQ(dialog.Choice(302), Page::kTicked);
    EXPECT_EQ(dialog.Choice(303), Page::kCleared);
    EXPECT_EQ(dialog.Choice(999), Page::kUntouched);
    // Nothing is stored before OK.
    EXPECT_TRUE(Stored(settings::kIeCache));
    EXPECT_FALSE(Stored(settings::kIeUrlCache));

    dialog.StoreChoices();
    EXPECT_FALSE(Stored(settings::kIeCache));
    EXPECT_TRUE(Stored(settings::kIeCookies));
    EXPECT_TRUE(Stored(settings::kIeUrlCache));
    EXPECT_FALSE(Stored(settings::kIeFormsAndPasswords));
    // Untouched boxes write nothing at all.
    EXPECT_EQ(settings.ReadString(settings::kCleanOptions, settings::kIeHistory, "absent"), "absent");
}

TEST_F(CleanDialogTest, ChoicesSurviveSwitchingBrowsersAndShowAgain) {
    SelectBrowser(0, 1);
    Create(Page::kFirefoxTemplate);
    Click(306, kChecked);
    SelectBrowser(0, 2);
    Create(Page::kNetscapeTemplate);
    Click(312, kChecked);
    SelectBrowser(0, 1);
    const auto& c = Create(Page::kFirefoxTemplate);
    // The box shows what the user chose, which is what OK will store.
    EXPECT_EQ(c.Get(306).check, kChecked);

    dialog.StoreChoices();
    EXPECT_TRUE(Stored(settings::kFirefoxCache));
    EXPECT_TRUE(Stored(settings::kNetscapeCookies));
}

TEST_F(CleanDialogTest, TextsComeFromTheLanguageFile) {
    settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Testish");
    WriteFileBytes(env.ProgramFolder() + "/lang/Testish.ini", "[Clean dialog]\n"
                                                              "Cache=Kesh\n"
                                                              "Firefox 2 only=^ nur Firefox 2\n"
                                                              "No clean options=Keine.\n");
    SelectBrowser(0, 1);
    auto* c = &Create(Page::kFirefoxTemplate);
    EXPECT_EQ(c->Get(306).text, "Kesh *");
    EXPECT_EQ(c->Get(1041).text, "^ nur Firefox 2");
    c = &Create(Page::kNoOptionsTemplate);
    EXPECT_EQ(c->Get(1038).text, "Keine.");
}

} // namespace
} // namespace quorvel::test

#include "pages/options_sheet_model.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// A page that notes what the sheet asked of it.
class NotingPage : public OptionsPage {
public:
    NotingPage(std::string name, std::vector<std::string>& log, bool accepts = true)
        : m_name(std::move(name)), m_log(log), m_accepts(accepts) {}
    int TemplateId() const override { return 0; }
    std::string Title() const override { return m_name; }
    void OnInitDialog(Controls&) override { m_log.push_back(m_name + " init"); }
    bool CanApply(const Controls&) override {
        m_log.push_back(m_name + " check");
        return m_accepts;
    }
    void OnOK(Controls&) override { m_log.push_back(m_name + " ok"); }
    void OnCancel(Controls&) override { m_log.push_back(m_name + " cancel"); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_accepts;
};

TEST(OptionsSheetModelTest, OkChecksThenAppliesOnlyTheShownPagesInTabOrder) {
    std::vector<std::string> log;
    NotingPage a("a", log), b("b", log), c("c", log);
    OptionsSheetModel sheet({&a, &b, &c});
    FakeControls ca, cc;
    sheet.Show(2, cc);
    sheet.Show(0, ca);
    sheet.Show(2, cc); // shown again: not initialised again
    EXPECT_FALSE(sheet.WasShown(1));

    EXPECT_EQ(sheet.OnOK(), std::nullopt);
    EXPECT_EQ(log, (std::vector<std::string>{"c init", "a init", "a check", "c check", "a ok", "c ok"}));

    log.clear();
    sheet.OnCancel();
    EXPECT_EQ(log, (std::vector<std::string>{"a cancel", "c cancel"}));
}

TEST(OptionsSheetModelTest, ARefusingPageStopsEveryOkStep) {
    std::vector<std::string> log;
    NotingPage a("a", log), b("b", log, false), c("c", log);
    OptionsSheetModel sheet({&a, &b, &c});
    FakeControls ca, cb, cc;
    sheet.Show(0, ca);
    sheet.Show(1, cb);
    sheet.Show(2, cc);
    log.clear();
    EXPECT_EQ(sheet.OnOK(), 1u);
    EXPECT_EQ(log, (std::vector<std::string>{"a check", "b check"}));
}

class OptionsSheetTest : public ::testing::Test {
protected:
    PagesWorld world;
    OptionsPages pages{world.Parts()};
    OptionsSheetModel sheet{pages.InTabOrder()};
    std::array<FakeControls, 5> controls;
    FakeChildHost host;
};

TEST_F(OptionsSheetTest, CaptionAndTabTitlesInTheirOrder) {
    EXPECT_EQ(OptionsSheetModel::Caption(world.language), "Options");
    std::vector<std::string> titles;
    std::vector<int> templates;
    for (std::size_t i = 0; i < sheet.PageCount(); ++i) {
        titles.push_back(sheet.Page(i).Title());
        templates.push_back(sheet.Page(i).TemplateId());
    }
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Profiles center", "Masking", "Other", "Country selection", "Privacy test"}));
    EXPECT_EQ(templates, (std::vector<int>{134, 201, 186, 200, 185}));
}

TEST_F(OptionsSheetTest, OkAfterTheFirstTabAppliesOnlyTheProfilesCenter) {
    pages.profilesCenter.SetChildHost(&host);
    sheet.Show(0, controls[0]);
    controls[0].SetCheck(CProfilesCenterPage::kAnonymizeBox, kUnchecked);
    pages.profilesCenter.OnAnonymizeClicked(controls[0]);
    EXPECT_EQ(sheet.OnOK(), std::nullopt);

    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "0");
    // The masking page was never shown: nothing of it is stored or applied.
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kUserAgent), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kShowBalloonTips), "<missing>");
}

TEST_F(OptionsSheetTest, ABadPortOnTheOtherPageStoresNothingAnywhere) {
    world.WriteTorrc("SocksPort 9050\r\n");
    pages.profilesCenter.SetChildHost(&host);
    sheet.Show(0, controls[0]);
    controls[0].SetCheck(CProfilesCenterPage::kAnonymizeBox, kUnchecked);
    pages.profilesCenter.OnAnonymizeClicked(controls[0]);
    sheet.Show(1, controls[1]);
    sheet.Show(2, controls[2]);
    controls[2].SetText(COtherPage::kPortEdit, "70000");

    EXPECT_EQ(sheet.OnOK(), 2u);
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "-1") << "still pending";
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "<missing>");
    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n");
    EXPECT_EQ(world.ui.Messages().size(), 1u);

    // Mended, the same OK goes through.
    controls[2].SetText(COtherPage::kPortEdit, "9150");
    EXPECT_EQ(sheet.OnOK(), std::nullopt);
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "0");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kAgentRadio), "0");
    EXPECT_EQ(world.Torrc(), "SocksPort 9150\r\n\nMaxCircuitDirtiness 1800\nNewCircuitPeriod 1800");
}

TEST_F(OptionsSheetTest, CancelPutsBackTheProfilesCenterOnly) {
    pages.profilesCenter.SetChildHost(&host);
    sheet.Show(0, controls[0]);
    controls[0].SetCheck(CProfilesCenterPage::kAnonymizeBox, kUnchecked);
    pages.profilesCenter.OnAnonymizeClicked(controls[0]);
    sheet.Show(4, controls[4]);
    sheet.OnCancel();
    EXPECT_EQ(world.Setting(settings::kAnonymization, settings::kInternetExplorer), "1");
    EXPECT_EQ(world.Setting(settings::kPrivacyTest, settings::kCustomPrivacyTest), "<missing>");
}

TEST(PrepareOptionsSheetTest, KnownFoldersNeedNoDetection) {
    PagesWorld world;
    world.MakeFirefoxProfile("user_pref(\"intl.accept_languages\", \"fr\");\r\n");
    const std::string stored = world.env.Home() + "/stored";
    for (const char* browser : {"/firefox", "/netscape"}) {
        MakeFolders(stored + browser);
        WriteFileBytes(stored + browser + "/times.json", "{}\n");
    }
    world.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, stored + "/firefox");
    world.settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, stored + "/netscape");
    PrepareOptionsSheet(world.paths, world.settings, world.masking);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxProfile), stored + "/firefox");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxLanguagesBackup), "<missing>");
}

TEST(PrepareOptionsSheetTest, AFolderFoundFirstHasItsLanguagesKept) {
    PagesWorld world;
    const std::string profile = world.MakeFirefoxProfile("user_pref(\"intl.accept_languages\", \"fr\");\r\n");
    PrepareOptionsSheet(world.paths, world.settings, world.masking);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxProfile), profile);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxLanguagesBackup),
              "user_pref(\"intl.accept_languages\", \"fr\");");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kNetscapeLanguagesBackup), "<missing>");
}

} // namespace
} // namespace quorvel::test

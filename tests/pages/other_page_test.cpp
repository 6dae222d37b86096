#include "masking/file_size_limit.h"
#include "pages/other_page.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Page = COtherPage;

class OtherPageTest : public ::testing::Test {
protected:
    void Open() { page.OnInitDialog(controls); }
    void Type(const std::string& port, const std::string& period) {
        controls.SetText(Page::kPortEdit, port);
        controls.SetText(Page::kPeriodEdit, period);
    }
    void PickLanguage(int index) {
        controls.SetCurSel(Page::kLanguageBox, index);
        page.OnLanguageSelected(controls);
    }

    PagesWorld world;
    FakeControls controls;
    Page page{world.paths, world.settings, world.language, world.ui};
};

TEST_F(OtherPageTest, OpensWithTheStoredValuesOrTheirDefaults) {
    Open();
    EXPECT_EQ(controls.Text(Page::kPortEdit), "9050");
    EXPECT_EQ(controls.Text(Page::kPeriodEdit), "30");
    EXPECT_EQ(controls.Text(Page::kLanguageBox), "English");
    EXPECT_EQ(controls.Get(Page::kLanguageBox).items, (std::vector<std::string>{"English", "Russian(Русский)"}));
    EXPECT_EQ(controls.Check(Page::kBalloonTipsBox), kChecked);
    EXPECT_EQ(controls.Text(Page::kPortDefault), "Default 9050");
    EXPECT_EQ(controls.Text(Page::kTakesEffectNote), "Changes will take effect after restarting.");
    EXPECT_EQ(controls.Text(Page::kBalloonTipsBox), "Show baloon tips when running and changing IP");

    world.settings.WriteString(settings::kTorSettings, settings::kTorPort, "9150");
    world.settings.WriteString(settings::kTorSettings, settings::kTorIpPeriod, "10");
    world.settings.WriteBool(settings::kOptionsDialog, settings::kShowBalloonTips, false);
    world.settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Russian(Русский)");
    FakeControls again;
    page.OnInitDialog(again);
    EXPECT_EQ(again.Text(Page::kPortEdit), "9150");
    EXPECT_EQ(again.Text(Page::kPeriodEdit), "10");
    EXPECT_EQ(again.Text(Page::kLanguageBox), "Russian(Русский)");
    EXPECT_EQ(again.Check(Page::kBalloonTipsBox), kUnchecked);
}

TEST_F(OtherPageTest, OkWritesThePortAndThePeriodInSecondsIntoTheTorrc) {
    world.WriteTorrc("SocksPort 9050\r\nMaxCircuitDirtiness 600\r\nNewCircuitPeriod 600\r\n");
    Open();
    Type("9150", "30");
    page.OnOK(controls);
    EXPECT_EQ(world.Torrc(), "SocksPort 9150\r\nMaxCircuitDirtiness 1800\r\nNewCircuitPeriod 1800\r\n");
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorPort), "9150");
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorIpPeriod), "30");

    Type("9150", "1");
    page.OnOK(controls);
    EXPECT_EQ(world.Torrc(), "SocksPort 9150\r\nMaxCircuitDirtiness 60\r\nNewCircuitPeriod 60\r\n");
}

TEST_F(OtherPageTest, MissingOptionsAreAppendedExceptTheSocksPort) {
    world.WriteTorrc("ControlPort 9051\r\n");
    Open();
    Type("9150", "30");
    page.OnOK(controls);
    EXPECT_EQ(world.Torrc(), "ControlPort 9051\r\n\nMaxCircuitDirtiness 1800\nNewCircuitPeriod 1800");
    // Tor is not told to use that port, so the programs are not pointed at it; the user is told.
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorPort), "<missing>");
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorIpPeriod), "30");
    ASSERT_EQ(world.ui.Messages().size(), 1u);
    EXPECT_EQ(world.ui.Messages()[0].icon, MessageIcon::Warning);
}

TEST_F(OtherPageTest, ThePortIsStoredAsTheOneTorIsToldToUse) {
    world.WriteTorrc("SocksPort 127.0.0.1:9050\r\n");
    Open();
    Type("9150", "30");
    page.OnOK(controls);
    EXPECT_EQ(world.Torrc(), "SocksPort 127.0.0.1:9150\r\n\nMaxCircuitDirtiness 1800\nNewCircuitPeriod 1800");
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorPort), "9150");
    EXPECT_TRUE(world.ui.Messages().empty());
}

TEST_F(OtherPageTest, AnUnwritableTorrcIsReportedAndStoresNoTorSetting) {
    const std::string torrc = std::string(2000, '#') + "\r\nSocksPort 9050\r\n";
    world.WriteTorrc(torrc);
    Open();
    Type("9150", "10");
    PickLanguage(1);
    {
        FileSizeLimit limit(torrc.size()); // the new torrc is longer
        page.OnOK(controls);
    }
    EXPECT_EQ(world.Torrc(), torrc);
    EXPECT_EQ(world.ui.MessageTexts(),
              std::vector<std::string>{
                  "The Tor configuration file could not be written! Tor settings have not been changed."});
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorPort), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguage), "Russian(Русский)");
}

TEST_F(OtherPageTest, WithoutATorrcOnlyTheProgramSettingsAreWritten) {
    Open();
    Type("9150", "30");
    PickLanguage(1);
    controls.SetCheck(Page::kBalloonTipsBox, kUnchecked);
    page.OnOK(controls);

    EXPECT_FALSE(FileExists(TorrcPath(world.paths)));
    ASSERT_EQ(world.ui.Messages().size(), 1u);
    EXPECT_EQ(world.ui.Messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(world.ui.Messages()[0].owner, MessageOwner::ActiveDialog);
    EXPECT_EQ(world.Setting(settings::kTorSettings, settings::kTorPort), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguage), "Russian(Русский)");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kShowBalloonTips), "0");
}

TEST_F(OtherPageTest, OnlyAPickedLanguageIsStored) {
    world.WriteTorrc("SocksPort 9050\r\n");
    Open();
    controls.SetText(Page::kLanguageBox, "German"); // typed, not picked
    page.OnOK(controls);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguage), "<missing>");

    PickLanguage(1);
    PickLanguage(0);
    page.OnOK(controls);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kLanguage), "English");

    // A pick belongs to its opening: a new one starts without it.
    page.OnInitDialog(controls);
    EXPECT_FALSE(page.SelectedLanguage().has_value());
}

TEST_F(OtherPageTest, UnusablePortsAndPeriodsAreRefusedWithAMessage) {
    Open();
    struct Case {
        std::string port, period;
        bool accepted;
    };
    const Case cases[] = {
        {"9050", "30", true},   {"1", "1", true},     {"65535", "43200", true}, {"009050", "030", true},
        {"", "30", false},      {"0", "30", false},   {"65536", "30", false},   {"99999999999999", "30", false},
        {"9050", "", false},    {"9050", "0", false}, {"9050", "43201", false}, {"90a", "30", false},
        {"9050", "000", false},
    };
    for (const Case& c : cases) {
        world.ui.Clear();
        Type(c.port, c.period);
        EXPECT_EQ(page.CanApply(controls), c.accepted) << c.port << " / " << c.period;
        EXPECT_EQ(world.ui.Messages().size(), c.accepted ? 0u : 1u) << c.port << " / " << c.period;
    }
    world.ui.Clear();
    Type("0", "30");
    page.CanApply(controls);
    EXPECT_EQ(world.ui.MessageTexts()[0],
              "Please enter a port from 1 to 65535 for the communication between Quorvel and Tor. Nothing has been "
              "saved.");
    EXPECT_EQ(world.ui.Messages()[0].icon, MessageIcon::Warning);
}

} // namespace
} // namespace quorvel::test

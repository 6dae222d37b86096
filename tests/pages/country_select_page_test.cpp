#include "pages/country_select_page.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Page = CCountrySelectPage;

class CountrySelectPageTest : public ::testing::Test {
protected:
    CountrySelectPageTest() {
        // The lists an earlier "Obtain the list of countries" left behind.
        ExitCountryLists& lists = world.tor.ExitLists();
        lists.m_exitNicknames = {"alpha", "bravo", "charlie", "delta"};
        lists.m_exitFingerprints = {"$A1", "$B2", "$C3", "$D4"};
        lists.m_exitCountries = {"Germany", "France", "Germany", "Germany"};
    }

    PagesWorld world;
    FakeControls controls;
    std::vector<std::string> seenAtRestart;
    Page page{world.tor,      world.ui,    world.language,
              world.settings, world.paths, [this] { seenAtRestart = world.ui.MessageTexts(); }};
};

TEST_F(CountrySelectPageTest, OpensWithItsColumnsAndAnIdleProgressBar) {
    page.OnInitDialog(controls);
    EXPECT_EQ(controls.Get(Page::kCountryList).columns, (std::vector<std::string>{"Country", "Number of IP\u2019s"}));
    EXPECT_FALSE(controls.IsEnabled(Page::kProgressBar));
    EXPECT_EQ(controls.Text(Page::kObtainButton), "Obtain the list of countries");
    EXPECT_EQ(controls.Text(Page::kSelectButton), "Select a country");
    EXPECT_EQ(controls.Text(Page::kCancelSelectionButton), "Cancel country selection");
    EXPECT_EQ(page.Title(), "Country selection");
}

TEST_F(CountrySelectPageTest, WithoutTorTheListStaysEmptyAndTheProgressEnds) {
    page.OnInitDialog(controls);
    controls.InsertItem(Page::kCountryList, 0, "Old row");
    EXPECT_EQ(page.OnObtainList(controls), -1);
    EXPECT_EQ(controls.ItemCount(Page::kCountryList), 0);
    EXPECT_TRUE(controls.IsEnabled(Page::kProgressBar));
    EXPECT_EQ(controls.Get(Page::kProgressBar).rangeHigh, 12);
    EXPECT_EQ(controls.Pos(Page::kProgressBar), 12);
}

TEST_F(CountrySelectPageTest, SelectingACountryWritesItsExitsThenRestartsThenTells) {
    world.WriteTorrc("SocksPort 9050\r\n");
    page.OnInitDialog(controls);
    controls.InsertItem(Page::kCountryList, 0, "France");
    controls.InsertItem(Page::kCountryList, 1, "Germany");
    controls.SelectRow(Page::kCountryList, 1);
    page.OnSelectCountry(controls);

    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes $A1, $C3, $D4\r\n");
    EXPECT_EQ(world.Setting(settings::kCountrySelection, settings::kCurrentCountry), "Germany");
    EXPECT_TRUE(seenAtRestart.empty()) << "the restart comes before the message";
    EXPECT_EQ(world.ui.MessageTexts(), (std::vector<std::string>{"Country selected, IP addresses added."}));

    // Twice in a row: still one line of each.
    controls.SelectRow(Page::kCountryList, 0);
    page.OnSelectCountry(controls);
    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes $B2\r\n");

    page.OnCancelCountry();
    EXPECT_EQ(world.Setting(settings::kCountrySelection, settings::kCurrentCountry), "");
    EXPECT_EQ(world.Torrc().find("ExitNodes"), std::string::npos);
    EXPECT_EQ(world.ui.MessageTexts().back(), "Country selection cancelled.");
}

TEST_F(CountrySelectPageTest, NothingSelectedIsToldAndNothingRestarts) {
    world.WriteTorrc("SocksPort 9050\r\n");
    page.OnInitDialog(controls);
    int restarts = 0;
    Page counting{world.tor, world.ui, world.language, world.settings, world.paths, [&] { ++restarts; }};
    counting.OnSelectCountry(controls);
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(world.ui.MessageTexts(), (std::vector<std::string>{"Country is not selected!"}));
    EXPECT_EQ(world.Torrc(), "SocksPort 9050\r\n");
}

} // namespace
} // namespace quorvel::test

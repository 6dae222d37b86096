#include "pages/privacy_test_page.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Page = CPrivacyTestPage;

class PrivacyTestPageTest : public ::testing::Test {
protected:
    std::string Stored(const char* key) const { return world.Setting(settings::kPrivacyTest, key); }
    void Tick(bool custom) {
        controls.SetCheck(Page::kCustomBox, custom ? kChecked : kUnchecked);
        page.OnCustomClicked(controls);
    }

    PagesWorld world;
    FakeControls controls;
    Page page{world.settings, world.language, "check.example"};
};

TEST_F(PrivacyTestPageTest, EmptySettingsOfferTheShowMyIpPageWithEverythingOff) {
    page.OnInitDialog(controls);
    EXPECT_EQ(controls.Check(Page::kCustomBox), kUnchecked);
    EXPECT_EQ(controls.Text(Page::kCustomBox), "Use your own privacy test?");
    EXPECT_EQ(controls.Text(Page::kEdits[0]), "check.example");
    EXPECT_EQ(controls.Text(Page::kEdits[1]), " ");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(controls.Check(Page::kRadios[i]), kUnchecked);
        EXPECT_FALSE(controls.IsEnabled(Page::kRadios[i]));
        EXPECT_FALSE(controls.IsEnabled(Page::kEdits[i]));
    }
    Tick(true);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(controls.IsEnabled(Page::kRadios[i]));
        EXPECT_TRUE(controls.IsEnabled(Page::kEdits[i]));
    }
}

TEST_F(PrivacyTestPageTest, StoredAddressesAndChoiceAreShown) {
    world.settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, true);
    world.settings.WriteString(settings::kPrivacyTest, settings::kSecondCustomPrivacyTest, "ip.example/me");
    world.settings.WriteInt(settings::kPrivacyTest, settings::kCustomPrivacyTestNumber, 2);
    page.OnInitDialog(controls);
    EXPECT_EQ(controls.Check(Page::kCustomBox), kChecked);
    EXPECT_TRUE(controls.IsEnabled(Page::kEdits[0]));
    EXPECT_EQ(controls.Text(Page::kEdits[0]), " ") << "an address exists, so no default is offered";
    EXPECT_EQ(controls.Text(Page::kEdits[1]), "ip.example/me");
    EXPECT_EQ(controls.Check(Page::kRadios[1]), kChecked);
    EXPECT_EQ(controls.Check(Page::kRadios[0]), kUnchecked);
}

TEST_F(PrivacyTestPageTest, AnAddressNotBeginningWithALetterIsKept) {
    world.settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, true);
    world.settings.WriteString(settings::kPrivacyTest, settings::kFirstCustomPrivacyTest, "10.0.0.1/ip");
    page.OnInitDialog(controls);
    EXPECT_EQ(controls.Text(Page::kEdits[0]), "10.0.0.1/ip");
    page.OnOK(controls);
    EXPECT_EQ(Stored(settings::kFirstCustomPrivacyTest), "10.0.0.1/ip");
}

TEST_F(PrivacyTestPageTest, OkStoresTheAddressesWithoutAndTheChosenOneWithItsScheme) {
    page.OnInitDialog(controls);
    Tick(true);
    controls.SetText(Page::kEdits[0], "http://first.example");
    controls.SetText(Page::kEdits[1], "  second.example/check?from=http://here  ");
    controls.SetText(Page::kEdits[2], "https://third.example");
    controls.SetCheck(Page::kRadios[1], kChecked);
    page.OnOK(controls);

    EXPECT_EQ(Stored(settings::kCustomPrivacyTest), "1");
    EXPECT_EQ(Stored(settings::kFirstCustomPrivacyTest), "first.example");
    EXPECT_EQ(Stored(settings::kSecondCustomPrivacyTest), "second.example/check?from=http://here");
    EXPECT_EQ(Stored(settings::kThirdCustomPrivacyTest), "https://third.example");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestUrl), "http://second.example/check?from=http://here");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestNumber), "2");

    controls.SetCheck(Page::kRadios[1], kUnchecked);
    controls.SetCheck(Page::kRadios[2], kChecked);
    page.OnOK(controls);
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestUrl), "https://third.example");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestNumber), "3");
}

TEST_F(PrivacyTestPageTest, WithoutAChoiceTheUrlAndNumberStay) {
    world.settings.WriteString(settings::kPrivacyTest, settings::kCustomPrivacyTestUrl, "http://kept.example");
    world.settings.WriteInt(settings::kPrivacyTest, settings::kCustomPrivacyTestNumber, 1);
    page.OnInitDialog(controls);
    Tick(true);
    controls.SetCheck(Page::kRadios[0], kUnchecked);
    controls.SetText(Page::kEdits[0], "new.example");
    page.OnOK(controls);
    EXPECT_EQ(Stored(settings::kFirstCustomPrivacyTest), "new.example");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestUrl), "http://kept.example");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestNumber), "1");
}

TEST_F(PrivacyTestPageTest, AClearedBoxStoresOnlyThatChoice) {
    world.settings.WriteBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, true);
    world.settings.WriteString(settings::kPrivacyTest, settings::kFirstCustomPrivacyTest, "first.example");
    page.OnInitDialog(controls);
    Tick(false);
    controls.SetText(Page::kEdits[0], "changed.example");
    controls.SetCheck(Page::kRadios[0], kChecked);
    page.OnOK(controls);
    EXPECT_EQ(Stored(settings::kCustomPrivacyTest), "0");
    EXPECT_EQ(Stored(settings::kFirstCustomPrivacyTest), "first.example");
    EXPECT_EQ(Stored(settings::kCustomPrivacyTestUrl), "<missing>");
}

} // namespace
} // namespace quorvel::test

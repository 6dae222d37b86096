#include "pages/profiles_center_page.h"
#include "pages_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Page = CProfilesCenterPage;
using Path = CProfilesCenterPageProfilePath;

class ProfilesCenterPageTest : public ::testing::Test {
protected:
    ProfilesCenterPageTest() { page.SetChildHost(&host); }

    void Open() { page.OnInitDialog(controls); }
    void PickGroup(int group) {
        controls.SetCurSel(Page::kGroupList, group);
        page.OnGroupChanged(controls);
    }
    void PickProgram(int position) {
        controls.SetCurSel(Page::kProgramList, position);
        page.OnProgramChanged(controls);
    }
    void ClickAnonymize(bool ticked) {
        controls.SetCheck(Page::kAnonymizeBox, ticked ? kChecked : kUnchecked);
        page.OnAnonymizeClicked(controls);
    }
    void ClickCleanBox(int id, bool ticked) {
        host.At(Page::kCleanFrame).SetCheck(id, ticked ? kChecked : kUnchecked);
        page.OnCleanBoxClicked(id);
    }
    std::string Selection(const char* key) const { return world.Setting(settings::kAnonymization, key); }

    PagesWorld world;
    FakeChildHost host;
    FakeControls controls;
    Page page{world.paths, world.settings, world.language, world.ui, world.state, world.redirector, world.masking};
};

TEST_F(ProfilesCenterPageTest, FirstOpeningShowsInternetExplorerSelectedWithItsChildren) {
    world.state.mozillaSettingsChanged = true;
    world.state.netscapeSettingsChanged = true;
    Open();

    EXPECT_EQ(controls.Get(Page::kGroupList).items, (std::vector<std::string>{"Browsers", "Instant Messengers"}));
    EXPECT_EQ(controls.CurSel(Page::kGroupList), 0);
    EXPECT_EQ(controls.Get(Page::kProgramList).items,
              (std::vector<std::string>{"Internet Explorer", "Firefox", "Netscape 8"}));
    EXPECT_EQ(controls.CurSel(Page::kProgramList), 0);
    EXPECT_EQ(controls.Check(Page::kAnonymizeBox), kChecked);
    EXPECT_EQ(controls.Text(Page::kAnonymizeBox), "Anonymize Internet Explorer");
    EXPECT_EQ(controls.Check(Page::kCleanReportBox), kChecked);
    EXPECT_EQ(controls.Text(Page::kProfilePathFrame), "Path to profile");
    EXPECT_EQ(controls.Text(Page::kCleanFrame), "Clean options");
    EXPECT_EQ(controls.Text(Page::kCleanReportBox), "Show clean report");

    EXPECT_EQ(host.TemplateIn(Page::kProfilePathFrame), Path::kNoProfileTemplate);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kNoProfileText), "\nAccess to profile not required.\n");
    EXPECT_EQ(host.TemplateIn(Page::kCleanFrame), CProfilesCenterPageClean::kInternetExplorerTemplate);
    EXPECT_EQ(host.At(Page::kCleanFrame).Text(300), "Cache");

    EXPECT_FALSE(world.state.mozillaSettingsChanged);
    EXPECT_FALSE(world.state.netscapeSettingsChanged);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentGroup), "0");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentBrowser), "0");
    // Opening alone decides nothing about the programs.
    EXPECT_EQ(Selection(settings::kInternetExplorer), "<missing>");
}

TEST_F(ProfilesCenterPageTest, SwitchingToMessengersShowsTheStoredMessengerAndTheAimNote) {
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentIm, 0);
    world.settings.WriteString(settings::kAnonymization, settings::kAimClassic, "1");
    Open();
    PickGroup(1);

    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentGroup), "1");
    EXPECT_EQ(controls.Count(Page::kProgramList), 4);
    EXPECT_EQ(controls.ItemText(Page::kProgramList, controls.CurSel(Page::kProgramList)), "AIM 5.9 and below");
    EXPECT_EQ(controls.Check(Page::kAnonymizeBox), kChecked);
    EXPECT_EQ(controls.Text(Page::kAnonymizeBox), "Anonymize AIM 5.9 and below");
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kNoProfileText),
              "Access to profile not required.\nAIM Triton and AIM 6.0 and above uses the same settings as Internet "
              "Explorer.");
    EXPECT_EQ(host.TemplateIn(Page::kCleanFrame), CProfilesCenterPageClean::kNoOptionsTemplate);
    EXPECT_EQ(host.At(Page::kCleanFrame).Text(CProfilesCenterPageClean::kNoOptionsText), "No clean options available.");

    // Another messenger has the plain note; a pending value is not a selection.
    world.settings.WriteString(settings::kAnonymization, settings::kIcq, "2");
    PickProgram(3);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentIm), "3");
    EXPECT_EQ(controls.Check(Page::kAnonymizeBox), kUnchecked);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kNoProfileText), "\nAccess to profile not required.\n");
}

TEST_F(ProfilesCenterPageTest, StoredPositionsReopenWhereTheUserLeft) {
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, 0);
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentBrowser, 2);
    world.settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, "/profiles/ns");
    Open();
    EXPECT_EQ(controls.CurSel(Page::kProgramList), 2);
    EXPECT_EQ(host.TemplateIn(Page::kProfilePathFrame), Path::kPathTemplate);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), "/profiles/ns");
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kAutoDetectButton), "Auto detect");
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kBrowseButton), "Browse");
    EXPECT_EQ(host.TemplateIn(Page::kCleanFrame), CProfilesCenterPageClean::kNetscapeTemplate);
}

TEST_F(ProfilesCenterPageTest, PositionsOutOfRangeSelectNothingAndHostNoChild) {
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentBrowser, 7);
    Open();
    EXPECT_EQ(controls.CurSel(Page::kProgramList), -1);
    EXPECT_EQ(host.Child(Page::kProfilePathFrame), nullptr);
    EXPECT_EQ(host.Child(Page::kCleanFrame), nullptr);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentBrowser), "7");
    // Nothing can be ticked for no program.
    ClickAnonymize(true);
    for (ProgramKind kind : kAllPrograms) {
        EXPECT_EQ(Selection(Program(kind).selectionKey), "<missing>");
    }

    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, 5);
    FakeControls reopened;
    Page again{world.paths, world.settings, world.language, world.ui, world.state, world.redirector, world.masking};
    FakeChildHost otherHost;
    again.SetChildHost(&otherHost);
    again.OnInitDialog(reopened);
    EXPECT_EQ(reopened.CurSel(Page::kGroupList), -1);
    EXPECT_EQ(reopened.Count(Page::kProgramList), 0);
    EXPECT_TRUE(otherHost.hosted.empty());
}

TEST_F(ProfilesCenterPageTest, TickingAProgramTwiceRedirectsItOnceAtOk) {
    const std::string profile = world.MakeFirefoxProfile("user_pref(\"network.proxy.type\", 0);\r\n");
    world.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, profile);
    Open();
    PickProgram(1);
    EXPECT_EQ(controls.Check(Page::kAnonymizeBox), kUnchecked);

    ClickAnonymize(true);
    EXPECT_EQ(Selection(settings::kFirefox), "2");
    ClickAnonymize(false);
    EXPECT_EQ(Selection(settings::kFirefox), "-1");
    ClickAnonymize(true);
    EXPECT_EQ(Selection(settings::kFirefox), "2");

    page.OnOK(controls);
    EXPECT_EQ(Selection(settings::kFirefox), "1");
    const std::string userJs = ReadFileBytes(profile + "/user.js");
    EXPECT_EQ(userJs.find("user_pref(\"network.proxy.socks\", \"127.0.0.1\");"),
              userJs.rfind("user_pref(\"network.proxy.socks\", \"127.0.0.1\");"));
    EXPECT_NE(userJs.find("user_pref(\"network.proxy.socks_port\", 9050);"), std::string::npos);
    // The browser must be restarted, and the page owns that message.
    const auto messages = world.ui.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text,
              "Please restart Firefox to make new settings take effect. All Firefox windows must be closed.");
    EXPECT_EQ(messages.back().owner, MessageOwner::ActiveDialog);
}

TEST_F(ProfilesCenterPageTest, ClearingAMessengerMarksItForRestoreAndCancelPutsEverythingBack) {
    world.settings.WriteString(settings::kAnonymization, settings::kAimClassic, "1");
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, 1);
    Open();
    ClickAnonymize(false);
    EXPECT_EQ(Selection(settings::kAimClassic), "-1");
    PickProgram(2);
    ClickAnonymize(true);
    EXPECT_EQ(Selection(settings::kYahooMessenger), "2");

    page.OnCancel(controls);
    EXPECT_EQ(Selection(settings::kAimClassic), "1");
    EXPECT_EQ(Selection(settings::kYahooMessenger), "0");
    EXPECT_EQ(Selection(settings::kInternetExplorer), "1");
    EXPECT_TRUE(world.ui.Messages().empty());
    // The page reopens on the program last shown, also after Cancel.
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCurrentIm), "2");
}

TEST_F(ProfilesCenterPageTest, AutoDetectFillsTheFieldOfTheSelectedBrowser) {
    const std::string firefox = world.MakeFirefoxProfile();
    const std::string netscapeRoot = JoinPath(world.env.AppData(), "Netscape/NSB");
    WriteFileBytes(netscapeRoot + "/Profiles/ns.default/times.json", "{}\n");
    WriteFileBytes(netscapeRoot + "/profiles.ini", "[Profile0]\nPath=Profiles/ns.default\n");

    Open();
    PickProgram(1);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), "");
    page.OnAutoDetect();
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), firefox);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kNetscapeProfile),
              netscapeRoot + "/Profiles/ns.default");

    PickProgram(2);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), netscapeRoot + "/Profiles/ns.default");
    host.At(Page::kProfilePathFrame).SetText(Path::kPathField, "");
    page.OnAutoDetect();
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), netscapeRoot + "/Profiles/ns.default");
}

TEST_F(ProfilesCenterPageTest, BrowseStoresThePickedFolderAndKeepsItWhenCancelled) {
    const std::string chosen = world.env.Root() + "/chosen";
    MakeFolders(chosen);
    WriteFileBytes(chosen + "/prefs.js", "user_pref(\"intl.accept_languages\", \"de, en\");\r\n");
    Open();
    PickProgram(1);

    world.ui.AnswerNextFolder(chosen);
    page.OnBrowse();
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxProfile), chosen);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), chosen);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxLanguagesBackup),
              "user_pref(\"intl.accept_languages\", \"de, en\");");
    ASSERT_EQ(world.ui.Events().size(), 1u);
    EXPECT_EQ(world.ui.Events()[0].kind, RecordingUi::Event::Kind::FolderPicker);

    world.ui.AnswerNextFolder(std::nullopt);
    page.OnBrowse();
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kFirefoxProfile), chosen);
    EXPECT_EQ(host.At(Page::kProfilePathFrame).Text(Path::kPathField), chosen);
}

TEST_F(ProfilesCenterPageTest, CleanChoicesSurviveAProgramChangeAndAreStoredOnlyAtOk) {
    world.settings.WriteBool(settings::kCleanOptions, settings::kIeHistory, true);
    Open();
    ClickCleanBox(301, true);
    ClickCleanBox(304, false);
    PickProgram(1);
    EXPECT_EQ(host.TemplateIn(Page::kCleanFrame), CProfilesCenterPageClean::kFirefoxTemplate);
    ClickCleanBox(307, true);
    PickProgram(0);
    // The new child shows the choices made in this opening.
    EXPECT_EQ(host.At(Page::kCleanFrame).Check(301), kChecked);
    EXPECT_EQ(host.At(Page::kCleanFrame).Check(304), kUnchecked);
    EXPECT_EQ(world.Setting(settings::kCleanOptions, settings::kIeCookies), "<missing>");

    controls.SetCheck(Page::kCleanReportBox, kUnchecked);
    page.OnCleanReportClicked(controls);
    page.OnOK(controls);
    EXPECT_EQ(world.Setting(settings::kCleanOptions, settings::kIeCookies), "1");
    EXPECT_EQ(world.Setting(settings::kCleanOptions, settings::kIeHistory), "0");
    EXPECT_EQ(world.Setting(settings::kCleanOptions, settings::kFirefoxCookies), "1");
    EXPECT_EQ(world.Setting(settings::kCleanOptions, settings::kIeCache), "<missing>");
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCleanReport), "0");
}

TEST_F(ProfilesCenterPageTest, AnUntouchedCleanReportIsNotWritten) {
    Open();
    controls.SetCheck(Page::kCleanReportBox, kUnchecked); // changed without a click: not the user's choice
    page.OnOK(controls);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCleanReport), "<missing>");

    controls.SetCheck(Page::kCleanReportBox, kChecked);
    page.OnCleanReportClicked(controls);
    page.OnOK(controls);
    EXPECT_EQ(world.Setting(settings::kOptionsDialog, settings::kCleanReport), "1");
}

TEST_F(ProfilesCenterPageTest, OkActsOnPendingChoicesBeforeAskingForRestarts) {
    const std::string profile = world.MakeFirefoxProfile("user_pref(\"network.proxy.type\", 0);\r\n");
    world.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, profile);
    world.settings.WriteString(settings::kAnonymization, settings::kFirefox, "1");
    world.settings.WriteString(settings::kAnonymization, settings::kIcq, "1");
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentGroup, 1);
    world.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentIm, 3);
    Open();
    ClickAnonymize(false); // ICQ
    PickGroup(0);
    PickProgram(1);
    ClickAnonymize(false); // Firefox

    page.OnOK(controls);
    EXPECT_EQ(Selection(settings::kFirefox), "0");
    EXPECT_EQ(Selection(settings::kIcq), "0");
    EXPECT_EQ(world.ui.MessageTexts(),
              (std::vector<std::string>{
                  "Close ICQ and click OK!",
                  "Please restart Firefox to make new settings take effect. All Firefox windows must be closed."}));
}

} // namespace
} // namespace quorvel::test

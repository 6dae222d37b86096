#include "tor/country_selection.h"

#ifndef _WIN32
#include "masking/file_size_limit.h"
#endif
#include "support/fake_controls.h"
#include "tor/torrc_file.h"
#include "tor_test_fixture.h"

#include <future>
#include <thread>

namespace quorvel {
namespace {

using namespace std::chrono_literals;

class CountrySelectionTest : public test::TorFixture {
protected:
    CountrySelection& Page() {
        if (!page) {
            page = std::make_unique<CountrySelection>(Tor(), ui, language, settings, paths);
        }
        return *page;
    }
    void SetCurrentCountry(const std::string& name) {
        settings.WriteString(settings::kCountrySelection, settings::kCurrentCountry, name);
    }
    // The exit lists of an earlier "Obtain the list", and the page's rows for them.
    void ObtainedEarlier() {
        auto& lists = Tor().ExitLists();
        lists.m_exitNicknames = {"f1", "a1", "f2", "f3"};
        lists.m_exitCountries = {"France", "Austria", "France", "France"};
        lists.m_exitFingerprints = {"$F1", "$A1", "$F2", "$F3"};
        controls.InsertItem(kCountryListId, 0, "Austria");
        controls.InsertItem(kCountryListId, 1, "France");
    }
    void Select(const std::function<void()>& restart = nullptr) { Page().SelectCountry(controls, restart); }

    test::FakeControls controls;
    std::unique_ptr<CountrySelection> page;
};

TEST_F(CountrySelectionTest, ObtainListShowsCountriesAndFindsTheCurrentOne) {
    SetCurrentCountry("France");
    const std::string status = "250+ns/all=\r\n"
                               "r one AAECAwQFBgcICQoLDA0ODxAREhM d 2038-01-01 00:00:00 1.0.0.1 9001 0\r\ns Exit\r\n"
                               "r two //////////////////////////8 d 2038-01-01 00:00:00 1.0.0.2 9001 0\r\ns Exit\r\n"
                               ".\r\n250 OK\r\n";
    Authenticated()
        .Expect("GETINFO ns/all\r\n")
        .Send(status)
        .Expect("getinfo ip-to-country/1.0.0.1\r\n")
        .Send("250-ip-to-country/1.0.0.1=fr\r\n250 OK\r\n")
        .Expect("getinfo ip-to-country/1.0.0.2\r\n")
        .Send("250-ip-to-country/1.0.0.2=at\r\n250 OK\r\n");
    ASSERT_TRUE(Tor().Connect());

    EXPECT_EQ(Page().ObtainList(controls), 1);
    const auto& list = controls.Get(kCountryListId);
    EXPECT_EQ(list.rows, (std::vector<std::vector<std::string>>{{"Austria", "1"}, {"France", "1"}}));
    EXPECT_TRUE(controls.IsEnabled(kCountryProgressId));
    EXPECT_EQ(controls.Get(kCountryProgressId).rangeHigh, 12);
    EXPECT_EQ(controls.Pos(kCountryProgressId), 12);
    // The rows are shown; the exits stay for the selection.
    EXPECT_TRUE(Tor().ExitLists().m_countryList.empty());
    EXPECT_EQ(Tor().ExitLists().m_exitNicknames.size(), 2u);

    SetCurrentCountry("Spain");
    Authenticated();
    ASSERT_TRUE(Tor().Connect());
    timing.replyLine = 100ms;
    EXPECT_EQ(Page().ObtainList(controls), -1);
}

TEST_F(CountrySelectionTest, SelectingTwiceLeavesOneRestriction) {
    WriteTorrc("SocksPort 9050\r\n");
    ObtainedEarlier();
    int restarts = 0;
    controls.SelectRow(kCountryListId, 1);
    Select([&] { ++restarts; });
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes $F1, $F2, $F3\r\n");
    EXPECT_EQ(CurrentCountry(), "France");

    controls.SelectRow(kCountryListId, 0);
    Select([&] { ++restarts; });
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes $A1\r\n");
    EXPECT_EQ(CurrentCountry(), "Austria");
    EXPECT_EQ(restarts, 2);
    auto messages = ui.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Country selected, IP addresses added.");
    EXPECT_EQ(messages[1].icon, MessageIcon::Information);
    EXPECT_EQ(messages[1].owner, MessageOwner::ActiveDialog);
}

TEST_F(CountrySelectionTest, StrictLineWithoutSettingKeepsItAndReplacesTheExits) {
    WriteTorrc("StrictExitNodes 1\r\nExitNodes old1\r\nx 1\r\n");
    ObtainedEarlier();
    controls.SelectRow(kCountryListId, 0);
    Select();
    EXPECT_EQ(ReadTorrc(), "StrictExitNodes 1\r\n\r\nx 1\r\nExitNodes $A1\r\n");
}

TEST_F(CountrySelectionTest, OnlyWholeOptionNamesAreTakenForTheRestriction) {
    WriteTorrc("StrictExitNodes 1\r\nExcludeExitNodes {us}\r\nExitNodes old1\r\n");
    ObtainedEarlier();
    controls.SelectRow(kCountryListId, 0);
    Select();
    EXPECT_EQ(ReadTorrc(), "StrictExitNodes 1\r\nExcludeExitNodes {us}\r\n\r\nExitNodes $A1\r\n");
}

#ifndef _WIN32 // a write that fails for root too needs the Linux file-size limit
TEST_F(CountrySelectionTest, UnwritableTorrcClaimsNoSuccess) {
    const std::string torrc = "StrictExitNodes 1\r\nExitNodes f1\r\n";
    WriteTorrc(torrc);
    ObtainedEarlier();
    controls.SelectRow(kCountryListId, 0);
    bool restarted = false;
    {
        test::FileSizeLimit limit(1); // no file can be written
        Select([&] { restarted = true; });
    }
    EXPECT_FALSE(restarted);
    EXPECT_EQ(CurrentCountry(), "");
    SetCurrentCountry("France");
    {
        test::FileSizeLimit limit(1);
        Page().CancelCountry();
    }
    EXPECT_EQ(ReadTorrc(), torrc);
    EXPECT_EQ(CurrentCountry(), "France");
    const std::string notWritten =
        "The Tor configuration file could not be written! Tor settings have not been changed.";
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{notWritten, notWritten}));
}
#endif

TEST_F(CountrySelectionTest, TheWatcherWaitsForACycleInProgress) {
    WriteTorrc("StrictExitNodes 1\r\nExitNodes f1\r\n");
    SetCurrentCountry("France");
    std::promise<void> loaded;
    std::promise<void> release;
    std::thread userInterface([&] {
        TorrcFile(paths).Edit([&](std::string& text) {
            loaded.set_value();
            release.get_future().wait();
            text += "SocksPort 9150\r\n";
        });
    });
    loaded.get_future().wait();
    std::thread watcher([&] { OnExitCountryFailed(TorrcFile(paths), settings, language, ui, nullptr); });
    std::this_thread::sleep_for(100ms); // time enough for a watcher that does not wait to write
    release.set_value();
    userInterface.join();
    watcher.join();
    EXPECT_EQ(ReadTorrc(), "\r\nSocksPort 9150\r\n");
    EXPECT_EQ(CurrentCountry(), "");
}

TEST_F(CountrySelectionTest, NoSelectionStillRemovesTheActiveRestriction) {
    WriteTorrc("SocksPort 9050\r\n\r\nStrictExitNodes 1\r\nExitNodes f1\r\n");
    SetCurrentCountry("France");
    ObtainedEarlier();
    bool restarted = false;
    Select([&] { restarted = true; });
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n");
    EXPECT_EQ(CurrentCountry(), "France");
    EXPECT_FALSE(restarted);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Country is not selected!"});

    // A row whose country has no exit in the lists is no selection either: no ExitNodes line without routers.
    Tor().ExitLists() = {};
    controls.SelectRow(kCountryListId, 1);
    Select([&] { restarted = true; });
    EXPECT_EQ(ReadTorrc(), "SocksPort 9050\r\n");
    EXPECT_FALSE(restarted);
}

TEST_F(CountrySelectionTest, CancelRemovesTheRestriction) {
    WriteTorrc("a 1\nb 2\n");
    SetCurrentCountry("France");
    Page().CancelCountry();
    EXPECT_EQ(ReadTorrc(), "a 1\r\nb 2\r\n");
    EXPECT_EQ(CurrentCountry(), "");
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Country selection cancelled."});
}

TEST_F(CountrySelectionTest, MissingTorrcChangesNoSetting) {
    SetCurrentCountry("France");
    ObtainedEarlier();
    controls.SelectRow(kCountryListId, 0);
    Select();
    Page().CancelCountry();
    EXPECT_EQ(CurrentCountry(), "France");
    EXPECT_FALSE(test::FileExists(TorrcPathNow()));
    const std::string missing =
        "No Tor configuration file found! Settings have not been saved. Please reinstall the program.";
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{missing, missing, missing}));
}

} // namespace
} // namespace quorvel

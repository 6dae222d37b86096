#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "cleaning/clean_options.h"
#include "cleaning/track_cleaner.h"
#include "cleaning_fakes.h"
#ifndef _WIN32
#include "lock_holder.h"
#endif
#include "platform/registry_store.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace quorvel::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kEveryLine = "Internet Explorer Cache     removed\n"
                                   "Internet Explorer Cookies     removed\n"
                                   "Internet Explorer Addresses cache     removed\n"
                                   "Internet Explorer Forms and passwords     removed\n"
                                   "Internet Explorer History     removed\n"
                                   "Firefox Cache     removed\n"
                                   "Firefox Cookies     removed\n"
                                   "Firefox History(Firefox 2)     removed\n"
                                   "Firefox Forms and passwords     removed\n"
                                   "Firefox Downloads history     removed\n"
                                   "Netscape Cache     removed\n"
                                   "Netscape Cookies     removed\n"
                                   "Netscape History     removed\n"
                                   "Netscape Forms and passwords     removed\n"
                                   "Netscape Downloads history     removed";

// The whole command on real profile folders, a real settings file and registry store, and fakes for what
// Internet Explorer keeps.
class TrackCleanerTest : public ::testing::Test {
protected:
    std::string Firefox() const { return env.Home() + "/.mozilla/firefox/ab12.default"; }
    std::string Netscape() const { return env.AppData() + "/Netscape/NSB/Profiles/x.default"; }
    std::string FirefoxLocal() const { return env.Cache() + "/mozilla/firefox/ab12.default"; }

    void SetUp() override {
        MakeFolders(env.AppData() + "/Quorvel");
        settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, Firefox());
        settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, Netscape());
        for (const char* name :
             {"cookies.txt", "cookies.sqlite", "history.dat", "formhistory.dat", "signons2.txt", "signons3.txt",
              "formhistory.sqlite", "downloads.rdf", "downloads.sqlite", "Cache/ENTRY", "prefs.js"}) {
            WriteFileBytes(Firefox() + "/" + name, "x");
        }
        WriteFileBytes(FirefoxLocal() + "/cache2/entries/0123ABCD", "x");
        for (const char* name :
             {"cookies.txt", "history.dat", "formhistory.dat", "downloads.rdf", "Cache/a.b", "key3.r7u", "prefs.js"}) {
            WriteFileBytes(Netscape() + "/" + name, "x");
        }
        urlCache.Add("http://a.example/", kNormalCacheEntry);
        urlCache.Add("Cookie:ann@a.example/", kCookieCacheEntry);
        registry.CreateKey(RegistryHive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs");
        registry.CreateKey(RegistryHive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\IntelliForms");
    }

    void Select(const char* key, bool on = true) { settings.WriteBool(settings::kCleanOptions, key, on); }
    void SelectAll() {
        for (const CleanOption& option : kCleanOptions) {
            Select(option.key);
        }
    }
    void Run() {
        TrackCleaner cleaner(paths, settings, language, ui, registry, urlCache, urlHistory, files);
        cleaner.CleanTracks();
    }
    std::string ReportText() const {
        const auto shown = ui.Messages();
        return shown.size() == 1 ? shown[0].text : "(" + std::to_string(shown.size()) + " boxes)";
    }

    TestEnvironment env;
    ActionLog log;
    PathsWithCookies paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RecordingUi ui;
    RegistryStore registry{env.AppData() + "/Quorvel/registry"};
    FakeUrlCache urlCache{&log};
    FakeUrlHistory urlHistory{true, &log};
    ScriptedTrackFiles files{&log};
};

TEST_F(TrackCleanerTest, NothingSelectedSaysSo) {
    Run();
    const auto shown = ui.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Clean report");
    EXPECT_EQ(shown[0].text, "No clean options selected!");
    EXPECT_EQ(shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(log.empty());
}

TEST_F(TrackCleanerTest, EveryKindReportedInStepOrderByteForByte) {
    SelectAll();
    Run();
    EXPECT_EQ(ReportText(), kEveryLine);
    EXPECT_EQ(ui.Messages()[0].caption, "Clean report");
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Information);
}

TEST_F(TrackCleanerTest, StepsRunInTheOrderOfTheOptions) {
    SelectAll();
    Run();
    // Windows joins with either separator; the order is what counts here, so '/' alone is compared.
    const auto slashes = [](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    };
    std::vector<std::string> done;
    std::transform(log.begin(), log.end(), std::back_inserter(done), slashes);
    const std::string ff = slashes(Firefox() + "/");
    const std::string ns = slashes(Netscape() + "/");
    EXPECT_THAT(
        done,
        ElementsAre(
            "url cache: delete http://a.example/", "url cache: delete Cookie:ann@a.example/", "url history: clear",
            "file: " + ff + "Cache/ENTRY", "file: " + slashes(FirefoxLocal()) + "/cache2/entries/0123ABCD",
            "file: " + ff + "cookies.txt", "file: " + ff + "cookies.sqlite", "file: " + ff + "history.dat",
            "file: " + ff + "formhistory.dat", "file: " + ff + "signons2.txt", "file: " + ff + "signons3.txt",
            "file: " + ff + "formhistory.sqlite", "file: " + ff + "downloads.rdf", "file: " + ff + "downloads.sqlite",
            "file: " + ns + "Cache/a.b", "file: " + ns + "cookies.txt", "file: " + ns + "history.dat",
            "file: " + ns + "formhistory.dat", "file: " + ns + "key3.r7u", "file: " + ns + "downloads.rdf"));
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs"));
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\IntelliForms"));
    EXPECT_TRUE(FileExists(Firefox() + "/prefs.js"));
    EXPECT_TRUE(FileExists(Netscape() + "/prefs.js"));
}

// The Linux ports; on Windows the cache and the history are the system's own.
#ifndef _WIN32
TEST_F(TrackCleanerTest, OnLinuxInternetExplorerHasNothingButStillReports) {
    LinuxUrlCache cache;
    LinuxUrlHistory history;
    TestPaths linuxPaths;
    for (const char* key : {settings::kIeCache, settings::kIeCookies, settings::kIeHistory}) {
        Select(key);
    }
    TrackCleaner(linuxPaths, settings, language, ui, registry, cache, history, files).CleanTracks();
    // There is no history store here: its line says so.
    EXPECT_EQ(ReportText(), "Internet Explorer Cache     removed\nInternet Explorer Cookies     removed\n"
                            "Internet Explorer History     nothing to clear on this system");

    // History alone is still a selection, not "No clean options selected!".
    ui.Clear();
    Select(settings::kIeCache, false);
    Select(settings::kIeCookies, false);
    TrackCleaner(linuxPaths, settings, language, ui, registry, cache, history, files).CleanTracks();
    EXPECT_EQ(ReportText(), "Internet Explorer History     nothing to clear on this system");
}
#endif

TEST_F(TrackCleanerTest, ReportSwitchedOffShowsNothingButStillCleans) {
    settings.WriteBool(settings::kOptionsDialog, settings::kCleanReport, false);
    Select(settings::kFirefoxCookies);
    Run();
    EXPECT_TRUE(ui.Events().empty());
    EXPECT_FALSE(FileExists(Firefox() + "/cookies.txt"));

    Select(settings::kFirefoxCookies, false);
    Run();
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(TrackCleanerTest, BrowserWithoutProfileIsSkippedEntirely) {
    SelectAll();
    settings.WriteBlank(settings::kOptionsDialog, settings::kFirefoxProfile);
    // A relative path is refused as well: it would name files below whatever folder the program runs in.
    WriteFileBytes(env.ProgramFolder() + "/rel/cookies.txt", "x");
    settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, "rel");
    Run();
    EXPECT_EQ(ReportText(), "Internet Explorer Cache     removed\n"
                            "Internet Explorer Cookies     removed\n"
                            "Internet Explorer Addresses cache     removed\n"
                            "Internet Explorer Forms and passwords     removed\n"
                            "Internet Explorer History     removed");
    EXPECT_TRUE(FileExists(Firefox() + "/cookies.txt"));
    EXPECT_TRUE(FileExists(Firefox() + "/Cache/ENTRY"));
    EXPECT_TRUE(FileExists(env.ProgramFolder() + "/rel/cookies.txt"));
}

TEST_F(TrackCleanerTest, OnlyOptionsOfSkippedBrowsersIsNothingSelected) {
    Select(settings::kFirefoxCache);
    settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, "  ");
    Run();
    EXPECT_EQ(ReportText(), "No clean options selected!");
}

TEST_F(TrackCleanerTest, ProfilePathWithBlanksAroundIsUsed) {
    settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, " " + Firefox() + " ");
    Select(settings::kFirefoxHistory);
    Run();
    EXPECT_EQ(ReportText(), "Firefox History(Firefox 2)     removed");
    EXPECT_FALSE(FileExists(Firefox() + "/history.dat"));
}

TEST_F(TrackCleanerTest, FileThatCannotBeRemovedDoesNotStopTheRest) {
    files.RefuseToRemove("ENTRY");
    WriteFileBytes(Firefox() + "/Cache/OTHER", "x");
    SelectAll();
    Run();
    std::string expected = kEveryLine;
    const std::string line = "Firefox Cache     removed";
    expected.replace(expected.find(line), line.size(), "Firefox Cache     some files could not be removed");
    EXPECT_EQ(ReportText(), expected);
    EXPECT_TRUE(FileExists(Firefox() + "/Cache/ENTRY"));
    EXPECT_FALSE(FileExists(Firefox() + "/Cache/OTHER"));
    EXPECT_FALSE(FileExists(Netscape() + "/downloads.rdf"));
}

// A running Firefox is known by its lock link only on Linux; on Windows it holds its files unshared.
#ifndef _WIN32
TEST_F(TrackCleanerTest, RunningFirefoxKeepsItsProfileFilesAndTheReportSaysSo) {
    MakeLink("127.0.1.1:+" + std::to_string(getpid()), Firefox() + "/lock");
    for (const char* key :
         {settings::kFirefoxCache, settings::kFirefoxCookies, settings::kFirefoxHistory, settings::kNetscapeCookies}) {
        Select(key);
    }
    Run();
    EXPECT_EQ(ReportText(), "Firefox Cache     removed\n"
                            "Firefox Cookies     some files could not be removed\n"
                            "Firefox History(Firefox 2)     some files could not be removed\n"
                            "Netscape Cookies     removed");
    EXPECT_TRUE(FileExists(Firefox() + "/cookies.sqlite"));
    EXPECT_TRUE(FileExists(Firefox() + "/history.dat"));
    EXPECT_FALSE(FileExists(Netscape() + "/cookies.txt"));
}
#endif

TEST_F(TrackCleanerTest, MissingFilesCountAsRemoved) {
    Select(settings::kFirefoxDownloadsHistory);
    Select(settings::kNetscapeFormsAndPasswords);
    Run();
    ui.Clear();
    Run();
    EXPECT_EQ(ReportText(), "Firefox Downloads history     removed\nNetscape Forms and passwords     removed");
}

TEST_F(TrackCleanerTest, TextsComeFromTheLanguageFile) {
    settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Testish(Test)");
    WriteFileBytes(env.ProgramFolder() + "/lang/Testish.ini", "[Clean dialog]\n"
                                                              "Cache=Kesh\n"
                                                              "History=Historie\n"
                                                              "removed=weg\n"
                                                              "not removed=teils geblieben\n"
                                                              "Clean report=Bericht\n"
                                                              "[Messages]\n"
                                                              "No clean options selected=Nichts gewaehlt\n");
    Run();
    EXPECT_EQ(ui.Messages()[0].caption, "Bericht");
    EXPECT_EQ(ui.Messages()[0].text, "Nichts gewaehlt");

    ui.Clear();
    files.RefuseToRemove("ENTRY");
    Select(settings::kFirefoxCache);
    Select(settings::kFirefoxHistory);
    Select(settings::kFirefoxCookies);
    Run();
    EXPECT_EQ(ReportText(), "Firefox Kesh     teils geblieben\nFirefox Cookies     weg\nFirefox "
                            "Historie(Firefox 2)     weg");
}

} // namespace
} // namespace quorvel::test

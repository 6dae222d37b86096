#include "redirect/mozilla_profiles.h"

#include "platform/file_path.h"
#include "redirect_fixture.h"
#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel::test {
namespace {

// profiles.ini as a current Firefox writes it: the profile in use is named by the [Install...] section, and it
// is not Profile0.
constexpr const char* kModernFirefoxIni = "[Profile1]\n"
                                          "Name=default\n"
                                          "IsRelative=1\n"
                                          "Path=k2j4x9aa.default\n"
                                          "Default=1\n"
                                          "\n"
                                          "[Profile0]\n"
                                          "Name=default-release\n"
                                          "IsRelative=1\n"
                                          "Path=Profiles/old0.default\n"
                                          "\n"
                                          "[General]\n"
                                          "StartWithLastProfile=1\n"
                                          "Version=2\n"
                                          "\n"
                                          "[Install4F96D1932A9F858E]\n"
                                          "Default=Profiles/q8r7zz1c.default-release\n"
                                          "Locked=1\n";

class MozillaProfilesTest : public ::testing::Test {
protected:
    RedirectWorld w;
    FakeControls page;

    // Spelt as the program joins them, '\\' before the name on Windows.
    std::string FirefoxRoot() const {
#ifdef _WIN32
        return JoinPath(w.env.AppData(), "Mozilla\\Firefox");
#else
        return JoinPath(w.env.Home(), ".mozilla/firefox");
#endif
    }
    std::string NetscapeRoot() const {
        return JoinPath(w.env.AppData(), "Netscape/NSB");
    }
    // A folder as the browser makes a profile.
    void MakeProfileFolder(const std::string& folder) const {
        WriteFileBytes(folder + "/times.json", "{}\n");
    }
    std::string Stored(MozillaBrowser browser) const {
        return w.Setting(settings::kOptionsDialog, MozillaProfileKey(browser));
    }
};

TEST_F(MozillaProfilesTest, ReadsTheProfileInUse) {
    WriteFileBytes(FirefoxRoot() + "/profiles.ini", kModernFirefoxIni);
    EXPECT_EQ(ReadProfilesIniPath(FirefoxRoot() + "/profiles.ini"), "Profiles/q8r7zz1c.default-release");

    // A Firefox of the older kind has no [Install...] section: Profile0 it is, CR LF and blanks and all.
    WriteFileBytes(NetscapeRoot() + "/profiles.ini", "\xEF\xBB\xBF[General]\r\nStartWithLastProfile=1\r\n\r\n"
                                                     "[profile0]\r\nName=default\r\nPath=  Profiles/ab12.default  ");
    EXPECT_EQ(ReadProfilesIniPath(NetscapeRoot() + "/profiles.ini"), "Profiles/ab12.default");
    EXPECT_EQ(ReadProfilesIniPath(w.env.Root() + "/missing.ini"), "");
}

TEST_F(MozillaProfilesTest, DetectStoresBothBrowsersAndFillsThePageOfTheShownOne) {
    WriteFileBytes(FirefoxRoot() + "/profiles.ini", kModernFirefoxIni);
    MakeProfileFolder(FirefoxRoot() + "/Profiles/q8r7zz1c.default-release");
    MakeProfileFolder(FirefoxRoot() + "/Profiles/old0.default");
    WriteFileBytes(NetscapeRoot() + "/profiles.ini", "[Profile0]\nPath=Profiles/ns.default\n");
    MakeProfileFolder(NetscapeRoot() + "/Profiles/ns.default");
    w.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentBrowser, 2);

    DetectMozillaProfiles(w.paths, w.settings, &page);
    EXPECT_EQ(Stored(MozillaBrowser::Firefox), FirefoxRoot() + "/Profiles/q8r7zz1c.default-release");
    EXPECT_EQ(Stored(MozillaBrowser::Netscape), NetscapeRoot() + "/Profiles/ns.default");
    EXPECT_EQ(page.Text(kProfilePathFieldId), NetscapeRoot() + "/Profiles/ns.default");

    // Without a page window the folders are still stored.
    w.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, " ");
    DetectMozillaProfiles(w.paths, w.settings, nullptr);
    EXPECT_EQ(Stored(MozillaBrowser::Firefox), FirefoxRoot() + "/Profiles/q8r7zz1c.default-release");
}

TEST_F(MozillaProfilesTest, NothingFoundKeepsTheOldSetting) {
    w.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, "/kept/firefox");
    w.settings.WriteString(settings::kOptionsDialog, settings::kNetscapeProfile, "/kept/netscape");
    w.settings.WriteInt(settings::kOptionsDialog, settings::kCurrentBrowser, 1);
    MakeFolders(FirefoxRoot());
    MakeFolders(NetscapeRoot());

    // No list at all, and a list without a path: the folder of all profiles is not taken for a profile.
    WriteFileBytes(NetscapeRoot() + "/profiles.ini", "[Profile0]\nName=default\n");
    DetectMozillaProfiles(w.paths, w.settings, &page);
    EXPECT_EQ(Stored(MozillaBrowser::Firefox), "/kept/firefox");
    EXPECT_EQ(Stored(MozillaBrowser::Netscape), "/kept/netscape");

    // A listed folder that does not exist, or one listed with an absolute path.
    WriteFileBytes(FirefoxRoot() + "/profiles.ini", "[Profile0]\nPath=Profiles/gone.default\n");
    MakeFolders(w.env.Root() + "/elsewhere");
    WriteFileBytes(NetscapeRoot() + "/profiles.ini", "[Profile0]\nIsRelative=0\nPath=" + w.env.Root() + "/elsewhere\n");
    DetectMozillaProfiles(w.paths, w.settings, &page);
    EXPECT_EQ(Stored(MozillaBrowser::Firefox), "/kept/firefox");
    EXPECT_EQ(Stored(MozillaBrowser::Netscape), "/kept/netscape");

    // A path that leaves the folder of all profiles or names it, and a folder that is not a profile.
    WriteFileBytes(w.env.Home() + "/prefs.js", "");
    MakeProfileFolder(FirefoxRoot());
    MakeFolders(NetscapeRoot() + "/Profiles/empty");
    for (const char* path : {"../..", ".", "Profiles/..", "Profiles/empty"}) {
        WriteFileBytes(FirefoxRoot() + "/profiles.ini", std::string("[Profile0]\nPath=") + path + "\n");
        WriteFileBytes(NetscapeRoot() + "/profiles.ini", std::string("[Profile0]\nPath=") + path + "\n");
        DetectMozillaProfiles(w.paths, w.settings, &page);
        EXPECT_EQ(Stored(MozillaBrowser::Firefox), "/kept/firefox") << path;
        EXPECT_EQ(Stored(MozillaBrowser::Netscape), "/kept/netscape") << path;
    }
    EXPECT_TRUE(page.Log().empty());
}

TEST_F(MozillaProfilesTest, OnlyAFolderThatLooksLikeAProfileIsConfigured) {
    const auto configured = [&](const std::string& path) {
        w.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, path);
        return ConfiguredProfileFolder(w.settings, MozillaBrowser::Firefox).value_or("<none>");
    };
    // The home folder refused is the account's: on Windows the shell's, which no test can point elsewhere, so
    // what is put there goes again at the end.
#ifdef _WIN32
    const std::string home = SystemPaths().HomeFolder();
    struct Tidy {
        std::string home;
        ~Tidy() {
            std::error_code error;
            std::filesystem::remove(FilePath(home + "/prefs.js"), error);
            std::filesystem::remove_all(FilePath(home + "/plain"), error);
        }
    } tidy{home};
#else
    const std::string home = w.env.Home();
#endif
    WriteFileBytes(home + "/prefs.js", "");
    MakeFolders(home + "/plain");
    EXPECT_EQ(configured("/"), "<none>");
    EXPECT_EQ(configured(home), "<none>") << "the home folder, even holding a prefs.js";
    EXPECT_EQ(configured(home + "/plain/.."), "<none>");
    EXPECT_EQ(configured(home + "/plain"), "<none>");
    MakeProfileFolder(home + "/plain");
    EXPECT_EQ(configured(" " + home + "/plain "), home + "/plain");
}

} // namespace
} // namespace quorvel::test

#include "cleaning/mozilla_tracks.h"
#include "cleaning_fakes.h"
#include "lock_holder.h"
#include "platform/paths.h"
#include "platform/track_files.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using Removal = TrackFiles::Removal;

// A Firefox profile in its usual place below the test's home folder, and a folder outside everything the
// cleaner may touch.
class MozillaTracksTest : public ::testing::Test {
protected:
    std::string Profile() const { return env.Home() + "/.mozilla/firefox/ab12.default"; }
    std::string Local() const { return env.Cache() + "/mozilla/firefox/ab12.default"; }
    std::string Outside() const { return env.Root() + "/outside"; }

    void Touch(const std::string& path) { WriteFileBytes(path, "track"); }

    void SetUp() override {
        MakeFolders(Profile());
        Touch(Outside() + "/precious");
    }

    TestEnvironment env;
    TestPaths paths;
    TestTrackFiles files;
};

TEST_F(MozillaTracksTest, FirefoxCacheKeepsDottedNamesAndSubfolders) {
    const std::string cache = Profile() + "/Cache";
    for (const char* name : {"_CACHE_MAP_", "_CACHE_001_", "0A1B2C3Dd01", "index.sqlite", "x.y", ".hidden"}) {
        Touch(cache + "/" + name);
    }
    Touch(cache + "/sub/DEEP");
    Touch(cache + "/sub.d/DEEP");

    EXPECT_TRUE(CleanFirefoxCache(paths, files, Profile()));

    EXPECT_FALSE(FileExists(cache + "/_CACHE_MAP_"));
    EXPECT_FALSE(FileExists(cache + "/_CACHE_001_"));
    EXPECT_FALSE(FileExists(cache + "/0A1B2C3Dd01"));
    EXPECT_TRUE(FileExists(cache + "/index.sqlite"));
    EXPECT_TRUE(FileExists(cache + "/x.y"));
    EXPECT_TRUE(FileExists(cache + "/.hidden"));
    EXPECT_TRUE(FileExists(cache + "/sub/DEEP"));
    EXPECT_TRUE(FileExists(cache + "/sub.d/DEEP"));
}

TEST_F(MozillaTracksTest, FirefoxCacheAlsoEmptiesTheProfilesLocalFolder) {
    Touch(Local() + "/Cache/OLDENTRY");
    Touch(Local() + "/Cache/keep.me");
    Touch(Local() + "/cache2/entries/3F2A9C0D4E5B6A7980716253443526170819AABB");
    Touch(Local() + "/cache2/entries/keep.me");
    Touch(Local() + "/cache2/index");
    Touch(Local() + "/cache2/doomed/GONE");
    Touch(Local() + "/startupCache/LOOSE");
    Touch(Profile() + "/cache2/entries/NOTHERE");

    EXPECT_TRUE(CleanFirefoxCache(paths, files, Profile()));

    EXPECT_FALSE(FileExists(Local() + "/Cache/OLDENTRY"));
    EXPECT_FALSE(FileExists(Local() + "/cache2/entries/3F2A9C0D4E5B6A7980716253443526170819AABB"));
    EXPECT_TRUE(FileExists(Local() + "/Cache/keep.me"));
    EXPECT_TRUE(FileExists(Local() + "/cache2/entries/keep.me"));
    // Only the entries folder is a cache folder; the rest of the local folder is not the cache.
    EXPECT_TRUE(FileExists(Local() + "/cache2/index"));
    EXPECT_TRUE(FileExists(Local() + "/cache2/doomed/GONE"));
    EXPECT_TRUE(FileExists(Local() + "/startupCache/LOOSE"));
    // A profile with a local folder keeps its cache there, not in the profile.
    EXPECT_TRUE(FileExists(Profile() + "/cache2/entries/NOTHERE"));
}

TEST_F(MozillaTracksTest, ProfileOutsideHomeIsItsOwnLocalFolder) {
    const std::string profile = env.Root() + "/profiles/p";
    Touch(profile + "/Cache/OLD");
    Touch(profile + "/cache2/entries/NEW");
    Touch(profile + "/cache2/entries/kept.tmp");

    EXPECT_TRUE(CleanFirefoxCache(paths, files, profile));

    EXPECT_FALSE(FileExists(profile + "/Cache/OLD"));
    EXPECT_FALSE(FileExists(profile + "/cache2/entries/NEW"));
    EXPECT_TRUE(FileExists(profile + "/cache2/entries/kept.tmp"));
}

TEST_F(MozillaTracksTest, SymbolicLinksAreNeverFollowedOutOfTheFolders) {
    // A link inside a cache folder goes, as a link; a cache folder that is a link is not entered.
    MakeFolders(Profile() + "/Cache");
    MakeLink(Outside() + "/precious", Profile() + "/Cache/LINKED");
    MakeLink(Outside(), Profile() + "/Cache/LINKEDDIR");
    MakeFolders(Local() + "/cache2");
    MakeLink(Outside(), Local() + "/cache2/entries");
    Touch(Outside() + "/NODOTS");

    EXPECT_TRUE(CleanFirefoxCache(paths, files, Profile()));

    EXPECT_FALSE(fs::is_symlink(Profile() + "/Cache/LINKED"));
    EXPECT_FALSE(fs::is_symlink(Profile() + "/Cache/LINKEDDIR"));
    EXPECT_TRUE(fs::is_symlink(Local() + "/cache2/entries"));
    EXPECT_EQ(ReadFileBytes(Outside() + "/precious"), "track");
    EXPECT_TRUE(FileExists(Outside() + "/NODOTS"));

    // The same for a whole Netscape cache folder that is a link.
    const std::string netscape = env.Root() + "/netscape";
    MakeFolders(netscape);
    MakeLink(Outside(), netscape + "/Cache");
    EXPECT_TRUE(CleanNetscapeCache(files, netscape));
    EXPECT_TRUE(FileExists(Outside() + "/precious"));
    EXPECT_TRUE(FileExists(Outside() + "/NODOTS"));
}

TEST_F(MozillaTracksTest, NetscapeCacheTakesEveryFileButNoFolder) {
    const std::string cache = Profile() + "/Cache";
    for (const char* name : {"A", "b.dat", ".x", "..y"}) {
        Touch(cache + "/" + name);
    }
    Touch(cache + "/sub/inner.dat");

    EXPECT_TRUE(CleanNetscapeCache(files, Profile()));

    EXPECT_EQ(files.ListFolder(cache, ""), (std::vector<TrackFiles::Entry>{{"sub", true}}));
    EXPECT_TRUE(FileExists(cache + "/sub/inner.dat"));
    // No cache folder: nothing to do, nothing failed.
    EXPECT_TRUE(CleanNetscapeCache(files, env.Root() + "/none"));
}

TEST_F(MozillaTracksTest, R7uFilesOfTheProfileFolderOnly) {
    for (const char* name : {"a.r7u", "B.R7U", ".r7u", "a.r7ux", "r7u", "a.r7u.bak", "prefs.js"}) {
        Touch(Profile() + "/" + name);
    }
    Touch(Profile() + "/dir.r7u/inner.r7u");

    EXPECT_TRUE(RemoveR7uFiles(files, Profile()));

    EXPECT_FALSE(FileExists(Profile() + "/a.r7u"));
    EXPECT_FALSE(FileExists(Profile() + "/B.R7U"));
    EXPECT_FALSE(FileExists(Profile() + "/.r7u"));
    for (const char* name : {"a.r7ux", "r7u", "a.r7u.bak", "prefs.js", "dir.r7u/inner.r7u"}) {
        EXPECT_TRUE(FileExists(Profile() + "/" + name)) << name;
    }
}

TEST_F(MozillaTracksTest, SingleFilesGoUnlessTheBrowserHoldsTheProfile) {
    Touch(Profile() + "/cookies.sqlite");
    Touch(Profile() + "/cookies.txt");
    EXPECT_TRUE(RemoveProfileFiles(files, Profile(), {"cookies.txt", "cookies.sqlite", "missing.dat"}));
    EXPECT_FALSE(FileExists(Profile() + "/cookies.txt"));
    EXPECT_FALSE(FileExists(Profile() + "/cookies.sqlite"));

    Touch(Profile() + "/cookies.sqlite");
    {
        LockHolder browser(Profile() + "/.parentlock", LockHolder::Kind::Record);
        ASSERT_TRUE(browser.Holding());
        EXPECT_FALSE(RemoveProfileFiles(files, Profile(), {"cookies.sqlite"}));
        EXPECT_TRUE(FileExists(Profile() + "/cookies.sqlite"));
        // Nothing there is nothing held.
        EXPECT_TRUE(RemoveProfileFiles(files, Profile(), {"history.dat"}));
    }
    MakeLink("127.0.0.1:+" + std::to_string(getpid()), Profile() + "/lock");
    EXPECT_FALSE(RemoveProfileFiles(files, Profile(), {"cookies.sqlite"}));
    EXPECT_TRUE(FileExists(Profile() + "/cookies.sqlite"));

    // Once the browser is gone its leftover link does not hold anything.
    fs::remove(Profile() + "/lock");
    MakeLink("127.0.0.1:+" + std::to_string(EndedProcessId()), Profile() + "/lock");
    EXPECT_TRUE(RemoveProfileFiles(files, Profile(), {"cookies.sqlite"}));
    EXPECT_FALSE(FileExists(Profile() + "/cookies.sqlite"));
}

TEST_F(MozillaTracksTest, SingleFileLinkGoesAsALinkAndAFolderStays) {
    MakeLink(Outside() + "/precious", Profile() + "/history.dat");
    MakeFolders(Profile() + "/downloads.rdf");
    EXPECT_EQ(files.RemoveProfileFile(Profile(), "history.dat"), Removal::Removed);
    EXPECT_EQ(files.RemoveProfileFile(Profile(), "downloads.rdf"), Removal::Kept);
    EXPECT_EQ(ReadFileBytes(Outside() + "/precious"), "track");
    EXPECT_TRUE(fs::is_directory(Profile() + "/downloads.rdf"));
}

TEST_F(MozillaTracksTest, ReadOnlySingleFileStays) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root opens read-only files for writing";
    }
    Touch(Profile() + "/signons3.txt");
    chmod((Profile() + "/signons3.txt").c_str(), 0444);
    EXPECT_EQ(files.RemoveProfileFile(Profile(), "signons3.txt"), Removal::Kept);
    EXPECT_TRUE(FileExists(Profile() + "/signons3.txt"));
}

TEST_F(MozillaTracksTest, FileThatCannotBeRemovedIsSkippedAndTheRestGoes) {
    ScriptedTrackFiles refusing;
    refusing.RefuseToRemove("HELD");
    Touch(Profile() + "/Cache/HELD");
    Touch(Profile() + "/Cache/FREE");
    Touch(Local() + "/cache2/entries/ALSOFREE");

    EXPECT_FALSE(CleanFirefoxCache(paths, refusing, Profile()));

    EXPECT_TRUE(FileExists(Profile() + "/Cache/HELD"));
    EXPECT_FALSE(FileExists(Profile() + "/Cache/FREE"));
    EXPECT_FALSE(FileExists(Local() + "/cache2/entries/ALSOFREE"));
}

TEST_F(MozillaTracksTest, RealRemovalFailureInAReadOnlyCacheFolder) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root removes files from read-only folders";
    }
    Touch(Profile() + "/Cache/STUCK");
    chmod((Profile() + "/Cache").c_str(), 0555);
    EXPECT_FALSE(CleanNetscapeCache(files, Profile()));
    EXPECT_TRUE(FileExists(Profile() + "/Cache/STUCK"));
}

} // namespace
} // namespace quorvel::test

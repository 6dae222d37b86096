#include "cleaning/internet_explorer_tracks.h"
#include "cleaning_fakes.h"
#ifndef _WIN32
#include "lock_holder.h"
#endif
#include "platform/registry_store.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kSticky = 0x00000004;

// A cache holding every kind of entry.
void Fill(FakeUrlCache& cache) {
    cache.Add("http://a.example/page.html", kNormalCacheEntry);
    cache.Add("Cookie:ann@a.example/", kCookieCacheEntry);
    cache.Add("Visited: ann@http://a.example/", kUrlHistoryCacheEntry);
    cache.Add("http://b.example/logo.png", kNormalCacheEntry | kSticky);
    cache.Add("Cookie:ann@b.example/", kCookieCacheEntry | kNormalCacheEntry);
    cache.Add("http://c.example/", 0);
}

TEST(UrlCacheSweep, CacheAloneKeepsCookies) {
    FakeUrlCache cache;
    Fill(cache);
    DeleteUrlCacheEntries(cache, false);
    EXPECT_THAT(cache.Urls(), ElementsAre("Cookie:ann@a.example/", "Cookie:ann@b.example/"));
    EXPECT_EQ(cache.OpenEnumerations(), 0u);
    EXPECT_EQ(cache.Closes(), 1);
}

TEST(UrlCacheSweep, CookiesAloneKeepEverythingElse) {
    FakeUrlCache cache;
    Fill(cache);
    DeleteUrlCacheEntries(cache, true);
    EXPECT_THAT(cache.Urls(), ElementsAre("http://a.example/page.html", "Visited: ann@http://a.example/",
                                          "http://b.example/logo.png", "http://c.example/"));
    EXPECT_EQ(cache.OpenEnumerations(), 0u);
}

TEST(UrlCacheSweep, BufferGrowsToWhatAnEntryAsksAndNeverShrinks) {
    FakeUrlCache cache;
    cache.Add("http://first-too-big/", kNormalCacheEntry, 6000);
    cache.Add("http://small/", kNormalCacheEntry, 100);
    cache.Add("http://bigger/", kNormalCacheEntry, 9000);
    cache.Add("http://middle/", kNormalCacheEntry, 7000);
    DeleteUrlCacheEntries(cache, false);
    EXPECT_TRUE(cache.Urls().empty());
    EXPECT_THAT(cache.BuffersOffered(), ElementsAre(4096, 6000, 6000, 6000, 9000, 9000, 9000));
    EXPECT_EQ(cache.OpenEnumerations(), 0u);
}

TEST(UrlCacheSweep, AnyOtherFailureEndsTheWalk) {
    FakeUrlCache cache;
    Fill(cache);
    cache.FailAt(2);
    DeleteUrlCacheEntries(cache, false);
    EXPECT_THAT(cache.Urls(), ElementsAre("Cookie:ann@a.example/", "Visited: ann@http://a.example/",
                                          "http://b.example/logo.png", "Cookie:ann@b.example/", "http://c.example/"));
    EXPECT_EQ(cache.OpenEnumerations(), 0u);

    // Failing on the first entry opens nothing, so there is nothing to close.
    FakeUrlCache failing;
    Fill(failing);
    failing.FailAt(0);
    DeleteUrlCacheEntries(failing, false);
    EXPECT_EQ(failing.Urls().size(), 6u);
    EXPECT_EQ(failing.Closes(), 0);
}

TEST(UrlCacheSweep, ACacheThatNeverSaysWhatFitsDoesNotHang) {
    FakeUrlCache cache;
    cache.Add("http://small/", kNormalCacheEntry, 100);
    cache.Add("http://huge/", kNormalCacheEntry, 50000);
    cache.Add("http://after/", kNormalCacheEntry, 100);
    cache.UnderstateNeeds();
    DeleteUrlCacheEntries(cache, false);
    EXPECT_THAT(cache.Urls(), ElementsAre("http://huge/", "http://after/"));
    EXPECT_EQ(cache.OpenEnumerations(), 0u);
}

#ifndef _WIN32
// The Linux port; on Windows the cache is the system's own, seen in the Win32 tests.
TEST(UrlCacheSweep, LinuxHasAnEmptyCache) {
    LinuxUrlCache cache;
    DeleteUrlCacheEntries(cache, false);
    DeleteUrlCacheEntries(cache, true);
    EXPECT_FALSE(cache.DeleteEntry("http://a.example/"));
}
#endif

TEST(IeCookiesFolder, EveryFileGoesButFoldersAndLinkTargetsStay) {
    TestEnvironment env;
    const std::string cookies = env.Root() + "/Cookies";
    WriteFileBytes(cookies + "/index.dat", "x");
    WriteFileBytes(cookies + "/ann@example[1].txt", "x");
    WriteFileBytes(cookies + "/NODOT", "x");
    WriteFileBytes(cookies + "/Low/ann@low[1].txt", "x");
    WriteFileBytes(env.Root() + "/outside/precious", "x");
#ifndef _WIN32
    // Making a symbolic link needs a privilege on Windows; the Win32 tests check links there.
    MakeLink(env.Root() + "/outside/precious", cookies + "/linked.txt");
#endif

    PathsWithCookies paths(cookies);
    TestTrackFiles files;
    EmptyCookiesFolder(paths, files);

    EXPECT_EQ(files.ListFolder(cookies, ""), (std::vector<TrackFiles::Entry>{{"Low", true}}));
    EXPECT_TRUE(FileExists(cookies + "/Low/ann@low[1].txt"));
    EXPECT_TRUE(FileExists(env.Root() + "/outside/precious"));
}

TEST(IeCookiesFolder, NoneOnLinuxAndNoRelativeFolder) {
    TestEnvironment env;
    WriteFileBytes(env.ProgramFolder() + "/Cookies/a.txt", "x");
    TestTrackFiles files;
    EmptyCookiesFolder(PathsWithCookies(), files);
    EmptyCookiesFolder(PathsWithCookies("Cookies"), files);
    EmptyCookiesFolder(PathsWithCookies(""), files);
    EXPECT_TRUE(FileExists(env.ProgramFolder() + "/Cookies/a.txt"));
}

TEST(IeRegistryKeys, DeletedWithEverythingBelowAndNothingBeside) {
    TestEnvironment env;
    RegistryStore registry(env.AppData() + "/Quorvel/registry");
    const std::string ie = "Software\\Microsoft\\Internet Explorer";
    ASSERT_TRUE(registry.CreateKey(RegistryHive::CurrentUser, ie + "\\TypedURLs"));
    ASSERT_TRUE(registry.SetValue(RegistryHive::CurrentUser, ie + "\\TypedURLs", "url1",
                                  RegistryValue::String("http://a.example/")));
    ASSERT_TRUE(registry.CreateKey(RegistryHive::CurrentUser, ie + "\\IntelliForms\\Storage2"));
    ASSERT_TRUE(registry.SetValue(RegistryHive::CurrentUser, ie + "\\IntelliForms\\Storage2", "abc",
                                  RegistryValue::Binary({1, 2, 3})));
    ASSERT_TRUE(registry.CreateKey(RegistryHive::CurrentUser, ie + "\\Main"));
    ASSERT_TRUE(registry.CreateKey(RegistryHive::LocalMachine, ie + "\\TypedURLs"));

    DeleteUserKey(registry, kTypedUrlsKey);
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, ie + "\\TypedURLs"));
    EXPECT_TRUE(registry.KeyExists(RegistryHive::CurrentUser, ie + "\\IntelliForms\\Storage2"));

    DeleteUserKey(registry, kIntelliFormsKey);
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, ie + "\\IntelliForms"));
    EXPECT_TRUE(registry.KeyExists(RegistryHive::CurrentUser, ie + "\\Main"));
    EXPECT_TRUE(registry.KeyExists(RegistryHive::LocalMachine, ie + "\\TypedURLs"));

    // Already gone: nothing happens.
    DeleteUserKey(registry, kTypedUrlsKey);
    EXPECT_TRUE(registry.KeyExists(RegistryHive::CurrentUser, ie + "\\Main"));
}

TEST(IeHistory, ClearedAndReleasedWhenTheObjectExists) {
    FakeUrlHistory history(true);
    EXPECT_TRUE(ClearUrlHistory(history));
    EXPECT_EQ(history.Cleared(), 1);
    EXPECT_EQ(history.Released(), 1);

    FakeUrlHistory missing(false);
    EXPECT_FALSE(ClearUrlHistory(missing));
    EXPECT_EQ(missing.Cleared(), 0);

#ifndef _WIN32
    LinuxUrlHistory onLinux; // no history object on Linux
    EXPECT_FALSE(ClearUrlHistory(onLinux));
#endif
}

} // namespace
} // namespace quorvel::test

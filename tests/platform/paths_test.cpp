#include "platform/paths.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace quorvel {
namespace {

TEST(JoinPath, PutsExactlyOneSlashBetween) {
    EXPECT_EQ(JoinPath("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/a/b//", "/c/d"), "/a/b/c/d");
    EXPECT_EQ(JoinPath("/", "tor/torrc"), "/tor/torrc");
    EXPECT_EQ(JoinPath("//", "/x"), "/x");
    EXPECT_EQ(JoinPath("rel", "x"), "rel/x");
    EXPECT_EQ(JoinPath("", "x"), "x");
    EXPECT_EQ(JoinPath("/a", ""), "/a/");
}

TEST(LinuxPaths, FollowsTheEnvironmentWithTheXdgFallbacks) {
    test::TestEnvironment env;
    LinuxPaths paths;
    EXPECT_EQ(paths.HomeFolder(), env.Home());
    EXPECT_EQ(paths.AppDataFolder(), env.AppData());
    EXPECT_EQ(paths.CacheFolder(), env.Cache());
    EXPECT_EQ(paths.ProgramFolder(), env.ProgramFolder());
    EXPECT_EQ(paths.CookiesFolder(), std::nullopt);

    // Read anew on every call.
    ::setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    ::setenv("XDG_CACHE_HOME", "/elsewhere/cache", 1);
    EXPECT_EQ(paths.AppDataFolder(), "/elsewhere/config");
    EXPECT_EQ(paths.CacheFolder(), "/elsewhere/cache");

    // Relative and empty values are invalid under the XDG rules and fall back to the home folder.
    for (const char* bad : {"relative/config", ""}) {
        ::setenv("XDG_CONFIG_HOME", bad, 1);
        ::setenv("XDG_CACHE_HOME", bad, 1);
        EXPECT_EQ(paths.AppDataFolder(), env.Home() + "/.config") << bad;
        EXPECT_EQ(paths.CacheFolder(), env.Home() + "/.cache") << bad;
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(paths.AppDataFolder(), env.Home() + "/.config");

    // Without $HOME the account's own home folder is used.
    ::unsetenv("HOME");
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(paths.HomeFolder(), account->pw_dir);
    EXPECT_EQ(paths.AppDataFolder(), JoinPath(account->pw_dir, ".config"));
}

} // namespace
} // namespace quorvel

#include "cleaning/local_profile_folder.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

class FixedPaths : public Paths {
public:
    FixedPaths(std::string home, std::string cache) : m_home(std::move(home)), m_cache(std::move(cache)) {}
    std::string AppDataFolder() const override { return m_home + "/.config"; }
    std::string HomeFolder() const override { return m_home; }
    std::string CacheFolder() const override { return m_cache; }
    std::optional<std::string> CookiesFolder() const override { return std::nullopt; }
    std::string ProgramFolder() const override { return "/opt/q"; }

private:
    std::string m_home;
    std::string m_cache;
};

TEST(LocalProfileFolder, ProfileBelowHomeMovesBelowTheCacheFolderWithoutItsDot) {
    const FixedPaths paths("/home/ann", "/home/ann/.cache");
    EXPECT_EQ(LocalProfileFolder(paths, "/home/ann/.mozilla/firefox/x.default"),
              "/home/ann/.cache/mozilla/firefox/x.default");
    EXPECT_EQ(LocalProfileFolder(paths, "/home/ann/.mozilla/firefox/x.default/"),
              "/home/ann/.cache/mozilla/firefox/x.default");
    EXPECT_EQ(LocalProfileFolder(paths, "/home/ann/profiles/p"), "/home/ann/.cache/profiles/p");
    // Only the first part loses its dot.
    EXPECT_EQ(LocalProfileFolder(paths, "/home/ann/.a/.b"), "/home/ann/.cache/a/.b");
    EXPECT_EQ(LocalProfileFolder(paths, "/home/ann/./.mozilla//x"), "/home/ann/.cache/mozilla/x");

    const FixedPaths custom("/home/ann/", "/var/cache/ann");
    EXPECT_EQ(LocalProfileFolder(custom, "/home/ann/.mozilla/firefox/x"), "/var/cache/ann/mozilla/firefox/x");
}

TEST(LocalProfileFolder, NothingOutsideOrAtTheHomeFolder) {
    const FixedPaths paths("/home/ann", "/home/ann/.cache");
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/ann"));
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/ann/"));
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/ann/."));
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/annex/.mozilla/x"));
    EXPECT_FALSE(LocalProfileFolder(paths, "/srv/profiles/x"));
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/ann/../bob/.mozilla/x"));
    EXPECT_FALSE(LocalProfileFolder(paths, "/home/ann/.mozilla/../.."));
    EXPECT_FALSE(LocalProfileFolder(paths, ".mozilla/firefox/x"));
    EXPECT_FALSE(LocalProfileFolder(paths, ""));
}

TEST(LocalProfileFolder, NothingWhenAFolderIsNotAbsolute) {
    EXPECT_FALSE(LocalProfileFolder(FixedPaths("", "/c"), "/x/.mozilla"));
    EXPECT_FALSE(LocalProfileFolder(FixedPaths("home", "home/.cache"), "home/.mozilla"));
    EXPECT_FALSE(LocalProfileFolder(FixedPaths("/home/ann", ".cache"), "/home/ann/.mozilla/x"));
}

} // namespace
} // namespace quorvel::test

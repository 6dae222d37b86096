#include "cleaning/local_profile_folder.h"
#include "platform/file_path.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

// The same absolute folders on both platforms: a drive in front on Windows, where "/home" has no root name.
#ifdef _WIN32
const std::string kRoot = "C:";
#else
const std::string kRoot;
#endif

// The folder found, in the platform's own spelling, so that "/" and "\\" compare equal on Windows.
std::string Local(const Paths& paths, const std::string& profile) {
    const auto folder = LocalProfileFolder(paths, profile);
    return folder ? PathText(FilePath(*folder).make_preferred()) : "<none>";
}

std::string Native(const std::string& path) {
    return PathText(FilePath(path).lexically_normal());
}

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
    const FixedPaths paths(kRoot + "/home/ann", kRoot + "/home/ann/.cache");
    const std::string home = kRoot + "/home/ann";
    EXPECT_EQ(Local(paths, home + "/.mozilla/firefox/x.default"), Native(home + "/.cache/mozilla/firefox/x.default"));
    EXPECT_EQ(Local(paths, home + "/.mozilla/firefox/x.default/"), Native(home + "/.cache/mozilla/firefox/x.default"));
    EXPECT_EQ(Local(paths, home + "/profiles/p"), Native(home + "/.cache/profiles/p"));
    // Only the first part loses its dot.
    EXPECT_EQ(Local(paths, home + "/.a/.b"), Native(home + "/.cache/a/.b"));
    EXPECT_EQ(Local(paths, home + "/./.mozilla//x"), Native(home + "/.cache/mozilla/x"));

    const FixedPaths custom(kRoot + "/home/ann/", kRoot + "/var/cache/ann");
    EXPECT_EQ(Local(custom, home + "/.mozilla/firefox/x"), Native(kRoot + "/var/cache/ann/mozilla/firefox/x"));
}

#ifdef _WIN32
TEST(LocalProfileFolder, DriveAndNetworkPathsWithEitherSeparatorAreAbsolute) {
    const FixedPaths drive("C:\\Users\\ann", "C:\\Users\\ann\\AppData\\Local");
    EXPECT_EQ(Local(drive, "C:\\Users\\ann\\.mozilla\\x"), "C:\\Users\\ann\\AppData\\Local\\mozilla\\x");
    EXPECT_EQ(Local(drive, "C:/Users/ann/.mozilla/x"), "C:\\Users\\ann\\AppData\\Local\\mozilla\\x");
    const FixedPaths network("\\\\srv\\home\\ann", "\\\\srv\\home\\ann\\cache");
    EXPECT_EQ(Local(network, "\\\\srv\\home\\ann\\.mozilla\\x"), "\\\\srv\\home\\ann\\cache\\mozilla\\x");
    // A path from the root of the current drive depends on that drive.
    EXPECT_EQ(Local(drive, "\\Users\\ann\\.mozilla\\x"), "<none>");
}
#endif

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

#include "platform/atomic_file.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool Replace(const std::string& path, const std::string& bytes) {
    AtomicFile file(path);
    return file.Write(bytes) && file.Commit();
}

TEST(AtomicFile, ARewriteRemovesTheTemporaryFilesThatKilledRewritesLeftButNoLiveOne) {
    test::TempFolder dir;
    WriteFileBytes(dir / "prefs.js", "old");
    WriteFileBytes(dir / ".prefs.js.Ab3xY9", "left by a kill");
    WriteFileBytes(dir / ".prefs.js.Qq1Qq1", "left by a kill");
    WriteFileBytes(dir / ".prefs.js.live01", "a rewrite going on");
    WriteFileBytes(dir / ".prefs.js.toolong", "not our pattern");
    WriteFileBytes(dir / ".user.js.Ab3xY9", "another target's");
    // A rewrite in progress holds its temporary file locked (here through a second descriptor of this process,
    // which flock treats like another process).
    const int live = ::open((dir / ".prefs.js.live01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    ASSERT_TRUE(Replace(dir / "prefs.js", "new"));
    EXPECT_EQ(ReadFileBytes(dir / "prefs.js"), "new");
    EXPECT_EQ(FilesIn(dir.Path()),
              (std::vector<std::string>{".prefs.js.live01", ".prefs.js.toolong", ".user.js.Ab3xY9", "prefs.js"}));
    ::close(live);
}

TEST(AtomicFile, AFileWhoseOwnerMayNotWriteItIsReadOnlyEvenForRoot) {
    test::TempFolder dir;
    WriteFileBytes(dir / "torrc", "old");
    ::chmod((dir / "torrc").c_str(), 0444);
    AtomicFile file(dir / "torrc");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Write("new") || file.Commit());
    EXPECT_EQ(ReadFileBytes(dir / "torrc"), "old");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"torrc"});
}

} // namespace
} // namespace quorvel

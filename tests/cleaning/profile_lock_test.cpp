#include "lock_holder.h"
#include "platform/profile_lock.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace quorvel::test {
namespace {

TEST(ProfileLockLinkPid, ReadsTheFormFirefoxWrites) {
    EXPECT_EQ(ProfileLockLinkPid("127.0.0.1:+4242"), 4242);
    EXPECT_EQ(ProfileLockLinkPid("127.0.1.1:+1"), 1);
    EXPECT_EQ(ProfileLockLinkPid("::1:+77"), 77);

    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:4242"));
    EXPECT_FALSE(ProfileLockLinkPid(":+4242"));
    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:+"));
    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:+0"));
    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:+-5"));
    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:+12x"));
    EXPECT_FALSE(ProfileLockLinkPid("127.0.0.1:+99999999999999999999"));
    EXPECT_FALSE(ProfileLockLinkPid("/some/file"));
}

class ProfileLockTest : public ::testing::Test {
protected:
    TempFolder profile;
};

TEST_F(ProfileLockTest, AnUnusedProfileIsFree) {
    EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
    // A ".parentlock" nobody holds is what a browser that ended leaves behind.
    WriteFileBytes(profile / ".parentlock", "");
    EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
    EXPECT_FALSE(IsMozillaProfileLocked(profile / "missing"));
}

TEST_F(ProfileLockTest, LockLinkCountsWhileItsProcessRuns) {
    MakeLink("127.0.0.1:+" + std::to_string(getpid()), profile / "lock");
    EXPECT_TRUE(IsMozillaProfileLocked(profile.Path()));
}

TEST_F(ProfileLockTest, LeftoverLockLinkDoesNotCount) {
    MakeLink("127.0.0.1:+" + std::to_string(EndedProcessId()), profile / "lock");
    EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
}

TEST_F(ProfileLockTest, LockLinkOfAnotherFormDoesNotCount) {
    MakeLink(profile / "elsewhere", profile / "lock");
    WriteFileBytes(profile / "elsewhere", std::to_string(getpid()));
    EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
}

TEST_F(ProfileLockTest, HeldParentLockCountsUntilReleased) {
    for (const auto kind : {LockHolder::Kind::Record, LockHolder::Kind::Flock}) {
        {
            LockHolder holder(profile / ".parentlock", kind);
            ASSERT_TRUE(holder.Holding());
            EXPECT_TRUE(IsMozillaProfileLocked(profile.Path()));
        }
        EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
    }
}

TEST_F(ProfileLockTest, ProbingLeavesTheLockToTheBrowser) {
    WriteFileBytes(profile / ".parentlock", "");
    EXPECT_FALSE(IsMozillaProfileLocked(profile.Path()));
    // A browser starting after the probe still gets its lock.
    LockHolder holder(profile / ".parentlock", LockHolder::Kind::Record);
    EXPECT_TRUE(holder.Holding());
    LockHolder exclusive(profile / ".parentlock", LockHolder::Kind::Flock);
    EXPECT_TRUE(exclusive.Holding());
}

} // namespace
} // namespace quorvel::test

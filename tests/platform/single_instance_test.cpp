#include "platform/single_instance.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

using Result = SingleInstanceLock::Result;
const std::string kName = "Quorvel-7da42821-0e9b-4068-8989-2d61d5a3e0de";

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    test::TestEnvironment env;
    auto first = std::make_unique<SingleInstanceLock>(kName);
    EXPECT_EQ(first->State(), Result::Acquired);
    EXPECT_EQ(first->LockFile(), env.Root() + "/runtime/" + kName + ".lock");
    {
        SingleInstanceLock second(kName); // its own open file, as another process would have
        EXPECT_EQ(second.State(), Result::AlreadyHeld);
    }
    EXPECT_EQ(SingleInstanceLock("Another-name").State(), Result::Acquired);
    first.reset();
    SingleInstanceLock third(kName);
    EXPECT_EQ(third.State(), Result::Acquired);
}

TEST(SingleInstanceLock, ALockHeldByAnotherProcessEndsWithThatProcess) {
    test::TestEnvironment env;
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    pid_t child = ::fork();
    if (child == 0) {
        SingleInstanceLock lock(kName);
        char state = lock.State() == Result::Acquired ? 'A' : 'x';
        [[maybe_unused]] auto written = ::write(toParent[1], &state, 1);
        char go = 0;
        [[maybe_unused]] auto read = ::read(toChild[0], &go, 1);
        ::_exit(0); // no destructor runs: the end of the process alone must free the lock
    }
    ASSERT_GT(child, 0);
    char state = 0;
    ASSERT_EQ(::read(toParent[0], &state, 1), 1);
    EXPECT_EQ(state, 'A');
    EXPECT_EQ(SingleInstanceLock(kName).State(), Result::AlreadyHeld);

    ASSERT_EQ(::write(toChild[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(SingleInstanceLock(kName).State(), Result::Acquired);
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
        ::close(fd);
    }
}

TEST(SingleInstanceLock, FallsBackToTheTemporaryFolderAndFailsQuietly) {
    test::TestEnvironment env;
    test::TempFolder temp;
    const char* oldTmp = std::getenv("TMPDIR");
    std::string savedTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", temp.Path().c_str(), 1);

    for (const char* runtime : {"", "relative/runtime", "/no/such/runtime/folder"}) {
        ::setenv("XDG_RUNTIME_DIR", runtime, 1);
        SingleInstanceLock lock(kName);
        EXPECT_EQ(lock.State(), Result::Acquired) << runtime;
        EXPECT_EQ(lock.LockFile(), temp / (kName + ".lock")) << runtime;
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceLock(kName).LockFile(), temp / (kName + ".lock"));

    // A name with a '/' stays inside the folder.
    EXPECT_EQ(SingleInstanceLock("a/b").LockFile(), temp / "a_b.lock");

    // Something that cannot be locked is a failure, not "another instance runs".
    std::filesystem::create_directories(temp / "blocked.lock");
    EXPECT_EQ(SingleInstanceLock("blocked").State(), Result::Failed);

    if (oldTmp) {
        ::setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

} // namespace
} // namespace quorvel

#include "app/quorvel_app.h"

#include "platform/paths.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

// Exit status of `body` run in a child process, as another launch of the program would be.
int InAnotherProcess(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 0: the launch ended at once without creating a window; 1: it started as the first instance.
int Launch() {
    LinuxPaths paths;
    CQuorvelApp app(paths);
    bool windowCreated = false;
    const bool first = app.InitInstance([&] { windowCreated = true; });
    if (first != windowCreated) {
        return 2;
    }
    return first ? 1 : 0;
}

class QuorvelAppTest : public ::testing::Test {
protected:
    test::TestEnvironment m_env;
    LinuxPaths m_paths;
};

TEST_F(QuorvelAppTest, FirstLaunchCreatesTheSettingsFolderAndTheTrayWindow) {
    // A fresh account: not even the application-data folder exists.
    std::filesystem::remove_all(m_env.AppData());
    CQuorvelApp app(m_paths);
    int windows = 0;
    EXPECT_TRUE(app.InitInstance([&] { ++windows; }));
    EXPECT_EQ(windows, 1);
    EXPECT_TRUE(std::filesystem::is_directory(m_env.AppData() + "/Quorvel"));
    EXPECT_FALSE(test::FileExists(app.Settings().SettingsPath())); // created by the first write
    EXPECT_TRUE(app.Settings().WriteBool("Options Dialog", "First start", false));
    EXPECT_EQ(app.Language().GetText("Exit", "Main menu", "Exit"), "Exit");
    EXPECT_EQ(app.State().torPort, 9050);
    // Starting again in the same process neither recreates the window nor gives up the lock.
    EXPECT_TRUE(app.InitInstance([&] { ++windows; }));
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(InAnotherProcess(Launch), 0);
}

TEST_F(QuorvelAppTest, ASecondLaunchEndsSilentlyWhileTheFirstRuns) {
    {
        CQuorvelApp first(m_paths);
        ASSERT_TRUE(first.InitInstance({}));
        EXPECT_EQ(InAnotherProcess(Launch), 0);
        EXPECT_EQ(InAnotherProcess(Launch), 0); // the first is not disturbed by the second
    }
    EXPECT_EQ(InAnotherProcess(Launch), 1);
}

TEST_F(QuorvelAppTest, ALaunchAfterAnInstanceDiedWithoutCleaningUpSucceeds) {
    // The first instance ends abruptly, never releasing anything itself.
    EXPECT_EQ(InAnotherProcess([] {
                  LinuxPaths paths;
                  auto* app = new CQuorvelApp(paths); // deliberately never destroyed
                  return app->InitInstance({}) ? 1 : 0;
              }),
              1);
    CQuorvelApp app(m_paths);
    EXPECT_TRUE(app.InitInstance({}));
}

} // namespace
} // namespace quorvel

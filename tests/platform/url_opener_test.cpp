#include "platform/url_opener.h"

#include "platform/process_launcher.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

class RecordingLauncher : public ProcessLauncher {
public:
    std::optional<ProcessId> Launch(const std::string& program, const std::vector<std::string>& args) override {
        programs.push_back(program);
        arguments.push_back(args);
        return succeed ? std::optional<ProcessId>(4242) : std::nullopt;
    }
    bool IsRunning(ProcessId) override { return false; }
    bool WaitForExit(ProcessId, std::chrono::milliseconds) override { return true; }

    bool succeed = true;
    std::vector<std::string> programs;
    std::vector<std::vector<std::string>> arguments;
};

TEST(XdgUrlOpener, PassesTheAddressAsOneArgumentToXdgOpen) {
    RecordingLauncher launcher;
    XdgUrlOpener opener(launcher);
    const std::string url = "http://example.org/a b;c?x=$(rm -rf ~)&y=`id`|z'\"";
    EXPECT_TRUE(opener.Open(url));
    ASSERT_EQ(launcher.programs.size(), 1u);
    EXPECT_EQ(launcher.programs[0], "xdg-open");
    EXPECT_EQ(launcher.arguments[0], std::vector<std::string>{url});

    launcher.succeed = false;
    EXPECT_FALSE(opener.Open("http://example.org/"));
}

TEST(XdgUrlOpener, ARealProgramReceivesTheAddressIntact) {
    test::TempFolder temp;
    const std::string program = temp / "fake-xdg-open";
    test::WriteFileBytes(program, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/seen\"\n");
    ::chmod(program.c_str(), 0755);
    LinuxProcessLauncher launcher;
    XdgUrlOpener opener(launcher, program);
    const std::string url = "https://check.example/?ver=2.0&lang=en us;$(id)";
    ASSERT_TRUE(opener.Open(url));
    for (int i = 0; i < 2000 && test::ReadFileBytes(temp / "seen").empty(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(test::ReadFileBytes(temp / "seen"), "1|" + url);

    XdgUrlOpener missing(launcher, temp / "no-such-opener");
    EXPECT_FALSE(missing.Open(url));
}

} // namespace
} // namespace quorvel

#include "platform/process_launcher.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace quorvel {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

std::string MakeScript(const TempFolder& temp, const std::string& name, const std::string& body) {
    std::string path = temp / name;
    WriteFileBytes(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return path;
}

// The state letter of /proc/<pid>/stat ('Z' for a zombie); '\0' when there is no such process.
char ProcessState(ProcessId pid) {
    std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    auto close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() ? '\0' : stat[close + 2];
}

TEST(ProcessLauncher, ArgumentsArriveAsGivenAndStreamsLeadNowhere) {
    TempFolder temp;
    const std::string out = temp / "out";
    const std::string script = MakeScript(temp, "record", R"(out="$1"; shift
for a in "$@"; do printf '[%s]\n' "$a"; done > "$out.args"
fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); echo "$fds" > "$out.fds"
echo "to stdout"; echo "to stderr" >&2
)");
    LinuxProcessLauncher launcher;
    auto pid = launcher.Launch(script, {out, "two words", "a;b", "$(touch pwned)", "", "*", "-f"});
    ASSERT_TRUE(pid.has_value());
    ASSERT_TRUE(launcher.WaitForExit(*pid, 10s));
    EXPECT_EQ(ReadFileBytes(out + ".args"), "[two words]\n[a;b]\n[$(touch pwned)]\n[]\n[*]\n[-f]\n");
    EXPECT_EQ(ReadFileBytes(out + ".fds"), "/dev/null\n/dev/null\n/dev/null\n");
    EXPECT_FALSE(FileExists(temp / "pwned"));
}

TEST(ProcessLauncher, ProgramsThatCannotStartGiveNothing) {
    TempFolder temp;
    LinuxProcessLauncher launcher;
    EXPECT_EQ(launcher.Launch(temp / "missing", {}), std::nullopt);
    EXPECT_EQ(launcher.Launch("", {}), std::nullopt);
    EXPECT_EQ(launcher.Launch("quorvel-no-such-program-anywhere", {}), std::nullopt);
    EXPECT_EQ(launcher.Launch(temp.Path(), {}), std::nullopt); // a folder

    WriteFileBytes(temp / "plain", "#!/bin/sh\nexit 0\n"); // not executable
    ::chmod((temp / "plain").c_str(), 0644);
    EXPECT_EQ(launcher.Launch(temp / "plain", {}), std::nullopt);

    WriteFileBytes(temp / "garbage", "\x7f"
                                     "ELF\x01\x02 not really a program");
    ::chmod((temp / "garbage").c_str(), 0755); // executable, but exec() refuses it
    EXPECT_EQ(launcher.Launch(temp / "garbage", {}), std::nullopt);
}

TEST(ProcessLauncher, FindsProgramsOnThePathAndSeesThemEnd) {
    LinuxProcessLauncher launcher;
    auto pid = launcher.Launch("sleep", {"30"});
    ASSERT_TRUE(pid.has_value());
    EXPECT_TRUE(launcher.IsRunning(*pid));
    EXPECT_FALSE(launcher.WaitForExit(*pid, 30ms));
    ::kill(*pid, SIGKILL);
    EXPECT_TRUE(launcher.WaitForExit(*pid, 10s));
    EXPECT_FALSE(launcher.IsRunning(*pid));
    // Reaped: no zombie is left, and asking again does not mistake a reused number for it.
    EXPECT_EQ(::waitpid(*pid, nullptr, WNOHANG), -1);
    EXPECT_FALSE(launcher.IsRunning(*pid));
    EXPECT_TRUE(launcher.WaitForExit(*pid, 0ms));
}

TEST(ProcessLauncher, ChildrenNobodyAsksAboutAreReapedByTheNextLaunch) {
    LinuxProcessLauncher launcher;
    auto first = launcher.Launch("true", {});
    ASSERT_TRUE(first.has_value());
    for (int i = 0; i < 1000 && ProcessState(*first) != 'Z'; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(ProcessState(*first), 'Z');
    auto second = launcher.Launch("true", {});
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(ProcessState(*first), '\0');
    EXPECT_FALSE(launcher.IsRunning(*first));
    EXPECT_TRUE(launcher.WaitForExit(*second, 10s));
}

TEST(ProcessLauncher, ChildGetsNoInheritedDescriptorsAndDefaultSignals) {
    TempFolder temp;
    const int leaked = ::open((temp / "leak").c_str(), O_WRONLY | O_CREAT, 0600); // no O_CLOEXEC on purpose
    ASSERT_GE(leaked, 3);
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGUSR1, &ignore, &old);

    LinuxProcessLauncher launcher;
    const std::string script =
        MakeScript(temp, "fds", R"(if [ -e /proc/$$/fd/$1 ]; then echo open; else echo closed; fi > "$2"
exec sleep 30
)");
    auto pid = launcher.Launch(script, {std::to_string(leaked), temp / "fd-state"});
    ::sigaction(SIGUSR1, &old, nullptr);
    ::close(leaked);
    ASSERT_TRUE(pid.has_value());
    for (int i = 0; i < 1000 && ReadFileBytes(temp / "fd-state").empty(); ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(ReadFileBytes(temp / "fd-state"), "closed\n");
    // SIGUSR1 was ignored here; the child must not inherit that, so the signal ends it.
    ::kill(*pid, SIGUSR1);
    EXPECT_TRUE(launcher.WaitForExit(*pid, 10s));
}

TEST(ProcessLauncher, ProcessesThatAreNotOurChildren) {
    LinuxProcessLauncher launcher;
    EXPECT_TRUE(launcher.IsRunning(::getppid()));
    EXPECT_TRUE(launcher.IsRunning(::getpid()));
    // 0 and negative numbers name process groups to kill(); they are never "running".
    EXPECT_FALSE(launcher.IsRunning(0));
    EXPECT_FALSE(launcher.IsRunning(-1));

    // A child started elsewhere is not reaped behind its owner's back, but its end is seen.
    pid_t other = ::fork();
    if (other == 0) {
        ::_exit(0);
    }
    ASSERT_GT(other, 0);
    EXPECT_TRUE(launcher.WaitForExit(other, 10s));
    EXPECT_EQ(ProcessState(other), 'Z');
    int status = -1;
    EXPECT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_FALSE(launcher.IsRunning(other)); // gone entirely now
}

} // namespace
} // namespace quorvel

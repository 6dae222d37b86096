#include "platform/single_instance.h"
#include "platform/win32/win32_process_launcher.h"
#include "support/test_environment.h"
#include "wine.h"

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kReportVariable = "QUORVEL_CHILD_REPORT";
constexpr const char* kMutexVariable = "QUORVEL_CHILD_MUTEX";

// Started as the child of ProcessTest, this program reports what it was given and how it was started, one line
// each, into the report file, and ends before any test runs.
const bool g_child = [] {
    const char* report = std::getenv(kReportVariable);
    if (report == nullptr) {
        return false;
    }
    std::ofstream out(report, std::ios::binary);
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; i < count; ++i) {
        out << "arg " << win32::Narrow(argv[i]) << "\n";
    }
    LocalFree(argv);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    out << "hidden " << ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE) << "\n";
    const char* mutex = std::getenv(kMutexVariable);
    SingleInstanceLock lock(mutex != nullptr ? mutex : "");
    out << "instance " << static_cast<int>(lock.State()) << "\n";
    out.close();
    std::exit(0);
}();

class ProcessTest : public ::testing::Test {
protected:
    TempFolder folder;
    Win32ProcessLauncher launcher;
    std::string report = folder / "report.txt";
    // Of this test process only, so that tests running side by side never share it.
    std::string mutexName = "Quorvel-test-" + std::to_string(GetCurrentProcessId());

    // Starts this program as the child with `args` and waits for it to end.
    std::string RunChild(const std::vector<std::string>& args) {
        _putenv_s(kReportVariable, report.c_str());
        _putenv_s(kMutexVariable, mutexName.c_str());
        auto pid = launcher.Launch(OwnProgram(), args);
        EXPECT_TRUE(pid);
        if (pid) {
            EXPECT_TRUE(launcher.WaitForExit(*pid, 60s));
            EXPECT_FALSE(launcher.IsRunning(*pid));
        }
        _putenv_s(kReportVariable, ""); // later children of this process are not reporters
        return ReadFileBytes(report);
    }
};

TEST_F(ProcessTest, HiddenChildGetsEveryArgumentIntact) {
    const std::vector<std::string> tricky = {"two words",
                                             "",
                                             "quote\"inside",
                                             "trailing\\",
                                             "back\\\\\"slash",
                                             "C:\\Program Files\\Tor\\",
                                             "\xD0\xA0\xD1\x83\xD1\x81",
                                             "$(x);&|"};
    const std::string text = RunChild(tricky);
    std::string expected;
    for (const auto& arg : tricky) {
        expected += "arg " + arg + "\n";
    }
    EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
    EXPECT_NE(text.find("hidden 1\n"), std::string::npos) << text;
}

TEST_F(ProcessTest, SecondInstanceRefusedWhileTheFirstHoldsTheMutex) {
    {
        SingleInstanceLock first(mutexName);
        ASSERT_EQ(first.State(), SingleInstanceLock::Result::Acquired);
        EXPECT_NE(RunChild({}).find("instance 1\n"), std::string::npos); // AlreadyHeld
    }
    EXPECT_NE(RunChild({}).find("instance 0\n"), std::string::npos); // free again once the first has gone
}

TEST_F(ProcessTest, MissingProgramIsNotStarted) {
    EXPECT_FALSE(launcher.Launch(folder / "missing.exe", {}));
    EXPECT_FALSE(launcher.Launch("", {}));
}

} // namespace
} // namespace quorvel::test

#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::e2e {

// A program the test starts and must stop again. It runs in a process group of its own (so that a browser's
// helper processes go with it), dies with the test process, and writes its output to a log file.
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> environment; // "NAME=value", added to or replacing the test's own
        std::string logFile = "/dev/null";    // standard output and error
        std::string inputFile = "/dev/null";  // standard input
        std::string folder;                   // working folder; empty: the test's own
    };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False (with the reason) when the program cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& args, const Options& options,
               std::string& error);
    int Pid() const { return m_pid; }
    bool IsRunning();
    // True when it ended within the limit.
    bool WaitForExit(std::chrono::milliseconds limit);
    // The exit status once it has ended normally; nothing while it runs or when a signal ended it.
    std::optional<int> ExitCode() const { return m_exitCode; }
    // SIGTERM to the group, then SIGKILL after `grace`; waits until the process has ended.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

private:
    void Reap(int status);

    int m_pid = -1;
    bool m_ended = false;
    std::optional<int> m_exitCode;
};

// Runs a program to its end and gives its standard output; nothing when it cannot be started, fails or takes
// longer than the limit (it is then stopped).
std::optional<std::string> RunAndCapture(const std::string& program, const std::vector<std::string>& args,
                                         const std::string& scratchFolder, std::chrono::milliseconds limit,
                                         const std::string& input = "");

} // namespace quorvel::e2e

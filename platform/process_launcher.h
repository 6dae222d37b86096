#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

using ProcessId = int;

// Starts programs hidden (no terminal, standard streams on /dev/null) with an argument list, never through a
// shell. The current folder and the environment are the caller's.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Nothing when the program cannot be started (missing, not executable).
    virtual std::optional<ProcessId> Launch(const std::string& program, const std::vector<std::string>& args) = 0;
    // True while the process runs (a child that has ended is reaped here).
    virtual bool IsRunning(ProcessId pid) = 0;
    // Waits until the process has ended or the time is up; true when it has ended.
    virtual bool WaitForExit(ProcessId pid, std::chrono::milliseconds limit) = 0;
};

class LinuxProcessLauncher final : public ProcessLauncher {
public:
    std::optional<ProcessId> Launch(const std::string& program, const std::vector<std::string>& args) override;
    bool IsRunning(ProcessId pid) override;
    bool WaitForExit(ProcessId pid, std::chrono::milliseconds limit) override;
};

} // namespace quorvel

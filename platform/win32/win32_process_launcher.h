#pragma once

#include "platform/process_launcher.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace quorvel {

// CreateProcessW with the window hidden and no console, never through a shell. The process handle is kept
// until the process has been seen to end, so IsRunning and WaitForExit ask the process itself, not its id.
class Win32ProcessLauncher final : public ProcessLauncher {
public:
    Win32ProcessLauncher() = default;
    ~Win32ProcessLauncher() override;
    Win32ProcessLauncher(const Win32ProcessLauncher&) = delete;
    Win32ProcessLauncher& operator=(const Win32ProcessLauncher&) = delete;

    std::optional<ProcessId> Launch(const std::string& program, const std::vector<std::string>& args) override;
    bool IsRunning(ProcessId pid) override;
    bool WaitForExit(ProcessId pid, std::chrono::milliseconds limit) override;

private:
    std::mutex m_mutex;
    std::map<ProcessId, void*> m_handles; // process HANDLEs
};

// The command line whose CommandLineToArgvW split gives back `program` and every argument exactly.
std::wstring CommandLineFor(const std::wstring& program, const std::vector<std::wstring>& args);

} // namespace quorvel

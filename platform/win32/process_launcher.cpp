#include "platform/win32/win32_process_launcher.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>

namespace quorvel {

namespace {

// The rules the C runtime and CommandLineToArgvW read arguments by: backslashes are literal unless they come
// before a quote, where each pair stands for one backslash and an odd one escapes the quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

} // namespace

std::wstring CommandLineFor(const std::wstring& program, const std::vector<std::wstring>& args) {
    // The program name is read up to the closing quote with no escapes at all; a path holds no quote.
    std::wstring line = L"\"" + program + L"\"";
    for (const auto& arg : args) {
        line += L' ';
        AppendQuoted(line, arg);
    }
    return line;
}

Win32ProcessLauncher::~Win32ProcessLauncher() {
    for (auto& [pid, handle] : m_handles) {
        CloseHandle(handle);
    }
}

std::optional<ProcessId> Win32ProcessLauncher::Launch(const std::string& program,
                                                      const std::vector<std::string>& args) {
    const std::wstring path = win32::Widen(program);
    if (program.empty() || program.find('\0') != std::string::npos || path.find(L'"') != std::wstring::npos) {
        return std::nullopt;
    }
    std::vector<std::wstring> wideArgs;
    for (const auto& arg : args) {
        if (arg.find('\0') != std::string::npos) {
            return std::nullopt;
        }
        wideArgs.push_back(win32::Widen(arg));
    }
    std::wstring line = CommandLineFor(path, wideArgs);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    // No handles are inherited: the child gets none of our files or sockets, and no console of its own.
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    const auto pid = static_cast<ProcessId>(info.dwProcessId);
    std::lock_guard lock(m_mutex);
    if (auto old = m_handles.find(pid); old != m_handles.end()) {
        CloseHandle(old->second);
    }
    m_handles[pid] = info.hProcess;
    return pid;
}

bool Win32ProcessLauncher::IsRunning(ProcessId pid) {
    return !WaitForExit(pid, std::chrono::milliseconds(0));
}

bool Win32ProcessLauncher::WaitForExit(ProcessId pid, std::chrono::milliseconds limit) {
    HANDLE handle = nullptr;
    bool own = false;
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_handles.find(pid); found != m_handles.end()) {
            // A duplicate, so that another thread's wait cannot close it under ours.
            DuplicateHandle(GetCurrentProcess(), found->second, GetCurrentProcess(), &handle, 0, FALSE,
                            DUPLICATE_SAME_ACCESS);
        }
    }
    if (handle == nullptr) {
        handle = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
        if (handle == nullptr) {
            return true; // no such process
        }
    } else {
        own = true;
    }
    const auto ms = std::min<long long>(std::max<long long>(limit.count(), 0), INFINITE - 1);
    const bool ended = WaitForSingleObject(handle, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
    CloseHandle(handle);
    if (ended && own) {
        std::lock_guard lock(m_mutex);
        if (auto found = m_handles.find(pid); found != m_handles.end()) {
            CloseHandle(found->second);
            m_handles.erase(found);
        }
    }
    return ended;
}

} // namespace quorvel

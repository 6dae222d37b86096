#include "platform/atomic_file.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace quorvel {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Opening the target for writing without sharing tells whether another program holds it: a rename over a file
// that is open elsewhere fails, and it had better fail before anything was written.
bool TargetIsFree(const std::wstring& target) {
    HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(probe);
    return true;
}

} // namespace

AtomicFile::AtomicFile(const std::string& target) : m_target(target) {
    if (target.empty() || target.find('\0') != std::string::npos) {
        return;
    }
    const std::wstring wideTarget = win32::Widen(target);
    const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0 || !TargetIsFree(wideTarget)) {
            return;
        }
        m_existed = true;
    } else if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND) {
        return;
    }
    // The temporary file sits beside the target, so the final move never crosses volumes.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && m_file == nullptr; ++attempt) {
        const std::wstring temp = FolderOf(wideTarget) + L"\\." + NameOf(wideTarget) + L"." +
                                  std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
        HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_file = file;
            m_temp = win32::Narrow(temp);
        } else if (GetLastError() != ERROR_FILE_EXISTS) {
            return;
        }
    }
}

AtomicFile::~AtomicFile() {
    Abandon();
}

bool AtomicFile::Write(std::string_view bytes) {
    if (m_file == nullptr || m_failed) {
        return false;
    }
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(m_file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            m_failed = true;
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool AtomicFile::Commit() {
    if (m_file == nullptr) {
        return false;
    }
    bool ok = !m_failed && FlushFileBuffers(m_file);
    ok = CloseHandle(m_file) && ok;
    m_file = nullptr;
    if (ok && MoveFileExW(win32::Widen(m_temp).c_str(), win32::Widen(m_target).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        m_temp.clear();
        return true;
    }
    Abandon();
    return false;
}

void AtomicFile::Abandon() {
    if (m_file != nullptr) {
        CloseHandle(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        DeleteFileW(win32::Widen(m_temp).c_str());
        m_temp.clear();
    }
}

} // namespace quorvel

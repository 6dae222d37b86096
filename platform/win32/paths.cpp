#include "platform/win32/win32_paths.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <shlobj.h>

namespace quorvel {

namespace {

std::optional<std::string> ShellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) {
        return std::nullopt;
    }
    return win32::Narrow(folder);
}

} // namespace

std::string Win32Paths::AppDataFolder() const {
    return ShellFolder(CSIDL_APPDATA).value_or(std::string());
}

std::string Win32Paths::HomeFolder() const {
    return ShellFolder(CSIDL_PROFILE).value_or(std::string());
}

std::string Win32Paths::CacheFolder() const {
    return ShellFolder(CSIDL_LOCAL_APPDATA).value_or(std::string());
}

std::optional<std::string> Win32Paths::CookiesFolder() const {
    return ShellFolder(CSIDL_COOKIES);
}

std::string Win32Paths::ProgramFolder() const {
    // The program never changes its current directory, so 1000 characters are what it was started with.
    wchar_t folder[1000] = {};
    const DWORD length = GetCurrentDirectoryW(1000, folder);
    if (length == 0 || length >= 1000) {
        return ".";
    }
    return win32::Narrow(std::wstring_view(folder, length));
}

} // namespace quorvel

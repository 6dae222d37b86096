#include "wine.h"

#include <windows.h>

namespace quorvel::test {

namespace {

template <typename Function> Function WineExport(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                             : nullptr;
}

} // namespace

std::string UnixPathOf(const std::string& windowsPath) {
    using Convert = char* (*)(const wchar_t*);
    auto convert = WineExport<Convert>("wine_get_unix_file_name");
    char* path = convert != nullptr ? convert(win32::Widen(windowsPath).c_str()) : nullptr;
    if (path == nullptr) {
        return {};
    }
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

std::string WindowsPathOf(const std::string& unixPath) {
    using Convert = wchar_t* (*)(const char*);
    auto convert = WineExport<Convert>("wine_get_dos_file_name");
    wchar_t* path = convert != nullptr ? convert(unixPath.c_str()) : nullptr;
    if (path == nullptr) {
        return {};
    }
    std::string result = win32::Narrow(path);
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

std::string OwnProgram() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return win32::Narrow(std::wstring_view(path, length));
}

} // namespace quorvel::test

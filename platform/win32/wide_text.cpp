#include "platform/win32/wide_text.h"

#include <windows.h>

namespace quorvel::win32 {

namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), needed);
    }
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide, BOOL* lost) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // UTF-8 accepts no default-character arguments.
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : lost;
    const int needed = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    std::string bytes(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), needed, nullptr, usedDefault);
    }
    return bytes;
}

} // namespace

std::wstring Widen(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string Narrow(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide, nullptr);
}

std::string ToAnsi(std::string_view utf8, bool* lost) {
    BOOL replaced = FALSE;
    std::string ansi = FromWide(CP_ACP, Widen(utf8), &replaced);
    if (lost != nullptr) {
        *lost = replaced != FALSE;
    }
    return ansi;
}

std::string FromAnsi(std::string_view ansi) {
    return Narrow(ToWide(CP_ACP, ansi));
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace quorvel::win32

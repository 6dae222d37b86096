#pragma once

#include <filesystem>
#include <string>

namespace quorvel {

// The program keeps paths as UTF-8 text. The standard library reads a narrow path in the system code page on
// Windows, which cannot hold every name (a user folder "Ярослав" under code page 1252); char8_t text is taken
// as UTF-8 on both platforms, and on Linux the bytes stay what they are.
inline std::filesystem::path FilePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A path as UTF-8 text.
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A network path \\server\share\… (either separator). Windows only: on Linux "//x" is just "/x".
inline bool IsNetworkPath(const std::string& utf8) {
#ifdef _WIN32
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    return utf8.size() > 2 && separator(utf8[0]) && separator(utf8[1]) && !separator(utf8[2]);
#else
    (void)utf8;
    return false;
#endif
}

// "/…" on Linux; "C:\…", "C:/…" or a network path on Windows, whose standard library here takes a network
// path for a relative one.
inline bool IsAbsolutePath(const std::string& utf8) {
    return IsNetworkPath(utf8) || FilePath(utf8).is_absolute();
}

} // namespace quorvel

#pragma once

#include <string>
#include <string_view>

namespace quorvel::win32 {

// The system's W functions take UTF-16; the program keeps its text in UTF-8. Invalid input converts with the
// replacement character rather than failing, so a name is never silently emptied.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Text files in the system ANSI code page (CP_ACP) and back. `lost` becomes true when a character has no
// equivalent in the code page and was replaced.
std::string ToAnsi(std::string_view utf8, bool* lost = nullptr);
std::string FromAnsi(std::string_view ansi);

// True when the program runs under Wine, whose ntdll exports wine_get_version.
bool RunningUnderWine();

} // namespace quorvel::win32

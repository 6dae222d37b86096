#pragma once

#include <string>
#include <string_view>

// The system code page, in which text files without a byte-order mark are read and written: UTF-8 on Linux,
// where bytes pass through as they are, and the ANSI code page (CP_ACP) on Windows.
namespace quorvel::code_page {

// True when the system code page is UTF-8, so no conversion is needed.
bool IsUtf8();
// Bytes in the system code page as UTF-8.
std::string ToUtf8(std::string_view bytes);
// UTF-8 text in the system code page; `lost` becomes true when a character had no equivalent and was replaced.
std::string FromUtf8(std::string_view text, bool& lost);

} // namespace quorvel::code_page

#include "platform/code_page.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace quorvel::code_page {

bool IsUtf8() {
    return GetACP() == CP_UTF8;
}

std::string ToUtf8(std::string_view bytes) {
    return win32::FromAnsi(bytes);
}

std::string FromUtf8(std::string_view text, bool& lost) {
    bool replaced = false;
    std::string bytes = win32::ToAnsi(text, &replaced);
    lost = lost || replaced;
    return bytes;
}

} // namespace quorvel::code_page

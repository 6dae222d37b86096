#include "platform/code_page.h"

namespace quorvel::code_page {

bool IsUtf8() {
    return true;
}

std::string ToUtf8(std::string_view bytes) {
    return std::string(bytes);
}

std::string FromUtf8(std::string_view text, bool& /*lost*/) {
    return std::string(text);
}

} // namespace quorvel::code_page

#pragma once

#include <string>

namespace quorvel {

// The text without its surrounding blanks and tabs, as the settings and INI readers compare values.
inline std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace quorvel

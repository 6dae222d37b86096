#pragma once

#include <span>

namespace quorvel {

// The languages a masked browser can claim, in list order, each an English name followed by its two-letter
// code in parentheses ("English (en)"), shown exactly so.
std::span<const char* const> FalseLanguages();

// The language shown when none was chosen.
inline constexpr const char* kDefaultFalseLanguage = "English (en)";

} // namespace quorvel

#pragma once

#include <string>

namespace quorvel {

class LanguageFile;

// Sections of the language file that the options sheet's texts come from.
namespace page_text {
inline constexpr const char* kOptionsDialog = "Options dialog";
inline constexpr const char* kProfilePathDialog = "Profile path dialog";
inline constexpr const char* kCountrySelection = "Country selection";
inline constexpr const char* kPrivacyTest = "Privacy test";
inline constexpr const char* kMainMenu = "Main menu";
inline constexpr const char* kMessages = "Messages";
} // namespace page_text

// The text of `key` in `section`; its English text is the key itself unless `english` is given.
std::string LanguageText(const LanguageFile& language, const char* section, const char* key,
                         const char* english = nullptr);

} // namespace quorvel

#pragma once

#include "masking/identity_model.h"

#include <optional>
#include <string>

namespace quorvel {

inline constexpr const char* kUserAgentPref = "general.useragent.override";
inline constexpr const char* kAcceptLanguagesPref = "intl.accept_languages";

// The user-agent line of a profile's user.js for a mode; Default removes the line from user.js and prefs.js.
void ApplyMozillaUserAgent(const std::string& profileFolder, MaskMode mode, const std::string& userAgent);

// The language line of a profile's user.js for a mode. Default puts the browser's own line back when a backup
// of it exists (it begins with a letter), and otherwise removes the line.
void ApplyMozillaLanguage(const std::string& profileFolder, MaskMode mode, const std::string& languageCode,
                          const std::string& backup);

// The browser's own accepted-languages line in prefs.js, from the prefix through ");". Nothing when the file or
// the line is missing, or when the line is broken over several lines (it could not be kept as one setting).
std::optional<std::string> FindMozillaLanguageLine(const std::string& profileFolder);

} // namespace quorvel

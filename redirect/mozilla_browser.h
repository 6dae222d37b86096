#pragma once

#include <optional>
#include <string>

namespace quorvel {

class SettingsStore;

// The two Mozilla-family browsers whose profile files the system edits.
enum class MozillaBrowser { Firefox, Netscape };

// The browser's name as the messages and settings spell it: "Firefox" or "Netscape".
const char* MozillaBrowserName(MozillaBrowser browser);
// The profile path setting in "Options Dialog": "Firefox profile" or "Netscape profile".
const char* MozillaProfileKey(MozillaBrowser browser);

// The configured profile folder: the stored path with surrounding blanks removed. Nothing when no profile is
// configured, or when the stored path is not absolute: nothing may ever be written or deleted relative to the
// program's current folder.
std::optional<std::string> ConfiguredProfileFolder(const SettingsStore& settings, MozillaBrowser browser);

} // namespace quorvel

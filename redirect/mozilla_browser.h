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
// configured, when the stored path is not absolute (nothing may ever be written or deleted relative to the
// program's current folder) or when the folder is not a profile (the cleaner deletes and masking writes there).
std::optional<std::string> ConfiguredProfileFolder(const SettingsStore& settings, MozillaBrowser browser);

// A folder the browser made as a profile: it holds prefs.js or times.json, and it is neither the root folder nor
// the home folder itself.
bool LooksLikeProfileFolder(const std::string& folder);

// The settings section that keeps the browser's proxy preferences while it is redirected.
const char* MozillaProxyBackupSection(MozillaBrowser browser);

// A text written about Firefox, made to speak of the given browser: for Netscape every "Firefox" in it becomes
// "Netscape"; for Firefox it stays as it is.
std::string WithBrowserName(std::string text, MozillaBrowser browser);

} // namespace quorvel

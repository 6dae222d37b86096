#pragma once

#include <string>

namespace quorvel {

class SettingsStore;
class UrlOpener;

// The maker's web host. A reserved name that never reaches anyone else's site, until the project has its own.
inline constexpr const char* kMakerHost = "quorvel.example";
// Tells the maker's pages which program sent the visitor.
inline constexpr const char* kReferrerTag = "quorvel-tray";
// Shows the visitor's address and whether it is a Tor exit. Held without a scheme, like the user's own addresses.
inline constexpr const char* kDefaultShowMyIpPage = "check.torproject.org";
// The one language value that chooses the maker's Russian pages.
inline constexpr const char* kRussianLanguage = "Russian(Русский)";

// The page the privacy test opens: the user's own address when "Custom privacy test" is on, else the maker's
// privacy-test page (its Russian variant for exactly "Russian(Русский)").
std::string PrivacyTestAddress(const SettingsStore& settings);

// The maker's support page, in Russian for exactly "Russian(Русский)".
std::string SupportAddress(const SettingsStore& settings);

// What is handed to the browser: an address without a scheme gets "https://" in front, since the opener would
// take a bare host name for a file. Surrounding blanks are dropped.
std::string BrowserAddress(const std::string& address);

// Opens the address in the default browser. False when there is nothing to open or the opener failed; the tray
// commands ignore the result, as a browser that cannot start is not reported.
bool OpenWebPage(UrlOpener& opener, const std::string& address);

} // namespace quorvel

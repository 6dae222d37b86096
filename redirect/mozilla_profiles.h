#pragma once

#include "redirect/mozilla_browser.h"

#include <string>

namespace quorvel {

class Controls;
class Paths;
class SettingsStore;

// The profile-path field of the profiles center's profile-path dialog.
inline constexpr int kProfilePathFieldId = 1017;

// The browser's list of profiles: $HOME/.mozilla/firefox/profiles.ini for Firefox (application data +
// "\Mozilla\Firefox\profiles.ini" on Windows), application data + "/Netscape/NSB/profiles.ini" for Netscape.
std::string MozillaProfilesIni(const Paths& paths, MozillaBrowser browser);
// The folder that the relative profile paths of that list start from.
std::string MozillaProfilesFolder(const Paths& paths, MozillaBrowser browser);

// The path of the profile that the browser uses, as the list gives it: the "Default" of the first [Install...]
// section that names one (a browser that keeps a profile per installation writes these, and its "Profile0" need
// not be the one in use), else the "Path" of [Profile0]. Surrounding blanks removed; empty when there is none.
std::string ReadProfilesIniPath(const std::string& iniFile);

// Finds the profile folder of Firefox and then of Netscape and stores each one found in its profile path setting.
// `page` is the profile-path dialog while its window exists (else null): the folder of the browser it shows is
// put into its path field as well. A browser whose folder is not found keeps its old setting.
void DetectMozillaProfiles(const Paths& paths, const SettingsStore& settings, Controls* page);

} // namespace quorvel

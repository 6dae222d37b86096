#include "redirect/mozilla_profiles.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/controls.h"
#include "platform/file_path.h"
#include "platform/paths.h"
#include "platform/private_profile.h"
#include "redirect/trim.h"

#include <cctype>
#include <filesystem>

namespace quorvel {

namespace {

constexpr std::size_t kProfilesIniBufferChars = 10240;

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// A listed path may name only a folder below the folder of all profiles: "../.." or "." would make the home
// folder or the folder of all profiles "the profile".
bool LiesBelow(const std::string& folder, const std::string& base) {
    const std::filesystem::path relative =
        FilePath(folder).lexically_normal().lexically_relative(FilePath(base).lexically_normal());
    return !relative.empty() && *relative.begin() != "." && *relative.begin() != "..";
}

} // namespace

std::string MozillaProfilesIni(const Paths& paths, MozillaBrowser browser) {
    return JoinPath(MozillaProfilesFolder(paths, browser), "profiles.ini");
}

std::string MozillaProfilesFolder(const Paths& paths, MozillaBrowser browser) {
    if (browser == MozillaBrowser::Netscape) {
        return JoinPath(paths.AppDataFolder(), "Netscape/NSB");
    }
#ifdef _WIN32
    return JoinPath(paths.AppDataFolder(), "Mozilla\\Firefox");
#else
    return JoinPath(paths.HomeFolder(), ".mozilla/firefox");
#endif
}

std::string ReadProfilesIniPath(const std::string& iniFile) {
    for (const std::string& section : private_profile::SectionNames(iniFile)) {
        if (StartsWithNoCase(section, "Install")) {
            std::string path =
                TrimBlanks(private_profile::GetString(iniFile, section, "Default", "", kProfilesIniBufferChars));
            if (!path.empty()) {
                return path;
            }
        }
    }
    return TrimBlanks(private_profile::GetString(iniFile, "Profile0", "Path", " ", kProfilesIniBufferChars));
}

void DetectMozillaProfiles(const Paths& paths, const SettingsStore& settings, Controls* page) {
    for (MozillaBrowser browser : {MozillaBrowser::Firefox, MozillaBrowser::Netscape}) {
        std::string listed = ReadProfilesIniPath(MozillaProfilesIni(paths, browser));
        while (!listed.empty() && listed.back() == '/') {
            listed.pop_back(); // the setting holds the folder without a trailing separator
        }
        // A list that names no profile leaves nothing to find: the folder of all profiles is not a profile, and
        // preferences written there would never be read.
        if (listed.empty()) {
            continue;
        }
        const std::string profiles = MozillaProfilesFolder(paths, browser);
        const std::string folder = profiles + "/" + listed;
        if (!LiesBelow(folder, profiles) || !LooksLikeProfileFolder(folder)) {
            continue;
        }
        settings.WriteString(settings::kOptionsDialog, MozillaProfileKey(browser), folder);
        const int shown = settings.ReadInt(settings::kOptionsDialog, settings::kCurrentBrowser, 0);
        if (page != nullptr && shown == (browser == MozillaBrowser::Firefox ? 1 : 2)) {
            page->SetText(kProfilePathFieldId, folder);
        }
    }
}

} // namespace quorvel

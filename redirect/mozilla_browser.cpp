#include "redirect/mozilla_browser.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/file_path.h"
#include "platform/paths.h"

#include <filesystem>
#include <system_error>

namespace quorvel {

const char* MozillaBrowserName(MozillaBrowser browser) {
    return browser == MozillaBrowser::Firefox ? "Firefox" : "Netscape";
}

const char* MozillaProfileKey(MozillaBrowser browser) {
    return browser == MozillaBrowser::Firefox ? settings::kFirefoxProfile : settings::kNetscapeProfile;
}

std::optional<std::string> ConfiguredProfileFolder(const SettingsStore& settings, MozillaBrowser browser) {
    std::string path = settings.ReadString(settings::kOptionsDialog, MozillaProfileKey(browser), settings::kBlank);
    const auto first = path.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    path = path.substr(first, path.find_last_not_of(" \t") - first + 1);
    if (!IsAbsolutePath(path) || !LooksLikeProfileFolder(path)) {
        return std::nullopt;
    }
    return path;
}

bool LooksLikeProfileFolder(const std::string& folder) {
    std::error_code error;
    const std::filesystem::path path = FilePath(folder);
    const std::string home = SystemPaths().HomeFolder();
    if (std::filesystem::equivalent(path, path.root_path(), error) ||
        (!home.empty() && std::filesystem::equivalent(path, FilePath(home), error))) {
        return false;
    }
    for (const char* file : {"prefs.js", "times.json"}) {
        if (std::filesystem::is_regular_file(FilePath(JoinPath(folder, file)), error)) {
            return true;
        }
    }
    return false;
}

const char* MozillaProxyBackupSection(MozillaBrowser browser) {
    return browser == MozillaBrowser::Firefox ? settings::kFirefoxProxyBackup : settings::kNetscapeProxyBackup;
}

std::string WithBrowserName(std::string text, MozillaBrowser browser) {
    if (browser == MozillaBrowser::Firefox) {
        return text;
    }
    static const std::string from = "Firefox";
    static const std::string to = "Netscape";
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

} // namespace quorvel

#include "pages/web_pages.h"

#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/url_opener.h"

#include <cctype>

namespace quorvel {

namespace {

bool IsRussian(const SettingsStore& settings) {
    return settings.ReadString(settings::kOptionsDialog, settings::kLanguage, "English") == kRussianLanguage;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A scheme is letters, digits, '+', '-' or '.' after a first letter, followed by "://".
bool HasScheme(const std::string& address) {
    const auto colon = address.find("://");
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(address[0]))) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string PrivacyTestAddress(const SettingsStore& settings) {
    if (settings.ReadBool(settings::kPrivacyTest, settings::kCustomPrivacyTest, false)) {
        return settings.ReadString(settings::kPrivacyTest, settings::kCustomPrivacyTestUrl, kDefaultShowMyIpPage);
    }
    const char* page = IsRussian(settings) ? "/privacy_test-ru.php" : "/privacy_test.php";
    return std::string("http://") + kMakerHost + page + "?ref=" + kReferrerTag + "&ver=" + g_strVersion;
}

std::string SupportAddress(const SettingsStore& settings) {
    return std::string("http://") + kMakerHost + (IsRussian(settings) ? "/support/ru/" : "/support/");
}

std::string BrowserAddress(const std::string& address) {
    std::string trimmed = Trimmed(address);
    if (trimmed.empty() || HasScheme(trimmed)) {
        return trimmed;
    }
    return "https://" + trimmed;
}

bool OpenWebPage(UrlOpener& opener, const std::string& address) {
    const std::string target = BrowserAddress(address);
    if (target.empty()) {
        return false;
    }
    return opener.Open(target);
}

} // namespace quorvel

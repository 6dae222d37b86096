#include "masking/masking_page_model.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/false_languages.h"

namespace quorvel {

namespace {

using namespace settings;

std::string ReadTrimmed(const SettingsStore& store, const char* key, const std::string& defaultValue) {
    const std::string text = store.ReadString(kOptionsDialog, key, defaultValue);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool BeginsWithLetter(const std::string& text) {
    return !text.empty() && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

} // namespace

IdentityChoice MaskingPageState::Selections() const {
    return IdentityChoice{agentMode,          languageMode,     software.os,
                          software.osVersion, software.browser, software.browserVersion,
                          falseLanguage};
}

MaskingPageState OpenMaskingPage(const SettingsStore& settings) {
    MaskingPageState page;
    page.agentMode = MaskModeFromInt(settings.ReadInt(kOptionsDialog, kAgentRadio, 0));
    page.languageMode = MaskModeFromInt(settings.ReadInt(kOptionsDialog, kLanguageRadio, 0));
    page.falseLanguage = ReadTrimmed(settings, kFalseLanguage, kDefaultFalseLanguage);
    if (page.falseLanguage.empty()) {
        page.falseLanguage = kDefaultFalseLanguage;
    }

    SoftwarePicker& software = page.software;
    software.os = ReadTrimmed(settings, kOs, kBlank);
    software.osVersion = ReadTrimmed(settings, kOsVersion, kBlank);
    software.browser = ReadTrimmed(settings, kBrowser, kBlank);
    if (!BeginsWithLetter(software.os)) {
        software.os = "Windows";
        settings.WriteString(kOptionsDialog, kOs, software.os);
    }
    software.osVersions = OsVersionsOf(software.os);
    if (software.osVersion.empty() && (software.os == "Windows" || software.os == "Mac")) {
        software.osVersion = software.os == "Windows" ? "95" : "MacOS";
        settings.WriteString(kOptionsDialog, kOsVersion, software.osVersion);
    }
    software.browsers = BrowsersOf(software.os, software.osVersion);
    if (software.browser.empty()) {
        software.browser = "Internet Explorer";
        settings.WriteString(kOptionsDialog, kBrowser, software.browser);
    }
    software.osVersionEnabled = software.os != "Linux";

    // The browser's version list is offered as if it had just been picked; the stored version is then shown.
    const std::string storedVersion = ReadTrimmed(settings, kBrowserVersion, "6");
    software = ChooseBrowser(software, software.browser);
    software.browserVersion = storedVersion;
    return page;
}

} // namespace quorvel

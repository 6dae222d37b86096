#include "masking/identity_masking.h"

#include "app/language_file.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/ie_identity.h"
#include "masking/masking_page_ids.h"
#include "masking/mozilla_identity.h"
#include "masking/pref_lines.h"
#include "platform/controls.h"
#include "platform/file_path.h"
#include "platform/ui.h"

#include <optional>

namespace quorvel {

namespace {

using namespace settings;

bool HasControlCharacter(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

// A parenthesis would open or close the comment part of the user-agent early ("(compatible; MSIE 6; ...)").
bool HasParenthesis(const std::string& text) {
    return text.find_first_of("()") != std::string::npos;
}

// The first typed text that must not be stored or written into a preference file: typed text ends up inside a
// quoted value of user.js and in settings.ini, where a quote, a backslash, ");" or a line break would end the
// value early and smuggle other preferences or keys in.
std::optional<std::string> RefusedText(const IdentityChoice& selections) {
    if (selections.agentMode == MaskMode::Masked) {
        for (const std::string* text : {&selections.os, &selections.osVersion, &selections.browser}) {
            if (HasControlCharacter(*text)) {
                return *text;
            }
        }
        if (!FitsInPrefValue(selections.browserVersion) || HasParenthesis(selections.browserVersion)) {
            return selections.browserVersion;
        }
    }
    if (selections.languageMode == MaskMode::Masked) {
        const std::optional<std::string> code = DeriveLanguageCode(selections.falseLanguage);
        if (HasControlCharacter(selections.falseLanguage) ||
            (code && (!FitsInPrefValue(*code) || HasParenthesis(*code)))) {
            return selections.falseLanguage;
        }
    }
    return std::nullopt;
}

void ShowRadioGroup(Controls& page, int firstId, MaskMode mode) {
    for (int index = 0; index < 3; ++index) {
        page.SetCheck(firstId + index, index == static_cast<int>(mode) ? kChecked : kUnchecked);
    }
}

const char* LanguageBackupKey(MozillaBrowser browser) {
    return browser == MozillaBrowser::Firefox ? kFirefoxLanguagesBackup : kNetscapeLanguagesBackup;
}

bool IsAbsoluteFolder(const std::string& folder) {
    return IsAbsolutePath(folder);
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool IdentityMasking::Refuses(const IdentityChoice& selections) {
    const std::optional<std::string> refused = RefusedText(selections);
    if (refused) {
        Warn("\"" + *refused + "\": " +
             m_language.GetText("this text cannot be used in a browser's settings (no quotes, backslashes, "
                                "parentheses, semicolons or line breaks); nothing was changed",
                                "Messages", "Invalid masking text"));
    }
    return refused.has_value();
}

bool IdentityMasking::ApplyMasking(const IdentityChoice& selections) {
    if (Refuses(selections)) {
        return false;
    }
    m_state.mozillaSettingsChanged = false;
    if (selections.agentMode == MaskMode::Masked) {
        m_settings.WriteString(kOptionsDialog, kOs, selections.os);
        if (selections.os == "Linux") {
            m_settings.WriteBlank(kOptionsDialog, kOsVersion);
        } else {
            m_settings.WriteString(kOptionsDialog, kOsVersion, selections.osVersion);
        }
        m_settings.WriteString(kOptionsDialog, kBrowser, selections.browser);
        m_settings.WriteString(kOptionsDialog, kBrowserVersion, selections.browserVersion);
    }
    const IdentityStrings strings = BuildIdentityStrings(selections);
    StoreChoices(selections, strings);

    ApplyIeUserAgent(selections.agentMode, strings);
    if (strings.languageValue) {
        ApplyIeLanguage(selections.languageMode, *strings.languageValue);
    }
    ApplyMozilla(MozillaBrowser::Firefox, selections, strings);
    ApplyMozilla(MozillaBrowser::Netscape, selections, strings);

    if (!strings.languageValue) {
        Warn("\"" + selections.falseLanguage + "\": " +
             m_language.GetText("this language has no code in parentheses, such as English (en); the language "
                                "settings were left as they were",
                                "Messages", "No language code"));
    }
    return true;
}

void IdentityMasking::StoreChoices(const IdentityChoice& selections, const IdentityStrings& strings) {
    m_settings.WriteInt(kOptionsDialog, kAgentRadio, static_cast<int>(selections.agentMode));
    if (strings.languageValue) {
        m_settings.WriteInt(kOptionsDialog, kLanguageRadio, static_cast<int>(selections.languageMode));
    }
    m_settings.WriteString(kOptionsDialog, kUserAgent, strings.userAgent);
    if (strings.languageValue) {
        m_settings.WriteString(kOptionsDialog, kLanguageField, *strings.languageValue);
        m_settings.WriteString(kOptionsDialog, kFalseLanguage,
                               selections.languageMode == MaskMode::Masked
                                   ? selections.falseLanguage
                                   : m_settings.ReadString(kOptionsDialog, kFalseLanguage, "English"));
    }
}

void IdentityMasking::ApplyIeUserAgent(MaskMode mode, const IdentityStrings& strings) {
    using namespace ie_identity;
    switch (mode) {
    case MaskMode::Masked:
        m_registry.DeleteTree(kUserAgentHive, std::string(kUserAgentKey) + "\\" + kPostPlatform);
        DeleteRegistryValue(m_registry, kUserAgentHive, kCompatiblePath);
        WriteRegistryText(m_registry, kUserAgentHive, kVersionPath, strings.ieVersionPiece, true);
        WriteRegistryText(m_registry, kUserAgentHive, kPlatformPath, strings.iePlatformPiece, true);
        break;
    case MaskMode::Invisible:
        m_registry.DeleteTree(kUserAgentHive, std::string(kUserAgentKey) + "\\" + kPostPlatform);
        WriteRegistryText(m_registry, kUserAgentHive, kCompatiblePath, kBlank, true);
        WriteRegistryText(m_registry, kUserAgentHive, kVersionPath, kBlank, true);
        WriteRegistryText(m_registry, kUserAgentHive, kPlatformPath, kBlank, true);
        break;
    case MaskMode::Default:
        RestoreIeUserAgent();
        break;
    }
}

void IdentityMasking::ApplyIeLanguage(MaskMode mode, const std::string& value) {
    using namespace ie_identity;
    switch (mode) {
    case MaskMode::Default:
        DeleteRegistryValue(m_registry, kLanguageHive, kLanguagePath);
        break;
    case MaskMode::Invisible:
        WriteRegistryText(m_registry, kLanguageHive, kLanguagePath, "-", false);
        break;
    case MaskMode::Masked:
        WriteRegistryText(m_registry, kLanguageHive, kLanguagePath, value, false);
        break;
    }
}

void IdentityMasking::ApplyMozilla(MozillaBrowser browser, const IdentityChoice& selections,
                                   const IdentityStrings& strings) {
    const std::optional<std::string> folder = ConfiguredProfileFolder(m_settings, browser);
    if (!folder) {
        return;
    }
    m_state.mozillaSettingsChanged = true;
    ApplyMozillaUserAgent(*folder, selections.agentMode, strings.userAgent);
    if (strings.languageValue) {
        ApplyMozillaLanguage(*folder, selections.languageMode, *strings.languageValue, LanguageBackup(browser));
    }
}

void IdentityMasking::ResetMasking(Controls& page) {
    using namespace masking_page;
    const std::optional<std::string> firefox = ConfiguredProfileFolder(m_settings, MozillaBrowser::Firefox);

    ShowRadioGroup(page, kSoftwareDefault, MaskMode::Default);
    for (const int box : {kOsBox, kOsVersionBox, kBrowserBox, kBrowserVersionBox}) {
        page.Enable(box, false);
    }
    RestoreIeUserAgent();
    if (firefox) {
        ApplyMozillaUserAgent(*firefox, MaskMode::Default, std::string());
    }

    ShowRadioGroup(page, kLanguageDefault, MaskMode::Default);
    page.Enable(kLanguageBox, false);
    DeleteRegistryValue(m_registry, ie_identity::kLanguageHive, ie_identity::kLanguagePath);
    if (firefox) {
        ApplyMozillaLanguage(*firefox, MaskMode::Default, std::string(), LanguageBackup(MozillaBrowser::Firefox));
        // The profile changed under the running browser: it has to be restarted, as after any other edit.
        m_state.mozillaSettingsChanged = true;
    }
}

bool IdentityMasking::BackupIeUserAgentExtras() {
    using namespace ie_identity;
    const std::string postPlatform = std::string(kUserAgentKey) + "\\" + kPostPlatform;
    if (!m_registry.KeyExists(kUserAgentHive, postPlatform)) {
        return true;
    }
    return CopyRegistryTree(m_registry, kUserAgentHive, postPlatform, kUserAgentKey, kCopyPostPlatform);
}

void IdentityMasking::BackupIeLanguage() {
    const std::optional<std::string> value =
        ReadRegistryText(m_registry, ie_identity::kLanguageHive, ie_identity::kLanguagePath);
    m_settings.WriteString(kOptionsDialog, kIeLang, value.value_or(kBlank));
}

bool IdentityMasking::BackupMozillaLanguage(const std::string& profileFolder, MozillaBrowser browser) {
    const std::string folder = Trimmed(profileFolder);
    if (!IsAbsoluteFolder(folder)) {
        return false;
    }
    const std::optional<std::string> line = FindMozillaLanguageLine(folder);
    if (!line) {
        return false;
    }
    // The browser copies the line masking put into user.js into prefs.js: that copy is not the user's own, and
    // keeping it would make "Reset to default" bring back the false language.
    const std::string applied = m_settings.ReadString(kOptionsDialog, kLanguageField, "default");
    if (*line == PrefLine(kAcceptLanguagesPref, "") ||
        (applied != "default" && *line == PrefLine(kAcceptLanguagesPref, applied))) {
        return false;
    }
    return m_settings.WriteString(kOptionsDialog, LanguageBackupKey(browser), *line);
}

void IdentityMasking::RestoreIeUserAgent() {
    if (!quorvel::RestoreIeUserAgent(m_registry)) {
        Warn("Internet Explorer: " + m_language.GetText("failed to completely restore User Agent", "Messages",
                                                        "failed to completely restore User Agent"));
    }
}

std::string IdentityMasking::LanguageBackup(MozillaBrowser browser) const {
    return m_settings.ReadString(kOptionsDialog, LanguageBackupKey(browser), kBlank);
}

void IdentityMasking::Warn(const std::string& text) {
    m_ui.ShowMessage(kMessageCaption, text, MessageIcon::Warning, MessageButtons::Ok, MessageOwner::ActiveDialog);
}

} // namespace quorvel

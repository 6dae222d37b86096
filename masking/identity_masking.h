#pragma once

#include "masking/identity_model.h"
#include "redirect/mozilla_browser.h"

#include <string>

namespace quorvel {

class Controls;
class LanguageFile;
class RegistryStore;
class SettingsStore;
class Ui;
struct ProcessState;

// Writes the chosen identity into Internet Explorer's registry values and the Firefox and Netscape profiles,
// and takes it out again. The masking stays in force until it is changed here; stopping Tor does not undo it.
class IdentityMasking {
public:
    IdentityMasking(const SettingsStore& settings, const LanguageFile& language, RegistryStore& registry, Ui& ui,
                    ProcessState& state)
        : m_settings(settings), m_language(language), m_registry(registry), m_ui(ui), m_state(state) {}

    // The OK step of the masking page, given the page's current selections: stores the choices and the derived
    // strings, then writes them into Internet Explorer, Firefox and Netscape. Text that could break a browser's
    // preference file is refused with a message before anything is written; a masked language text without a
    // code leaves every language setting as it was. False when the selections were refused.
    bool ApplyMasking(const IdentityChoice& selections);
    // The check of ApplyMasking alone: true, after telling the user what is refused, when it would refuse.
    bool Refuses(const IdentityChoice& selections);

    // "Reset to default": puts Internet Explorer's and Firefox's own user-agent and languages back at once and
    // sets the page's radio buttons to Default. No setting is written; the next OK stores the page.
    void ResetMasking(Controls& page);

    // First start: keeps Internet Explorer's extra user-agent tokens. False when they could not be copied.
    bool BackupIeUserAgentExtras();
    // First start: keeps Internet Explorer's accepted languages as "IE lang".
    void BackupIeLanguage();
    // Keeps the browser's own accepted-languages line of a profile, before masking replaces it. True when the
    // line was found and stored; otherwise the previous backup stays, also when the line is one that masking
    // itself wrote (empty, or the language applied last).
    bool BackupMozillaLanguage(const std::string& profileFolder, MozillaBrowser browser);

private:
    void StoreChoices(const IdentityChoice& selections, const IdentityStrings& strings);
    void ApplyIeUserAgent(MaskMode mode, const IdentityStrings& strings);
    void ApplyIeLanguage(MaskMode mode, const std::string& value);
    void ApplyMozilla(MozillaBrowser browser, const IdentityChoice& selections, const IdentityStrings& strings);
    void RestoreIeUserAgent();
    std::string LanguageBackup(MozillaBrowser browser) const;
    void Warn(const std::string& text);

    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    RegistryStore& m_registry;
    Ui& m_ui;
    ProcessState& m_state;
};

} // namespace quorvel

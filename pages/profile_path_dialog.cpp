#include "pages/profile_path_dialog.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_masking.h"
#include "pages/page_text.h"
#include "platform/controls.h"
#include "platform/ui.h"
#include "redirect/mozilla_browser.h"
#include "redirect/mozilla_profiles.h"

#include <optional>

namespace quorvel {

namespace {

using namespace page_text;

// The browser whose folder the dialog shows: the selected program, when it is Firefox or Netscape.
std::optional<MozillaBrowser> SelectedBrowser(const SettingsStore& settings) {
    if (settings.ReadInt(settings::kOptionsDialog, settings::kCurrentGroup, 0) != 0) {
        return std::nullopt;
    }
    switch (settings.ReadInt(settings::kOptionsDialog, settings::kCurrentBrowser, 0)) {
    case 1:
        return MozillaBrowser::Firefox;
    case 2:
        return MozillaBrowser::Netscape;
    default:
        return std::nullopt;
    }
}

} // namespace

void CProfilesCenterPageProfilePath::OnInitDialog(Controls& controls, int templateId) const {
    if (templateId == kPathTemplate) {
        if (const auto browser = SelectedBrowser(m_settings)) {
            std::string path =
                m_settings.ReadString(settings::kOptionsDialog, MozillaProfileKey(*browser), settings::kBlank);
            path.erase(0, path.find_first_not_of(' '));
            if (!path.empty()) {
                controls.SetText(kPathField, path);
            }
        }
        controls.SetText(kAutoDetectButton, LanguageText(m_language, kProfilePathDialog, "Auto detect"));
        controls.SetText(kBrowseButton, LanguageText(m_language, kProfilePathDialog, "Browse"));
        return;
    }

    const std::string noProfile =
        LanguageText(m_language, kProfilePathDialog, "No profile", "Access to profile not required.");
    const bool aim = m_settings.ReadInt(settings::kOptionsDialog, settings::kCurrentGroup, 0) == 1 &&
                     m_settings.ReadInt(settings::kOptionsDialog, settings::kCurrentIm, 0) == 0;
    if (aim) {
        controls.SetText(kNoProfileText,
                         noProfile + "\n" +
                             LanguageText(m_language, kProfilePathDialog, "AIM 6 and above",
                                          "AIM Triton and AIM 6.0 and above uses the same settings as Internet "
                                          "Explorer."));
    } else {
        controls.SetText(kNoProfileText, "\n" + noProfile + "\n");
    }
}

void CProfilesCenterPageProfilePath::OnAutoDetect(Controls& controls) const {
    DetectMozillaProfiles(m_paths, m_settings, &controls);
}

void CProfilesCenterPageProfilePath::OnBrowse(Controls& controls) const {
    const auto browser = SelectedBrowser(m_settings);
    // The picker starts at the folder in use, else where the browser keeps its profiles.
    std::string start = browser ? ConfiguredProfileFolder(m_settings, *browser).value_or(std::string()) : "";
    if (start.empty() && browser) {
        start = MozillaProfilesFolder(m_paths, *browser);
    }
    const std::optional<std::string> folder =
        m_ui.PickFolder(LanguageText(m_language, kOptionsDialog, "Path to profile"), start);
    if (!folder || folder->empty() || !browser) {
        return;
    }
    m_settings.WriteString(settings::kOptionsDialog, MozillaProfileKey(*browser), *folder);
    controls.SetText(kPathField, *folder);
    m_masking.BackupMozillaLanguage(*folder, *browser);
}

} // namespace quorvel

#include "pages/options_sheet_model.h"

#include "masking/identity_masking.h"
#include "pages/page_text.h"
#include "redirect/mozilla_browser.h"
#include "redirect/mozilla_profiles.h"

namespace quorvel {

OptionsPages::OptionsPages(const OptionsParts& parts)
    : profilesCenter(parts.paths, parts.settings, parts.language, parts.ui, parts.state, parts.redirector,
                     parts.masking),
      masking(parts.settings, parts.language, parts.masking),
      other(parts.paths, parts.settings, parts.language, parts.ui),
      country(parts.tor, parts.ui, parts.language, parts.settings, parts.paths, parts.restartSurfing),
      privacy(parts.settings, parts.language, parts.defaultShowMyIpAddress) {}

OptionsSheetModel::OptionsSheetModel(std::vector<OptionsPage*> pages)
    : m_pages(std::move(pages)), m_controls(m_pages.size(), nullptr) {}

std::string OptionsSheetModel::Caption(const LanguageFile& language) {
    return LanguageText(language, page_text::kMainMenu, "Options");
}

void OptionsSheetModel::Show(std::size_t index, Controls& controls) {
    if (m_controls.at(index) != nullptr) {
        return;
    }
    m_controls[index] = &controls;
    m_pages[index]->OnInitDialog(controls);
}

std::optional<std::size_t> OptionsSheetModel::OnOK() {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (m_controls[i] != nullptr && !m_pages[i]->CanApply(*m_controls[i])) {
            return i;
        }
    }
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (m_controls[i] != nullptr) {
            m_pages[i]->OnOK(*m_controls[i]);
        }
    }
    return std::nullopt;
}

void OptionsSheetModel::OnCancel() {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (m_controls[i] != nullptr) {
            m_pages[i]->OnCancel(*m_controls[i]);
        }
    }
}

void PrepareOptionsSheet(const Paths& paths, const SettingsStore& settings, IdentityMasking& masking) {
    if (ConfiguredProfileFolder(settings, MozillaBrowser::Firefox) &&
        ConfiguredProfileFolder(settings, MozillaBrowser::Netscape)) {
        return;
    }
    DetectMozillaProfiles(paths, settings, nullptr);
    for (MozillaBrowser browser : {MozillaBrowser::Firefox, MozillaBrowser::Netscape}) {
        if (const auto folder = ConfiguredProfileFolder(settings, browser)) {
            masking.BackupMozillaLanguage(*folder, browser);
        }
    }
}

} // namespace quorvel

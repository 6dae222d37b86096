#include "cleaning/profiles_center_page_clean.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "cleaning/clean_options.h"
#include "platform/controls.h"

#include <optional>
#include <string>

namespace quorvel {

namespace {

std::optional<std::size_t> IndexOf(int checkBoxId) {
    for (std::size_t i = 0; i < kCleanOptions.size(); ++i) {
        if (kCleanOptions[i].checkBoxId == checkBoxId) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<TrackBrowser> BrowserOf(int templateId) {
    switch (templateId) {
    case CProfilesCenterPageClean::kInternetExplorerTemplate:
        return TrackBrowser::InternetExplorer;
    case CProfilesCenterPageClean::kFirefoxTemplate:
        return TrackBrowser::Firefox;
    case CProfilesCenterPageClean::kNetscapeTemplate:
        return TrackBrowser::Netscape;
    default:
        return std::nullopt;
    }
}

} // namespace

CProfilesCenterPageClean::CProfilesCenterPageClean(const SettingsStore& settings, const LanguageFile& language)
    : m_settings(settings), m_language(language) {}

void CProfilesCenterPageClean::OnInitDialog(Controls& controls) const {
    using namespace clean_text;
    const auto browser = BrowserOf(m_templateId);
    if (!browser) {
        controls.SetText(kNoOptionsText, m_language.GetText(kNoOptions, kSection, kNoOptionsKey));
        return;
    }

    // The profiles center's selected browser: group 0 (browsers), position 1 (Firefox) or 2 (Netscape).
    std::optional<TrackBrowser> selected;
    if (m_settings.ReadInt(settings::kOptionsDialog, settings::kCurrentGroup, 0) == 0) {
        const int position = m_settings.ReadInt(settings::kOptionsDialog, settings::kCurrentBrowser, 0);
        if (position == 1) {
            selected = TrackBrowser::Firefox;
        } else if (position == 2) {
            selected = TrackBrowser::Netscape;
        }
    }

    for (std::size_t i = 0; i < kCleanOptions.size(); ++i) {
        const CleanOption& option = kCleanOptions[i];
        if (option.browser != *browser) {
            continue;
        }
        bool ticked = m_settings.ReadBool(settings::kCleanOptions, option.key, false);
        if (m_choices[i] != kUntouched) {
            ticked = m_choices[i] == kTicked;
        }
        controls.SetCheck(option.checkBoxId, ticked ? kChecked : kUnchecked);

        std::string label = m_language.GetText(option.label, kSection, option.label);
        const bool isSelected = selected == option.browser;
        if (option.mark == CleanMark::Star || (option.mark == CleanMark::StarWhenSelected && isSelected)) {
            label += " *";
        } else if (option.mark == CleanMark::StarCaretWhenSelected && isSelected) {
            label += " *^";
        }
        controls.SetText(option.checkBoxId, label);
    }

    if (*browser != TrackBrowser::InternetExplorer) {
        controls.SetText(kBrowserMustBeClosedNote,
                         m_language.GetText(kBrowserMustBeClosed, kSection, kBrowserMustBeClosed));
    }
    if (*browser == TrackBrowser::Firefox) {
        controls.SetText(kFirefox2OnlyNote, m_language.GetText(kFirefox2Only, kSection, kFirefox2OnlyKey));
    }
}

void CProfilesCenterPageClean::OnCheckBoxClicked(const Controls& controls, int checkBoxId) {
    if (const auto index = IndexOf(checkBoxId)) {
        m_choices[*index] = controls.Check(checkBoxId) == kChecked ? kTicked : kCleared;
    }
}

int CProfilesCenterPageClean::Choice(int checkBoxId) const {
    const auto index = IndexOf(checkBoxId);
    return index ? m_choices[*index] : kUntouched;
}

void CProfilesCenterPageClean::StoreChoices() const {
    for (std::size_t i = 0; i < kCleanOptions.size(); ++i) {
        if (m_choices[i] != kUntouched) {
            m_settings.WriteBool(settings::kCleanOptions, kCleanOptions[i].key, m_choices[i] == kTicked);
        }
    }
}

} // namespace quorvel

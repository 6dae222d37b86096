#pragma once

#include "masking/masking_page_ids.h"
#include "masking/masking_page_model.h"
#include "pages/options_page.h"

namespace quorvel {

class IdentityMasking;
class LanguageFile;
class SettingsStore;

// The masking page: the software identity and the language the browsers show. The lists below the operating
// system follow what is picked above them; OK stores and applies the choices, "Reset to default" gives the
// browsers their own identity back at once.
class CMaskingPage final : public OptionsPage {
public:
    CMaskingPage(const SettingsStore& settings, const LanguageFile& language, IdentityMasking& masking)
        : m_settings(settings), m_language(language), m_masking(masking) {}

    int TemplateId() const override { return masking_page::kDialogTemplate; }
    std::string Title() const override;
    void OnInitDialog(Controls& controls) override;
    // Text that ApplyMasking would refuse keeps the sheet open on this page.
    bool CanApply(const Controls& controls) override;
    // ApplyMasking with the page's selections.
    void OnOK(Controls& controls) override;

    // The user picked an entry of the OS, OS-version or browser box.
    void OnOsSelected(Controls& controls);
    void OnOsVersionSelected(Controls& controls);
    void OnBrowserSelected(Controls& controls);
    // A radio button of the software or the language group was clicked.
    void OnSoftwareModeClicked(Controls& controls, int radioId);
    void OnLanguageModeClicked(Controls& controls, int radioId);
    void OnResetToDefault(Controls& controls);

    // The page as its fields last read or showed it.
    const MaskingPageState& State() const { return m_page; }

private:
    // The exchange with the controls: box texts and the two radio groups, as the user left them.
    void ReadFields(const Controls& controls);
    void ShowFields(Controls& controls) const;
    void EnableSoftwareBoxes(Controls& controls, bool masked) const;
    void SetTexts(Controls& controls) const;

    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    IdentityMasking& m_masking;
    MaskingPageState m_page;
};

} // namespace quorvel

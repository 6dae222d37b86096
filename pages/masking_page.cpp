#include "pages/masking_page.h"

#include "masking/false_languages.h"
#include "masking/identity_masking.h"
#include "pages/page_text.h"
#include "platform/controls.h"

#include <string>
#include <vector>

namespace quorvel {

namespace {

using namespace masking_page;
using namespace page_text;

void Fill(Controls& controls, int id, const std::vector<std::string>& items) {
    controls.ResetContent(id);
    for (const std::string& item : items) {
        controls.AddString(id, item);
    }
}

// The index of the ticked button of a radio group of three; -1 when none is.
int RadioIndex(const Controls& controls, int firstId) {
    for (int index = 0; index < 3; ++index) {
        if (controls.Check(firstId + index) == kChecked) {
            return index;
        }
    }
    return -1;
}

void ShowRadio(Controls& controls, int firstId, MaskMode mode) {
    for (int index = 0; index < 3; ++index) {
        controls.SetCheck(firstId + index, index == static_cast<int>(mode) ? kChecked : kUnchecked);
    }
}

// The entry the user picked in a box (its edit text still shows the previous value at that moment).
std::string Picked(const Controls& controls, int id) {
    return controls.ItemText(id, controls.CurSel(id));
}

} // namespace

std::string CMaskingPage::Title() const {
    return LanguageText(m_language, kOptionsDialog, "Masking");
}

void CMaskingPage::OnInitDialog(Controls& controls) {
    Fill(controls, kOsBox, OperatingSystems());
    controls.ResetContent(kLanguageBox);
    for (const char* language : FalseLanguages()) {
        controls.AddString(kLanguageBox, language);
    }

    m_page = OpenMaskingPage(m_settings);
    const SoftwarePicker& software = m_page.software;
    if (software.os != "Linux") {
        Fill(controls, kOsVersionBox, software.osVersions);
    }
    Fill(controls, kBrowserBox, software.browsers);
    Fill(controls, kBrowserVersionBox, software.versions);

    EnableSoftwareBoxes(controls, m_page.SoftwareBoxesEnabled());
    controls.Enable(kLanguageBox, m_page.LanguageBoxEnabled());
    ShowFields(controls);
    SetTexts(controls);
}

void CMaskingPage::OnOsSelected(Controls& controls) {
    ReadFields(controls);
    m_page.agentMode = MaskMode::Masked;
    SoftwarePicker& software = m_page.software;
    software = ChooseOperatingSystem(software, Picked(controls, kOsBox));
    // Under Linux the OS-version box keeps its list and is only switched off.
    if (software.osVersionEnabled) {
        Fill(controls, kOsVersionBox, software.osVersions);
    }
    Fill(controls, kBrowserBox, software.browsers);
    Fill(controls, kBrowserVersionBox, software.versions);
    EnableSoftwareBoxes(controls, true);
    ShowFields(controls);
}

void CMaskingPage::OnOsVersionSelected(Controls& controls) {
    ReadFields(controls);
    SoftwarePicker& software = m_page.software;
    const std::vector<std::string> browsers = software.browsers;
    software = ChooseOsVersion(software, Picked(controls, kOsVersionBox));
    if (software.browsers != browsers) {
        Fill(controls, kBrowserBox, software.browsers);
    }
    Fill(controls, kBrowserVersionBox, software.versions);
    ShowFields(controls);
}

void CMaskingPage::OnBrowserSelected(Controls& controls) {
    ReadFields(controls);
    controls.SetText(kBrowserVersionBox, "");
    SoftwarePicker& software = m_page.software;
    software = ChooseBrowser(software, Picked(controls, kBrowserBox));
    Fill(controls, kBrowserVersionBox, software.versions);
    ShowFields(controls);
}

void CMaskingPage::OnSoftwareModeClicked(Controls& controls, int radioId) {
    EnableSoftwareBoxes(controls, radioId == kSoftwareMasked);
}

void CMaskingPage::OnLanguageModeClicked(Controls& controls, int radioId) {
    controls.Enable(kLanguageBox, radioId == kLanguageMasked);
}

void CMaskingPage::OnResetToDefault(Controls& controls) {
    m_masking.ResetMasking(controls);
}

bool CMaskingPage::CanApply(const Controls& controls) {
    ReadFields(controls);
    return !m_masking.Refuses(m_page.Selections());
}

void CMaskingPage::OnOK(Controls& controls) {
    ReadFields(controls);
    m_masking.ApplyMasking(m_page.Selections());
}

void CMaskingPage::ReadFields(const Controls& controls) {
    m_page.software.os = controls.Text(kOsBox);
    m_page.software.osVersion = controls.Text(kOsVersionBox);
    m_page.software.browser = controls.Text(kBrowserBox);
    m_page.software.browserVersion = controls.Text(kBrowserVersionBox);
    m_page.falseLanguage = controls.Text(kLanguageBox);
    m_page.agentMode = MaskModeFromInt(RadioIndex(controls, kSoftwareDefault));
    m_page.languageMode = MaskModeFromInt(RadioIndex(controls, kLanguageDefault));
}

void CMaskingPage::ShowFields(Controls& controls) const {
    const SoftwarePicker& software = m_page.software;
    controls.SetText(kOsBox, software.os);
    // Linux has no versions: its box shows a blank.
    controls.SetText(kOsVersionBox, software.osVersion.empty() && software.os == "Linux" ? " " : software.osVersion);
    controls.SetText(kBrowserBox, software.browser);
    controls.SetText(kBrowserVersionBox, software.browserVersion);
    controls.SetText(kLanguageBox, m_page.falseLanguage);
    ShowRadio(controls, kSoftwareDefault, m_page.agentMode);
    ShowRadio(controls, kLanguageDefault, m_page.languageMode);
}

void CMaskingPage::EnableSoftwareBoxes(Controls& controls, bool masked) const {
    controls.Enable(kOsBox, masked);
    // The OS version means nothing under Linux, whatever the mode.
    controls.Enable(kOsVersionBox, masked && m_page.software.os != "Linux");
    controls.Enable(kBrowserBox, masked);
    controls.Enable(kBrowserVersionBox, masked);
}

void CMaskingPage::SetTexts(Controls& controls) const {
    controls.SetText(kApplicableTo,
                     LanguageText(m_language, kOptionsDialog, "Applicable to") + " Internet Explorer, Firefox");
    controls.SetText(kTakesEffectNote,
                     LanguageText(m_language, kOptionsDialog, "Changes will take effect after browser restarting",
                                  "Changes will take effect after browser restarting."));
    controls.SetText(kSoftwareGroup, LanguageText(m_language, kOptionsDialog, "Information about your software"));
    controls.SetText(kLanguageGroup, LanguageText(m_language, kOptionsDialog, "Operating system language"));
    for (int first : {kSoftwareDefault, kLanguageDefault}) {
        controls.SetText(first, LanguageText(m_language, kOptionsDialog, "Default"));
        controls.SetText(first + 1, LanguageText(m_language, kOptionsDialog, "Invisible"));
        controls.SetText(first + 2, LanguageText(m_language, kOptionsDialog, "Masked"));
    }
    controls.SetText(kRecommend, "(" + LanguageText(m_language, kOptionsDialog, "recommend") + ")");
    controls.SetText(kOsLabel, LanguageText(m_language, kOptionsDialog, "OS"));
    controls.SetText(kOsVersionLabel, LanguageText(m_language, kOptionsDialog, "Version"));
    controls.SetText(kBrowserLabel, LanguageText(m_language, kOptionsDialog, "Browser"));
    controls.SetText(kBrowserVersionLabel, LanguageText(m_language, kOptionsDialog, "Version"));
    controls.SetText(kResetButton, LanguageText(m_language, kOptionsDialog, "Reset to default"));
}

} // namespace quorvel

#pragma once

#include <array>

namespace quorvel {

class Controls;
class LanguageFile;
class SettingsStore;

// The logic of the clean-options child dialog of the profiles center. The object lives as long as the page;
// its window is made anew from a template whenever the program changes, and the user's choices are kept
// across those re-creations until the page's OK stores them.
class CProfilesCenterPageClean {
public:
    // Dialog templates.
    static constexpr int kInternetExplorerTemplate = 137;
    static constexpr int kFirefoxTemplate = 139;
    static constexpr int kNetscapeTemplate = 187;
    static constexpr int kNoOptionsTemplate = 141;

    // Controls other than the check boxes.
    static constexpr int kNoOptionsText = 1038;
    static constexpr int kBrowserMustBeClosedNote = 1040;
    static constexpr int kFirefox2OnlyNote = 1041;

    // A choice made in this dialog, per check box.
    static constexpr int kUntouched = 0;
    static constexpr int kTicked = 1;
    static constexpr int kCleared = -1;

    CProfilesCenterPageClean(const SettingsStore& settings, const LanguageFile& language);

    void SetTemplateId(int templateId) { m_templateId = templateId; }
    int TemplateId() const { return m_templateId; }

    // Fills the controls of the current template: every box from its setting (or, when the user has already
    // clicked it since the page opened, from that choice) and every text from the language file.
    void OnInitDialog(Controls& controls) const;

    // A click on a check box: its choice follows the box.
    void OnCheckBoxClicked(const Controls& controls, int checkBoxId);

    // The choice for a box: kUntouched, kTicked or kCleared (kUntouched for an unknown id).
    int Choice(int checkBoxId) const;

    // The profiles center's OK: every touched choice is stored as its clean option; untouched ones are left alone.
    void StoreChoices() const;

private:
    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    int m_templateId = kNoOptionsTemplate;
    std::array<int, 15> m_choices{};
};

} // namespace quorvel

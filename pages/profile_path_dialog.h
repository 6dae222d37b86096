#pragma once

namespace quorvel {

class Controls;
class IdentityMasking;
class LanguageFile;
class Paths;
class SettingsStore;
class Ui;

// The profile-path child dialog of the profiles center: the profile folder of the selected browser, found by
// "Auto detect" or chosen with "Browse"; for a program without a profile folder, a note saying so.
class CProfilesCenterPageProfilePath {
public:
    // Dialog templates.
    static constexpr int kPathTemplate = 135;
    static constexpr int kNoProfileTemplate = 138;

    // Controls of the path template.
    static constexpr int kPathField = 1017; // read-only
    static constexpr int kAutoDetectButton = 1008;
    static constexpr int kBrowseButton = 1009;
    static constexpr int kPathIcon = 140;
    // Control of the no-profile template.
    static constexpr int kNoProfileText = 1039;

    CProfilesCenterPageProfilePath(const Paths& paths, const SettingsStore& settings, const LanguageFile& language,
                                   Ui& ui, IdentityMasking& masking)
        : m_paths(paths), m_settings(settings), m_language(language), m_ui(ui), m_masking(masking) {}

    void OnInitDialog(Controls& controls, int templateId) const;
    // "Auto detect": finds both browsers' profile folders and stores those found; the field shows the selected
    // browser's one.
    void OnAutoDetect(Controls& controls) const;
    // "Browse": the folder the user picks becomes the selected browser's profile folder, and the browser's own
    // languages line is kept from it. A cancelled picker keeps the stored folder.
    void OnBrowse(Controls& controls) const;

private:
    const Paths& m_paths;
    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    Ui& m_ui;
    IdentityMasking& m_masking;
};

} // namespace quorvel

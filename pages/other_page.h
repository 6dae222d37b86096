#pragma once

#include "pages/options_page.h"

#include <optional>
#include <string>

namespace quorvel {

class LanguageFile;
class Paths;
class SettingsStore;
class Ui;

// The page "Other": Tor's SOCKS port and the false-IP period (written into the torrc and the settings), the
// language of the texts and the balloon tips. Nothing here takes effect before the next start.
class COtherPage final : public OptionsPage {
public:
    static constexpr int kTemplate = 186;

    static constexpr int kTakesEffectNote = 1042;
    static constexpr int kPortGroup = 1063;
    static constexpr int kPortLabel = 1064;
    static constexpr int kPortEdit = 1062; // digits only
    static constexpr int kPortDefault = 1067;
    static constexpr int kPeriodGroup = 1068;
    static constexpr int kPeriodLabel = 1069;
    static constexpr int kPeriodEdit = 1066; // digits only, minutes
    static constexpr int kMinutesLabel = 1070;
    static constexpr int kLanguageGroup = 1043;
    static constexpr int kLanguageBox = 1005;
    static constexpr int kBalloonTipsBox = 1088;

    // The languages offered, as they are stored.
    static constexpr const char* kEnglish = "English";
    static constexpr const char* kRussian = "Russian(Русский)";

    // The values Tor and the program can use.
    static constexpr long kHighestPort = 65535;
    static constexpr long kLongestPeriodMinutes = 43200; // 30 days

    COtherPage(const Paths& paths, const SettingsStore& settings, const LanguageFile& language, Ui& ui)
        : m_paths(paths), m_settings(settings), m_language(language), m_ui(ui) {}

    int TemplateId() const override { return kTemplate; }
    std::string Title() const override;
    void OnInitDialog(Controls& controls) override;
    // A port outside 1..65535 or a period outside 1..43200 minutes (empty ones included) is refused, so that Tor
    // is never handed a torrc it cannot use.
    bool CanApply(const Controls& controls) override;
    void OnOK(Controls& controls) override;

    // The user picked an entry of the language box; typed text is not taken.
    void OnLanguageSelected(const Controls& controls);
    // The language picked in this opening of the page, if any.
    const std::optional<std::string>& SelectedLanguage() const { return m_selectedLanguage; }

    // A typed number: its value when it is all digits (leading zeros allowed) and at most `highest`.
    static std::optional<long> NumberUpTo(const std::string& text, long highest);

private:
    void WriteTorrc(const std::string& port, const std::string& period);

    const Paths& m_paths;
    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    Ui& m_ui;
    std::optional<std::string> m_selectedLanguage;
    // The port the page opened with: one typed in its place that cannot reach Tor is worth a word.
    std::string m_openedPort;
};

} // namespace quorvel

#pragma once

#include "pages/options_page.h"

#include <array>
#include <string>

namespace quorvel {

class LanguageFile;
class SettingsStore;

// The privacy-test page: the maker's test, or one of three addresses of the user's own.
class CPrivacyTestPage final : public OptionsPage {
public:
    static constexpr int kTemplate = 185;

    static constexpr int kCustomBox = 1089;
    // Radio button and edit box of each address, in order.
    static constexpr std::array<int, 3> kRadios = {1090, 1097, 1101};
    static constexpr std::array<int, 3> kEdits = {1091, 1096, 1100};

    // `defaultAddress` is the show-my-IP page offered when the user has no address of their own yet.
    CPrivacyTestPage(const SettingsStore& settings, const LanguageFile& language, std::string defaultAddress)
        : m_settings(settings), m_language(language), m_defaultAddress(std::move(defaultAddress)) {}

    int TemplateId() const override { return kTemplate; }
    std::string Title() const override;
    void OnInitDialog(Controls& controls) override;
    void OnOK(Controls& controls) override;

    void OnCustomClicked(Controls& controls);

    // An address as stored: surrounding blanks and a leading "http://" removed.
    static std::string StoredAddress(const std::string& typed);
    // The address the privacy test opens: "http://" in front, unless the address names its own scheme.
    static std::string TestUrl(const std::string& stored);

private:
    void EnableAddresses(Controls& controls, bool enabled) const;

    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    std::string m_defaultAddress;
};

} // namespace quorvel

#pragma once

#include "pages/options_page.h"
#include "tor/country_selection.h"

#include <functional>

namespace quorvel {

// The country page: the countries of Tor's usable exit routers and their number, the restriction of the exits
// to the selected country (then surfing restarts so that Tor uses them) and its cancellation. Its commands work
// at once; the sheet's OK has nothing left to store.
class CCountrySelectPage final : public OptionsPage {
public:
    static constexpr int kTemplate = 200;

    static constexpr int kCountryList = kCountryListId;
    static constexpr int kObtainButton = 1086;
    static constexpr int kProgressBar = kCountryProgressId;
    static constexpr int kSelectButton = 1083;
    static constexpr int kCancelSelectionButton = 1087;

    static constexpr int kCountryColumnWidth = 180;
    static constexpr int kCountColumnWidth = 150;

    // `restartSurfing` stops anonymous surfing and starts it again.
    CCountrySelectPage(TorController& tor, Ui& ui, const LanguageFile& language, const SettingsStore& settings,
                       const Paths& paths, std::function<void()> restartSurfing)
        : m_language(language), m_selection(tor, ui, language, settings, paths),
          m_restartSurfing(std::move(restartSurfing)) {}

    int TemplateId() const override { return kTemplate; }
    std::string Title() const override;
    void OnInitDialog(Controls& controls) override;

    // "Obtain the list of countries": blocks while Tor answers. The row of the current country, to be selected
    // and given the focus; -1 when that country has no exits now.
    int OnObtainList(Controls& controls);
    void OnSelectCountry(Controls& controls);
    void OnCancelCountry();

private:
    const LanguageFile& m_language;
    CountrySelection m_selection;
    std::function<void()> m_restartSurfing;
};

} // namespace quorvel

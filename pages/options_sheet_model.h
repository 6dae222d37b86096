#pragma once

#include "pages/country_select_page.h"
#include "pages/masking_page.h"
#include "pages/other_page.h"
#include "pages/privacy_test_page.h"
#include "pages/profiles_center_page.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

class IdentityMasking;
class LanguageFile;
class Paths;
class ProgramRedirector;
class SettingsStore;
class TorController;
class Ui;
struct ProcessState;

// What the options pages work with.
struct OptionsParts {
    const Paths& paths;
    const SettingsStore& settings;
    const LanguageFile& language;
    Ui& ui;
    ProcessState& state;
    ProgramRedirector& redirector;
    IdentityMasking& masking;
    TorController& tor;
    // Stops anonymous surfing and starts it again, after a country was selected.
    std::function<void()> restartSurfing;
    // The show-my-IP page the privacy-test page offers first.
    std::string defaultShowMyIpAddress;
};

// The five pages of one opening of the options sheet, in tab order.
struct OptionsPages {
    explicit OptionsPages(const OptionsParts& parts);

    std::vector<OptionsPage*> InTabOrder() { return {&profilesCenter, &masking, &other, &country, &privacy}; }

    CProfilesCenterPage profilesCenter;
    CMaskingPage masking;
    COtherPage other;
    CCountrySelectPage country;
    CPrivacyTestPage privacy;
};

// The sheet's own behaviour: its caption, which pages were shown, and what OK and Cancel do with them.
class OptionsSheetModel {
public:
    explicit OptionsSheetModel(std::vector<OptionsPage*> pages);

    // "Options" of the main menu.
    static std::string Caption(const LanguageFile& language);

    std::size_t PageCount() const { return m_pages.size(); }
    OptionsPage& Page(std::size_t index) const { return *m_pages.at(index); }

    // The page at `index` is being shown on `controls`, which live as long as the sheet. The first time, the
    // page is initialised on them.
    void Show(std::size_t index, Controls& controls);
    bool WasShown(std::size_t index) const { return m_controls.at(index) != nullptr; }

    // OK: every shown page checks what was typed; only when all agree does every shown page, in tab order, store
    // and apply its settings. Otherwise nothing is stored and the index of the page that refused is given, for
    // the sheet to stay open on it.
    std::optional<std::size_t> OnOK();
    // Cancel: every shown page puts back what it changed at once.
    void OnCancel();

private:
    std::vector<OptionsPage*> m_pages;
    std::vector<Controls*> m_controls;
};

// Before the sheet shows: the Mozilla profile folders are found when either is not known yet, and every one
// found gets its own languages line kept, before the masking page may replace it.
void PrepareOptionsSheet(const Paths& paths, const SettingsStore& settings, IdentityMasking& masking);

} // namespace quorvel

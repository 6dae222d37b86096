#include "pages/country_select_page.h"

#include "pages/page_text.h"
#include "platform/controls.h"

namespace quorvel {

using namespace page_text;

std::string CCountrySelectPage::Title() const {
    return LanguageText(m_language, kCountrySelection, "Country selection");
}

void CCountrySelectPage::OnInitDialog(Controls& controls) {
    controls.InsertColumn(kCountryList, 0, LanguageText(m_language, kCountrySelection, "Country"), kCountryColumnWidth);
    controls.InsertColumn(kCountryList, 1, LanguageText(m_language, kCountrySelection, "Number of IP’s"),
                          kCountColumnWidth);
    controls.Enable(kProgressBar, false);
    controls.SetText(kObtainButton, LanguageText(m_language, kCountrySelection, "Obtain the list of countries"));
    controls.SetText(kSelectButton, LanguageText(m_language, kCountrySelection, "Select a country"));
    controls.SetText(kCancelSelectionButton, LanguageText(m_language, kCountrySelection, "Cancel country selection"));
}

int CCountrySelectPage::OnObtainList(Controls& controls) {
    return m_selection.ObtainList(controls);
}

void CCountrySelectPage::OnSelectCountry(Controls& controls) {
    m_selection.SelectCountry(controls, m_restartSurfing);
}

void CCountrySelectPage::OnCancelCountry() {
    m_selection.CancelCountry();
}

} // namespace quorvel

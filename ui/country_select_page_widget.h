#pragma once

#include "ui/options_page_widget.h"

namespace quorvel {

class CCountrySelectPage;

// The country page's widgets: the list of countries, the progress of its filling and the three commands.
class CountrySelectPageWidget final : public OptionsPageWidget {
    Q_OBJECT
public:
    CountrySelectPageWidget(CCountrySelectPage& page, QWidget* parent);

    // "Obtain the list of countries". While Tor answers, the page keeps painting but takes no input.
    void ObtainList();
    bool IsBusy() const { return m_busy; }

private:
    CCountrySelectPage& m_page;
    bool m_busy = false;
};

} // namespace quorvel

#pragma once

#include "ui/options_page_widget.h"

namespace quorvel {

class CPrivacyTestPage;

// The privacy-test page's widgets: the box for an own test and the three addresses with their radio buttons.
class PrivacyTestPageWidget final : public OptionsPageWidget {
    Q_OBJECT
public:
    PrivacyTestPageWidget(CPrivacyTestPage& page, QWidget* parent);

private:
    CPrivacyTestPage& m_page;
};

} // namespace quorvel

#pragma once

#include "ui/options_page_widget.h"

namespace quorvel {

class COtherPage;

// The widgets of the page "Other": port, false-IP period, language and balloon tips.
class OtherPageWidget final : public OptionsPageWidget {
    Q_OBJECT
public:
    OtherPageWidget(COtherPage& page, QWidget* parent);

private:
    COtherPage& m_page;
};

} // namespace quorvel

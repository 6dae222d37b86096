#pragma once

#include "ui/options_page_widget.h"

namespace quorvel {

class CMaskingPage;

// The masking page's widgets: the software identity with its dependent lists, the language, and the reset.
class MaskingPageWidget final : public OptionsPageWidget {
    Q_OBJECT
public:
    MaskingPageWidget(CMaskingPage& page, QWidget* parent);

private:
    CMaskingPage& m_page;
};

} // namespace quorvel

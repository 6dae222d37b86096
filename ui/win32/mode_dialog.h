#pragma once

#include "platform/ui.h"

#include <windows.h>

#include <optional>

namespace quorvel {
class LanguageFile;
}

namespace quorvel::win32 {

// The modal "Select the mode" dialog (template 199): fast mode is ticked when it opens.
class CSelectMode {
public:
    static constexpr int kTemplateId = 199;
    static constexpr int kFastRadio = 1079;
    static constexpr int kStrongRadio = 1080;

    // The radio button ticked when OK closed it; nothing when it was closed otherwise.
    static std::optional<ModeChoice> Show(HINSTANCE instance, HWND owner, const LanguageFile& language);
};

} // namespace quorvel::win32

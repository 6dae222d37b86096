#include "ui/win32/mode_dialog.h"

#include "tor/anonymity_mode.h"
#include "ui/win32/dialog_controls.h"

namespace quorvel::win32 {

namespace {

INT_PTR CALLBACK ModeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto& language = *reinterpret_cast<const LanguageFile*>(lParam);
        DialogControls controls(dialog);
        controls.SetText(CSelectMode::kFastRadio, FastModeRadioText(language));
        controls.SetText(CSelectMode::kStrongRadio, StrongModeRadioText(language));
        controls.SetCheck(CSelectMode::kFastRadio, kChecked);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const bool strong = IsDlgButtonChecked(dialog, CSelectMode::kStrongRadio) == BST_CHECKED;
            EndDialog(dialog, strong ? 2 : 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

std::optional<ModeChoice> CSelectMode::Show(HINSTANCE instance, HWND owner, const LanguageFile& language) {
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(kTemplateId), owner, ModeProc, reinterpret_cast<LPARAM>(&language));
    if (result == 1) {
        return ModeChoice::Fast;
    }
    if (result == 2) {
        return ModeChoice::Strong;
    }
    return std::nullopt;
}

} // namespace quorvel::win32

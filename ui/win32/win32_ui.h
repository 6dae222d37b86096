#pragma once

#include "platform/ui.h"

#include <windows.h>

#include <functional>

namespace quorvel {
class LanguageFile;
}

namespace quorvel::win32 {

// The Ui port on the Win32 API: message boxes, the notification icon's balloons and picture, the mode dialog and
// the folder picker. Calls from other threads are carried out on the user-interface thread (UiThread).
class Win32Ui final : public Ui {
public:
    // `modeInForce` answers the mode dialog when it is closed without OK, so the stored mode stays as it was.
    Win32Ui(HINSTANCE instance, const LanguageFile& language, std::function<ModeChoice()> modeInForce);

    // The tray window: owner of the notification icon and of the main window's boxes; none until it exists.
    void SetTrayWindow(HWND window) { m_tray = window; }

    MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                              MessageButtons buttons, MessageOwner owner) override;
    void ShowBalloon(const std::string& title, const std::string& text) override;
    void UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) override;
    ModeChoice AskMode() override;
    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;

    // The flags of a message box.
    static UINT BoxStyle(MessageIcon icon, MessageButtons buttons);
    static MessageResult Answer(int boxResult, MessageButtons buttons);
    // A 16 by 16 icon of the program's resources.
    static HICON SmallIcon(HINSTANCE instance, int id);

    // The balloon's time-out as the notification area is told it (it raises it to its minimum).
    static constexpr UINT kBalloonTimeout = 3;

private:
    HWND Owner(MessageOwner owner) const;

    HINSTANCE m_instance;
    const LanguageFile& m_language;
    std::function<ModeChoice()> m_modeInForce;
    HWND m_tray = nullptr;
    HICON m_currentIcon = nullptr;
};

} // namespace quorvel::win32

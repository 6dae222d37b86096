#include "ui/win32/win32_ui.h"

#include "platform/win32/wide_text.h"
#include "tor/anonymity_mode.h"
#include "ui/win32/mode_dialog.h"
#include "ui/win32/ui_thread.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

namespace quorvel::win32 {

namespace {

void CopyInto(wchar_t* target, std::size_t capacity, const std::string& text) {
    const std::wstring wide = Widen(text);
    wcsncpy(target, wide.c_str(), capacity - 1);
    target[capacity - 1] = L'\0';
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start != 0) {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
    }
    return 0;
}

} // namespace

Win32Ui::Win32Ui(HINSTANCE instance, const LanguageFile& language, std::function<ModeChoice()> modeInForce)
    : m_instance(instance), m_language(language), m_modeInForce(std::move(modeInForce)) {}

UINT Win32Ui::BoxStyle(MessageIcon icon, MessageButtons buttons) {
    UINT style = MB_SETFOREGROUND;
    switch (icon) {
    case MessageIcon::Information:
        style |= MB_ICONINFORMATION;
        break;
    case MessageIcon::Warning:
        style |= MB_ICONWARNING;
        break;
    case MessageIcon::Error:
        style |= MB_ICONERROR;
        break;
    case MessageIcon::Question:
        style |= MB_ICONQUESTION;
        break;
    case MessageIcon::None:
        break;
    }
    switch (buttons) {
    case MessageButtons::OkCancel:
        return style | MB_OKCANCEL;
    case MessageButtons::YesNo:
        return style | MB_YESNO;
    case MessageButtons::YesNoCancel:
        return style | MB_YESNOCANCEL;
    case MessageButtons::Ok:
        break;
    }
    return style | MB_OK;
}

MessageResult Win32Ui::Answer(int boxResult, MessageButtons buttons) {
    switch (boxResult) {
    case IDOK:
        return MessageResult::Ok;
    case IDYES:
        return MessageResult::Yes;
    case IDNO:
        return MessageResult::No;
    case IDCANCEL:
        return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
    default:
        // No box could be shown: the way out it would have offered.
        return buttons == MessageButtons::YesNo ? MessageResult::No
               : buttons == MessageButtons::Ok  ? MessageResult::Ok
                                                : MessageResult::Cancel;
    }
}

HICON Win32Ui::SmallIcon(HINSTANCE instance, int id) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_SHARED));
}

HWND Win32Ui::Owner(MessageOwner owner) const {
    switch (owner) {
    case MessageOwner::MainWindow:
        return m_tray;
    case MessageOwner::ActiveDialog:
        // The dialog the user works in; the tray window when none is open.
        if (HWND active = GetActiveWindow(); active != nullptr) {
            return active;
        }
        return m_tray;
    case MessageOwner::None:
        break;
    }
    return nullptr;
}

MessageResult Win32Ui::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                   MessageButtons buttons, MessageOwner owner) {
    int result = 0;
    const bool ran = UiThread::Run([&] {
        result = MessageBoxW(Owner(owner), Widen(text).c_str(), Widen(caption).c_str(), BoxStyle(icon, buttons));
    });
    return Answer(ran ? result : 0, buttons);
}

void Win32Ui::ShowBalloon(const std::string& title, const std::string& text) {
    UiThread::Run([&] {
        if (m_tray == nullptr) {
            return;
        }
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = m_tray;
        nid.uID = 0;
        nid.uFlags = NIF_INFO;
        nid.dwInfoFlags = NIIF_INFO;
        nid.uTimeout = kBalloonTimeout;
        CopyInto(nid.szInfoTitle, std::size(nid.szInfoTitle), title);
        CopyInto(nid.szInfo, std::size(nid.szInfo), text);
        Shell_NotifyIconW(NIM_MODIFY, &nid);
    });
}

void Win32Ui::UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) {
    UiThread::Run([&] {
        if (m_tray == nullptr) {
            return;
        }
        if (iconId) {
            if (HICON icon = SmallIcon(m_instance, *iconId)) {
                m_currentIcon = icon;
            }
        }
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = m_tray;
        nid.uID = 0;
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_USER + 1;
        nid.hIcon = m_currentIcon != nullptr ? m_currentIcon : SmallIcon(m_instance, 181);
        CopyInto(nid.szTip, std::size(nid.szTip), tip);
        Shell_NotifyIconW(NIM_MODIFY, &nid);
    });
}

ModeChoice Win32Ui::AskMode() {
    ModeChoice choice = ModeChoice::Fast;
    bool chosen = false;
    UiThread::Run([&] {
        if (const auto picked = CSelectMode::Show(m_instance, GetActiveWindow(), m_language)) {
            choice = *picked;
            chosen = true;
        }
    });
    if (!chosen && m_modeInForce) {
        return m_modeInForce();
    }
    return choice;
}

std::optional<std::string> Win32Ui::PickFolder(const std::string& title, const std::string& startFolder) {
    std::optional<std::string> folder;
    UiThread::Run([&] {
        const std::wstring heading = Widen(title);
        const std::wstring start = Widen(startFolder);
        BROWSEINFOW info = {};
        info.hwndOwner = GetActiveWindow();
        info.lpszTitle = heading.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = BrowseCallback;
        info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
        LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
        if (chosen == nullptr) {
            return;
        }
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path)) {
            folder = Narrow(path);
        }
        CoTaskMemFree(chosen);
    });
    return folder;
}

} // namespace quorvel::win32

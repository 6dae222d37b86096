#include "ui/win32/tray_window.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/artwork_ids.h"
#include "pages/tray_commands.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/about_box.h"
#include "ui/win32/message_waiter.h"
#include "ui/win32/ui_thread.h"
#include "ui/win32/win32_ui.h"

#include <shellapi.h>

#include <algorithm>

namespace quorvel::win32 {

namespace {

// Layout of an owner-drawn item, in pixels.
constexpr int kBitmapSide = 16;
constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 8;
constexpr int kTextLeft = 4 + kBitmapSide + 8;
constexpr int kTextRightMargin = 24;

COLORREF KeyColour() {
    return RGB((kTransparentColour >> 16) & 0xFF, (kTransparentColour >> 8) & 0xFF, kTransparentColour & 0xFF);
}

} // namespace

CTrayWnd::CTrayWnd(HINSTANCE instance, const LanguageFile& language, const SettingsStore& settings, Win32Ui& ui,
                   MessageWaiter& waiter)
    : m_instance(instance), m_language(language), m_settings(settings), m_ui(ui), m_waiter(waiter),
      m_commands({.about = [this] { CAbout::Show(m_instance, m_window); },
                  .leave = [this] { Leave(); },
                  .interrupt = [this] { m_waiter.Interrupt(); },
                  .stoppedLate = {}}) {}

CTrayWnd::~CTrayWnd() {
    RemoveIcon();
    if (m_window != nullptr) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    for (auto& [id, bitmap] : m_bitmaps) {
        DeleteObject(bitmap);
    }
    if (m_menuFont != nullptr) {
        DeleteObject(m_menuFont);
    }
}

bool CTrayWnd::Create() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = m_instance;
    wc.lpszClassName = kClassName;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    m_window = CreateWindowExW(WS_EX_OVERLAPPEDWINDOW, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                               nullptr, m_instance, this);
    if (m_window == nullptr) {
        return false;
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        m_menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    }
    UiThread::Attach(m_window);
    m_ui.SetTrayWindow(m_window);
    AddIcon();
    return true;
}

void CTrayWnd::AddIcon() {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = m_window;
    nid.uID = 0;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kIconCallback;
    nid.hIcon = Win32Ui::SmallIcon(m_instance, art::kIconStopped);
    wcsncpy(nid.szTip, kTitle, std::size(nid.szTip) - 1);
    // A notification area that is not there yet leaves the program without an icon, as the system has it.
    Shell_NotifyIconW(NIM_ADD, &nid);
}

void CTrayWnd::RemoveIcon() {
    if (m_window == nullptr) {
        return;
    }
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = m_window;
    nid.uID = 0;
    Shell_NotifyIconW(NIM_DELETE, &nid);
}

void CTrayWnd::SetRunningQuery(std::function<bool()> running) {
    m_running = std::move(running);
}

void CTrayWnd::SetCircuitReadyHandler(Handler handler) {
    m_circuitReady = std::move(handler);
}

void CTrayWnd::Leave() {
    RemoveIcon();
    PostQuitMessage(0);
}

HBITMAP CTrayWnd::Bitmap(int id) {
    if (id == 0) {
        return nullptr;
    }
    auto it = m_bitmaps.find(id);
    if (it == m_bitmaps.end()) {
        auto* bitmap = static_cast<HBITMAP>(LoadImageW(m_instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        it = m_bitmaps.emplace(id, bitmap).first;
    }
    return it->second;
}

void CTrayWnd::AddEntries(HMENU menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        auto drawn = std::make_unique<DrawnItem>();
        drawn->text = Widen(entry.text);
        drawn->bitmap = entry.bitmap;
        drawn->submenu = entry.kind == MenuEntry::Kind::Submenu;
        const auto data = reinterpret_cast<LPCWSTR>(drawn.get());
        m_drawn.push_back(std::move(drawn));
        if (entry.kind == MenuEntry::Kind::Submenu) {
            HMENU sub = CreatePopupMenu();
            AddEntries(sub, entry.children);
            AppendMenuW(menu, MF_POPUP | MF_OWNERDRAW, reinterpret_cast<UINT_PTR>(sub), data);
        } else {
            AppendMenuW(menu, MF_OWNERDRAW, static_cast<UINT_PTR>(entry.command), data);
        }
    }
}

HMENU CTrayWnd::BuildMenu() {
    const bool running = m_running && m_running();
    const int mode = m_settings.ReadInt(settings::kMainMenu, settings::kMode, 0);
    m_entries = MainMenuEntries(running, mode, m_language, [this](int id) { return HasCommand(id); });
    m_drawn.clear();
    HMENU menu = CreatePopupMenu();
    AddEntries(menu, m_entries);
    return menu;
}

void CTrayWnd::ShowMenu() {
    if (m_commands.IsBusy() || m_commands.HasExited()) {
        return;
    }
    HMENU menu = BuildMenu();
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(m_window);
    TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, m_window, nullptr);
    // Lets the menu close when the user clicks elsewhere after it.
    PostMessageW(m_window, WM_NULL, 0, 0);
    DestroyMenu(menu); // the submenu goes with it
}

void CTrayWnd::MeasureItem(MEASUREITEMSTRUCT& item) const {
    const auto* drawn = reinterpret_cast<const DrawnItem*>(item.itemData);
    if (drawn == nullptr) {
        item.itemHeight = kSeparatorHeight;
        item.itemWidth = 0;
        return;
    }
    HDC dc = GetDC(m_window);
    HGDIOBJ old = SelectObject(dc, m_menuFont != nullptr ? m_menuFont : GetStockObject(DEFAULT_GUI_FONT));
    RECT bounds = {0, 0, 0, 0};
    DrawTextW(dc, drawn->text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(m_window, dc);
    item.itemWidth = static_cast<UINT>(kTextLeft + (bounds.right - bounds.left) + kTextRightMargin);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(kItemHeight, bounds.bottom - bounds.top + 6));
}

void CTrayWnd::DrawItem(const DRAWITEMSTRUCT& item) const {
    const auto* drawn = reinterpret_cast<const DrawnItem*>(item.itemData);
    if (drawn == nullptr) {
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    auto found = m_bitmaps.find(drawn->bitmap);
    if (found != m_bitmaps.end() && found->second != nullptr) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, found->second);
        const int top = area.top + (area.bottom - area.top - kBitmapSide) / 2;
        TransparentBlt(dc, area.left + 4, top, kBitmapSide, kBitmapSide, source, 0, 0, kBitmapSide, kBitmapSide,
                       KeyColour());
        SelectObject(source, old);
        DeleteDC(source);
    }

    RECT text = area;
    text.left += kTextLeft;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    HGDIOBJ old = SelectObject(dc, m_menuFont != nullptr ? m_menuFont : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, drawn->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
}

LRESULT CALLBACK CTrayWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        // Known before CreateWindowExW returns: the creation messages go to the default handling of this window.
        static_cast<CTrayWnd*>(create->lpCreateParams)->m_window = window;
    }
    auto* self = reinterpret_cast<CTrayWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CTrayWnd::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kIconCallback:
        if (LOWORD(lParam) == WM_RBUTTONDOWN) {
            ShowMenu();
        }
        return 1;
    case kCircuitReady:
        if (m_circuitReady) {
            m_circuitReady();
        }
        return 1;
    case kRunOnUiThreadMessage:
        UiThread::RunPosted(lParam);
        return 0;
    case WM_COMMAND:
        RunCommand(LOWORD(wParam));
        return 0;
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_MENU) {
            MeasureItem(item);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_MENU) {
            DrawItem(item);
            return TRUE;
        }
        break;
    }
    case WM_INITMENUPOPUP:
        // The bitmaps are loaded before the items are drawn.
        for (const auto& drawn : m_drawn) {
            Bitmap(drawn->bitmap);
        }
        break;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns, so Stop runs now, even inside a running command. An
        // end that was called off (wParam FALSE) leaves the session running.
        if (wParam != FALSE) {
            m_commands.StopForEndNow();
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace quorvel::win32

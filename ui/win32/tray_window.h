#pragma once

#include "pages/main_menu.h"
#include "pages/menu_commands.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvel {
class LanguageFile;
class SettingsStore;
} // namespace quorvel

namespace quorvel::win32 {

class MessageWaiter;
class Win32Ui;

// The program's hidden main window: owns the notification icon, opens the owner-drawn menu on the icon's right
// button (built anew at every opening), and runs the menu's commands one at a time. What a command does is
// plugged in by id; a command without a handler is not offered. About and Exit are its own: Exit runs the Stop
// command, removes the icon and ends the message loop.
class CTrayWnd {
public:
    using Handler = std::function<void()>;

    // Messages of the window.
    static constexpr UINT kIconCallback = WM_USER + 1;
    static constexpr UINT kCircuitReady = WM_USER + 2;

    CTrayWnd(HINSTANCE instance, const LanguageFile& language, const SettingsStore& settings, Win32Ui& ui,
             MessageWaiter& waiter);
    ~CTrayWnd();
    CTrayWnd(const CTrayWnd&) = delete;
    CTrayWnd& operator=(const CTrayWnd&) = delete;

    // Creates the hidden window and adds the notification icon (181). False when the window cannot be made.
    bool Create();
    HWND Window() const { return m_window; }

    void SetCommand(int id, Handler handler) { m_commands.Set(id, std::move(handler)); }
    MenuCommands& Commands() { return m_commands; }
    void SetRunningQuery(std::function<bool()> running);
    void SetCircuitReadyHandler(Handler handler);
    bool HasCommand(int id) const { return m_commands.Has(id); }

    // Runs a menu command now. One that arrives while another runs is dropped: the menu could not have opened.
    void RunCommand(int id) { m_commands.Run(id); }
    bool IsBusy() const { return m_commands.IsBusy(); }

    // The main menu as it would open now; the caller destroys it. Its items carry their command ids.
    HMENU BuildMenu();
    // Builds the menu and tracks it at the cursor.
    void ShowMenu();

    // The entries of the menu last built, in order (for the owner drawing and for tests).
    const std::vector<MenuEntry>& MenuEntries() const { return m_entries; }

    static constexpr const wchar_t* kClassName = L"QuorvelTrayWnd";
    static constexpr const wchar_t* kTitle = L"Quorvel";

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void AddIcon();
    void RemoveIcon();
    void Leave();
    void MeasureItem(MEASUREITEMSTRUCT& item) const;
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    HBITMAP Bitmap(int id);
    void AddEntries(HMENU menu, const std::vector<MenuEntry>& entries);

    HINSTANCE m_instance;
    const LanguageFile& m_language;
    const SettingsStore& m_settings;
    Win32Ui& m_ui;
    MessageWaiter& m_waiter;
    HWND m_window = nullptr;
    MenuCommands m_commands;
    std::function<bool()> m_running;
    Handler m_circuitReady;
    std::vector<MenuEntry> m_entries;
    // What the owner drawing needs of each item; stable while a menu is open.
    struct DrawnItem {
        std::wstring text;
        int bitmap = 0;
        bool submenu = false;
    };
    std::vector<std::unique_ptr<DrawnItem>> m_drawn;
    std::map<int, HBITMAP> m_bitmaps;
    HFONT m_menuFont = nullptr;
};

} // namespace quorvel::win32

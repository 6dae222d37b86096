// The hidden tray window: made with its icon, its menu built anew from the session's state, its messages.

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/tray_commands.h"
#include "platform/paths.h"
#include "ui/win32/message_waiter.h"
#include "ui/win32/tray_window.h"
#include "ui/win32/win32_ui.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace quorvel::win32 {
namespace {

namespace fs = std::filesystem;

class TempPaths final : public Paths {
public:
    explicit TempPaths(const fs::path& root) : m_root(root) { fs::create_directories(root / "Quorvel"); }
    ~TempPaths() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::string AppDataFolder() const override { return m_root.string(); }
    std::string HomeFolder() const override { return m_root.string(); }
    std::string CacheFolder() const override { return m_root.string(); }
    std::optional<std::string> CookiesFolder() const override { return std::nullopt; }
    std::string ProgramFolder() const override { return m_root.string(); }

private:
    fs::path m_root;
};

TEST(TrayWindowTest, MenuFollowsTheSessionAndTheModeAndMessagesReachTheirHandlers) {
    TempPaths paths(fs::temp_directory_path() / ("quorvel-tray-" + std::to_string(GetCurrentProcessId())));
    SettingsStore settings(paths);
    LanguageFile language(paths, settings);
    Win32Ui ui(GetModuleHandleW(nullptr), language, {});
    MessageWaiter waiter;
    CTrayWnd tray(GetModuleHandleW(nullptr), language, settings, ui, waiter);
    ASSERT_TRUE(tray.Create());
    ASSERT_NE(tray.Window(), nullptr);

    bool running = false;
    int circuitReady = 0;
    tray.SetRunningQuery([&] { return running; });
    tray.SetCircuitReadyHandler([&] { ++circuitReady; });
    for (int id : {command::kStart, command::kStop, command::kFastMode, command::kStrongMode}) {
        tray.SetCommand(id, [] {});
    }

    HMENU menu = tray.BuildMenu();
    // Only the commands built in are offered: Start first, Exit last.
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(command::kStart));
    EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(GetMenuItemCount(menu)) - 1), static_cast<UINT>(command::kExit));
    DestroyMenu(menu);

    running = true;
    settings.WriteInt(settings::kMainMenu, settings::kMode, 1);
    menu = tray.BuildMenu();
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(command::kStop));
    const auto& entries = tray.MenuEntries();
    const auto mode = std::find_if(entries.begin(), entries.end(),
                                   [](const MenuEntry& entry) { return entry.kind == MenuEntry::Kind::Submenu; });
    ASSERT_NE(mode, entries.end());
    ASSERT_EQ(mode->children.size(), 2u);
    EXPECT_EQ(mode->children[0].bitmap, 195); // fast mode, not chosen
    EXPECT_EQ(mode->children[1].bitmap, 203); // strong mode, chosen
    DestroyMenu(menu);

    EXPECT_EQ(SendMessageW(tray.Window(), CTrayWnd::kCircuitReady, 0, 0), 1);
    EXPECT_EQ(circuitReady, 1);
    // Only the right button opens the menu; a left click does nothing.
    EXPECT_EQ(SendMessageW(tray.Window(), CTrayWnd::kIconCallback, 0, WM_LBUTTONDOWN), 1);

    // A session end that was called off leaves surfing on; a real one stops it, once.
    int stops = 0;
    tray.SetCommand(command::kStop, [&] { ++stops; });
    SendMessageW(tray.Window(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(stops, 0);
    SendMessageW(tray.Window(), WM_ENDSESSION, TRUE, 0);
    SendMessageW(tray.Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(stops, 1);
}

} // namespace
} // namespace quorvel::win32

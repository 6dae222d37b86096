#include "pages/main_menu.h"

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "pages/artwork_ids.h"
#include "pages/tray_commands.h"

namespace quorvel {

namespace {

MenuEntry Item(const LanguageFile& language, const char* english, const char* key, int cmd, int bitmap) {
    MenuEntry entry;
    entry.text = language.GetText(english, settings::kMainMenu, key);
    entry.command = cmd;
    entry.bitmap = bitmap;
    return entry;
}

MenuEntry Separator() {
    MenuEntry entry;
    entry.kind = MenuEntry::Kind::Separator;
    return entry;
}

} // namespace

std::vector<MenuEntry> MainMenuEntries(bool running, int mode, const LanguageFile& language,
                                       const std::function<bool(int)>& offered) {
    MenuEntry modeMenu = Item(language, "Mode", "Mode", 0, art::kMode);
    modeMenu.kind = MenuEntry::Kind::Submenu;
    modeMenu.children = {
        Item(language, "Fast mode", "Fast mode", command::kFastMode, mode == 0 ? art::kFastModeChosen : art::kFastMode),
        Item(language, "Strong anonymity mode", "Strong anonymity mode", command::kStrongMode,
             mode == 1 ? art::kStrongModeChosen : art::kStrongMode),
    };

    std::vector<MenuEntry> all = {
        running ? Item(language, "Stop anonymous surfing", "Stop", command::kStop, art::kStop)
                : Item(language, "Start anonymous surfing", "Start", command::kStart, art::kStart),
        Item(language, "Change false IP", "Change", command::kChangeIp, art::kChangeIp),
        Separator(),
        Item(language, "Privacy test", "Privacy test", command::kPrivacyTest, art::kPrivacyTest),
        Separator(),
        modeMenu,
        Item(language, "Options", "Options", command::kOptions, art::kOptions),
        Item(language, "Clean internet tracks", "Clean", command::kClean, art::kClean),
        Separator(),
        Item(language, "Support", "Support", command::kSupport, art::kSupport),
        Item(language, "About", "About", command::kAbout, art::kAbout),
        Item(language, "Exit", "Exit", command::kExit, art::kExit),
    };

    std::vector<MenuEntry> entries;
    for (auto& entry : all) {
        if (entry.kind == MenuEntry::Kind::Command && !offered(entry.command)) {
            continue;
        }
        if (entry.kind == MenuEntry::Kind::Submenu) {
            std::erase_if(entry.children, [&](const MenuEntry& child) { return !offered(child.command); });
            if (entry.children.empty()) {
                continue;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace quorvel

#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvel {

class LanguageFile;

// One entry of the tray menu: a command with its text and bitmap, a separator, or the Mode submenu.
struct MenuEntry {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    std::string text;
    int command = 0; // none for separators and the submenu
    int bitmap = 0;  // resource id; none for separators
    std::vector<MenuEntry> children;
};

// The main menu in its order: the first item by the session's state, the Mode submenu's bitmaps by the stored
// mode (0 fast, 1 strong; any other value marks neither). Texts come from the language file, section
// "Main menu". Commands that `offered` rejects (one not built into this program) are left out.
std::vector<MenuEntry> MainMenuEntries(bool running, int mode, const LanguageFile& language,
                                       const std::function<bool(int)>& offered);

} // namespace quorvel

#pragma once

#include "pages/main_menu.h"

#include <functional>

class QMenu;

namespace quorvel {

// Fills `menu` (emptied first, old submenus deleted) with the entries; choosing an item calls `choose` with its
// command. Each action carries its command id as data and as object name.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const std::function<void(int)>& choose);

} // namespace quorvel

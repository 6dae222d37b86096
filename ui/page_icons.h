#pragma once

#include <QIcon>

namespace quorvel {

// The small pictures of the options pages, by resource id: the groups and programs of the profiles center's
// lists, and the icons beside the pages' groups. Drawn here, so every size stays sharp. A null icon for an
// unknown id.
QIcon PageIcon(int id);

} // namespace quorvel

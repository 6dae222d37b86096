#pragma once

#include "redirect/program_kind.h"

#include <optional>
#include <span>
#include <string>

namespace quorvel {

// The groups of the profiles center's first list, in list order.
enum class ProgramGroup { Browsers = 0, InstantMessengers = 1 };

struct ProgramGroupEntry {
    const char* text; // English text and key in language section "Options dialog"
    int iconId;
};

// One program in the profiles center's second list.
struct ProgramEntry {
    ProgramGroup group;
    int position;          // in the list of its group; stored as the current browser or messenger
    const char* entryText; // never translated
    int iconId;
    ProgramKind kind;
    int profilePathTemplate; // 135 path, 138 no profile
    int cleanTemplate;       // 137, 139, 187 or 141 (no clean options)
};

std::span<const ProgramGroupEntry> ProgramGroups();

// The programs of a group in list order; none for an unknown group.
std::span<const ProgramEntry> ProgramsOf(int group);
// The program at a position of a group; nothing when either is out of range.
std::optional<ProgramEntry> ProgramAt(int group, int position);
// The program whose entry has this text.
std::optional<ProgramEntry> ProgramByEntryText(const std::string& entryText);

} // namespace quorvel

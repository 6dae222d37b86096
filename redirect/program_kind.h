#pragma once

#include "redirect/mozilla_browser.h"

#include <array>
#include <optional>
#include <string>

namespace quorvel {

// The client programs the system points at Tor, in the order every loop over them takes.
enum class ProgramKind { InternetExplorer, Firefox, Netscape, AimClassic, WindowsMessenger, YahooMessenger, Icq };

inline constexpr std::array<ProgramKind, 7> kAllPrograms = {
    ProgramKind::InternetExplorer, ProgramKind::Firefox,        ProgramKind::Netscape, ProgramKind::AimClassic,
    ProgramKind::WindowsMessenger, ProgramKind::YahooMessenger, ProgramKind::Icq};

struct ProgramInfo {
    const char* selectionKey;  // key in "Anonymization"
    bool selectedByDefault;    // the default of that key
    const char* messagePrefix; // put before every message about the program (never translated)
    const char* entryText;     // the program's entry in the profiles center
    const char* backupSection; // where its settings are saved while it is redirected
};

const ProgramInfo& Program(ProgramKind kind);

// The program whose profiles-center entry has this text.
std::optional<ProgramKind> ProgramFromEntryText(const std::string& entryText);

// Firefox and Netscape are the Mozilla-family programs; the others have no profile folder.
std::optional<MozillaBrowser> MozillaBrowserOf(ProgramKind kind);
ProgramKind ProgramOf(MozillaBrowser browser);

} // namespace quorvel

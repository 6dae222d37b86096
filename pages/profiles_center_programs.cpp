#include "pages/profiles_center_programs.h"

#include <array>

namespace quorvel {

namespace {

constexpr std::array<ProgramGroupEntry, 2> kGroups = {{{"Browsers", 157}, {"Instant Messengers", 158}}};

constexpr std::array<ProgramEntry, 3> kBrowsers = {{
    {ProgramGroup::Browsers, 0, "Internet Explorer", 159, ProgramKind::InternetExplorer, 138, 137},
    {ProgramGroup::Browsers, 1, "Firefox", 160, ProgramKind::Firefox, 135, 139},
    {ProgramGroup::Browsers, 2, "Netscape 8", 193, ProgramKind::Netscape, 135, 187},
}};

constexpr std::array<ProgramEntry, 4> kMessengers = {{
    {ProgramGroup::InstantMessengers, 0, "AIM 5.9 and below", 162, ProgramKind::AimClassic, 138, 141},
    {ProgramGroup::InstantMessengers, 1, "Windows Messenger", 179, ProgramKind::WindowsMessenger, 138, 141},
    {ProgramGroup::InstantMessengers, 2, "Yahoo! Messenger", 165, ProgramKind::YahooMessenger, 138, 141},
    {ProgramGroup::InstantMessengers, 3, "ICQ", 163, ProgramKind::Icq, 138, 141},
}};

} // namespace

std::span<const ProgramGroupEntry> ProgramGroups() {
    return kGroups;
}

std::span<const ProgramEntry> ProgramsOf(int group) {
    switch (group) {
    case static_cast<int>(ProgramGroup::Browsers):
        return kBrowsers;
    case static_cast<int>(ProgramGroup::InstantMessengers):
        return kMessengers;
    default:
        return {};
    }
}

std::optional<ProgramEntry> ProgramAt(int group, int position) {
    const auto programs = ProgramsOf(group);
    if (position < 0 || position >= static_cast<int>(programs.size())) {
        return std::nullopt;
    }
    return programs[static_cast<std::size_t>(position)];
}

std::optional<ProgramEntry> ProgramByEntryText(const std::string& entryText) {
    for (int group : {0, 1}) {
        for (const ProgramEntry& entry : ProgramsOf(group)) {
            if (entryText == entry.entryText) {
                return entry;
            }
        }
    }
    return std::nullopt;
}

} // namespace quorvel

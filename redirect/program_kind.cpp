#include "redirect/program_kind.h"

#include "app/settings_keys.h"

namespace quorvel {

namespace {

const std::array<ProgramInfo, 7> kPrograms = {{
    {settings::kInternetExplorer, true, "Internet Explorer: ", "Internet Explorer", settings::kIeProxyBackup},
    {settings::kFirefox, false, "Firefox: ", "Firefox", settings::kFirefoxProxyBackup},
    {settings::kNetscape, false, "Netscape: ", "Netscape 8", settings::kNetscapeProxyBackup},
    {settings::kAimClassic, false, "AIM Classic: ", "AIM 5.9 and below", settings::kAimProxyBackup},
    {settings::kWindowsMessenger, false, "Windows Messenger: ", "Windows Messenger",
     settings::kWindowsMessengerProxyBackup},
    {settings::kYahooMessenger, false, "Yahoo! Messenger: ", "Yahoo! Messenger", settings::kYahooProxyBackup},
    {settings::kIcq, false, "ICQ: ", "ICQ", settings::kIcqProxyBackup},
}};

} // namespace

const ProgramInfo& Program(ProgramKind kind) {
    return kPrograms[static_cast<std::size_t>(kind)];
}

std::optional<ProgramKind> ProgramFromEntryText(const std::string& entryText) {
    for (ProgramKind kind : kAllPrograms) {
        if (entryText == Program(kind).entryText) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<MozillaBrowser> MozillaBrowserOf(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::Firefox:
        return MozillaBrowser::Firefox;
    case ProgramKind::Netscape:
        return MozillaBrowser::Netscape;
    default:
        return std::nullopt;
    }
}

ProgramKind ProgramOf(MozillaBrowser browser) {
    return browser == MozillaBrowser::Firefox ? ProgramKind::Firefox : ProgramKind::Netscape;
}

} // namespace quorvel

#pragma once

#include "platform/internet_options.h"

namespace quorvel {

// The system's Internet settings through WinINet's per-connection options (flags and proxy server) and the
// dial-up entries of every phone book through RasEnumEntriesW.
class WinInetOptions final : public InternetOptions {
public:
    unsigned long EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                    std::uint32_t& count) override;
    bool QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) override;
    bool SetConnectionProxy(const std::optional<std::string>& connection, const ConnectionProxy& proxy) override;
    // Both are notifications: a program that does not listen, or a system that cannot refresh, changes nothing
    // about what was stored.
    void NotifySettingsChanged() override;
    void Refresh() override;
};

} // namespace quorvel

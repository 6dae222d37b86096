#pragma once

#include "platform/internet_options.h"

namespace quorvel {

class RegistryStore;

// The Internet settings kept in the registry store where Windows keeps them: each connection's options are the
// binary value named after it under HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections
// ("DefaultConnectionSettings" for the LAN), in the system's own layout; the LAN's proxy is also mirrored into
// "ProxyEnable" and "ProxyServer" of the Internet Settings key. This platform has no dial-up connections.
class InternetOptionsStore final : public InternetOptions {
public:
    static constexpr const char* kInternetSettingsKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    static constexpr const char* kConnectionsKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr const char* kLanValueName = "DefaultConnectionSettings";

    explicit InternetOptionsStore(RegistryStore& registry) : m_registry(registry) {}

    unsigned long EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                    std::uint32_t& count) override;
    // A connection that was never configured reads as a direct connection without a proxy server; a value that
    // is not in the system's layout cannot be read.
    bool QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) override;
    // Keeps the connection's other settings (bypass list, configuration script address) as they are.
    bool SetConnectionProxy(const std::optional<std::string>& connection, const ConnectionProxy& proxy) override;
    void NotifySettingsChanged() override;
    void Refresh() override;

private:
    RegistryStore& m_registry;
};

} // namespace quorvel

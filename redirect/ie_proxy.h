#pragma once

#include <string>
#include <vector>

namespace quorvel {

class InternetOptions;
class SettingsStore;
struct ProcessState;

// Internet Explorer's proxy, which is the system's per-connection Internet settings: every dial-up connection
// and the LAN. The backup keeps, per connection, its flags under the connection's name + "-settings" and its
// proxy server text under the name itself ("LAN" for the LAN).
class IeProxy {
public:
    IeProxy(InternetOptions& options, const SettingsStore& settings, const ProcessState& state)
        : m_options(options), m_settings(settings), m_state(state) {}

    // Saves every dial-up connection, then the LAN. A proxy text that already names the SOCKS proxy at the
    // current port is saved blank, so that a second redirect never keeps the redirection as the user's own
    // setting. False when a connection's settings could not be read or saved.
    bool BackupIeProxy();
    // Points every dial-up connection, then the LAN, at the SOCKS proxy on 127.0.0.1 at `port`.
    void ApplyIeProxy(int port);
    // Puts every dial-up connection, then the LAN, back as saved. A dial-up connection that was never saved (made
    // after the backup, so never redirected either) is left alone. False when a connection could not be set
    // (the others still are).
    bool RestoreIeProxy();

    // The names of the dial-up connections in every phone book; empty when they cannot be listed.
    std::vector<std::string> DialUpConnections();

    static std::string SocksProxyText(int port);

private:
    InternetOptions& m_options;
    const SettingsStore& m_settings;
    const ProcessState& m_state;
};

} // namespace quorvel

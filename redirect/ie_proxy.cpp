#include "redirect/ie_proxy.h"

#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/internet_options.h"
#include "redirect/trim.h"

#include <new>
#include <optional>

namespace quorvel {

namespace {

constexpr int kEnumerationAttempts = 5;
// No phone book holds anywhere near this many entries (about 64000); a larger demand is treated as a buffer
// that cannot be had.
constexpr std::uint32_t kLargestEnumerationBuffer = 64u << 20;

} // namespace

std::string IeProxy::SocksProxyText(int port) {
    return "socks=127.0.0.1:" + std::to_string(port);
}

std::vector<std::string> IeProxy::DialUpConnections() {
    std::uint32_t bufferBytes = kDialUpEntryNameSize;
    for (int attempt = 0; attempt < kEnumerationAttempts; ++attempt) {
        if (bufferBytes < kDialUpEntryNameSize || bufferBytes > kLargestEnumerationBuffer) {
            return {};
        }
        std::vector<DialUpEntryName> entries;
        try {
            entries.resize((bufferBytes + kDialUpEntryNameSize - 1) / kDialUpEntryNameSize);
        } catch (const std::bad_alloc&) {
            return {};
        }
        entries[0].size = kDialUpEntryNameSize;
        std::uint32_t count = 0;
        const unsigned long result = m_options.EnumDialUpEntries(entries.data(), bufferBytes, count);
        if (result == kRasBufferTooSmall) {
            continue; // bufferBytes now holds the size needed
        }
        if (result != kRasSuccess) {
            return {};
        }
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count && i < entries.size(); ++i) {
            names.push_back(DialUpEntryNameText(entries[i]));
        }
        return names;
    }
    return {};
}

bool IeProxy::BackupIeProxy() {
    const std::string redirected = SocksProxyText(m_state.torPort);
    bool saved = true;
    auto backup = [&](const std::optional<std::string>& connection, const std::string& key) {
        ConnectionProxy proxy;
        if (!m_options.QueryConnectionProxy(connection, proxy)) {
            saved = false; // keep what was saved before rather than save values that were never read
            return;
        }
        saved =
            m_settings.WriteInt(settings::kIeProxyBackup, key + "-settings", static_cast<int>(proxy.flags)) && saved;
        if (!proxy.proxyServer || proxy.proxyServer->find(redirected) != std::string::npos) {
            saved = m_settings.WriteBlank(settings::kIeProxyBackup, key) && saved;
        } else {
            saved = m_settings.WriteString(settings::kIeProxyBackup, key, *proxy.proxyServer) && saved;
        }
    };
    for (const std::string& name : DialUpConnections()) {
        backup(name, name);
    }
    backup(std::nullopt, settings::kLan);
    return saved;
}

void IeProxy::ApplyIeProxy(int port) {
    const ConnectionProxy redirected{kProxyTypeDirect | kProxyTypeProxy, SocksProxyText(port)};
    auto apply = [&](const std::optional<std::string>& connection) {
        m_options.SetConnectionProxy(connection, redirected);
        m_options.NotifySettingsChanged();
        m_options.Refresh();
    };
    for (const std::string& name : DialUpConnections()) {
        apply(name);
    }
    apply(std::nullopt);
}

bool IeProxy::RestoreIeProxy() {
    bool restored = true;
    auto restore = [&](const std::optional<std::string>& connection, const std::string& key) {
        ConnectionProxy proxy;
        proxy.flags = static_cast<std::uint32_t>(m_settings.ReadInt(settings::kIeProxyBackup, key + "-settings", 0));
        const std::string text = TrimBlanks(m_settings.ReadString(settings::kIeProxyBackup, key, settings::kBlank));
        proxy.proxyServer = text.empty() ? std::nullopt : std::optional(text);
        restored = m_options.SetConnectionProxy(connection, proxy) && restored;
        m_options.NotifySettingsChanged();
        m_options.Refresh();
    };
    for (const std::string& name : DialUpConnections()) {
        if (name == settings::kLan) {
            restore(std::nullopt, name); // shares the LAN's keys, so it is the LAN that gets them back
        } else if (!TrimBlanks(m_settings.ReadString(settings::kIeProxyBackup, name + "-settings", "")).empty()) {
            restore(name, name);
        }
    }
    restore(std::nullopt, settings::kLan);
    return restored;
}

} // namespace quorvel

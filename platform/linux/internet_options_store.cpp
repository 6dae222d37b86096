#include "platform/internet_options_store.h"

#include "platform/registry_store.h"

#include <cstddef>
#include <vector>

namespace quorvel {

namespace {

// The system's per-connection settings value: version, change counter, flags, then three length-prefixed texts
// (proxy server, bypass list, configuration script address) and the automatic-detection data, kept as they are.
struct ConnectionSettings {
    std::uint32_t version = 0x46;
    std::uint32_t counter = 0;
    std::uint32_t flags = kProxyTypeDirect;
    std::string proxyServer;
    std::string bypassList;
    std::string autoConfigUrl;
    std::vector<std::uint8_t> tail = std::vector<std::uint8_t>(32, 0);
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    bool Number(std::uint32_t& value) {
        if (m_bytes.size() - m_pos < 4) {
            return false;
        }
        value = static_cast<std::uint32_t>(m_bytes[m_pos]) | static_cast<std::uint32_t>(m_bytes[m_pos + 1]) << 8 |
                static_cast<std::uint32_t>(m_bytes[m_pos + 2]) << 16 |
                static_cast<std::uint32_t>(m_bytes[m_pos + 3]) << 24;
        m_pos += 4;
        return true;
    }
    bool Text(std::string& text) {
        std::uint32_t length = 0;
        if (!Number(length) || m_bytes.size() - m_pos < length) {
            return false;
        }
        text.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                    m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + length));
        m_pos += length;
        return true;
    }
    std::vector<std::uint8_t> Rest() const {
        return {m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos), m_bytes.end()};
    }

private:
    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_pos = 0;
};

void PutNumber(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    PutNumber(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

std::optional<ConnectionSettings> Parse(const std::vector<std::uint8_t>& bytes) {
    ConnectionSettings settings;
    Reader reader(bytes);
    if (!reader.Number(settings.version) || !reader.Number(settings.counter) || !reader.Number(settings.flags) ||
        !reader.Text(settings.proxyServer) || !reader.Text(settings.bypassList) ||
        !reader.Text(settings.autoConfigUrl)) {
        return std::nullopt;
    }
    settings.tail = reader.Rest();
    return settings;
}

std::vector<std::uint8_t> Serialize(const ConnectionSettings& settings) {
    std::vector<std::uint8_t> out;
    PutNumber(out, settings.version);
    PutNumber(out, settings.counter);
    PutNumber(out, settings.flags);
    PutText(out, settings.proxyServer);
    PutText(out, settings.bypassList);
    PutText(out, settings.autoConfigUrl);
    out.insert(out.end(), settings.tail.begin(), settings.tail.end());
    return out;
}

std::string ValueName(const std::optional<std::string>& connection) {
    return connection ? *connection : InternetOptionsStore::kLanValueName;
}

// Nothing when the value exists but is not in the system's layout.
std::optional<ConnectionSettings> Load(const RegistryStore& registry, const std::optional<std::string>& connection) {
    const auto value =
        registry.GetValue(RegistryHive::CurrentUser, InternetOptionsStore::kConnectionsKey, ValueName(connection));
    if (!value) {
        return ConnectionSettings{};
    }
    const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value->data);
    return bytes ? Parse(*bytes) : std::nullopt;
}

} // namespace

unsigned long InternetOptionsStore::EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                                      std::uint32_t& count) {
    if (entries == nullptr || bufferBytes < kDialUpEntryNameSize || entries[0].size != kDialUpEntryNameSize) {
        return kRasInvalidSize;
    }
    count = 0;
    return kRasSuccess;
}

bool InternetOptionsStore::QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) {
    const auto settings = Load(m_registry, connection);
    if (!settings) {
        return false;
    }
    proxy.flags = settings->flags;
    proxy.proxyServer = settings->proxyServer.empty() ? std::nullopt : std::optional(settings->proxyServer);
    return true;
}

bool InternetOptionsStore::SetConnectionProxy(const std::optional<std::string>& connection,
                                              const ConnectionProxy& proxy) {
    // A value the system could not have written is replaced whole, so the new options take effect all the same.
    ConnectionSettings settings = Load(m_registry, connection).value_or(ConnectionSettings{});
    settings.counter += 1;
    settings.flags = proxy.flags;
    settings.proxyServer = proxy.proxyServer.value_or("");
    if (!m_registry.CreateKey(RegistryHive::CurrentUser, kConnectionsKey) ||
        !m_registry.SetValue(RegistryHive::CurrentUser, kConnectionsKey, ValueName(connection),
                             RegistryValue::Binary(Serialize(settings)))) {
        return false;
    }
    if (connection) {
        return true;
    }
    // Programs that read only the older LAN values see the same proxy.
    bool stored = m_registry.SetValue(RegistryHive::CurrentUser, kInternetSettingsKey, "ProxyEnable",
                                      RegistryValue::Dword((proxy.flags & kProxyTypeProxy) != 0 ? 1 : 0));
    if (proxy.proxyServer) {
        stored = m_registry.SetValue(RegistryHive::CurrentUser, kInternetSettingsKey, "ProxyServer",
                                     RegistryValue::String(*proxy.proxyServer)) &&
                 stored;
    } else if (m_registry.GetValue(RegistryHive::CurrentUser, kInternetSettingsKey, "ProxyServer")) {
        stored = m_registry.DeleteValue(RegistryHive::CurrentUser, kInternetSettingsKey, "ProxyServer") && stored;
    }
    return stored;
}

// Every change is already in the store when the set returns, and no program on this platform keeps a copy of
// these settings that it would have to be told to reload.
void InternetOptionsStore::NotifySettingsChanged() {}
void InternetOptionsStore::Refresh() {}

} // namespace quorvel

#include "redirect/messenger_proxy.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/registry_store.h"
#include "redirect/trim.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

namespace {

// REG_DWORD, REG_SZ, or a REG_BINARY holding a little-endian 32-bit number.
enum class ValueKind { Number, Text, BinaryNumber };
// How the value is kept in the backup section.
enum class BackupAs { Boolean, Integer, Text };

struct MessengerValue {
    const char* path; // key path, a backslash, the value name
    ValueKind kind;
    const char* backupKey;
    BackupAs backupAs;
    bool redirectedToPort; // else the fixed number or text below
    std::uint32_t redirectedNumber;
    const char* redirectedText;
};

struct Messenger {
    const char* backupSection;
    std::vector<MessengerValue> values; // in the order the backup reads them
    std::vector<int> writeOrder;        // the order the redirect and the restore write them
};

constexpr const char* kLocalHost = "127.0.0.1";

const Messenger kAim = {
    settings::kAimProxyBackup,
    {
        {"Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy\\Enabled", ValueKind::Number,
         settings::kProxyEnable, BackupAs::Boolean, false, 1, nullptr},
        {"Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy\\Port", ValueKind::Number,
         settings::kProxyPort, BackupAs::Integer, true, 0, nullptr},
        {"Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy\\Host", ValueKind::Text,
         settings::kProxyHost, BackupAs::Text, false, 0, kLocalHost},
        {"Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy\\Protocol", ValueKind::Text,
         settings::kProxyProtocol, BackupAs::Text, false, 0, "SOCKS5"},
    },
    {0, 1, 2, 3},
};

const Messenger kWindowsMessenger = {
    settings::kWindowsMessengerProxyBackup,
    {
        {"Software\\Microsoft\\MSNMessenger\\SOCKS4Port", ValueKind::BinaryNumber, settings::kProxyPort,
         BackupAs::Integer, true, 0, nullptr},
        {"Software\\Microsoft\\MSNMessenger\\SOCKS4Server", ValueKind::Text, settings::kProxyHost, BackupAs::Text,
         false, 0, kLocalHost},
    },
    {0, 1},
};

// The HTTP proxy is switched off first, then the SOCKS proxy (version 5) on.
const Messenger kYahoo = {
    settings::kYahooProxyBackup,
    {
        {"Software\\Yahoo\\pager\\SOCKS Enabled", ValueKind::Number, settings::kSocksEnable, BackupAs::Boolean, false,
         1, nullptr},
        {"Software\\Yahoo\\pager\\Proxy Enabled", ValueKind::Number, settings::kHttpProxyEnable, BackupAs::Boolean,
         false, 0, nullptr},
        {"Software\\Yahoo\\pager\\Socks Port", ValueKind::Number, settings::kSocksPort, BackupAs::Integer, true, 0,
         nullptr},
        {"Software\\Yahoo\\pager\\Socks Version", ValueKind::Number, settings::kSocksVersion, BackupAs::Integer, false,
         5, nullptr},
        {"Software\\Yahoo\\pager\\Socks Server", ValueKind::Text, settings::kSocksServer, BackupAs::Text, false, 0,
         kLocalHost},
    },
    {1, 0, 2, 3, 4},
};

const Messenger kIcq = {
    settings::kIcqProxyBackup,
    {
        {"Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxyUsed", ValueKind::Number, settings::kProxyUsed,
         BackupAs::Integer, false, 0, nullptr},
        {"Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxySetting0\\ProxyHostName", ValueKind::Text,
         settings::kProxyHost, BackupAs::Text, false, 0, kLocalHost},
        {"Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxySetting0\\ProxyPort", ValueKind::Number,
         settings::kProxyPort, BackupAs::Integer, true, 0, nullptr},
        {"Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxySetting0\\UseProxyToResolveHostName",
         ValueKind::Number, settings::kUseProxyToResolveHostName, BackupAs::Boolean, false, 1, nullptr},
    },
    {0, 1, 2, 3},
};

const Messenger* MessengerOf(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::AimClassic:
        return &kAim;
    case ProgramKind::WindowsMessenger:
        return &kWindowsMessenger;
    case ProgramKind::YahooMessenger:
        return &kYahoo;
    case ProgramKind::Icq:
        return &kIcq;
    default:
        return nullptr;
    }
}

struct ValuePath {
    std::string key;
    std::string name;
};

ValuePath Split(const char* path) {
    const std::string text = path;
    const auto slash = text.rfind('\\');
    return {text.substr(0, slash), text.substr(slash + 1)};
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return value;
}

// A number from a DWORD, or from the first four bytes of a binary value; 0 when there is none.
std::uint32_t ReadNumber(const RegistryStore& registry, const MessengerValue& value) {
    const ValuePath where = Split(value.path);
    const auto stored = registry.GetValue(RegistryHive::CurrentUser, where.key, where.name);
    if (!stored) {
        return 0;
    }
    if (const auto* number = std::get_if<std::uint32_t>(&stored->data)) {
        return *number;
    }
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&stored->data)) {
        return LittleEndian(*bytes);
    }
    return 0;
}

std::string ReadText(const RegistryStore& registry, const MessengerValue& value) {
    const ValuePath where = Split(value.path);
    const auto stored = registry.GetValue(RegistryHive::CurrentUser, where.key, where.name);
    const auto* text = stored ? std::get_if<std::string>(&stored->data) : nullptr;
    return text ? *text : settings::kBlank;
}

bool Write(RegistryStore& registry, const MessengerValue& value, std::uint32_t number, const std::string& text) {
    const ValuePath where = Split(value.path);
    RegistryValue stored = RegistryValue::Dword(number);
    if (value.kind == ValueKind::Text) {
        stored = RegistryValue::String(text);
    } else if (value.kind == ValueKind::BinaryNumber) {
        stored =
            RegistryValue::Binary({static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                                   static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)});
    }
    return registry.CreateKey(RegistryHive::CurrentUser, where.key) &&
           registry.SetValue(RegistryHive::CurrentUser, where.key, where.name, stored);
}

} // namespace

bool MessengerProxy::IsMessenger(ProgramKind kind) {
    return MessengerOf(kind) != nullptr;
}

bool MessengerProxy::BackupMessengerProxy(ProgramKind kind) {
    const Messenger* messenger = MessengerOf(kind);
    if (messenger == nullptr) {
        return false;
    }
    bool stored = true;
    for (const MessengerValue& value : messenger->values) {
        const char* section = messenger->backupSection;
        switch (value.backupAs) {
        case BackupAs::Boolean:
            stored = m_settings.WriteBool(section, value.backupKey, ReadNumber(m_registry, value) != 0) && stored;
            break;
        case BackupAs::Integer:
            stored = m_settings.WriteInt(section, value.backupKey, static_cast<int>(ReadNumber(m_registry, value))) &&
                     stored;
            break;
        case BackupAs::Text:
            stored = m_settings.WriteString(section, value.backupKey, ReadText(m_registry, value)) && stored;
            break;
        }
    }
    return stored;
}

void MessengerProxy::ApplyMessengerProxy(ProgramKind kind, int port) {
    const Messenger* messenger = MessengerOf(kind);
    if (messenger == nullptr) {
        return;
    }
    for (int index : messenger->writeOrder) {
        const MessengerValue& value = messenger->values[static_cast<std::size_t>(index)];
        const std::uint32_t number = value.redirectedToPort ? static_cast<std::uint32_t>(port) : value.redirectedNumber;
        Write(m_registry, value, number, value.redirectedText != nullptr ? value.redirectedText : "");
    }
}

bool MessengerProxy::RestoreMessengerProxy(ProgramKind kind) {
    const Messenger* messenger = MessengerOf(kind);
    if (messenger == nullptr) {
        return false;
    }
    bool written = true;
    for (int index : messenger->writeOrder) {
        const MessengerValue& value = messenger->values[static_cast<std::size_t>(index)];
        const char* section = messenger->backupSection;
        std::uint32_t number = 0;
        std::string text;
        switch (value.backupAs) {
        case BackupAs::Boolean:
            number = m_settings.ReadBool(section, value.backupKey, false) ? 1 : 0;
            break;
        case BackupAs::Integer:
            number = static_cast<std::uint32_t>(m_settings.ReadInt(section, value.backupKey, 0));
            break;
        case BackupAs::Text:
            text = TrimBlanks(m_settings.ReadString(section, value.backupKey, settings::kBlank));
            break;
        }
        written = Write(m_registry, value, number, text) && written;
    }
    return written;
}

} // namespace quorvel

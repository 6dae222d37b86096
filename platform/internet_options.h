#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// PROXY_TYPE_* bits of a connection's flags.
inline constexpr std::uint32_t kProxyTypeDirect = 1;
inline constexpr std::uint32_t kProxyTypeProxy = 2;
inline constexpr std::uint32_t kProxyTypeAutoProxyUrl = 4;
inline constexpr std::uint32_t kProxyTypeAutoDetect = 8;

// One record of the dial-up entry list, laid out as the system's RASENTRYNAMEW: a size field, the entry name
// (UTF-16, at most 256 characters and a terminator), flags and the phone-book path.
struct DialUpEntryName {
    std::uint32_t size;
    char16_t entryName[257];
    std::uint32_t flags;
    char16_t phonebookPath[261];
};
inline constexpr std::uint32_t kDialUpEntryNameSize = 1048;
static_assert(sizeof(DialUpEntryName) == kDialUpEntryNameSize);

// Results of the dial-up entry enumeration.
inline constexpr unsigned long kRasSuccess = 0;
inline constexpr unsigned long kRasBufferTooSmall = 603;
inline constexpr unsigned long kRasInvalidSize = 632;

// The entry name of a record as UTF-8, and the reverse (cut to 256 characters).
std::string DialUpEntryNameText(const DialUpEntryName& entry);
void SetDialUpEntryNameText(DialUpEntryName& entry, const std::string& name);

// The two per-connection options the system reads and writes.
struct ConnectionProxy {
    std::uint32_t flags = kProxyTypeDirect;
    std::optional<std::string> proxyServer; // nothing when the connection names no proxy server
    bool operator==(const ConnectionProxy&) const = default;
};

// The system's Internet settings: the proxy options of the LAN and of each dial-up connection, and the list of
// dial-up connections in every phone book. A connection is named by its dial-up entry; nothing names the LAN.
class InternetOptions {
public:
    virtual ~InternetOptions() = default;

    // Lists the dial-up entries of every phone book into `entries`, which holds `bufferBytes` bytes and whose
    // first record's size field the caller has set to kDialUpEntryNameSize. Returns kRasSuccess with `count`
    // records filled, or kRasBufferTooSmall with `bufferBytes` set to the size needed; anything else is a failure.
    virtual unsigned long EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                            std::uint32_t& count) = 0;

    // False when the options of the connection could not be read; `proxy` is then unchanged.
    virtual bool QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) = 0;
    // Stores both options for the connection. False when they could not be stored.
    virtual bool SetConnectionProxy(const std::optional<std::string>& connection, const ConnectionProxy& proxy) = 0;

    // Tell running programs that the settings changed, and make them reload them.
    virtual void NotifySettingsChanged() = 0;
    virtual void Refresh() = 0;
};

} // namespace quorvel

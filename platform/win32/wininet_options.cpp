#include "platform/win32/wininet_options.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <ras.h>
#include <wininet.h>

namespace quorvel {

static_assert(sizeof(RASENTRYNAMEW) == kDialUpEntryNameSize, "the dial-up record is the system's RASENTRYNAMEW");

namespace {

// The option list with the two options the system reads and writes; `connection` must outlive it.
struct OptionList {
    INTERNET_PER_CONN_OPTIONW options[2]{};
    INTERNET_PER_CONN_OPTION_LISTW list{};

    explicit OptionList(const std::wstring* connection) {
        options[0].dwOption = INTERNET_PER_CONN_FLAGS;
        options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
        list.dwSize = sizeof list;
        // No name is the LAN.
        list.pszConnection = connection != nullptr ? const_cast<wchar_t*>(connection->c_str()) : nullptr;
        list.dwOptionCount = 2;
        list.pOptions = options;
    }
};

} // namespace

unsigned long WinInetOptions::EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                                std::uint32_t& count) {
    DWORD size = bufferBytes;
    DWORD filled = 0;
    const DWORD result = RasEnumEntriesW(nullptr, nullptr, reinterpret_cast<RASENTRYNAMEW*>(entries), &size, &filled);
    bufferBytes = size;
    count = filled;
    return result;
}

bool WinInetOptions::QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) {
    const std::wstring name = connection ? win32::Widen(*connection) : std::wstring();
    OptionList query(connection ? &name : nullptr);
    DWORD size = sizeof query.list;
    if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &query.list, &size)) {
        return false;
    }
    proxy.flags = query.options[0].Value.dwValue;
    wchar_t* server = query.options[1].Value.pszValue;
    // The system allocates the text; it is ours to free.
    proxy.proxyServer = server != nullptr ? std::optional<std::string>(win32::Narrow(server)) : std::nullopt;
    if (server != nullptr) {
        GlobalFree(server);
    }
    return true;
}

bool WinInetOptions::SetConnectionProxy(const std::optional<std::string>& connection, const ConnectionProxy& proxy) {
    const std::wstring name = connection ? win32::Widen(*connection) : std::wstring();
    std::wstring server = proxy.proxyServer ? win32::Widen(*proxy.proxyServer) : std::wstring();
    OptionList update(connection ? &name : nullptr);
    update.options[0].Value.dwValue = proxy.flags;
    update.options[1].Value.pszValue = proxy.proxyServer ? server.data() : nullptr;
    return InternetSetOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &update.list, sizeof update.list);
}

void WinInetOptions::NotifySettingsChanged() {
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
}

void WinInetOptions::Refresh() {
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

} // namespace quorvel

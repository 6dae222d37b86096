#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_store.h"
#include "platform/registry_store.h"
#include "platform/win32/wininet_options.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/program_kind.h"
#include "support/test_environment.h"
#include "support/test_paths.h"
#include "wine.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

constexpr const char* kInternetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The redirection of Internet Explorer and the messengers on the real Internet options and the real HKCU; the
// settings file lives in a temporary folder. What the test changes it puts back.
class Win32RedirectTest : public ::testing::Test {
protected:
    TestEnvironment env;
    TestPaths paths;
    SettingsStore settings{paths};
    ProcessState state;
    RegistryStore registry{""};
    WinInetOptions internet;
    IeProxy ie{internet, settings, state};
    MessengerProxy messengers{registry, settings};
    ConnectionProxy before;

    void SetUp() override {
        MakeFolders(SettingsFolder(paths));
        ASSERT_TRUE(internet.QueryConnectionProxy(std::nullopt, before));
    }
    void TearDown() override { internet.SetConnectionProxy(std::nullopt, before); }

    ConnectionProxy Lan() {
        ConnectionProxy proxy;
        EXPECT_TRUE(internet.QueryConnectionProxy(std::nullopt, proxy));
        return proxy;
    }
};

TEST_F(Win32RedirectTest, LanProxyRedirectedToTorAndRestored) {
    const ConnectionProxy own{kProxyTypeDirect | kProxyTypeProxy, "proxy.example.net:8080"};
    ASSERT_TRUE(internet.SetConnectionProxy(std::nullopt, own));

    ASSERT_TRUE(ie.BackupIeProxy());
    ie.ApplyIeProxy(9050);
    EXPECT_EQ(Lan().proxyServer, "socks=127.0.0.1:9050");
    EXPECT_NE(Lan().flags & kProxyTypeProxy, 0u);

    ASSERT_TRUE(ie.RestoreIeProxy());
    EXPECT_EQ(Lan().proxyServer, own.proxyServer);
    if (UnderWine()) {
        // Wine keeps only "proxy enabled" of the flags, so DIRECT|PROXY reads back as PROXY; it mirrors the LAN
        // into the Internet Settings key as Windows does.
        EXPECT_EQ(Lan().flags, kProxyTypeProxy);
        EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, kInternetSettings, "ProxyServer"),
                  RegistryValue::String(*own.proxyServer));
        EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, kInternetSettings, "ProxyEnable"),
                  RegistryValue::Dword(1));
    } else {
        EXPECT_EQ(Lan().flags, own.flags);
    }
}

TEST_F(Win32RedirectTest, DialUpEntriesListedWithTheGrowingBuffer) {
    // Wine's RasEnumEntriesW is a stub that reports no entries (and leaves the size alone), so the list is
    // empty there; on Windows it is whatever the phone books hold, and the call must not fail.
    std::uint32_t bytes = kDialUpEntryNameSize;
    std::uint32_t count = 99;
    DialUpEntryName entry{};
    entry.size = kDialUpEntryNameSize;
    const unsigned long result = internet.EnumDialUpEntries(&entry, bytes, count);
    EXPECT_TRUE(result == kRasSuccess || result == kRasBufferTooSmall) << result;
    if (UnderWine()) {
        EXPECT_EQ(result, kRasSuccess);
        EXPECT_EQ(count, 0u);
        EXPECT_TRUE(ie.DialUpConnections().empty());
    }
}

// The messengers' values, read past the store, have the system's own types.
DWORD StoredType(const std::wstring& key, const wchar_t* name) {
    HKEY handle = nullptr;
    DWORD type = REG_NONE;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle) == ERROR_SUCCESS) {
        RegQueryValueExW(handle, name, nullptr, &type, nullptr, nullptr);
        RegCloseKey(handle);
    }
    return type;
}

TEST_F(Win32RedirectTest, MessengersRedirectedAndRestoredInTheRealRegistry) {
    const std::string aim = "Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy";
    const std::string msn = "Software\\Microsoft\\MSNMessenger";
    ASSERT_TRUE(registry.CreateKey(RegistryHive::CurrentUser, aim));
    ASSERT_TRUE(registry.CreateKey(RegistryHive::CurrentUser, msn));
    ASSERT_TRUE(registry.SetValue(RegistryHive::CurrentUser, aim, "Port", RegistryValue::Dword(1080)));
    ASSERT_TRUE(registry.SetValue(RegistryHive::CurrentUser, aim, "Host", RegistryValue::String("socks.example")));
    ASSERT_TRUE(registry.SetValue(RegistryHive::CurrentUser, msn, "SOCKS4Port",
                                  RegistryValue::Binary({0x38, 0x04, 0x00, 0x00})));

    ASSERT_TRUE(messengers.BackupMessengerProxy(ProgramKind::AimClassic));
    ASSERT_TRUE(messengers.BackupMessengerProxy(ProgramKind::WindowsMessenger));
    messengers.ApplyMessengerProxy(ProgramKind::AimClassic, 9050);
    messengers.ApplyMessengerProxy(ProgramKind::WindowsMessenger, 9050);
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, aim, "Port"), RegistryValue::Dword(9050));
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, aim, "Host"), RegistryValue::String("127.0.0.1"));
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, msn, "SOCKS4Port"),
              RegistryValue::Binary({0x5A, 0x23, 0x00, 0x00}));
    EXPECT_EQ(StoredType(L"Software\\Microsoft\\MSNMessenger", L"SOCKS4Port"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(StoredType(L"Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy", L"Port"),
              static_cast<DWORD>(REG_DWORD));

    ASSERT_TRUE(messengers.RestoreMessengerProxy(ProgramKind::AimClassic));
    ASSERT_TRUE(messengers.RestoreMessengerProxy(ProgramKind::WindowsMessenger));
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, aim, "Port"), RegistryValue::Dword(1080));
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, aim, "Host"), RegistryValue::String("socks.example"));
    EXPECT_EQ(registry.GetValue(RegistryHive::CurrentUser, msn, "SOCKS4Port"),
              RegistryValue::Binary({0x38, 0x04, 0x00, 0x00}));
    registry.DeleteTree(RegistryHive::CurrentUser, "Software\\America Online");
    registry.DeleteTree(RegistryHive::CurrentUser, msn);
}

} // namespace
} // namespace quorvel::test

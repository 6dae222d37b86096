#include "redirect_fixture.h"

#include <algorithm>
#include <cctype>
#ifdef _WIN32
#include "platform/win32/wide_text.h"
#endif

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

constexpr const char* kAimKey = "Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Proxy";
constexpr const char* kMsnKey = "Software\\Microsoft\\MSNMessenger";
constexpr const char* kYahooKey = "Software\\Yahoo\\pager";
constexpr const char* kIcqKey = "Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection";
constexpr const char* kIcqProxyKey = "Software\\Mirabilis\\ICQ\\CommonPrefs\\Connection\\ProxySetting0";

class MessengerProxyTest : public ::testing::Test {
protected:
    RedirectWorld w;

    void Set(const std::string& key, const std::string& name, const RegistryValue& value) {
        ASSERT_TRUE(w.registry.CreateKey(RegistryHive::CurrentUser, key));
        ASSERT_TRUE(w.registry.SetValue(RegistryHive::CurrentUser, key, name, value));
    }
    std::optional<RegistryValue> Get(const std::string& key, const std::string& name) const {
        return w.registry.GetValue(RegistryHive::CurrentUser, key, name);
    }
    std::string Backup(ProgramKind kind, const char* key) const { return w.Setting(Program(kind).backupSection, key); }
};

TEST_F(MessengerProxyTest, AimRoundTrip) {
    Set(kAimKey, "Enabled", RegistryValue::Dword(7));
    Set(kAimKey, "Port", RegistryValue::Dword(1080));
    Set(kAimKey, "Host", RegistryValue::String("socks.example.net"));
    Set(kAimKey, "Protocol", RegistryValue::String("HTTPS"));

    ASSERT_TRUE(w.messengers.BackupMessengerProxy(ProgramKind::AimClassic));
    EXPECT_EQ(Backup(ProgramKind::AimClassic, "Proxy enable"), "1");
    EXPECT_EQ(Backup(ProgramKind::AimClassic, "Proxy port"), "1080");
    EXPECT_EQ(Backup(ProgramKind::AimClassic, "Proxy host"), "socks.example.net");
    EXPECT_EQ(Backup(ProgramKind::AimClassic, "Proxy protocol"), "HTTPS");

    w.messengers.ApplyMessengerProxy(ProgramKind::AimClassic, 9050);
    EXPECT_EQ(Get(kAimKey, "Enabled"), RegistryValue::Dword(1));
    EXPECT_EQ(Get(kAimKey, "Port"), RegistryValue::Dword(9050));
    EXPECT_EQ(Get(kAimKey, "Host"), RegistryValue::String("127.0.0.1"));
    EXPECT_EQ(Get(kAimKey, "Protocol"), RegistryValue::String("SOCKS5"));

    ASSERT_TRUE(w.messengers.RestoreMessengerProxy(ProgramKind::AimClassic));
    EXPECT_EQ(Get(kAimKey, "Enabled"), RegistryValue::Dword(1)); // a boolean backup: 7 comes back as 1
    EXPECT_EQ(Get(kAimKey, "Port"), RegistryValue::Dword(1080));
    EXPECT_EQ(Get(kAimKey, "Host"), RegistryValue::String("socks.example.net"));
    EXPECT_EQ(Get(kAimKey, "Protocol"), RegistryValue::String("HTTPS"));
}

TEST_F(MessengerProxyTest, WindowsMessengerPortIsLittleEndianBinary) {
    Set(kMsnKey, "SOCKS4Port", RegistryValue::Binary({0x38, 0x04, 0x00, 0x00}));
    ASSERT_TRUE(w.messengers.BackupMessengerProxy(ProgramKind::WindowsMessenger));
    EXPECT_EQ(Backup(ProgramKind::WindowsMessenger, "Proxy port"), "1080");
    EXPECT_EQ(Backup(ProgramKind::WindowsMessenger, "Proxy host"), "");

    w.messengers.ApplyMessengerProxy(ProgramKind::WindowsMessenger, 9050);
    EXPECT_EQ(Get(kMsnKey, "SOCKS4Port"), RegistryValue::Binary({0x5A, 0x23, 0x00, 0x00}));
    EXPECT_EQ(Get(kMsnKey, "SOCKS4Server"), RegistryValue::String("127.0.0.1"));

    ASSERT_TRUE(w.messengers.RestoreMessengerProxy(ProgramKind::WindowsMessenger));
    EXPECT_EQ(Get(kMsnKey, "SOCKS4Port"), RegistryValue::Binary({0x38, 0x04, 0x00, 0x00}));
    EXPECT_EQ(Get(kMsnKey, "SOCKS4Server"), RegistryValue::String(""));
}

TEST_F(MessengerProxyTest, YahooSwitchesHttpOffAndSocksOnThenBack) {
    Set(kYahooKey, "Proxy Enabled", RegistryValue::Dword(1));
    Set(kYahooKey, "SOCKS Enabled", RegistryValue::Dword(0));
    ASSERT_TRUE(w.messengers.BackupMessengerProxy(ProgramKind::YahooMessenger));

    w.messengers.ApplyMessengerProxy(ProgramKind::YahooMessenger, 9050);
    EXPECT_EQ(Get(kYahooKey, "Proxy Enabled"), RegistryValue::Dword(0));
    EXPECT_EQ(Get(kYahooKey, "SOCKS Enabled"), RegistryValue::Dword(1));
    EXPECT_EQ(Get(kYahooKey, "Socks Port"), RegistryValue::Dword(9050));
    EXPECT_EQ(Get(kYahooKey, "Socks Version"), RegistryValue::Dword(5));
    EXPECT_EQ(Get(kYahooKey, "Socks Server"), RegistryValue::String("127.0.0.1"));

    ASSERT_TRUE(w.messengers.RestoreMessengerProxy(ProgramKind::YahooMessenger));
    EXPECT_EQ(Get(kYahooKey, "Proxy Enabled"), RegistryValue::Dword(1));
    EXPECT_EQ(Get(kYahooKey, "SOCKS Enabled"), RegistryValue::Dword(0));
    EXPECT_EQ(Get(kYahooKey, "Socks Port"), RegistryValue::Dword(0));

    // The HTTP proxy goes off before the SOCKS proxy comes on (a fresh key lists values as they were made).
    ASSERT_TRUE(w.registry.DeleteTree(RegistryHive::CurrentUser, kYahooKey));
    w.messengers.ApplyMessengerProxy(ProgramKind::YahooMessenger, 9050);
    std::vector<std::string> order{"Proxy Enabled", "SOCKS Enabled", "Socks Port", "Socks Version", "Socks Server"};
#ifdef _WIN32
    if (win32::RunningUnderWine()) {
        // Wine lists a key's values sorted by name, not as they were made: only the names can be seen here.
        std::sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
            });
        });
    }
#endif
    EXPECT_EQ(w.registry.ValueNames(RegistryHive::CurrentUser, kYahooKey), order);
}

TEST_F(MessengerProxyTest, NeverUsedIcqKeepsItsValuesAfterTheRestore) {
    ASSERT_TRUE(w.messengers.BackupMessengerProxy(ProgramKind::Icq));
    EXPECT_EQ(Backup(ProgramKind::Icq, "Proxy used"), "0");
    EXPECT_EQ(Backup(ProgramKind::Icq, "Proxy host"), "");
    EXPECT_EQ(Backup(ProgramKind::Icq, "Proxy port"), "0");
    EXPECT_EQ(Backup(ProgramKind::Icq, "Use proxy to resolve host name"), "0");

    w.messengers.ApplyMessengerProxy(ProgramKind::Icq, 9150);
    EXPECT_EQ(Get(kIcqKey, "ProxyUsed"), RegistryValue::Dword(0));
    EXPECT_EQ(Get(kIcqProxyKey, "ProxyHostName"), RegistryValue::String("127.0.0.1"));
    EXPECT_EQ(Get(kIcqProxyKey, "ProxyPort"), RegistryValue::Dword(9150));
    EXPECT_EQ(Get(kIcqProxyKey, "UseProxyToResolveHostName"), RegistryValue::Dword(1));

    ASSERT_TRUE(w.messengers.RestoreMessengerProxy(ProgramKind::Icq));
    EXPECT_EQ(Get(kIcqKey, "ProxyUsed"), RegistryValue::Dword(0));
    EXPECT_EQ(Get(kIcqProxyKey, "ProxyHostName"), RegistryValue::String(""));
    EXPECT_EQ(Get(kIcqProxyKey, "ProxyPort"), RegistryValue::Dword(0));
    EXPECT_EQ(Get(kIcqProxyKey, "UseProxyToResolveHostName"), RegistryValue::Dword(0));
}

} // namespace
} // namespace quorvel::test

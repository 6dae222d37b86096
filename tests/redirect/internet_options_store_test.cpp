#include "platform/internet_options_store.h"

#include "app/locations.h"
#include "redirect_fixture.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}
void Put(Bytes& out, const std::string& text) {
    Put(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

class InternetOptionsStoreTest : public ::testing::Test {
protected:
    RedirectWorld w;
    InternetOptionsStore store{w.registry};

    std::optional<RegistryValue> Stored(const std::string& key, const std::string& name) const {
        return w.registry.GetValue(RegistryHive::CurrentUser, key, name);
    }
    std::optional<RegistryValue> Lan() const {
        return Stored(InternetOptionsStore::kConnectionsKey, InternetOptionsStore::kLanValueName);
    }
};

TEST_F(InternetOptionsStoreTest, NeverConfiguredLanIsDirectAndThereAreNoDialUps) {
    ConnectionProxy proxy{7, "x"};
    ASSERT_TRUE(store.QueryConnectionProxy(std::nullopt, proxy));
    EXPECT_EQ(proxy, (ConnectionProxy{kProxyTypeDirect, std::nullopt}));

    DialUpEntryName entry{};
    entry.size = kDialUpEntryNameSize;
    std::uint32_t bytes = kDialUpEntryNameSize;
    std::uint32_t count = 99;
    EXPECT_EQ(store.EnumDialUpEntries(&entry, bytes, count), kRasSuccess);
    EXPECT_EQ(count, 0u);
    entry.size = 0;
    EXPECT_EQ(store.EnumDialUpEntries(&entry, bytes, count), kRasInvalidSize);
}

TEST_F(InternetOptionsStoreTest, SetWritesTheSystemLayoutAndKeepsTheOtherSettings) {
    // A LAN configured with a bypass list, a configuration script and detection data of its own.
    Bytes before;
    Put(before, 0x46u);
    Put(before, 5u);
    Put(before, kProxyTypeDirect | kProxyTypeAutoProxyUrl);
    Put(before, std::string("http=old:80"));
    Put(before, std::string("<local>"));
    Put(before, std::string("http://wpad/proxy.pac"));
    before.insert(before.end(), {1, 2, 3, 4});
    ASSERT_TRUE(w.registry.CreateKey(RegistryHive::CurrentUser, InternetOptionsStore::kConnectionsKey));
    ASSERT_TRUE(w.registry.SetValue(RegistryHive::CurrentUser, InternetOptionsStore::kConnectionsKey,
                                    InternetOptionsStore::kLanValueName, RegistryValue::Binary(before)));

    ASSERT_TRUE(store.SetConnectionProxy(std::nullopt, {3, "socks=127.0.0.1:9050"}));
    Bytes after;
    Put(after, 0x46u);
    Put(after, 6u);
    Put(after, 3u);
    Put(after, std::string("socks=127.0.0.1:9050"));
    Put(after, std::string("<local>"));
    Put(after, std::string("http://wpad/proxy.pac"));
    after.insert(after.end(), {1, 2, 3, 4});
    EXPECT_EQ(Lan(), RegistryValue::Binary(after));
    EXPECT_EQ(Stored(InternetOptionsStore::kInternetSettingsKey, "ProxyEnable"), RegistryValue::Dword(1));
    EXPECT_EQ(Stored(InternetOptionsStore::kInternetSettingsKey, "ProxyServer"),
              RegistryValue::String("socks=127.0.0.1:9050"));

    ASSERT_TRUE(store.SetConnectionProxy(std::nullopt, {kProxyTypeDirect, std::nullopt}));
    ConnectionProxy proxy;
    ASSERT_TRUE(store.QueryConnectionProxy(std::nullopt, proxy));
    EXPECT_EQ(proxy, (ConnectionProxy{kProxyTypeDirect, std::nullopt}));
    EXPECT_EQ(Stored(InternetOptionsStore::kInternetSettingsKey, "ProxyEnable"), RegistryValue::Dword(0));
    EXPECT_FALSE(Stored(InternetOptionsStore::kInternetSettingsKey, "ProxyServer"));

    // A named connection is its own value; the LAN's legacy values are not touched by it.
    ASSERT_TRUE(store.SetConnectionProxy(std::string("Office"), {3, "office:1"}));
    ASSERT_TRUE(store.QueryConnectionProxy(std::string("Office"), proxy));
    EXPECT_EQ(proxy, (ConnectionProxy{3, "office:1"}));
    EXPECT_EQ(Stored(InternetOptionsStore::kInternetSettingsKey, "ProxyEnable"), RegistryValue::Dword(0));
}

TEST_F(InternetOptionsStoreTest, DamagedValueCannotBeReadButIsReplacedBySet) {
    ASSERT_TRUE(w.registry.CreateKey(RegistryHive::CurrentUser, InternetOptionsStore::kConnectionsKey));
    Bytes damaged;
    Put(damaged, 0x46u);
    Put(damaged, 1u);
    Put(damaged, 3u);
    Put(damaged, 500u); // a proxy text longer than the value
    ASSERT_TRUE(w.registry.SetValue(RegistryHive::CurrentUser, InternetOptionsStore::kConnectionsKey,
                                    InternetOptionsStore::kLanValueName, RegistryValue::Binary(damaged)));
    ConnectionProxy proxy;
    EXPECT_FALSE(store.QueryConnectionProxy(std::nullopt, proxy));
    ASSERT_TRUE(store.SetConnectionProxy(std::nullopt, {3, "socks=127.0.0.1:9050"}));
    ASSERT_TRUE(store.QueryConnectionProxy(std::nullopt, proxy));
    EXPECT_EQ(proxy, (ConnectionProxy{3, "socks=127.0.0.1:9050"}));
}

TEST_F(InternetOptionsStoreTest, InternetExplorerRoundTripOnTheStore) {
    ASSERT_TRUE(store.SetConnectionProxy(std::nullopt, {kProxyTypeDirect | kProxyTypeProxy, "http=corp:3128"}));
    IeProxy ie(store, w.settings, w.state);
    ASSERT_TRUE(ie.BackupIeProxy());
    ie.ApplyIeProxy(9050);
    ConnectionProxy during;
    ASSERT_TRUE(store.QueryConnectionProxy(std::nullopt, during));
    EXPECT_EQ(during, (ConnectionProxy{3, "socks=127.0.0.1:9050"}));
    ASSERT_TRUE(ie.RestoreIeProxy());
    ConnectionProxy after;
    ASSERT_TRUE(store.QueryConnectionProxy(std::nullopt, after));
    EXPECT_EQ(after, (ConnectionProxy{3, "http=corp:3128"}));
    EXPECT_EQ(w.Setting(settings::kIeProxyBackup, "LAN"), "http=corp:3128");
}

} // namespace
} // namespace quorvel::test

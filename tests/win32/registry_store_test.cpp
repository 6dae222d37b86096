#include "platform/registry_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

constexpr auto HKCU = RegistryHive::CurrentUser;
constexpr auto HKLM = RegistryHive::LocalMachine;

// A key of this test process only, removed afterwards.
class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStore registry{""};
    const std::string key = "Software\\QuorvelTest\\" + std::to_string(GetCurrentProcessId());
    void TearDown() override {
        registry.DeleteTree(HKCU, key);
        registry.DeleteTree(HKLM, key);
    }
};

// The type the system itself stores, read past the store.
DWORD StoredType(HKEY root, const std::string& key, const wchar_t* name) {
    HKEY handle = nullptr;
    DWORD type = REG_NONE;
    const std::wstring wideKey(key.begin(), key.end());
    if (RegOpenKeyExW(root, wideKey.c_str(), 0, KEY_QUERY_VALUE, &handle) == ERROR_SUCCESS) {
        RegQueryValueExW(handle, name, nullptr, &type, nullptr, nullptr);
        RegCloseKey(handle);
    }
    return type;
}

TEST_F(RegistryStoreTest, EveryTypeRoundTripsInBothHivesAsTheSystemsOwnType) {
    // Larger than the first read buffer, so the read grows it on ERROR_MORE_DATA.
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::string text = "Ru \xD0\xA0\xD1\x83\xD1\x81 " + std::string(400, 'x');
    for (RegistryHive hive : {HKCU, HKLM}) {
        ASSERT_FALSE(registry.SetValue(hive, key + "\\Sub", "Count", RegistryValue::Dword(1))); // open, not create
        ASSERT_TRUE(registry.CreateKey(hive, key + "\\Sub"));
        ASSERT_TRUE(registry.SetValue(hive, key + "\\Sub", "Count", RegistryValue::Dword(0xDEADBEEF)));
        ASSERT_TRUE(registry.SetValue(hive, key + "\\Sub", "Text", RegistryValue::String(text)));
        ASSERT_TRUE(registry.SetValue(hive, key + "\\Sub", "Bytes", RegistryValue::Binary(bytes)));
        ASSERT_TRUE(registry.SetValue(hive, key + "\\Sub", "", RegistryValue::String("default")));

        EXPECT_EQ(registry.GetValue(hive, key + "\\sub", "COUNT"), RegistryValue::Dword(0xDEADBEEF));
        EXPECT_EQ(registry.GetValue(hive, key + "\\Sub", "Text"), RegistryValue::String(text));
        EXPECT_EQ(registry.GetValue(hive, key + "\\Sub", "Bytes"), RegistryValue::Binary(bytes));
        EXPECT_EQ(registry.GetValue(hive, key + "\\Sub", ""), RegistryValue::String("default"));
        EXPECT_EQ(registry.SubkeyNames(hive, key), std::vector<std::string>{"Sub"});
        EXPECT_EQ(registry.ValueNames(hive, key + "\\Sub").size(), 4u);
    }
    EXPECT_EQ(StoredType(HKEY_CURRENT_USER, key + "\\Sub", L"Count"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(StoredType(HKEY_CURRENT_USER, key + "\\Sub", L"Text"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredType(HKEY_LOCAL_MACHINE, key + "\\Sub", L"Bytes"), static_cast<DWORD>(REG_BINARY));
}

TEST_F(RegistryStoreTest, DeleteValueDeleteTreeAndCopyTree) {
    ASSERT_TRUE(registry.CreateKey(HKCU, key + "\\From\\Deep"));
    ASSERT_TRUE(registry.SetValue(HKCU, key + "\\From\\Deep", "A", RegistryValue::Dword(1)));
    ASSERT_TRUE(registry.SetValue(HKCU, key + "\\From", "B", RegistryValue::String("b")));

    ASSERT_TRUE(registry.CopyTree(HKCU, key + "\\From", HKCU, key + "\\To"));
    EXPECT_EQ(registry.GetValue(HKCU, key + "\\To\\Deep", "A"), RegistryValue::Dword(1));
    EXPECT_EQ(registry.GetValue(HKCU, key + "\\To", "B"), RegistryValue::String("b"));
    EXPECT_FALSE(registry.CopyTree(HKCU, key + "\\Missing", HKCU, key + "\\To"));

    EXPECT_TRUE(registry.DeleteValue(HKCU, key + "\\To", "B"));
    EXPECT_FALSE(registry.DeleteValue(HKCU, key + "\\To", "B"));
    EXPECT_FALSE(registry.GetValue(HKCU, key + "\\To", "B"));

    EXPECT_TRUE(registry.DeleteTree(HKCU, key + "\\From"));
    EXPECT_FALSE(registry.KeyExists(HKCU, key + "\\From\\Deep"));
    EXPECT_FALSE(registry.DeleteTree(HKCU, key + "\\From"));
    EXPECT_FALSE(registry.DeleteTree(HKCU, "")); // never the hive itself
    EXPECT_TRUE(registry.KeyExists(HKCU, "Software"));
}

} // namespace
} // namespace quorvel

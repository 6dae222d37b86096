#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quorvel {

enum class RegistryHive { CurrentUser, LocalMachine };

enum class RegistryType { Dword, String, Binary };

// A registry value: a DWORD, a text (REG_SZ, kept as UTF-8) or raw bytes (REG_BINARY).
struct RegistryValue {
    std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>> data;

    static RegistryValue Dword(std::uint32_t v) { return {v}; }
    static RegistryValue String(std::string v) { return {std::move(v)}; }
    static RegistryValue Binary(std::vector<std::uint8_t> v) { return {std::move(v)}; }

    RegistryType Type() const { return static_cast<RegistryType>(data.index()); }
    bool operator==(const RegistryValue&) const = default;
};

// The Windows registry (HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE). On Linux it is kept as one readable text file
// per hive in a folder (the application-data folder + "/Quorvel/registry"), and every change rewrites the hive
// file atomically, a failed write leaving the old file and returning false. On Windows it is the registry itself
// and the folder is not used (HiveFile() names the root key). Key paths use '\' between parts and are matched
// without regard to case, as are value names. The empty value name is the key's default value.
class RegistryStore {
public:
    explicit RegistryStore(std::string folder);

    const std::string& Folder() const { return m_folder; }
    std::string HiveFile(RegistryHive hive) const;

    bool KeyExists(RegistryHive hive, const std::string& keyPath) const;
    // Creates the key and every missing parent. True when it exists afterwards.
    bool CreateKey(RegistryHive hive, const std::string& keyPath);

    // Nothing when the key or the value is missing (or the hive file cannot be read).
    std::optional<RegistryValue> GetValue(RegistryHive hive, const std::string& keyPath,
                                          const std::string& name) const;
    // Sets a value of an existing key; false when the key does not exist (open, not create) or on a failed write.
    bool SetValue(RegistryHive hive, const std::string& keyPath, const std::string& name, const RegistryValue& value);
    // False when the key or the value does not exist.
    bool DeleteValue(RegistryHive hive, const std::string& keyPath, const std::string& name);
    // Deletes the key with everything below it. False when the key does not exist.
    bool DeleteTree(RegistryHive hive, const std::string& keyPath);

    // Names in the order they were created; empty when the key is missing.
    std::vector<std::string> ValueNames(RegistryHive hive, const std::string& keyPath) const;
    // Names of the direct subkeys, in the order they were created.
    std::vector<std::string> SubkeyNames(RegistryHive hive, const std::string& keyPath) const;

    // Copies every value and subkey of the source key below the target key (created when missing), overwriting
    // values of the same name. False when the source does not exist.
    bool CopyTree(RegistryHive fromHive, const std::string& fromPath, RegistryHive toHive, const std::string& toPath);

private:
    std::string m_folder;
};

} // namespace quorvel

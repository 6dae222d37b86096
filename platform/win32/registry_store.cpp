#include "platform/registry_store.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <shlwapi.h>

namespace quorvel {

namespace {

HKEY Root(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// An open key, closed when it goes.
class Key {
public:
    Key() = default;
    ~Key() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(HKEY parent, const std::wstring& path, REGSAM access) {
        return RegOpenKeyExW(parent, path.c_str(), 0, access, &m_key) == ERROR_SUCCESS;
    }
    bool Create(HKEY parent, const std::wstring& path, REGSAM access) {
        return RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &m_key,
                               nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// Reads one value into a buffer that grows to the size the system names, since a value can change between the
// size query and the read.
std::optional<RegistryValue> ReadValue(HKEY key, const std::wstring& name) {
    std::vector<BYTE> buffer(256);
    DWORD type = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &type, buffer.data(), &size);
        if (result == ERROR_MORE_DATA) {
            buffer.resize(std::max<std::size_t>(size, buffer.size() * 2));
            continue;
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        buffer.resize(size);
        break;
    }
    switch (type) {
    case REG_DWORD: {
        if (buffer.size() < sizeof(DWORD)) {
            return std::nullopt;
        }
        DWORD number = 0;
        std::memcpy(&number, buffer.data(), sizeof number);
        return RegistryValue::Dword(number);
    }
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text(buffer.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
        // The stored terminator (or several) is not part of the text.
        while (!text.empty() && text.back() == L'\0') {
            text.pop_back();
        }
        return RegistryValue::String(win32::Narrow(text));
    }
    case REG_BINARY:
        return RegistryValue::Binary(std::vector<std::uint8_t>(buffer.begin(), buffer.end()));
    default:
        return std::nullopt;
    }
}

bool WriteValue(HKEY key, const std::wstring& name, const RegistryValue& value) {
    LONG result = ERROR_INVALID_DATA;
    switch (value.Type()) {
    case RegistryType::Dword: {
        const DWORD number = std::get<std::uint32_t>(value.data);
        result = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        break;
    }
    case RegistryType::String: {
        const std::wstring text = win32::Widen(std::get<std::string>(value.data));
        result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        break;
    }
    case RegistryType::Binary: {
        const auto& bytes = std::get<std::vector<std::uint8_t>>(value.data);
        result = RegSetValueExW(key, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
        break;
    }
    }
    return result == ERROR_SUCCESS;
}

std::vector<std::wstring> ValueNamesOf(HKEY key) {
    std::vector<std::wstring> names;
    // 16383 characters is the longest value name the registry allows.
    std::vector<wchar_t> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::vector<std::wstring> SubkeyNamesOf(HKEY key) {
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(256);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), length);
    }
    return names;
}

bool CopyKey(HKEY from, HKEY to) {
    bool ok = true;
    for (const std::wstring& name : ValueNamesOf(from)) {
        auto value = ReadValue(from, name);
        ok = value && WriteValue(to, name, *value) && ok;
    }
    for (const std::wstring& name : SubkeyNamesOf(from)) {
        Key source;
        Key target;
        ok = source.Open(from, name, KEY_READ) && target.Create(to, name, KEY_READ | KEY_WRITE) &&
             CopyKey(source.Get(), target.Get()) && ok;
    }
    return ok;
}

std::vector<std::string> Narrowed(const std::vector<std::wstring>& names) {
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const auto& name : names) {
        out.push_back(win32::Narrow(name));
    }
    return out;
}

} // namespace

RegistryStore::RegistryStore(std::string folder) : m_folder(std::move(folder)) {}

std::string RegistryStore::HiveFile(RegistryHive hive) const {
    return hive == RegistryHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool RegistryStore::KeyExists(RegistryHive hive, const std::string& keyPath) const {
    Key key;
    return key.Open(Root(hive), win32::Widen(keyPath), KEY_READ);
}

bool RegistryStore::CreateKey(RegistryHive hive, const std::string& keyPath) {
    Key key;
    return key.Create(Root(hive), win32::Widen(keyPath), KEY_READ | KEY_WRITE);
}

std::optional<RegistryValue> RegistryStore::GetValue(RegistryHive hive, const std::string& keyPath,
                                                     const std::string& name) const {
    Key key;
    if (!key.Open(Root(hive), win32::Widen(keyPath), KEY_QUERY_VALUE)) {
        return std::nullopt;
    }
    return ReadValue(key.Get(), win32::Widen(name));
}

bool RegistryStore::SetValue(RegistryHive hive, const std::string& keyPath, const std::string& name,
                             const RegistryValue& value) {
    Key key;
    return key.Open(Root(hive), win32::Widen(keyPath), KEY_SET_VALUE) &&
           WriteValue(key.Get(), win32::Widen(name), value);
}

bool RegistryStore::DeleteValue(RegistryHive hive, const std::string& keyPath, const std::string& name) {
    Key key;
    return key.Open(Root(hive), win32::Widen(keyPath), KEY_SET_VALUE) &&
           RegDeleteValueW(key.Get(), win32::Widen(name).c_str()) == ERROR_SUCCESS;
}

bool RegistryStore::DeleteTree(RegistryHive hive, const std::string& keyPath) {
    const std::wstring path = win32::Widen(keyPath);
    // An empty path would name the hive itself.
    if (path.find_first_not_of(L'\\') == std::wstring::npos) {
        return false;
    }
    return SHDeleteKeyW(Root(hive), path.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> RegistryStore::ValueNames(RegistryHive hive, const std::string& keyPath) const {
    Key key;
    if (!key.Open(Root(hive), win32::Widen(keyPath), KEY_QUERY_VALUE)) {
        return {};
    }
    return Narrowed(ValueNamesOf(key.Get()));
}

std::vector<std::string> RegistryStore::SubkeyNames(RegistryHive hive, const std::string& keyPath) const {
    Key key;
    if (!key.Open(Root(hive), win32::Widen(keyPath), KEY_ENUMERATE_SUB_KEYS)) {
        return {};
    }
    return Narrowed(SubkeyNamesOf(key.Get()));
}

bool RegistryStore::CopyTree(RegistryHive fromHive, const std::string& fromPath, RegistryHive toHive,
                             const std::string& toPath) {
    Key source;
    if (!source.Open(Root(fromHive), win32::Widen(fromPath), KEY_READ)) {
        return false;
    }
    Key target;
    return target.Create(Root(toHive), win32::Widen(toPath), KEY_READ | KEY_WRITE) &&
           CopyKey(source.Get(), target.Get());
}

} // namespace quorvel

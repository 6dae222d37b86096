#include "app/settings_store.h"

#include "app/locations.h"
#include "platform/private_profile.h"

#include <climits>
#include <limits>

namespace quorvel {

namespace {

// Texts come back whole: a backup cut short (a long proxy exception list) would be restored broken.
constexpr std::size_t kStringBuffer = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kNumberBuffer = 10240;
// The integer read's own default: a stored "fail" therefore counts as missing too.
constexpr const char* kMissing = "fail";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading blanks, an optional sign, then digits up to the first other character; no digits gives 0. Values
// beyond the range of int stop at its limits.
int ToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

} // namespace

std::string SettingsStore::SettingsPath() const {
    return SettingsFilePath(m_paths);
}

std::string SettingsStore::ReadString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) const {
    return private_profile::GetString(SettingsPath(), section, key, defaultValue, kStringBuffer);
}

int SettingsStore::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    const std::string text = private_profile::GetString(SettingsPath(), section, key, kMissing, kNumberBuffer);
    return text == kMissing ? defaultValue : ToInt(text);
}

bool SettingsStore::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return private_profile::GetString(SettingsPath(), section, key, defaultValue ? "1" : "0", kNumberBuffer) == "1";
}

bool SettingsStore::WriteString(const std::string& section, const std::string& key, const std::string& value) const {
    return private_profile::WriteString(SettingsPath(), section, key, value);
}

bool SettingsStore::WriteBlank(const std::string& section, const std::string& key) const {
    return WriteString(section, key, " ");
}

bool SettingsStore::WriteInt(const std::string& section, const std::string& key, int value) const {
    return WriteString(section, key, std::to_string(value));
}

bool SettingsStore::WriteBool(const std::string& section, const std::string& key, bool value) const {
    return WriteString(section, key, value ? "1" : "0");
}

} // namespace quorvel

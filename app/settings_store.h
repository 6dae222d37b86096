#pragma once

#include <string>

namespace quorvel {

class Paths;

// settings.ini in the application-data folder + "/Quorvel". Keeps nothing in memory: every call forms the path
// anew and reads or writes the file, so a change is visible to the next read at once, on any thread.
class SettingsStore {
public:
    explicit SettingsStore(const Paths& paths) : m_paths(paths) {}

    std::string SettingsPath() const;

    // The stored text as the INI rules read it (whole, however long, trimmed, one pair of quotes removed, so a
    // blank written by WriteBlank reads back empty); the default, unchanged, when the key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // "fail" counts as missing; otherwise leading blanks, a sign and digits up to the first other character
    // ("12abc" gives 12, "abc" gives 0).
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const;
    // True exactly when the stored text is "1".
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    bool WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    bool WriteBlank(const std::string& section, const std::string& key) const;
    bool WriteInt(const std::string& section, const std::string& key, int value) const;
    bool WriteBool(const std::string& section, const std::string& key, bool value) const;

private:
    const Paths& m_paths;
};

} // namespace quorvel

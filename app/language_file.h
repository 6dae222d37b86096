#pragma once

#include <string>

namespace quorvel {

class Paths;
class SettingsStore;

// The text to show for every user-visible string: English is built in (the caller's text); other languages
// come from lang/<language>.ini in the program folder. The language is read from the settings on every call.
class LanguageFile {
public:
    LanguageFile(const Paths& paths, const SettingsStore& settings) : m_paths(paths), m_settings(settings) {}

    std::string GetText(const std::string& english, const std::string& section, const std::string& key) const;

private:
    const Paths& m_paths;
    const SettingsStore& m_settings;
};

} // namespace quorvel

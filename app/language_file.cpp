#include "app/language_file.h"

#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/file_path.h"
#include "platform/paths.h"
#include "platform/private_profile.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace quorvel {

namespace {

constexpr std::size_t kTextBuffer = 10240;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

// The language file, looked for first by its exact name and then, as file names on Windows are found, without
// regard to case (a hand-edited "english" finds English.ini). Empty when there is none.
std::string FindLanguageFile(const std::string& folder, const std::string& fileName) {
    namespace fs = std::filesystem;
    std::string exact = JoinPath(folder, fileName);
    std::error_code error;
    if (fs::is_regular_file(FilePath(exact), error)) {
        return exact;
    }
    std::vector<std::string> matches;
    const std::string wanted = Lower(fileName);
    for (fs::directory_iterator it(FilePath(folder), error), end; !error && it != end; it.increment(error)) {
        if (Lower(PathText(it->path().filename())) == wanted && it->is_regular_file(error)) {
            matches.push_back(PathText(it->path()));
        }
    }
    // Several spellings of one name: the same one every time.
    return matches.empty() ? std::string() : *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string LanguageFile::GetText(const std::string& english, const std::string& section,
                                  const std::string& key) const {
    std::string language = m_settings.ReadString(settings::kOptionsDialog, settings::kLanguage, "English");
    if (const auto parenthesis = language.find('('); parenthesis != std::string::npos) {
        language.erase(parenthesis);
    }
    if (language == "English") {
        return english;
    }
    // A hand-edited name must not reach outside the lang folder, through either separator.
    if (language.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
        return english;
    }
    const std::string file = FindLanguageFile(LanguageFolder(m_paths), language + ".ini");
    if (file.empty()) {
        return english;
    }
    return private_profile::GetString(file, section, key, english, kTextBuffer);
}

} // namespace quorvel

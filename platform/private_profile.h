#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel {

// INI files with the rules of the Windows private-profile functions: sections and keys are matched without
// regard to case; a value is trimmed and one pair of surrounding double quotes is removed on reading; a UTF-8
// byte-order mark is skipped; writing keeps the order of sections and keys and every other line untouched,
// creates the file on the first write and replaces it atomically (temporary file, then rename).
namespace private_profile {

// Reads one value. Missing file, section or key gives `defaultValue`. At most `bufferChars` - 1 characters
// (counted as UTF-16 units, as the caller's buffer would hold them) are returned, cut on a character boundary.
std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& defaultValue, std::size_t bufferChars);

// Writes one value, adding the section and the key when they are missing. False when the file could not be
// written (missing or read-only folder); the old file is then unchanged.
bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);

// Removes one key. True when the key is gone afterwards (also when it never existed and the file is intact).
bool DeleteKey(const std::string& file, const std::string& section, const std::string& key);

// The names of every section, in file order, as written in the file.
std::vector<std::string> SectionNames(const std::string& file);

} // namespace private_profile
} // namespace quorvel

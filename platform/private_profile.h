#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel {

// INI files with the rules of the Windows private-profile functions: sections and keys are matched without
// regard to case; a value is trimmed and one pair of surrounding double quotes is removed on reading; a UTF-8
// byte-order mark is skipped (UTF-16 files with a mark are read too); CR LF, LF and a lone CR all end a line.
// When a section or a key appears twice, the first one counts, for reading and for writing. Writing keeps the
// order of sections and keys and every other line (comments, blank lines, anything unparsable) byte for byte,
// creates the file on the first write and replaces it atomically (temporary file, then rename).
namespace private_profile {

// Reads one value. Missing file, section or key gives `defaultValue`. At most `bufferChars` - 1 characters
// (counted as UTF-16 units, as the caller's buffer would hold them) are returned, cut on a character boundary.
std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& defaultValue, std::size_t bufferChars);

// Writes one value, adding the section and the key when they are missing. False when the file could not be
// written (missing or read-only folder, read-only or unreadable file) and when the value holds a line break or
// a name could not be read back as written (an empty name, ']' in a section, '=' in a key); the old file is
// then unchanged.
bool WriteString(const std::string& file, const std::string& section, const std::string& key, const std::string& value);

// Removes one key. True when the key is gone afterwards (also when it never existed and the file is intact).
bool DeleteKey(const std::string& file, const std::string& section, const std::string& key);

// The names of every section, in file order, as written in the file.
std::vector<std::string> SectionNames(const std::string& file);

} // namespace private_profile
} // namespace quorvel

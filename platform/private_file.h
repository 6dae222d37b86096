#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quorvel {

// The bytes of a regular file that belongs to this account and that no other account may read or change:
// a secret that only this account and the programs it runs can know. Nothing when the file is missing, is
// anything else, or holds more than `maxSize` bytes.
std::optional<std::string> ReadPrivateFile(const std::string& path, std::size_t maxSize);

} // namespace quorvel

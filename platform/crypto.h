// platform/crypto.h
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvel::crypto {

// HMAC-SHA256 of `message` under `key`; nothing when the system's crypto library fails.
std::optional<std::array<unsigned char, 32>> HmacSha256(std::string_view key, std::string_view message);

// Fills `out` with `count` bytes from the system's secure random source; false when it fails.
bool RandomBytes(unsigned char* out, std::size_t count);

} // namespace quorvel::crypto

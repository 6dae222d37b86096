#include "platform/crypto.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <climits>

namespace quorvel::crypto {

std::optional<std::array<unsigned char, 32>> HmacSha256(std::string_view key, std::string_view message) {
    if (key.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    // An empty view may carry no pointer; the library wants one all the same.
    static const unsigned char kNothing = 0;
    const void* keyBytes = key.empty() ? &kNothing : static_cast<const void*>(key.data());
    const auto* messageBytes = message.empty() ? &kNothing : reinterpret_cast<const unsigned char*>(message.data());
    std::array<unsigned char, 32> digest{};
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), keyBytes, static_cast<int>(key.size()), messageBytes, message.size(), digest.data(),
             &length) == nullptr ||
        length != digest.size()) {
        return std::nullopt;
    }
    return digest;
}

bool RandomBytes(unsigned char* out, std::size_t count) {
    // RAND_bytes takes an int count: larger requests go in pieces.
    while (count > 0) {
        const int piece = count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
        if (RAND_bytes(out, piece) != 1) {
            return false;
        }
        out += piece;
        count -= static_cast<std::size_t>(piece);
    }
    return true;
}

} // namespace quorvel::crypto

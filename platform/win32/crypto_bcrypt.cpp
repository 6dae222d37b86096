#include "platform/crypto.h"

#include <windows.h>

#include <algorithm>
#include <bcrypt.h>

namespace quorvel::crypto {

namespace {

// Status codes are NTSTATUS values; everything at or above 0 is success.
bool Ok(NTSTATUS status) {
    return status >= 0;
}

class Algorithm {
public:
    Algorithm() {
        m_ok =
            Ok(BCryptOpenAlgorithmProvider(&m_handle, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG));
    }
    ~Algorithm() {
        if (m_ok) {
            BCryptCloseAlgorithmProvider(m_handle, 0);
        }
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    bool Valid() const { return m_ok; }
    BCRYPT_ALG_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
    bool m_ok = false;
};

PUCHAR Bytes(std::string_view text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

} // namespace

std::optional<std::array<unsigned char, 32>> HmacSha256(std::string_view key, std::string_view message) {
    Algorithm algorithm;
    if (!algorithm.Valid()) {
        return std::nullopt;
    }
    // The hash object's memory is the provider's own when none is given (Windows 7 and later).
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!Ok(BCryptCreateHash(algorithm.Get(), &hash, nullptr, 0, Bytes(key), static_cast<ULONG>(key.size()), 0))) {
        return std::nullopt;
    }
    std::array<unsigned char, 32> digest{};
    const bool ok = Ok(BCryptHashData(hash, Bytes(message), static_cast<ULONG>(message.size()), 0)) &&
                    Ok(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    BCryptDestroyHash(hash);
    if (!ok) {
        return std::nullopt;
    }
    return digest;
}

bool RandomBytes(unsigned char* out, std::size_t count) {
    while (count > 0) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(count, 1u << 30));
        if (!Ok(BCryptGenRandom(nullptr, out, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return false;
        }
        out += chunk;
        count -= chunk;
    }
    return true;
}

} // namespace quorvel::crypto

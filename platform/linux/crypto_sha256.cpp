// SHA-256 (FIPS 180-4) and HMAC (RFC 2104) here rather than from a crypto library: the safe-cookie handshake is
// the only use, and a library mapped for it stays resident in an idle tray program for its whole life.
#include "platform/crypto.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quorvel::crypto {

namespace {

constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::size_t kBlock = 64;

std::uint32_t RotateRight(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

class Sha256 {
public:
    void Add(std::string_view bytes) {
        m_length += bytes.size();
        for (char c : bytes) {
            m_block[m_used++] = static_cast<unsigned char>(c);
            if (m_used == kBlock) {
                Compress();
                m_used = 0;
            }
        }
    }

    std::array<unsigned char, 32> Finish() {
        const std::uint64_t bits = m_length * 8;
        m_block[m_used++] = 0x80;
        if (m_used > kBlock - 8) {
            std::memset(m_block + m_used, 0, kBlock - m_used);
            Compress();
            m_used = 0;
        }
        std::memset(m_block + m_used, 0, kBlock - 8 - m_used);
        for (int i = 0; i < 8; ++i) {
            m_block[kBlock - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
        }
        Compress();
        std::array<unsigned char, 32> digest{};
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < 4; ++j) {
                digest[4 * i + j] = static_cast<unsigned char>(m_state[i] >> (24 - 8 * j));
            }
        }
        return digest;
    }

private:
    void Compress() {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            w[i] = std::uint32_t{m_block[4 * i]} << 24 | std::uint32_t{m_block[4 * i + 1]} << 16 |
                   std::uint32_t{m_block[4 * i + 2]} << 8 | std::uint32_t{m_block[4 * i + 3]};
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
        std::uint32_t e = m_state[4], f = m_state[5], g = m_state[6], h = m_state[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
            const std::uint32_t choice = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
            const std::uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            const std::uint32_t t2 = s0 + majority;
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        m_state[0] += a;
        m_state[1] += b;
        m_state[2] += c;
        m_state[3] += d;
        m_state[4] += e;
        m_state[5] += f;
        m_state[6] += g;
        m_state[7] += h;
    }

    std::uint32_t m_state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned char m_block[kBlock] = {};
    std::size_t m_used = 0;
    std::uint64_t m_length = 0;
};

std::string_view View(const unsigned char* bytes, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

} // namespace

std::optional<std::array<unsigned char, 32>> HmacSha256(std::string_view key, std::string_view message) {
    unsigned char paddedKey[kBlock] = {};
    if (key.size() > kBlock) {
        Sha256 keyHash;
        keyHash.Add(key);
        const auto digest = keyHash.Finish();
        std::memcpy(paddedKey, digest.data(), digest.size());
    } else if (!key.empty()) {
        std::memcpy(paddedKey, key.data(), key.size());
    }
    unsigned char inner[kBlock];
    unsigned char outer[kBlock];
    for (std::size_t i = 0; i < kBlock; ++i) {
        inner[i] = paddedKey[i] ^ 0x36;
        outer[i] = paddedKey[i] ^ 0x5c;
    }
    Sha256 innerHash;
    innerHash.Add(View(inner, kBlock));
    innerHash.Add(message);
    const auto innerDigest = innerHash.Finish();
    Sha256 outerHash;
    outerHash.Add(View(outer, kBlock));
    outerHash.Add(View(innerDigest.data(), innerDigest.size()));
    return outerHash.Finish();
}

bool RandomBytes(unsigned char* out, std::size_t count) {
    while (count > 0) {
        const ssize_t got = ::getrandom(out, count, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        out += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace quorvel::crypto

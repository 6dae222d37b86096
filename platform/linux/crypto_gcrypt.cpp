// HMAC from libgcrypt: the desktop's Qt already maps it (through libsystemd), so the handshake costs the idle tray
// program no library of its own. Randomness comes from the kernel.
#include "platform/crypto.h"

#include <gcrypt.h>
#include <sys/random.h>

#include <cerrno>

namespace quorvel::crypto {

namespace {

// Another user of the library in the process may have set it up already; it is set up once, the way it asks.
bool LibraryReady() {
    static const bool ready = [] {
        if (gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P) != 0) {
            return true;
        }
        if (gcry_check_version(GCRYPT_VERSION) == nullptr) {
            return false;
        }
        // Nothing here needs locked-away memory: the key is Tor's cookie, already in a file.
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    return ready;
}

} // namespace

std::optional<std::array<unsigned char, 32>> HmacSha256(std::string_view key, std::string_view message) {
    if (!LibraryReady()) {
        return std::nullopt;
    }
    gcry_mac_hd_t mac = nullptr;
    if (gcry_mac_open(&mac, GCRY_MAC_HMAC_SHA256, 0, nullptr) != 0) {
        return std::nullopt;
    }
    // An empty view may carry no pointer, and the library refuses an empty key. HMAC pads its key with zero bytes,
    // so one zero byte is the same key as none.
    static const char kNothing = 0;
    std::array<unsigned char, 32> digest{};
    std::size_t length = digest.size();
    const bool ok = gcry_mac_setkey(mac, key.empty() ? &kNothing : key.data(), key.empty() ? 1 : key.size()) == 0 &&
                    gcry_mac_write(mac, message.empty() ? &kNothing : message.data(), message.size()) == 0 &&
                    gcry_mac_read(mac, digest.data(), &length) == 0 && length == digest.size();
    gcry_mac_close(mac);
    if (!ok) {
        return std::nullopt;
    }
    return digest;
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

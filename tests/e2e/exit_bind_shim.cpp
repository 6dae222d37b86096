// Preloaded into an exit relay of the private test network. Tor binds an exit's connections towards loopback to
// 127.0.0.1 whatever OutboundBindAddress says, so every exit would look the same to the web server. This shim gives
// each exit its own source address (QUORVEL_EXIT_ADDRESS) and refuses every destination outside 127.0.0.0/8, so
// that nothing an exit is asked to reach can leave the machine.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

using BindFunction = int (*)(int, const sockaddr*, socklen_t);
using ConnectFunction = int (*)(int, const sockaddr*, socklen_t);
using SendtoFunction = ssize_t (*)(int, const void*, size_t, int, const sockaddr*, socklen_t);

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool IsLoopback(in_addr address) {
    return (ntohl(address.s_addr) >> 24) == 127;
}

// The exit's own address, or nothing when the variable is missing or unreadable (then only the refusal applies).
bool ExitAddress(in_addr& out) {
    const char* text = std::getenv("QUORVEL_EXIT_ADDRESS");
    return text != nullptr && inet_pton(AF_INET, text, &out) == 1 && IsLoopback(out);
}

// A destination is allowed only on IPv4 loopback; other families that carry addresses are refused.
bool Refused(const sockaddr* address, socklen_t length) {
    if (address == nullptr) {
        return false;
    }
    if (address->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
        return !IsLoopback(reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
    }
    return address->sa_family == AF_INET6;
}

bool IsUnboundInet(int fd) {
    sockaddr_in local{};
    socklen_t length = sizeof(local);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 || local.sin_family != AF_INET) {
        return false;
    }
    return local.sin_addr.s_addr == htonl(INADDR_ANY) && local.sin_port == 0;
}

} // namespace

extern "C" int bind(int fd, const sockaddr* address, socklen_t length) {
    static const auto real = Next<BindFunction>("bind");
    in_addr own{};
    // An outbound bind (port 0) to loopback becomes a bind to the exit's own address; listeners keep theirs.
    if (address != nullptr && address->sa_family == AF_INET && length >= sizeof(sockaddr_in) && ExitAddress(own)) {
        sockaddr_in changed = *reinterpret_cast<const sockaddr_in*>(address);
        if (changed.sin_port == 0 && IsLoopback(changed.sin_addr)) {
            changed.sin_addr = own;
            return real(fd, reinterpret_cast<const sockaddr*>(&changed), sizeof(changed));
        }
    }
    return real(fd, address, length);
}

extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
    static const auto real = Next<ConnectFunction>("connect");
    if (Refused(address, length)) {
        errno = ECONNREFUSED;
        return -1;
    }
    in_addr own{};
    if (address != nullptr && address->sa_family == AF_INET && ExitAddress(own) && IsUnboundInet(fd)) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr = own;
        static const auto realBind = Next<BindFunction>("bind");
        realBind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local));
    }
    return real(fd, address, length);
}

extern "C" ssize_t sendto(int fd, const void* data, size_t size, int flags, const sockaddr* address, socklen_t length) {
    static const auto real = Next<SendtoFunction>("sendto");
    if (Refused(address, length)) {
        errno = ECONNREFUSED;
        return -1;
    }
    return real(fd, data, size, flags, address, length);
}

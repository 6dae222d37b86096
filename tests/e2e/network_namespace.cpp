#include "e2e/network_namespace.h"

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel::e2e {

bool EnterPrivateNetwork(std::string& why) {
    if (::geteuid() != 0) {
        why = "it needs root to make a network namespace of its own (unshare -n)";
        return false;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        why = std::string("this machine does not allow a network namespace of its own (unshare -n): ") +
              std::strerror(errno);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        why = std::string("no socket in the new network namespace: ") + std::strerror(errno);
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (up) {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP | IFF_RUNNING);
        up = ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    const int error = errno;
    ::close(fd);
    if (!up) {
        why = std::string("the loopback interface of the new network namespace cannot be brought up: ") +
              std::strerror(error);
        return false;
    }
    return true;
}

} // namespace quorvel::e2e

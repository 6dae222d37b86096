#include "e2e/shim_probe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel::e2e {

int RunShimProbe(int argc, char** argv) {
    if (argc < 4 || std::string(argv[1]) != "--shim-probe") {
        return -1;
    }
    const bool bound = argc > 4 && std::string(argv[4]) == "bound";
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[3])));
    if (inet_pton(AF_INET, argv[2], &target.sin_addr) != 1) {
        std::printf("bad address %s\n", argv[2]);
        return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (bound) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
            std::printf("bind failed %s\n", std::strerror(errno));
            return 2;
        }
    }
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof(target)) != 0) {
        std::printf("refused %s\n", std::strerror(errno));
        return 0;
    }
    sockaddr_in local{};
    socklen_t length = sizeof(local);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &local.sin_addr, text, sizeof(text));
    std::printf("local %s\n", text);
    const char request[] = "GET /shim-probe HTTP/1.0\r\n\r\n";
    ::send(fd, request, sizeof(request) - 1, MSG_NOSIGNAL);
    char buffer[512];
    while (::recv(fd, buffer, sizeof(buffer), 0) > 0) {
    }
    ::close(fd);
    return 0;
}

} // namespace quorvel::e2e

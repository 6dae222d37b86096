#pragma once

// A fast stand-in for Tor's control port for the benchmarks: it authenticates anybody, reports the first circuit as
// soon as events are asked for, serves one fixed router-status reply and answers every ip-to-country query from
// CountryCodeFor. One thread per connection; it runs until the process ends or, when a halt handler is set, until
// a "SIGNAL HALT" has been answered.

#include "ns_all_generator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace quorvel::bench {

class ScriptedPeer {
public:
    // Listens on 127.0.0.1:port (0: a port the system picks). Port() is 0 when that failed.
    ScriptedPeer(std::string statusReply, std::uint16_t port) : m_status(std::move(statusReply)) {
        m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        socklen_t length = sizeof address;
        if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(m_listenFd, 16) == 0 &&
            ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            m_port = ntohs(address.sin_port);
        }
    }

    std::uint16_t Port() const { return m_port; }

    // Called once the reply to "SIGNAL HALT" has been sent, as a halted Tor ends.
    void SetHaltHandler(std::function<void()> halted) { m_halted = std::move(halted); }

    // Serves connections until the process ends.
    [[noreturn]] void ServeForever() {
        for (;;) {
            int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                std::thread(&ScriptedPeer::Serve, this, fd).detach();
            }
        }
    }

    std::string Answer(std::string_view line) const {
        constexpr std::string_view kCountryQuery = "getinfo ip-to-country/";
        if (line.starts_with(kCountryQuery)) {
            std::string_view address = line.substr(kCountryQuery.size());
            std::string answer = "250-ip-to-country/";
            answer.append(address);
            answer += "=" + CountryCodeFor(address) + "\r\n250 OK\r\n";
            return answer;
        }
        if (line.starts_with("PROTOCOLINFO")) {
            return "250-PROTOCOLINFO 1\r\n250-AUTH METHODS=HASHEDPASSWORD\r\n250-VERSION Tor=\"0.4.9.11\"\r\n250 "
                   "OK\r\n";
        }
        if (line.starts_with("AUTHENTICATE") || line.starts_with("SIGNAL")) {
            return "250 OK\r\n";
        }
        if (line.starts_with("SETEVENTS")) {
            return "250 OK\r\n650 NOTICE Bootstrapped 100% (done): Done\r\n";
        }
        if (line == "GETINFO status/circuit-established") {
            return "250-status/circuit-established=1\r\n250 OK\r\n";
        }
        if (line == "GETINFO ns/all") {
            return m_status;
        }
        return "510 Unrecognized command \"" + std::string(line) + "\"\r\n";
    }

private:
    void Serve(int fd) const {
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::string pending;
        std::string out;
        char buffer[4096];
        for (;;) {
            ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
            if (count <= 0) {
                break;
            }
            pending.append(buffer, static_cast<std::size_t>(count));
            std::size_t start = 0;
            bool halt = false;
            for (std::size_t end; (end = pending.find("\r\n", start)) != std::string::npos; start = end + 2) {
                const std::string_view line = std::string_view(pending).substr(start, end - start);
                halt = halt || line == "SIGNAL HALT";
                // The status goes out from where it lies: copying a megabyte for every request made the peer's
                // own page faults part of what both clients were timed on.
                if (line == "GETINFO ns/all") {
                    if (!SendAll(fd, out) || !SendAll(fd, m_status)) {
                        ::close(fd);
                        return;
                    }
                    out.clear();
                    continue;
                }
                out += Answer(line);
            }
            pending.erase(0, start);
            if (!SendAll(fd, out)) {
                ::close(fd);
                return;
            }
            out.clear();
            if (halt && m_halted) {
                m_halted();
            }
        }
        ::close(fd);
    }

    static bool SendAll(int fd, std::string_view bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    std::string m_status;
    std::function<void()> m_halted;
    int m_listenFd = -1;
    std::uint16_t m_port = 0;
};

} // namespace quorvel::bench

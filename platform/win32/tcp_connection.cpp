#include "platform/tcp_connection.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <mutex>

namespace quorvel {

namespace {

// Winsock is started once for the whole process and left running until it ends.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// Wine's shutdown() does not wake a receive or send blocked in another thread, and Windows does not promise it
// either; closing the socket would, but would free its number under that thread. So nothing ever blocks in the
// socket call itself: it is made only once the socket is ready, and the wait for that looks at the closed flag
// every slice.
constexpr int kSliceMs = 50;

// Waits until `events` are ready, the time is up (nothing when `limitMs` is negative: no limit) or the connection
// was closed. The poll's result: positive when ready, 0 when the time is up or closed, negative on error.
int WaitFor(SOCKET s, SHORT events, long long limitMs, const std::atomic<bool>& closed, SHORT& revents) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(limitMs, 0LL));
    for (;;) {
        if (closed.load()) {
            return 0;
        }
        long long slice = kSliceMs;
        if (limitMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                    .count();
            slice = std::clamp<long long>(left, 0, kSliceMs);
        }
        WSAPOLLFD entry{};
        entry.fd = s;
        entry.events = events;
        const int ready = WSAPoll(&entry, 1, static_cast<INT>(slice));
        if (ready != 0) {
            revents = entry.revents;
            return ready == SOCKET_ERROR ? -1 : ready;
        }
        if (limitMs >= 0 && std::chrono::steady_clock::now() >= deadline) {
            return 0;
        }
    }
}

} // namespace

std::shared_ptr<TcpConnection> TcpConnection::Connect(std::uint16_t port) {
    if (!StartWinsock()) {
        return nullptr;
    }
    SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        return nullptr;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return nullptr;
    }
    // Control-protocol commands are short lines that want an answer: do not hold them back.
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return Adopt(s);
}

std::shared_ptr<TcpConnection> TcpConnection::Adopt(Socket fd) {
    if (fd == INVALID_SOCKET || !StartWinsock()) {
        return nullptr;
    }
    return std::shared_ptr<TcpConnection>(new TcpConnection(fd));
}

TcpConnection::TcpConnection(Socket fd) : m_fd(fd) {}

TcpConnection::~TcpConnection() {
    closesocket(m_fd);
}

bool TcpConnection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (m_closed.load()) {
            return false;
        }
        SHORT revents = 0;
        if (WaitFor(m_fd, POLLWRNORM, -1, m_closed, revents) <= 0) {
            return false;
        }
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30));
        const int n = ::send(m_fd, bytes.data(), chunk, 0);
        if (n == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return !m_closed.load();
}

long TcpConnection::Receive(char* buffer, std::size_t size) {
    for (;;) {
        if (m_closed.load()) {
            return -1;
        }
        SHORT revents = 0;
        if (WaitFor(m_fd, POLLRDNORM, -1, m_closed, revents) < 0) {
            return -1;
        }
        if (m_closed.load()) {
            return -1;
        }
        const int n = ::recv(m_fd, buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEINTR) {
            continue;
        }
        // After Close() the shutdown makes recv() return 0; that is our own close, not the peer's.
        if (m_closed.load()) {
            return -1;
        }
        return n == SOCKET_ERROR ? -1 : static_cast<long>(n);
    }
}

long TcpConnection::ReceiveIfReady(char* buffer, std::size_t size) {
    // Winsock has no per-call "do not wait"; a look with no wait tells whether the receive would.
    switch (WaitReadable(std::chrono::milliseconds(0))) {
    case Wait::Readable:
        return Receive(buffer, size);
    case Wait::TimedOut:
        return kNothingYet;
    case Wait::Failed:
        break;
    }
    return -1;
}

bool TcpConnection::ReceiveByte(char& byte) {
    return Receive(&byte, 1) == 1;
}

TcpConnection::Wait TcpConnection::WaitReadable(std::chrono::milliseconds limit) {
    if (m_closed.load()) {
        return Wait::Failed;
    }
    SHORT revents = 0;
    const int ready = WaitFor(m_fd, POLLRDNORM, std::clamp<long long>(limit.count(), 0, 1LL << 40), m_closed, revents);
    if (m_closed.load() || ready < 0) {
        return Wait::Failed;
    }
    if (ready == 0) {
        return Wait::TimedOut;
    }
    // A hang-up or error is "readable": the next receive reports it.
    if ((revents & (POLLRDNORM | POLLHUP | POLLERR)) != 0) {
        return Wait::Readable;
    }
    return Wait::Failed;
}

void TcpConnection::Close() {
    // Mark first: every wait sees it within a slice. The shutdown tells the peer at once. The socket stays ours
    // until the destructor, so its number cannot be reused meanwhile.
    if (!m_closed.exchange(true)) {
        ::shutdown(m_fd, SD_BOTH);
    }
}

} // namespace quorvel

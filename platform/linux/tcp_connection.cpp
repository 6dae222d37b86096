#include "platform/tcp_connection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel {

namespace {

// poll() with a deadline that survives EINTR: the remaining time is recomputed after every interruption.
int PollWithDeadline(int fd, short events, std::chrono::milliseconds limit, short& revents) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            left = std::chrono::milliseconds(0);
        }
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        revents = entry.revents;
        return ready;
    }
}

} // namespace

std::shared_ptr<TcpConnection> TcpConnection::Connect(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

    int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result < 0 && errno == EINTR) {
        // The connection attempt goes on in the background after an interruption; wait for its outcome.
        short revents = 0;
        int ready = PollWithDeadline(fd, POLLOUT, std::chrono::seconds(30), revents);
        int error = 0;
        socklen_t length = sizeof error;
        if (ready == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            result = 0;
        }
    }
    if (result < 0) {
        ::close(fd);
        return nullptr;
    }
    // Control-protocol commands are short lines that want an answer: do not hold them back.
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return Adopt(fd);
}

std::shared_ptr<TcpConnection> TcpConnection::Adopt(Socket fd) {
    if (fd < 0) {
        return nullptr;
    }
    return std::shared_ptr<TcpConnection>(new TcpConnection(fd));
}

TcpConnection::TcpConnection(Socket fd) : m_fd(fd) {}

TcpConnection::~TcpConnection() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool TcpConnection::Send(std::string_view bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (m_closed.load()) {
            return false;
        }
        // MSG_NOSIGNAL: a peer that went away must give an error, not a SIGPIPE that ends the program.
        ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return !m_closed.load();
}

long TcpConnection::Receive(char* buffer, std::size_t size) {
    for (;;) {
        if (m_closed.load()) {
            return -1;
        }
        ssize_t n = ::recv(m_fd, buffer, size, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // After Close() the shutdown makes recv() return 0; that is our own close, not the peer's.
        if (m_closed.load()) {
            return -1;
        }
        return n < 0 ? -1 : static_cast<long>(n);
    }
}

long TcpConnection::ReceiveIfReady(char* buffer, std::size_t size) {
    for (;;) {
        if (m_closed.load()) {
            return -1;
        }
        ssize_t n = ::recv(m_fd, buffer, size, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (m_closed.load()) {
            return -1;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return kNothingYet;
        }
        return n < 0 ? -1 : static_cast<long>(n);
    }
}

bool TcpConnection::ReceiveByte(char& byte) {
    return Receive(&byte, 1) == 1;
}

TcpConnection::Wait TcpConnection::WaitReadable(std::chrono::milliseconds limit) {
    if (m_closed.load()) {
        return Wait::Failed;
    }
    short revents = 0;
    int ready = PollWithDeadline(m_fd, POLLIN, limit, revents);
    if (m_closed.load() || ready < 0) {
        return Wait::Failed;
    }
    if (ready == 0) {
        return Wait::TimedOut;
    }
    // A hang-up or error is "readable": the next receive reports it.
    if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        return Wait::Readable;
    }
    return Wait::Failed;
}

void TcpConnection::Close() {
    // Mark first so that a reader woken by the shutdown sees why; shutdown() wakes every blocked recv() and
    // poll() on this socket. The number stays ours until the destructor, so it cannot be reused meanwhile.
    if (!m_closed.exchange(true)) {
        ::shutdown(m_fd, SHUT_RDWR);
    }
}

} // namespace quorvel

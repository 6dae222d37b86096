#include "tor/control_socket.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

namespace {

// Taken bytes are dropped from the store once there are this many of them.
constexpr std::size_t kReceiveSize = 4096;

} // namespace

ControlSocket::ControlSocket(std::shared_ptr<TcpConnection> connection) : m_connection(std::move(connection)) {}

std::shared_ptr<ControlSocket> ControlSocket::Connect(std::uint16_t port) {
    auto connection = TcpConnection::Connect(port);
    if (!connection) {
        return nullptr;
    }
    return std::make_shared<ControlSocket>(std::move(connection));
}

std::size_t ControlSocket::ReceiveFromPeer(char* buffer, std::size_t size,
                                           std::optional<std::chrono::milliseconds> limit, Fill& why) {
    why = Fill::Data;
    if (limit) {
        // What has come already is taken without a wait first: most receives find data there, and the wait is a
        // system call of its own.
        long ready = m_connection->ReceiveIfReady(buffer, size);
        if (ready > 0) {
            return static_cast<std::size_t>(ready);
        }
        if (ready != TcpConnection::kNothingYet) {
            why = Fill::Ended;
            return 0;
        }
        switch (m_connection->WaitReadable(*limit)) {
        case TcpConnection::Wait::Readable:
            break;
        case TcpConnection::Wait::TimedOut:
            why = Fill::TimedOut;
            return 0;
        case TcpConnection::Wait::Failed:
            why = Fill::Ended;
            return 0;
        }
    }
    long received = m_connection->Receive(buffer, size);
    if (received <= 0) {
        why = Fill::Ended;
        return 0;
    }
    return static_cast<std::size_t>(received);
}

std::size_t ControlSocket::Take(char* buffer, std::size_t size, std::optional<std::chrono::milliseconds> limit,
                                Fill& why) {
    if (Available() > 0) {
        why = Fill::Data;
        std::size_t count = std::min(size, Available());
        std::memcpy(buffer, m_unread.data() + m_unreadStart, count);
        m_unreadStart += count;
        return count;
    }
    return ReceiveFromPeer(buffer, size, limit, why);
}

ControlSocket::Fill ControlSocket::Receive(std::optional<std::chrono::milliseconds> limit, std::size_t size) {
    // Drop what has been taken, so the store never grows beyond what is still unread.
    if (m_unreadStart == m_unread.size()) {
        m_unread.clear();
        m_unreadStart = 0;
    } else if (m_unreadStart >= kReceiveSize) {
        m_unread.erase(0, m_unreadStart);
        m_unreadStart = 0;
    }
    // Received into a block that is never cleared, then appended: growing the store to receive into it would
    // clear the whole receive size each time, for the few lines that come.
    if (m_blockSize < size) {
        m_block = std::make_unique_for_overwrite<char[]>(size);
        m_blockSize = size;
    }
    Fill why = Fill::Data;
    std::size_t count = ReceiveFromPeer(m_block.get(), size, limit, why);
    m_unread.append(m_block.get(), count);
    return why;
}

void ControlSocket::Unread(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    std::string rest(m_unread, m_unreadStart);
    m_unread.assign(bytes);
    m_unread += rest;
    m_unreadStart = 0;
}

} // namespace quorvel

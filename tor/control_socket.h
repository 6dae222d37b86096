#pragma once

#include "platform/tcp_connection.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// One connection to Tor's control port, with the bytes already received from it that no reader has taken yet.
// Readers take from those first, so whatever arrived behind the end of one reply (an event line, the next reply)
// stays for the next reader instead of being lost. Only one thread reads at a time (the event watcher while it
// runs on the connection, the user-interface thread otherwise); Send and Close may come from any thread.
class ControlSocket {
public:
    enum class Fill { Data, TimedOut, Ended };

    explicit ControlSocket(std::shared_ptr<TcpConnection> connection);
    // Connects to 127.0.0.1:port; nothing when nobody listens there.
    static std::shared_ptr<ControlSocket> Connect(std::uint16_t port);

    bool Send(std::string_view bytes) { return m_connection->Send(bytes); }
    void Close() { m_connection->Close(); }
    bool IsClosed() const { return m_connection->IsClosed(); }

    // Bytes received but not yet taken.
    std::size_t Available() const { return m_unread.size() - m_unreadStart; }
    // Takes the next unread byte; only when Available() is not 0.
    char TakeByte() { return m_unread[m_unreadStart++]; }
    // The unread bytes, valid until the next call that takes, receives or unreads; Skip takes `count` of them.
    std::string_view UnreadBytes() const { return std::string_view(m_unread).substr(m_unreadStart); }
    void Skip(std::size_t count) { m_unreadStart += count; }
    // Takes up to `size` unread bytes, then, when none were unread, receives up to `size` bytes after waiting at
    // most `limit` for them (no limit: until data comes or the connection ends). The count, or 0 with the
    // reason in `why`.
    std::size_t Take(char* buffer, std::size_t size, std::optional<std::chrono::milliseconds> limit, Fill& why);
    // Receives up to `size` more bytes into the unread store, waiting as Take does.
    Fill Receive(std::optional<std::chrono::milliseconds> limit, std::size_t size = kLineReceiveSize);

    // What line readers ask for at once: a few reply lines. The router status is received in larger blocks.
    static constexpr std::size_t kLineReceiveSize = 4096;
    // Puts bytes back in front of the unread ones.
    void Unread(std::string_view bytes);

private:
    std::size_t ReceiveFromPeer(char* buffer, std::size_t size, std::optional<std::chrono::milliseconds> limit,
                                Fill& why);

    std::shared_ptr<TcpConnection> m_connection;
    std::string m_unread;
    std::unique_ptr<char[]> m_block; // what a receive lands in
    std::size_t m_blockSize = 0;
    std::size_t m_unreadStart = 0;
};

} // namespace quorvel

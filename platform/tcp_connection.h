#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

// A TCP connection to a port on 127.0.0.1. Users share it through shared_ptr; the descriptor is released only
// when the last user drops it, so a number can never be reused under a reader that still holds it.
// Close() may be called from any thread: it shuts the connection down first, so a receive blocked in another
// thread fails at once instead of hanging.
class TcpConnection {
public:
    enum class Wait { Readable, TimedOut, Failed };
    // A descriptor on Linux, a Winsock SOCKET on Windows.
#ifdef _WIN32
    using Socket = std::uintptr_t;
#else
    using Socket = int;
#endif

    // Connects to 127.0.0.1:port. Nothing when the connection is refused.
    static std::shared_ptr<TcpConnection> Connect(std::uint16_t port);
    // Wraps an accepted or connected descriptor (takes ownership).
    static std::shared_ptr<TcpConnection> Adopt(Socket fd);

    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Sends all bytes; false on error or after Close().
    bool Send(std::string_view bytes);
    // Receives up to `size` bytes. Returns the count, 0 when the peer closed, -1 on error or after Close().
    long Receive(char* buffer, std::size_t size);
    // What ReceiveIfReady gives when nothing has come yet.
    static constexpr long kNothingYet = -2;
    // Receives up to `size` bytes that have come already, without waiting: the count, kNothingYet when none have,
    // otherwise as Receive.
    long ReceiveIfReady(char* buffer, std::size_t size);
    // Receives exactly one byte; false when the peer closed, on error or after Close().
    bool ReceiveByte(char& byte);
    // Waits until data (or the peer's close) can be read.
    Wait WaitReadable(std::chrono::milliseconds limit);

    void Close();
    bool IsClosed() const { return m_closed.load(); }

private:
    explicit TcpConnection(Socket fd);
    Socket m_fd;
    std::atomic<bool> m_closed{false};
};

} // namespace quorvel

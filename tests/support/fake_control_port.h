#pragma once

#include "platform/tcp_connection.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::test {

// A scripted stand-in for Tor's control port, listening on 127.0.0.1 on a port the system picks. Each accepted
// connection follows the next script, step by step: exact bytes expected from the client, replies sent whole or
// cut into pieces that arrive apart, a close in the middle of a reply, or silence. After its last step a
// connection stays open (as Tor's does) and keeps recording what the client sends, until the client closes it
// or the fake goes. A "SIGNAL HALT" answered in an Answer step makes the fake stop listening for kHaltQuiet, as a
// halted Tor leaves the port free until the next Tor takes it. Every deviation from a script is recorded in
// Failures().
class FakeControlPort {
public:
    // Answers one line received from the client (without its CR LF): the bytes to send back (possibly none), or
    // nothing to end the Answer step.
    using Answerer = std::function<std::optional<std::string>(const std::string& line)>;

    class Script {
    public:
        // Waits (10 s at most) for exactly these bytes.
        Script& Expect(std::string bytes);
        Script& Send(std::string bytes);
        // Sends the bytes cut at the given positions, pausing between the pieces so that they arrive apart.
        Script& SendSplit(std::string bytes, std::vector<std::size_t> cuts);
        Script& Pause(std::chrono::milliseconds duration);
        // Answers every line the client sends until the answerer returns nothing or the client closes.
        Script& Answer(Answerer answerer);
        // Closes the connection.
        Script& Close();
        // Says nothing and reads nothing more until the client closes or the fake goes.
        Script& Hang();

    private:
        friend class FakeControlPort;
        struct Step {
            enum class Kind { Expect, Send, Pause, Answer, Close, Hang } kind;
            std::string bytes;
            std::vector<std::size_t> cuts;
            std::chrono::milliseconds duration{0};
            Answerer answerer;
        };
        std::vector<Step> m_steps;
    };

    FakeControlPort();
    ~FakeControlPort();
    FakeControlPort(const FakeControlPort&) = delete;
    FakeControlPort& operator=(const FakeControlPort&) = delete;

    std::uint16_t Port() const { return m_port; }
    // The script of the next connection to be accepted (in the order they are added).
    Script& NextConnection();

    // Waits until every script has run through its steps (or failed); false when the time is up.
    bool WaitScriptsDone(std::chrono::milliseconds limit) const;
    // Waits until connection `index` (0 = first accepted) has been closed by the client or the fake.
    bool WaitClosed(std::size_t index, std::chrono::milliseconds limit) const;
    std::vector<std::string> Failures() const;
    // Every byte received on connection `index` so far.
    std::string Received(std::size_t index) const;
    std::size_t Accepted() const;

    // The pause between the pieces of SendSplit.
    static constexpr std::chrono::milliseconds kPiecePause{4};
    // How long the port stays closed after a halt.
    static constexpr std::chrono::milliseconds kHaltQuiet{250};
    // How long a halted fake keeps listening before it leaves the port, like a Tor slow to exit. Set before the
    // halt.
    std::atomic<std::chrono::milliseconds> haltLinger{std::chrono::milliseconds(0)};

private:
    struct Connection {
        std::shared_ptr<TcpConnection> socket;
        std::string received;    // everything, for Received()
        std::string unread;      // not yet taken by a step
        bool scriptDone = false; // all steps run (or failed)
        bool closed = false;
        std::thread thread;
    };

    void AcceptLoop();
    // While a halt keeps the port closed: closes the listener, and listens again on the same port once the time
    // is up.
    void StayQuiet();
    void Serve(std::size_t index, Script script);
    // Reads more from the client into `unread`; false when the client closed or the fake stops.
    bool ReadMore(std::size_t index, std::chrono::milliseconds limit);
    bool TakeLine(std::size_t index, std::string& line);
    void Fail(std::string what);

    TcpConnection::Socket m_listenFd{};
    std::uint16_t m_port = 0;
    std::thread m_acceptor;
    std::atomic<bool> m_stopping{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<Script> m_scripts;
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::vector<std::string> m_failures;
    std::size_t m_scriptsAdded = 0;
    std::optional<std::chrono::steady_clock::time_point> m_quietUntil;
};

} // namespace quorvel::test

#include "support/fake_control_port.h"

#include <algorithm>
#include <stdexcept>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quorvel::test {

namespace {

using namespace std::chrono_literals;

constexpr auto kExpectLimit = 10s;
constexpr auto kSlice = 20ms;

// Bytes as a readable string for failure messages.
std::string Printable(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

FakeControlPort::Script& FakeControlPort::Script::Expect(std::string bytes) {
    m_steps.push_back({Step::Kind::Expect, std::move(bytes), {}, {}, {}});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::Send(std::string bytes) {
    m_steps.push_back({Step::Kind::Send, std::move(bytes), {}, {}, {}});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::SendSplit(std::string bytes, std::vector<std::size_t> cuts) {
    std::sort(cuts.begin(), cuts.end());
    m_steps.push_back({Step::Kind::Send, std::move(bytes), std::move(cuts), {}, {}});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::Pause(std::chrono::milliseconds duration) {
    m_steps.push_back({Step::Kind::Pause, {}, {}, duration, {}});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::Answer(Answerer answerer) {
    m_steps.push_back({Step::Kind::Answer, {}, {}, {}, std::move(answerer)});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::Close() {
    m_steps.push_back({Step::Kind::Close, {}, {}, {}, {}});
    return *this;
}

FakeControlPort::Script& FakeControlPort::Script::Hang() {
    m_steps.push_back({Step::Kind::Hang, {}, {}, {}, {}});
    return *this;
}

namespace {

using Socket = TcpConnection::Socket;

#ifdef _WIN32
using AddressLength = int;
using pollfd = WSAPOLLFD;
constexpr Socket kNoSocket = INVALID_SOCKET;
void CloseSocket(Socket fd) {
    closesocket(fd);
}
int Poll(pollfd* entry, int limit) {
    return WSAPoll(entry, 1, limit);
}
Socket Accept(Socket listener) {
    return ::accept(listener, nullptr, nullptr);
}
Socket NewSocket() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) : kNoSocket;
}
#else
using AddressLength = socklen_t;
constexpr Socket kNoSocket = -1;
void CloseSocket(Socket fd) {
    ::close(fd);
}
int Poll(pollfd* entry, int limit) {
    return ::poll(entry, 1, limit);
}
Socket Accept(Socket listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}
Socket NewSocket() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}
#endif

// A loopback listener on `port` (0: the system picks one); kNoSocket when it cannot listen. Reusable addresses
// let a listener come back on its port while connections accepted before are still open.
Socket Listen(std::uint16_t port) {
    Socket fd = NewSocket();
    if (fd == kNoSocket) {
        return kNoSocket;
    }
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one), sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
        CloseSocket(fd);
        return kNoSocket;
    }
    return fd;
}

} // namespace

FakeControlPort::FakeControlPort() {
    m_listenFd = Listen(0);
    sockaddr_in address{};
    AddressLength length = sizeof address;
    if (m_listenFd == kNoSocket || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the fake control port cannot listen");
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread(&FakeControlPort::AcceptLoop, this);
}

FakeControlPort::~FakeControlPort() {
    m_stopping = true;
    m_changed.notify_all();
    m_acceptor.join();
    std::vector<Connection*> connections;
    {
        std::lock_guard lock(m_mutex);
        for (auto& connection : m_connections) {
            connections.push_back(connection.get());
        }
    }
    for (Connection* connection : connections) {
        connection->socket->Close();
        connection->thread.join();
    }
    if (m_listenFd != kNoSocket) {
        CloseSocket(m_listenFd);
    }
}

FakeControlPort::Script& FakeControlPort::NextConnection() {
    std::lock_guard lock(m_mutex);
    ++m_scriptsAdded;
    return m_scripts.emplace_back();
}

bool FakeControlPort::WaitScriptsDone(std::chrono::milliseconds limit) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [this] {
        if (m_connections.size() < m_scriptsAdded) {
            return false;
        }
        return std::all_of(m_connections.begin(), m_connections.end(),
                           [](const auto& connection) { return connection->scriptDone; });
    });
}

bool FakeControlPort::WaitClosed(std::size_t index, std::chrono::milliseconds limit) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit,
                              [&] { return index < m_connections.size() && m_connections[index]->closed; });
}

std::vector<std::string> FakeControlPort::Failures() const {
    std::lock_guard lock(m_mutex);
    return m_failures;
}

std::string FakeControlPort::Received(std::size_t index) const {
    std::lock_guard lock(m_mutex);
    return index < m_connections.size() ? m_connections[index]->received : std::string();
}

std::size_t FakeControlPort::Accepted() const {
    std::lock_guard lock(m_mutex);
    return m_connections.size();
}

void FakeControlPort::Fail(std::string what) {
    std::lock_guard lock(m_mutex);
    m_failures.push_back(std::move(what));
}

void FakeControlPort::StayQuiet() {
    while (!m_stopping) {
        {
            std::unique_lock lock(m_mutex);
            if (!m_quietUntil || std::chrono::steady_clock::now() < *m_quietUntil - kHaltQuiet) {
                return;
            }
            if (m_listenFd != kNoSocket) {
                CloseSocket(m_listenFd);
                m_listenFd = kNoSocket;
            }
            if (std::chrono::steady_clock::now() >= *m_quietUntil) {
                m_quietUntil.reset();
                m_listenFd = Listen(m_port);
                if (m_listenFd == kNoSocket) {
                    m_failures.push_back("the fake control port cannot listen again after a halt");
                }
                return;
            }
        }
        std::this_thread::sleep_for(kSlice / 4);
    }
}

void FakeControlPort::AcceptLoop() {
    while (!m_stopping) {
        StayQuiet();
        if (m_listenFd == kNoSocket) {
            std::this_thread::sleep_for(kSlice);
            continue;
        }
        pollfd entry{};
        entry.fd = m_listenFd;
        entry.events = POLLIN;
        if (Poll(&entry, static_cast<int>(kSlice.count())) <= 0) {
            continue;
        }
        Socket fd = Accept(m_listenFd);
        if (fd == kNoSocket) {
            continue;
        }
        // Pieces must leave at once, not wait for the acknowledgement of the previous one.
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
        auto socket = TcpConnection::Adopt(fd);
        std::lock_guard lock(m_mutex);
        if (m_scripts.empty()) {
            m_failures.push_back("a connection that no script was written for");
            continue; // dropping the only reference closes it
        }
        Script script = std::move(m_scripts.front());
        m_scripts.pop_front();
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        std::size_t index = m_connections.size();
        m_connections.push_back(std::move(connection));
        m_connections[index]->thread = std::thread(&FakeControlPort::Serve, this, index, std::move(script));
    }
}

bool FakeControlPort::ReadMore(std::size_t index, std::chrono::milliseconds limit) {
    Connection* connection;
    {
        std::lock_guard lock(m_mutex);
        connection = m_connections[index].get();
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!m_stopping && std::chrono::steady_clock::now() < deadline) {
        auto wait = connection->socket->WaitReadable(kSlice);
        if (wait == TcpConnection::Wait::TimedOut) {
            continue;
        }
        if (wait == TcpConnection::Wait::Failed) {
            return false;
        }
        char buffer[4096];
        long count = connection->socket->Receive(buffer, sizeof buffer);
        if (count <= 0) {
            return false;
        }
        std::lock_guard lock(m_mutex);
        connection->received.append(buffer, static_cast<std::size_t>(count));
        connection->unread.append(buffer, static_cast<std::size_t>(count));
        return true;
    }
    return false;
}

bool FakeControlPort::TakeLine(std::size_t index, std::string& line) {
    std::lock_guard lock(m_mutex);
    std::string& unread = m_connections[index]->unread;
    std::size_t end = unread.find("\r\n");
    if (end == std::string::npos) {
        return false;
    }
    line = unread.substr(0, end);
    unread.erase(0, end + 2);
    return true;
}

void FakeControlPort::Serve(std::size_t index, Script script) {
    Connection* connection;
    {
        std::lock_guard lock(m_mutex);
        connection = m_connections[index].get();
    }
    auto unreadSize = [&] {
        std::lock_guard lock(m_mutex);
        return connection->unread.size();
    };
    const std::string name = "connection " + std::to_string(index) + ": ";
    bool open = true;
    for (const auto& step : script.m_steps) {
        if (m_stopping || !open) {
            break;
        }
        switch (step.kind) {
        case Script::Step::Kind::Expect: {
            const auto deadline = std::chrono::steady_clock::now() + kExpectLimit;
            bool more = true;
            while (unreadSize() < step.bytes.size() && more) {
                auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
                more = left.count() > 0 && ReadMore(index, left);
            }
            std::lock_guard lock(m_mutex);
            std::string& unread = connection->unread;
            if (unread.compare(0, step.bytes.size(), step.bytes) != 0) {
                m_failures.push_back(name + "expected \"" + Printable(step.bytes) + "\", got \"" + Printable(unread) +
                                     "\"");
                open = false;
                break;
            }
            unread.erase(0, step.bytes.size());
            break;
        }
        case Script::Step::Kind::Send: {
            std::size_t from = 0;
            for (std::size_t cut : step.cuts) {
                cut = std::min(cut, step.bytes.size());
                if (cut > from) {
                    connection->socket->Send(std::string_view(step.bytes).substr(from, cut - from));
                    from = cut;
                    std::this_thread::sleep_for(kPiecePause);
                }
            }
            connection->socket->Send(std::string_view(step.bytes).substr(from));
            break;
        }
        case Script::Step::Kind::Pause: {
            std::unique_lock lock(m_mutex);
            m_changed.wait_for(lock, step.duration, [this] { return m_stopping.load(); });
            break;
        }
        case Script::Step::Kind::Answer: {
            std::string line;
            for (;;) {
                if (!TakeLine(index, line)) {
                    if (!ReadMore(index, std::chrono::hours(1))) {
                        open = false;
                        break;
                    }
                    continue;
                }
                auto answer = step.answerer(line);
                if (!answer) {
                    break;
                }
                connection->socket->Send(*answer);
                if (line == "SIGNAL HALT") {
                    // A halted Tor leaves the port: nothing answers until the next one has started.
                    std::lock_guard lock(m_mutex);
                    m_quietUntil = std::chrono::steady_clock::now() + haltLinger.load() + kHaltQuiet;
                }
            }
            break;
        }
        case Script::Step::Kind::Close:
            connection->socket->Close();
            open = false;
            break;
        case Script::Step::Kind::Hang:
            while (ReadMore(index, std::chrono::hours(1))) {
            }
            open = false;
            break;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        connection->scriptDone = true;
    }
    m_changed.notify_all();
    // Like Tor, keep the connection until the client closes it.
    while (open && ReadMore(index, std::chrono::hours(1))) {
    }
    {
        std::lock_guard lock(m_mutex);
        connection->closed = true;
    }
    m_changed.notify_all();
}

} // namespace quorvel::test

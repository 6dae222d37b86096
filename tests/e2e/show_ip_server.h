#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::e2e {

// The test's own "show my IP" page: a small HTTP server on 127.0.0.1 that answers every GET with the address it
// sees the request come from and the User-Agent and Accept-Language headers, and remembers each visit.
class ShowIpServer {
public:
    struct Visit {
        std::string path;
        std::string peer;
        std::string userAgent;
        std::string acceptLanguage;
    };

    ShowIpServer() = default;
    ~ShowIpServer();
    ShowIpServer(const ShowIpServer&) = delete;
    ShowIpServer& operator=(const ShowIpServer&) = delete;

    bool Start(std::uint16_t port, std::string& error);
    void Stop();

    std::string Url(const std::string& path) const;
    // The first visit of `path`, waiting for it up to the limit.
    std::optional<Visit> WaitForVisit(const std::string& path, std::chrono::milliseconds limit);
    std::vector<Visit> Visits() const;

    // The page for one visit (also what the tests check the server against).
    static std::string Page(const Visit& visit);
    // Parses the head of a request (up to the empty line): the path and the two headers. False when it is not
    // a GET request.
    static bool ParseRequest(const std::string& head, Visit& visit);

private:
    void Serve();
    void Answer(int client, const std::string& peer);

    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_visited;
    std::vector<Visit> m_visits;
};

} // namespace quorvel::e2e

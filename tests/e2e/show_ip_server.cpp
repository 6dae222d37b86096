#include "e2e/show_ip_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel::e2e {

namespace {

constexpr std::size_t kMaxHead = 16384;

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace

ShowIpServer::~ShowIpServer() {
    Stop();
}

bool ShowIpServer::Start(std::uint16_t port, std::string& error) {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 16) != 0) {
        error = "the web server cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        if (m_listener >= 0) {
            ::close(m_listener);
            m_listener = -1;
        }
        return false;
    }
    m_port = port;
    m_stop = false;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void ShowIpServer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
}

std::string ShowIpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void ShowIpServer::Serve() {
    while (!m_stop) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 200) <= 0) {
            continue;
        }
        sockaddr_in peer{};
        socklen_t length = sizeof(peer);
        const int client = ::accept4(m_listener, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof(text));
        Answer(client, text);
        ::close(client);
    }
}

void ShowIpServer::Answer(int client, const std::string& peer) {
    std::string head;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
        pollfd waiting{client, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) <= 0) {
            return;
        }
        const ssize_t n = ::recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(n));
    }
    Visit visit;
    visit.peer = peer;
    if (!ParseRequest(head, visit)) {
        SendAll(client, "HTTP/1.0 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    const bool page = visit.path != "/favicon.ico";
    const std::string body = page ? Page(visit) : "";
    std::ostringstream reply;
    reply << (page ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n")
          << "Content-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nContent-Length: " << body.size()
          << "\r\nConnection: close\r\n\r\n"
          << body;
    SendAll(client, reply.str());
    {
        std::lock_guard lock(m_mutex);
        m_visits.push_back(visit);
    }
    m_visited.notify_all();
}

bool ShowIpServer::ParseRequest(const std::string& head, Visit& visit) {
    std::istringstream lines(head);
    std::string requestLine;
    if (!std::getline(lines, requestLine)) {
        return false;
    }
    std::istringstream parts(Trim(requestLine));
    std::string method;
    std::string target;
    parts >> method >> target;
    if (method != "GET" || target.empty()) {
        return false;
    }
    visit.path = target;
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string value = Trim(line.substr(colon + 1));
        if (name == "user-agent") {
            visit.userAgent = value;
        } else if (name == "accept-language") {
            visit.acceptLanguage = value;
        }
    }
    return true;
}

std::string ShowIpServer::Page(const Visit& visit) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Show my IP</title></head>\n"
           "<body style=\"font: 20px sans-serif\">\n<h1>Your IP address: <span id=\"peer\">" +
           EscapeHtml(visit.peer) + "</span></h1>\n<p>User-Agent: <span id=\"agent\">" + EscapeHtml(visit.userAgent) +
           "</span></p>\n<p>Accept-Language: <span id=\"language\">" + EscapeHtml(visit.acceptLanguage) +
           "</span></p>\n</body></html>\n";
}

std::optional<ShowIpServer::Visit> ShowIpServer::WaitForVisit(const std::string& path,
                                                              std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    std::optional<Visit> found;
    m_visited.wait_for(lock, limit, [&] {
        for (const auto& visit : m_visits) {
            if (visit.path == path) {
                found = visit;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::vector<ShowIpServer::Visit> ShowIpServer::Visits() const {
    std::lock_guard lock(m_mutex);
    return m_visits;
}

} // namespace quorvel::e2e

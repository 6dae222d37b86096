#include "e2e/control_probe.h"

#include "platform/tcp_connection.h"

#include <sstream>

namespace quorvel::e2e {

namespace {

using Clock = std::chrono::steady_clock;

bool ReadLine(TcpConnection& connection, std::string& line, Clock::time_point deadline) {
    line.clear();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || connection.WaitReadable(left) != TcpConnection::Wait::Readable) {
            return false;
        }
        char byte = 0;
        if (!connection.ReceiveByte(byte)) {
            return false;
        }
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        line += byte;
    }
}

// One whole reply: "250-" lines, "250+" data blocks up to ".", and the final "NNN " line.
bool ReadReply(TcpConnection& connection, std::vector<std::string>& lines, Clock::time_point deadline) {
    bool inData = false;
    for (std::string line; ReadLine(connection, line, deadline);) {
        if (!inData && line.rfind("650", 0) == 0) {
            continue;
        }
        lines.push_back(line);
        if (inData) {
            inData = line != ".";
        } else if (line.size() >= 4 && line[3] == '+') {
            inData = true;
        } else if (line.size() >= 4 && line[3] == ' ') {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<std::vector<std::string>> ControlProbe::Ask(const std::string& command,
                                                          std::chrono::milliseconds limit) const {
    const auto deadline = Clock::now() + limit;
    auto connection = TcpConnection::Connect(m_port);
    if (!connection) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    if (!connection->Send("AUTHENTICATE \"" + m_password + "\"\r\n") || !ReadReply(*connection, lines, deadline) ||
        lines.back() != "250 OK") {
        return std::nullopt;
    }
    lines.clear();
    if (!connection->Send(command + "\r\n") || !ReadReply(*connection, lines, deadline)) {
        return std::nullopt;
    }
    connection->Send("QUIT\r\n");
    connection->Close();
    return lines;
}

std::optional<std::vector<std::string>> ControlProbe::RouterNicknames() const {
    auto reply = Ask("GETINFO ns/all");
    if (!reply || reply->empty() || reply->back() != "250 OK") {
        return std::nullopt;
    }
    std::vector<std::string> nicknames;
    for (const auto& line : *reply) {
        std::istringstream words(line);
        std::string keyword;
        std::string nickname;
        if (words >> keyword >> nickname && keyword == "r") {
            nicknames.push_back(nickname);
        }
    }
    return nicknames;
}

} // namespace quorvel::e2e

#include "tor/router_status.h"

namespace quorvel {

RouterStatusReader::RouterStatusReader(std::string_view text) : m_text(text) {
    // The header line is not a router.
    std::string_view header;
    std::size_t next = 0;
    if (PeekLine(header, next)) {
        m_pos = next;
    }
}

bool RouterStatusReader::PeekLine(std::string_view& line, std::size_t& next) const {
    if (m_pos >= m_text.size()) {
        return false;
    }
    std::size_t end = m_text.find("\r\n", m_pos);
    if (end == std::string_view::npos) {
        line = m_text.substr(m_pos);
        next = m_text.size();
    } else {
        line = m_text.substr(m_pos, end - m_pos);
        next = end + 2;
    }
    return true;
}

bool RouterStatusReader::Next(std::string& routerText) {
    std::string_view line;
    std::size_t next = 0;
    while (PeekLine(line, next)) {
        m_pos = next;
        if (line.empty() || line.front() != 'r') {
            continue;
        }
        routerText.assign(line.size() > 2 ? line.substr(2) : std::string_view());
        std::string_view following;
        while (PeekLine(following, next)) {
            if (!following.empty() && following.front() == 'r') {
                break; // the next router: it stays for the next call
            }
            m_pos = next;
            if (following.starts_with("s ")) {
                routerText.append(following.substr(1));
                break;
            }
        }
        return true;
    }
    return false;
}

bool IsExitRouter(std::string_view routerText) {
    return routerText.find("Exit", 1) != std::string_view::npos;
}

std::string_view RouterNickname(std::string_view routerText) {
    return routerText.substr(0, routerText.find(' '));
}

std::optional<std::string_view> RouterAddress(std::string_view routerText) {
    std::size_t colon = routerText.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t space = routerText.find(' ', colon);
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t start = space + 1;
    std::size_t end = routerText.find(' ', start);
    return routerText.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

} // namespace quorvel

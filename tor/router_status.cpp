#include "tor/router_status.h"

#include <array>
#include <string>

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

bool RouterStatusReader::Next(std::string_view& routerLine, std::string_view& flagLine) {
    std::string_view line;
    std::size_t next = 0;
    while (PeekLine(line, next)) {
        m_pos = next;
        if (line.empty() || line.front() != 'r') {
            continue;
        }
        routerLine = line.size() > 2 ? line.substr(2) : std::string_view();
        flagLine = {};
        std::string_view following;
        while (PeekLine(following, next)) {
            if (!following.empty() && following.front() == 'r') {
                break; // the next router: it stays for the next call
            }
            m_pos = next;
            if (following.starts_with("s ")) {
                flagLine = following.substr(1);
                break;
            }
        }
        return true;
    }
    return false;
}

bool RouterStatusReader::Next(std::string& routerText) {
    std::string_view routerLine;
    std::string_view flagLine;
    if (!Next(routerLine, flagLine)) {
        return false;
    }
    routerText.assign(routerLine);
    routerText.append(flagLine);
    return true;
}

bool IsExitRouter(std::string_view routerText) {
    return routerText.find("Exit", 1) != std::string_view::npos;
}

bool IsExitRouter(std::string_view routerLine, std::string_view flagLine) {
    // No "Exit" spans the two parts, since the flag part begins with a space; nor can one begin at the start of
    // the text when the r line part is empty, for the same reason. The short flag part, where an exit's "Exit"
    // is, is searched first.
    return flagLine.find("Exit") != std::string_view::npos || routerLine.find("Exit", 1) != std::string_view::npos;
}

std::string_view RouterNickname(std::string_view routerText) {
    return routerText.substr(0, routerText.find(' '));
}

namespace {

// A table, not a chain of comparisons: the digits of identities are random, and every wrong guess of the
// branches cost more than the rest of the decoding.
constexpr auto kBase64Value = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 26; ++i) {
        values['A' + i] = static_cast<signed char>(i);
        values['a' + i] = static_cast<signed char>(26 + i);
    }
    for (int i = 0; i < 10; ++i) {
        values['0' + i] = static_cast<signed char>(52 + i);
    }
    values['+'] = 62;
    values['/'] = 63;
    return values;
}();

} // namespace

std::optional<std::string> RouterFingerprint(std::string_view routerText) {
    constexpr std::size_t kIdentityBytes = 20;
    constexpr std::size_t kIdentityLength = 27; // base 64 of 20 bytes, without the "=" padding
    std::size_t start = routerText.find(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    ++start;
    std::string_view identity = routerText.substr(start, routerText.find(' ', start) - start);
    if (identity.size() == kIdentityLength + 1 && identity.back() == '=') {
        identity.remove_suffix(1);
    }
    if (identity.size() != kIdentityLength) {
        return std::nullopt;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    // Decoded into a local buffer, not into the string: the listing decodes one identity per exit, and a store
    // through the string's own pointer made the compiler reload it after every digit. Four letters at a time
    // give three bytes; a letter that is no base 64 digit makes the bitwise or of all values negative.
    char fingerprint[1 + 2 * kIdentityBytes];
    fingerprint[0] = '$';
    char* out = fingerprint + 1;
    auto put = [&out](unsigned byte) {
        *out++ = kHex[byte >> 4];
        *out++ = kHex[byte & 0xF];
    };
    auto value = [&identity](std::size_t i) {
        return static_cast<int>(kBase64Value[static_cast<unsigned char>(identity[i])]);
    };
    int invalid = 0;
    std::size_t i = 0;
    for (; i + 4 <= kIdentityLength; i += 4) {
        const int a = value(i), b = value(i + 1), c = value(i + 2), d = value(i + 3);
        invalid |= a | b | c | d;
        const unsigned bits = (static_cast<unsigned>(a) << 18) | (static_cast<unsigned>(b) << 12) |
                              (static_cast<unsigned>(c) << 6) | static_cast<unsigned>(d);
        put((bits >> 16) & 0xFF);
        put((bits >> 8) & 0xFF);
        put(bits & 0xFF);
    }
    // The last three letters: 18 bits, of which the first 16 are the last two bytes.
    const int a = value(i), b = value(i + 1), c = value(i + 2);
    invalid |= a | b | c;
    const unsigned bits = (static_cast<unsigned>(a) << 12) | (static_cast<unsigned>(b) << 6) | static_cast<unsigned>(c);
    put((bits >> 10) & 0xFF);
    put((bits >> 2) & 0xFF);
    if (invalid < 0) {
        return std::nullopt;
    }
    return std::string(fingerprint, sizeof fingerprint);
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

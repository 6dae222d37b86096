#include "tor/control_auth.h"

#include "platform/crypto.h"
#include "platform/private_file.h"
#include "tor/reply_readers.h"

#include <algorithm>
#include <array>

namespace quorvel {

namespace {

constexpr std::string_view kProtocolInfo = "PROTOCOLINFO 1\r\n";
constexpr std::string_view kPasswordLine = "AUTHENTICATE \"Vintreal\"\r\n";
constexpr std::string_view kAuthLine = "250-AUTH ";
constexpr std::string_view kChallengeReply = "250 AUTHCHALLENGE ";
constexpr std::string_view kOk = "250 OK";
constexpr std::string_view kServerToController = "Tor safe cookie authentication server-to-controller hash";
constexpr std::string_view kControllerToServer = "Tor safe cookie authentication controller-to-server hash";
constexpr std::size_t kCookieSize = 32;
constexpr std::size_t kNonceSize = 32;
// Tor's PROTOCOLINFO reply has four lines; a peer that goes on and on is not answering it.
constexpr int kMostProtocolInfoLines = 16;

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        out += kDigits[u >> 4];
        out += kDigits[u & 0xf];
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string_view Bytes(const std::array<unsigned char, 32>& digest) {
    return {reinterpret_cast<const char*>(digest.data()), digest.size()};
}

// Compares in a time that does not depend on where the first difference lies.
bool SameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

std::string_view NextWord(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    const std::size_t start = at;
    while (at < text.size() && text[at] != ' ') {
        ++at;
    }
    return text.substr(start, at - start);
}

enum class ProtocolInfoRead { Ok, Error, NoAnswer };

ProtocolInfoRead ReadProtocolInfo(ControlSocket& socket, std::chrono::milliseconds limit,
                                  std::optional<ControlAuthOffer>& offer) {
    std::string line;
    for (int i = 0; i < kMostProtocolInfoLines; ++i) {
        if (!ReadWholeLine(socket, line, limit)) {
            return ProtocolInfoRead::NoAnswer;
        }
        if (line.starts_with(kAuthLine)) {
            offer = ParseAuthLine(line);
        } else if (line == kOk) {
            return ProtocolInfoRead::Ok;
        } else if (IsFinalReplyLine(line) || !line.starts_with("250-")) {
            return ProtocolInfoRead::Error;
        }
    }
    return ProtocolInfoRead::Error;
}

ControlAuthResult Finish(ControlSocket& socket, const std::string& authenticate, std::chrono::milliseconds limit) {
    if (!socket.Send(authenticate)) {
        return ControlAuthResult::NoAnswer;
    }
    std::string reply;
    if (!ReadCommandReply(socket, reply, limit)) {
        return ControlAuthResult::NoAnswer;
    }
    return reply == kOk ? ControlAuthResult::Authenticated : ControlAuthResult::Refused;
}

// The two hashes of the handshake, each over the cookie and both nonces.
struct ChallengeAnswer {
    std::string serverHash;
    std::string serverNonce;
};

std::optional<ChallengeAnswer> ParseChallengeReply(std::string_view line) {
    if (!line.starts_with(kChallengeReply)) {
        return std::nullopt;
    }
    ChallengeAnswer answer;
    std::size_t at = kChallengeReply.size();
    for (std::string_view word = NextWord(line, at); !word.empty(); word = NextWord(line, at)) {
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const auto value = FromHex(word.substr(equals + 1));
        if (word.substr(0, equals) == "SERVERHASH" && value) {
            answer.serverHash = *value;
        } else if (word.substr(0, equals) == "SERVERNONCE" && value) {
            answer.serverNonce = *value;
        }
    }
    if (answer.serverHash.size() != 32 || answer.serverNonce.size() != kNonceSize) {
        return std::nullopt;
    }
    return answer;
}

ControlAuthResult SafeCookie(ControlSocket& socket, const std::string& cookie, std::chrono::milliseconds limit) {
    std::array<unsigned char, kNonceSize> nonce{};
    if (!crypto::RandomBytes(nonce.data(), nonce.size())) {
        return ControlAuthResult::Refused;
    }
    const std::string clientNonce(reinterpret_cast<const char*>(nonce.data()), nonce.size());
    if (!socket.Send("AUTHCHALLENGE SAFECOOKIE " + Hex(clientNonce) + "\r\n")) {
        return ControlAuthResult::NoAnswer;
    }
    std::string reply;
    if (!ReadCommandReply(socket, reply, limit)) {
        return ControlAuthResult::NoAnswer;
    }
    const auto answer = ParseChallengeReply(reply);
    if (!answer) {
        return ControlAuthResult::NotTor;
    }
    const std::string material = cookie + clientNonce + answer->serverNonce;
    const auto expected = crypto::HmacSha256(kServerToController, material);
    const auto ours = crypto::HmacSha256(kControllerToServer, material);
    if (!expected || !ours) {
        return ControlAuthResult::Refused;
    }
    if (!SameBytes(Bytes(*expected), answer->serverHash)) {
        return ControlAuthResult::NotTor;
    }
    return Finish(socket, "AUTHENTICATE " + Hex(Bytes(*ours)) + "\r\n", limit);
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameWordIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

bool ControlAuthOffer::Offers(std::string_view method) const {
    return std::find(methods.begin(), methods.end(), method) != methods.end();
}

std::optional<std::string> UnquoteControlString(std::string_view text, std::size_t& used) {
    if (text.empty() || text[0] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            used = i + 1;
            return out;
        }
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        c = text[++i];
        if (c >= '0' && c <= '7') {
            int value = c - '0';
            for (int digits = 1; digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
                 ++digits) {
                value = value * 8 + (text[++i] - '0');
            }
            out += static_cast<char>(value & 0xff);
        } else if (c == 'x' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'r') {
            out += '\r';
        } else {
            out += c; // \\ \" \' and anything else stand for the character itself
        }
    }
    return std::nullopt;
}

std::optional<ControlAuthOffer> ParseAuthLine(std::string_view line) {
    if (!line.starts_with(kAuthLine)) {
        return std::nullopt;
    }
    ControlAuthOffer offer;
    bool methodsSeen = false;
    std::size_t at = kAuthLine.size();
    while (at < line.size()) {
        if (line[at] == ' ') {
            ++at;
            continue;
        }
        const std::string_view rest = line.substr(at);
        if (rest.starts_with("METHODS=")) {
            at += 8;
            std::string_view list = NextWord(line, at);
            methodsSeen = true;
            while (!list.empty()) {
                const std::size_t comma = std::min(list.find(','), list.size());
                offer.methods.emplace_back(list.substr(0, comma));
                list.remove_prefix(std::min(list.size(), comma + 1));
            }
        } else if (rest.starts_with("COOKIEFILE=")) {
            std::size_t used = 0;
            offer.cookieFile = UnquoteControlString(rest.substr(11), used);
            if (!offer.cookieFile) {
                return std::nullopt;
            }
            at += 11 + used;
        } else {
            NextWord(line, at); // a part of the line that later versions of Tor may add
        }
    }
    if (!methodsSeen) {
        return std::nullopt;
    }
    return offer;
}

bool TorrcAsksForCookie(const std::string& torrcText) {
    constexpr std::string_view kOption = "CookieAuthentication";
    bool asks = false;
    std::string_view text = torrcText;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(text.size(), end + 1));
        line = Trimmed(line.substr(0, line.find('#')));
        const std::size_t space = line.find_first_of(" \t");
        if (space == std::string_view::npos || !SameWordIgnoringCase(line.substr(0, space), kOption)) {
            continue;
        }
        // As in Tor, the last line of an option counts.
        asks = Trimmed(line.substr(space)) == "1";
    }
    return asks;
}

ControlAuthResult AuthenticateControl(ControlSocket& socket, bool cookieRequired, std::chrono::milliseconds limit) {
    if (!socket.Send(kProtocolInfo)) {
        return ControlAuthResult::NoAnswer;
    }
    std::optional<ControlAuthOffer> offer;
    if (ReadProtocolInfo(socket, limit, offer) == ProtocolInfoRead::NoAnswer) {
        return ControlAuthResult::NoAnswer;
    }
    if (offer && offer->Offers("SAFECOOKIE") && offer->cookieFile) {
        // Only a cookie that no other account can read proves anything: a peer naming a file of its own would
        // know what is in it.
        const auto cookie = ReadPrivateFile(*offer->cookieFile, kCookieSize);
        if (cookie && cookie->size() == kCookieSize) {
            return SafeCookie(socket, *cookie, limit);
        }
        if (cookieRequired || !offer->Offers("HASHEDPASSWORD")) {
            return ControlAuthResult::NotTor;
        }
    } else if (cookieRequired) {
        // Our Tor would offer the handshake: whoever does not is somebody else.
        return ControlAuthResult::NotTor;
    }
    return Finish(socket, std::string(kPasswordLine), limit);
}

} // namespace quorvel

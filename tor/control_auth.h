#pragma once

#include "tor/control_socket.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The authentication of a new control connection. Where Tor offers its safe-cookie handshake the program uses
// it: Tor first proves that it knows the cookie in the user's own Tor data folder, and only then does the program
// prove the same. Whatever listens on the port without that knowledge (another account that took the port before
// Tor did) is refused before anything but the handshake has been sent to it. Where Tor offers only the password
// (a torrc from before), the program's password line is sent as it always was.

// How Tor wants to be authenticated, from the AUTH line of its PROTOCOLINFO reply.
struct ControlAuthOffer {
    std::vector<std::string> methods;
    std::optional<std::string> cookieFile;

    bool Offers(std::string_view method) const;
};

// Reads "250-AUTH METHODS=COOKIE,SAFECOOKIE COOKIEFILE=\"...\"" (COOKIEFILE is optional); nothing when the line
// is not such a line.
std::optional<ControlAuthOffer> ParseAuthLine(std::string_view line);

// Decodes the quoted string at the start of `text` with Tor's C-style escapes (\n \t \r \\ \" \' \xHH and octal
// \ooo, as Tor writes a non-ASCII path); `used` gets the length of the quoted string with its quotes. Nothing
// when there is no closing quote.
std::optional<std::string> UnquoteControlString(std::string_view text, std::size_t& used);

// Whether the torrc turns cookie authentication on. Then only a Tor that proves the cookie is accepted, also when
// the peer offers nothing but the password.
bool TorrcAsksForCookie(const std::string& torrcText);

enum class ControlAuthResult {
    Authenticated,
    // Tor answered, but not with success (a wrong password, an unknown command).
    Refused,
    // No answer came: the connection ended or the wait ran out.
    NoAnswer,
    // The peer could not prove that it knows the cookie; nothing more may be sent to it.
    NotTor,
};

// Authenticates a connection on which nothing has been sent yet; `limit` is the wait for each reply line.
ControlAuthResult AuthenticateControl(ControlSocket& socket, bool cookieRequired, std::chrono::milliseconds limit);

} // namespace quorvel

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Walks the routers of a router-status text (lines ending in CR LF, the first line being the reply's header).
// For each line that begins with "r" it gives the router text: that line without "r " followed by the router's
// flag line without its "s". The flag line is the first line starting with "s " after the r line and before the
// next one (today's Tor puts an "a" line with the IPv6 address in between); a router without one has no flags.
class RouterStatusReader {
public:
    explicit RouterStatusReader(std::string_view text);

    bool Next(std::string& routerText);
    // The same router text in its two parts, as views of the status: the r line without "r ", and the flag line
    // without its "s" (so beginning with a space), empty when there is none.
    bool Next(std::string_view& routerLine, std::string_view& flagLine);

private:
    bool PeekLine(std::string_view& line, std::size_t& next) const;

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// "Exit" anywhere after the first character of the router text: the Exit flag, and as it happens BadExit and
// the same letters inside other fields.
bool IsExitRouter(std::string_view routerText);
// The same for the router text in its two parts, without joining them.
bool IsExitRouter(std::string_view routerLine, std::string_view flagLine);
// The text before the first space.
std::string_view RouterNickname(std::string_view routerText);
// The router's identity (the second word, base 64 of 20 bytes) as Tor's "$" and 40 hex digits, which names
// only this router where a nickname may name several; nothing when the word is no identity.
std::optional<std::string> RouterFingerprint(std::string_view routerText);
// The word after the publication time (the first colon, then the next space); nothing without it.
std::optional<std::string_view> RouterAddress(std::string_view routerText);

} // namespace quorvel

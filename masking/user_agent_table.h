#pragma once

#include <array>
#include <span>
#include <string>

namespace quorvel {

// One string of a row: the head, then the version text followed by ".0" when `withVersion`, then the tail.
struct AgentTemplate {
    const char* head;
    bool withVersion;
    const char* tail;

    std::string Build(const std::string& browserVersion) const;
};

// Netscape 4 under Windows has rows of its own.
enum class NetscapeRule { Any, Four, NotFour };

// One row of the user-agent table. Without OS versions (both null) the OS version is not looked at.
struct UserAgentRow {
    const char* os;
    std::array<const char*, 2> osVersions; // unused places are null
    const char* browser;
    NetscapeRule netscapeRule;
    AgentTemplate userAgent;
    AgentTemplate ieVersionPiece;
    AgentTemplate iePlatformPiece;
};

// Every row, in table order.
std::span<const UserAgentRow> UserAgentRows();

// The row for a masked choice, names compared by their sums; nothing when no row fits.
const UserAgentRow* FindUserAgentRow(const std::string& os, const std::string& osVersion, const std::string& browser,
                                     const std::string& browserVersion);

} // namespace quorvel

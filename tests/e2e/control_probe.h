#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::e2e {

// The test's own look at a Tor through its control port, on a connection of its own, so that what the program
// did can be seen independently of the program's code: one command, its whole reply.
class ControlProbe {
public:
    ControlProbe(std::uint16_t port, std::string password) : m_port(port), m_password(std::move(password)) {}

    // The reply lines of one command (data lines included, without line ends); nothing when Tor does not
    // answer or refuses the password.
    std::optional<std::vector<std::string>> Ask(const std::string& command,
                                                std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

    // The nicknames of GETINFO ns/all; nothing when Tor does not answer.
    std::optional<std::vector<std::string>> RouterNicknames() const;

private:
    std::uint16_t m_port;
    std::string m_password;
};

} // namespace quorvel::e2e

#pragma once

#include <string>

namespace quorvel::e2e {

// Moves this process (and so everything it starts afterwards) into a network namespace of its own that holds
// only a loopback interface, which it brings up. All of 127.0.0.0/8 is then local and nothing can leave the
// machine; ports such as 9050 and 9051 cannot clash with anything outside. Needs root. False, with the reason,
// when it cannot be done; call it before any thread is started.
bool EnterPrivateNetwork(std::string& why);

} // namespace quorvel::e2e

#pragma once

#include <string_view>

namespace quorvel {

// What a line read by the event watcher announces.
enum class WatcherNotice {
    None,
    // Tor can carry traffic.
    CircuitReady,
    // Tor says in so many words that no router of the exit restriction runs.
    ExitCountryFailed,
    // Tor holds all its directory information yet can use no exit at all: what an exit restriction that no
    // running router meets looks like before Tor says so.
    NoUsableExit,
};

// Looks at one whole line (events and replies alike). A line that holds both the circuit notice and a failure
// counts as the circuit.
WatcherNotice ClassifyWatcherLine(std::string_view line);

} // namespace quorvel

#include "tor/tor_notices.h"

#include <cstddef>

namespace quorvel {

namespace {

constexpr std::string_view kCircuitOpened = "Tor has successfully opened a circuit";
// The NOTICE that Tor gives at the same moment (the sentence above is INFO-level in today's Tor).
constexpr std::string_view kBootstrapDone = "Bootstrapped 100%";
// The answer to the watcher's own GETINFO status/circuit-established when a circuit is already open.
constexpr std::string_view kCircuitEstablished = "250-status/circuit-established=1";

constexpr std::string_view kStrictExitFailure =
    "No specified exit routers seem to be running, and StrictExitNodes is set: can't choose an exit.";
// Today's wording: "No exits in ExitNodes" + an optional remark + " seem to be running: can't choose an exit."
constexpr std::string_view kExitNodesFailureStart = "No exits in ExitNodes";
constexpr std::string_view kExitNodesFailureEnd = "seem to be running: can't choose an exit.";

constexpr std::string_view kNoExitBandwidth = "and 0% of exit bw = 0% of path bw";
constexpr std::string_view kDescriptorCount = "we have ";

bool Contains(std::string_view line, std::string_view part) {
    return line.find(part) != std::string_view::npos;
}

// Reads a run of decimal digits at `pos`; false when there is none.
bool ReadNumber(std::string_view text, std::size_t& pos, unsigned long long& value) {
    std::size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 18) {
        value = value * 10 + static_cast<unsigned long long>(text[pos] - '0');
        ++pos;
    }
    return pos > start;
}

// "we have N/N" with the same N (not 0): every descriptor that Tor wants is there.
bool HasAllDescriptors(std::string_view line) {
    std::size_t at = line.find(kDescriptorCount);
    while (at != std::string_view::npos) {
        std::size_t pos = at + kDescriptorCount.size();
        unsigned long long have = 0;
        unsigned long long want = 0;
        if (ReadNumber(line, pos, have) && pos < line.size() && line[pos] == '/' && ReadNumber(line, ++pos, want)) {
            return want > 0 && have == want;
        }
        at = line.find(kDescriptorCount, at + 1);
    }
    return false;
}

} // namespace

WatcherNotice ClassifyWatcherLine(std::string_view line) {
    if (Contains(line, kCircuitOpened) || Contains(line, kBootstrapDone) || line == kCircuitEstablished) {
        return WatcherNotice::CircuitReady;
    }
    if (Contains(line, kStrictExitFailure)) {
        return WatcherNotice::ExitCountryFailed;
    }
    std::size_t start = line.find(kExitNodesFailureStart);
    if (start != std::string_view::npos && line.find(kExitNodesFailureEnd, start) != std::string_view::npos) {
        return WatcherNotice::ExitCountryFailed;
    }
    if (Contains(line, kNoExitBandwidth) && HasAllDescriptors(line)) {
        return WatcherNotice::NoUsableExit;
    }
    return WatcherNotice::None;
}

} // namespace quorvel

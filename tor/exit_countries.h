#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quorvel {

class TorController;

// The usable exit routers and their countries, as the last LoadExitCountries found them.
struct ExitCountryLists {
    // Every usable exit's nickname once, in the order of the router status.
    std::vector<std::string> m_exitNicknames;
    // The country name of the nickname at the same index.
    std::vector<std::string> m_exitCountries;
    // The "$" fingerprint of the router at the same index: what the exit restriction names, since a nickname
    // may be another router's too.
    std::vector<std::string> m_exitFingerprints;
    // The distinct country names, sorted, and how many exits each has.
    std::vector<std::string> m_countryList;
    std::vector<unsigned> m_countryCounts;
};

// Country queries sent before their answers have come, at most.
inline constexpr std::size_t kCountryQueryWindow = 512;

// Asks Tor for its router status and the country of every usable exit router, and fills the controller's
// ExitLists(). Blocks while Tor answers: up to the circuit wait while the watcher still waits for the first
// circuit, then the status and one country query per exit, sent back to back (at most kCountryQueryWindow
// unanswered). A reply that does not come whole ends the listing and the connection it came on: later answers
// are never taken for those of the next command. `progress` gets the progress-bar positions (0..12 range).
void LoadExitCountries(TorController& tor, const std::function<void(int position)>& progress);

// The distinct names of `countries`, sorted, with the number of times each occurs.
void CountCountries(const std::vector<std::string>& countries, std::vector<std::string>& countryList,
                    std::vector<unsigned>& countryCounts);

} // namespace quorvel

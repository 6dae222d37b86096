#pragma once

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

// Asks Tor for its router status and the country of every usable exit router, and fills the controller's
// ExitLists(). Blocks while Tor answers: up to the circuit wait while the watcher still waits for the first
// circuit, then one exchange per exit. `progress` gets the progress-bar positions (0..12 range).
void LoadExitCountries(TorController& tor, const std::function<void(int position)>& progress);

// The distinct names of `countries`, sorted, with the number of times each occurs.
void CountCountries(const std::vector<std::string>& countries, std::vector<std::string>& countryList,
                    std::vector<unsigned>& countryCounts);

} // namespace quorvel

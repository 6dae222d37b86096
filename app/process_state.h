#pragma once

namespace quorvel {

// The values the system keeps for the whole life of the process, in one object so tests can reset them.
struct ProcessState {
    // The SOCKS port that programs are pointed at; copied from "Tor settings"/"Tor port" at Start.
    int torPort = 9050;
    // A browser profile was edited and the browser must be restarted.
    bool mozillaSettingsChanged = false;
    bool netscapeSettingsChanged = false;
};

// The program version, shown in the about box and sent by the privacy test.
inline constexpr const char* g_strVersion = "2.0";

} // namespace quorvel

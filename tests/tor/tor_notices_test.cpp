#include "tor/tor_notices.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(WatcherNotices, TellCircuitAndFailureFromBootstrapChatter) {
    struct Case {
        const char* line;
        WatcherNotice expected;
    } cases[] = {
        {"650 NOTICE Bootstrapped 100% (done): Done", WatcherNotice::CircuitReady},
        {"650 NOTICE Tor has successfully opened a circuit. Looks like client functionality is working.",
         WatcherNotice::CircuitReady},
        {"250-status/circuit-established=1", WatcherNotice::CircuitReady},
        {"250-status/circuit-established=0", WatcherNotice::None},
        {"650 NOTICE Bootstrapped 10% (conn_done): Connected to a relay", WatcherNotice::None},
        {"650 NOTICE Bootstrapped 0% (starting): Starting", WatcherNotice::None},

        {"650 WARN No specified exit routers seem to be running, and StrictExitNodes is set: can't choose an exit.",
         WatcherNotice::ExitCountryFailed},
        {"650 WARN No exits in ExitNodes seem to be running: can't choose an exit.", WatcherNotice::ExitCountryFailed},
        {"650 WARN No exits in ExitNodes, except possibly those excluded by your configuration, seem to be running: "
         "can't choose an exit.",
         WatcherNotice::ExitCountryFailed},

        // Every descriptor is there and still no exit can be used: the restriction meets no running router.
        {"650 NOTICE Our directory information is no longer up-to-date enough to build circuits: We need more "
         "microdescriptors: we have 9/9, and can only build 0% of likely paths. (We have 100% of guards bw, 100% of "
         "midpoint bw, and 0% of exit bw = 0% of path bw.)",
         WatcherNotice::NoUsableExit},
        {"650 NOTICE I learned some more directory information, but not enough to build a circuit: We need more "
         "microdescriptors: we have 7012/7012, and can only build 0% of likely paths. (We have 97% of guards bw, 98% "
         "of midpoint bw, and 0% of exit bw = 0% of path bw.)",
         WatcherNotice::NoUsableExit},
        // The same sentences during an ordinary bootstrap.
        {"650 NOTICE I learned some more directory information, but not enough to build a circuit: We need more "
         "microdescriptors: we have 0/7012, and can only build 0% of likely paths. (We have 0% of guards bw, 0% of "
         "midpoint bw, and 0% of exit bw = 0% of path bw.)",
         WatcherNotice::None},
        {"650 NOTICE I learned some more directory information, but not enough to build a circuit: We need more "
         "microdescriptors: we have 5210/7012, and can only build 23% of likely paths. (We have 67% of guards bw, "
         "70% of midpoint bw, and 50% of exit bw = 23% of path bw.)",
         WatcherNotice::None},
        {"650 NOTICE We need more microdescriptors: we have 0/0, and can only build 0% of likely paths. (We have 0% "
         "of guards bw, 0% of midpoint bw, and 0% of exit bw = 0% of path bw.)",
         WatcherNotice::None},
        {"650 NOTICE The current consensus has no exit nodes. Tor can only build internal paths, such as paths to "
         "onion services.",
         WatcherNotice::None},

        // Both in one line: the circuit wins.
        {"650 NOTICE Tor has successfully opened a circuit. No exits in ExitNodes seem to be running: can't choose "
         "an exit.",
         WatcherNotice::CircuitReady},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyWatcherLine(c.line), c.expected) << c.line;
    }
}

} // namespace
} // namespace quorvel

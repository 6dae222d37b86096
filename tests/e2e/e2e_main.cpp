// The end-to-end tests run in a network namespace of their own, entered before anything else starts, so that
// every Tor, browser and server they start shares it and nothing reaches the outside.
#include "e2e/network_namespace.h"
#include "e2e/shim_probe.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

// What ctest counts as skipped (SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

} // namespace

int main(int argc, char** argv) {
    // Run again by the shim's test as a small client, already inside the namespace.
    if (int probed = quorvel::e2e::RunShimProbe(argc, argv); probed >= 0) {
        return probed;
    }
    std::string why;
    if (!quorvel::e2e::EnterPrivateNetwork(why)) {
        std::printf("SKIPPED: the end-to-end test cannot run on this machine: %s\n", why.c_str());
        return kSkipped;
    }
    // Unlike the namespace, these are installed by scripts/setup-deps: their absence is a failure, not a skip.
    for (const char* tool : {"/usr/sbin/tor", "/usr/bin/tor-gencert", "/usr/bin/firefox-esr"}) {
        if (::access(tool, X_OK) != 0) {
            std::printf("FAILED: %s is missing; scripts/setup-deps installs it (tor and firefox-esr)\n", tool);
            return 1;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

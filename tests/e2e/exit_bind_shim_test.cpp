// The preload shim that the exits run with: their connections leave from their own address, whatever Tor binds
// them to, and nothing outside loopback can be reached.
#include "e2e/child_process.h"
#include "e2e/e2e_support.h"
#include "e2e/show_ip_server.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

namespace quorvel::e2e {
namespace {

using namespace std::chrono_literals;

class ExitShim : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server.Start(8080, error)) << error;
    }

    // What the probe prints when run with (or, for an empty address, without) the shim.
    std::string Probe(const std::string& exitAddress, const std::string& host, const std::string& mode = "") {
        ChildProcess::Options options;
        options.logFile = env.Root() + "/probe-" + std::to_string(++runs) + ".log";
        if (!exitAddress.empty()) {
            options.environment = {std::string("LD_PRELOAD=") + QUORVEL_E2E_EXIT_SHIM,
                                   "QUORVEL_EXIT_ADDRESS=" + exitAddress};
        }
        ChildProcess probe;
        std::string error;
        std::vector<std::string> args = {"--shim-probe", host, "8080"};
        if (!mode.empty()) {
            args.push_back(mode);
        }
        if (!probe.Start("/proc/self/exe", args, options, error) || !probe.WaitForExit(20s)) {
            return "probe failed: " + error;
        }
        std::string printed = ReadText(options.logFile);
        Log("probe " + (exitAddress.empty() ? std::string("without the shim") : "as exit " + exitAddress) + " to " +
            host + (mode.empty() ? "" : " (" + mode + ")") + ": " + printed.substr(0, printed.find('\n')));
        return printed;
    }

    test::TestEnvironment env;
    ShowIpServer server;
    int runs = 0;
};

TEST_F(ExitShim, ConnectionsLeaveFromTheExitsOwnAddress) {
    EXPECT_EQ(Probe("", "127.0.0.1"), "local 127.0.0.1\n");
    EXPECT_EQ(Probe("127.0.0.3", "127.0.0.1"), "local 127.0.0.3\n");
    // Tor binds its outgoing connections towards loopback to 127.0.0.1 itself.
    EXPECT_EQ(Probe("127.0.0.4", "127.0.0.1", "bound"), "local 127.0.0.4\n");
    auto visit = server.WaitForVisit("/shim-probe", 5s);
    ASSERT_TRUE(visit);
    EXPECT_EQ(visit->peer, "127.0.0.1");
    std::vector<std::string> peers;
    for (const auto& seen : server.Visits()) {
        peers.push_back(seen.peer);
    }
    EXPECT_EQ(peers, (std::vector<std::string>{"127.0.0.1", "127.0.0.3", "127.0.0.4"}));
}

TEST_F(ExitShim, NothingOutsideLoopbackIsReached) {
    EXPECT_EQ(Probe("127.0.0.2", "10.20.30.40"), "refused Connection refused\n");
    EXPECT_EQ(Probe("127.0.0.2", "192.0.2.1", "bound"), "refused Connection refused\n");
    // Without the shim the namespace has no route there at all.
    EXPECT_EQ(Probe("", "10.20.30.40"), "refused Network is unreachable\n");
}

} // namespace
} // namespace quorvel::e2e

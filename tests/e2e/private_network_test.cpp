// The test network itself, without the program: a plain tor client joins it and Firefox reaches the page
// through one of its exits, while Firefox without a proxy reaches it directly.
#include "e2e/child_process.h"
#include "e2e/control_probe.h"
#include "e2e/e2e_support.h"
#include "e2e/headless_firefox.h"
#include "e2e/private_tor_network.h"
#include "e2e/show_ip_server.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>
#include <set>

namespace quorvel::e2e {
namespace {

using namespace std::chrono_literals;

const std::set<std::string> kExitAddresses = {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"};

TEST(PrivateNetwork, PlainTorClientAndFirefoxReachThePageThroughAnExit) {
    test::TestEnvironment env;
    std::string error;
    PrivateTorNetwork network(env.Root() + "/network", QUORVEL_E2E_EXIT_SHIM);
    ASSERT_TRUE(network.Start(error)) << error;
    ShowIpServer server;
    ASSERT_TRUE(server.Start(8080, error)) << error;

    // While the network forms: the page seen directly.
    test::MakeFolders(env.Home() + "/direct");
    ASSERT_TRUE(WriteText(env.Home() + "/direct/user.js", HeadlessFirefox::QuietPreferences()));
    HeadlessFirefox direct(env.Home(), env.Home() + "/direct", env.Root());
    auto seenDirectly = direct.Visit(server, "/direct", 90s);
    ASSERT_TRUE(seenDirectly);
    EXPECT_EQ(seenDirectly->peer, "127.0.0.1");
    EXPECT_NE(seenDirectly->userAgent.find("Firefox/"), std::string::npos);

    ASSERT_TRUE(network.WaitForConsensus(120s)) << network.Diagnostics();
    Log("the authorities published a consensus with every node running");

    const std::string clientFolder = env.Root() + "/client";
    test::MakeFolders(clientFolder);
    ASSERT_TRUE(WriteText(clientFolder + "/torrc", "SocksPort 9050\nControlPort 9051\nDataDirectory " + clientFolder +
                                                       "/data\nLog notice file " + clientFolder + "/notice.log\n" +
                                                       network.ClientOptions()));
    ChildProcess client;
    ChildProcess::Options options;
    options.logFile = clientFolder + "/stdout.log";
    ASSERT_TRUE(client.Start("/usr/sbin/tor", {"-f", clientFolder + "/torrc"}, options, error)) << error;
    const bool bootstrapped = WaitUntil(
        [&] { return ReadText(clientFolder + "/notice.log").find("Bootstrapped 100%") != std::string::npos; }, 90s);
    ASSERT_TRUE(bootstrapped) << Tail(clientFolder + "/notice.log", 30) << network.Diagnostics();
    Log("the client has its first circuit");

    ControlProbe probe(9051, "");
    const std::vector<std::pair<std::string, std::string>> countries = {
        {"127.0.0.2", "de"}, {"127.0.0.3", "de"}, {"127.0.0.4", "fr"}, {"127.0.0.5", "us"}};
    for (const auto& [address, country] : countries) {
        auto reply = probe.Ask("GETINFO ip-to-country/" + address);
        ASSERT_TRUE(reply);
        Log("control port: " + reply->front());
        EXPECT_EQ(reply->front(), "250-ip-to-country/" + address + "=" + country);
    }

    test::MakeFolders(env.Home() + "/proxied");
    ASSERT_TRUE(WriteText(env.Home() + "/proxied/user.js", HeadlessFirefox::QuietPreferences() +
                                                               "user_pref(\"network.proxy.type\", 1);\n"
                                                               "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n"
                                                               "user_pref(\"network.proxy.socks_port\", 9050);\n"));
    HeadlessFirefox proxied(env.Home(), env.Home() + "/proxied", env.Root());
    auto seenThroughTor = proxied.Visit(server, "/through-tor", 90s);
    ASSERT_TRUE(seenThroughTor) << Tail(clientFolder + "/notice.log", 30);
    EXPECT_TRUE(kExitAddresses.count(seenThroughTor->peer)) << seenThroughTor->peer;

    client.Stop();
    network.Stop();
    server.Stop();
}

} // namespace
} // namespace quorvel::e2e

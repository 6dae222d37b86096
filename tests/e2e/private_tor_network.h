#pragma once

#include "e2e/child_process.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace quorvel::e2e {

// A Tor network of its own on loopback, made only from Debian's tor and tor-gencert: three directory
// authorities (on 127.0.0.1), two middle relays (127.0.0.1) and four exits, each exit on its own address
// (127.0.0.2 to 127.0.0.5) so that a web server on 127.0.0.1 sees which exit a request came through. Its GeoIP
// file puts the exits on 127.0.0.2 and 127.0.0.3 in DE, 127.0.0.4 in FR and 127.0.0.5 in US.
// Run it inside a private network namespace: its ports are fixed.
class PrivateTorNetwork {
public:
    enum class Role { Authority, Middle, Exit };

    struct Node {
        std::string nickname;
        Role role = Role::Middle;
        std::string address;
        std::uint16_t orPort = 0;
        std::uint16_t dirPort = 0; // authorities only
        std::string country;       // exits only: the GeoIP file's code
        std::string folder;
        std::string fingerprint; // relay identity, 40 hex digits
        std::string v3Identity;  // authorities only
        std::unique_ptr<ChildProcess> process;
    };

    // `folder` holds every node's data; `exitShim` is the preload library that gives each exit its address.
    PrivateTorNetwork(std::string folder, std::string exitShim);
    ~PrivateTorNetwork();
    PrivateTorNetwork(const PrivateTorNetwork&) = delete;
    PrivateTorNetwork& operator=(const PrivateTorNetwork&) = delete;

    // Makes the keys, the torrc of every node and the GeoIP file, and starts every node.
    bool Start(std::string& error);
    // Waits until the authorities have published a consensus that lists every node as running and every exit
    // with the Exit flag.
    bool WaitForConsensus(std::chrono::milliseconds limit);
    // Takes every exit of a country out of the network: the authorities reject them from now on, and they are
    // stopped. Waits until the published consensus no longer lists them.
    bool TakeOutExits(const std::string& country, std::chrono::milliseconds limit);
    // Stops every node the network started.
    void Stop();

    // The torrc lines a client needs to join the network.
    std::string ClientOptions() const;
    std::string GeoIpFile() const;
    const std::vector<Node>& Nodes() const { return m_nodes; }
    // The exits of a country; every exit for an empty code.
    std::vector<const Node*> Exits(const std::string& country = "") const;
    // Nickname -> flags of the consensus that the authorities publish now (empty when there is none).
    std::map<std::string, std::set<std::string>> PublishedConsensus() const;
    // The last lines of every node's notice log, for a failure report.
    std::string Diagnostics() const;

private:
    bool MakeAuthorityKeys(Node& node, std::string& error);
    bool ReadFingerprint(Node& node, std::string& error);
    std::string NodeTorrc(const Node& node) const;
    std::string AuthorityLines() const;
    bool LaunchNode(Node& node, std::string& error);

    std::string m_folder;
    std::string m_exitShim;
    std::vector<Node> m_nodes;
};

} // namespace quorvel::e2e

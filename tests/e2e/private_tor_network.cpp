#include "e2e/private_tor_network.h"

#include "e2e/e2e_support.h"

#include <csignal>
#include <future>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::e2e {

namespace {

constexpr const char* kTor = "/usr/sbin/tor";
constexpr const char* kTorGencert = "/usr/bin/tor-gencert";
constexpr auto kToolLimit = std::chrono::seconds(60);

// 127.0.0.x as the integer that GeoIP files use.
std::string LoopbackNumber(int last) {
    return std::to_string((127u << 24) + static_cast<unsigned>(last));
}

std::string HexOnly(const std::string& text) {
    std::string hex;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            hex += c;
        }
    }
    return hex;
}

} // namespace

PrivateTorNetwork::PrivateTorNetwork(std::string folder, std::string exitShim)
    : m_folder(std::move(folder)), m_exitShim(std::move(exitShim)) {
    auto add = [this](const std::string& nickname, Role role, const std::string& address, std::uint16_t orPort,
                      std::uint16_t dirPort, const std::string& country) {
        Node node;
        node.nickname = nickname;
        node.role = role;
        node.address = address;
        node.orPort = orPort;
        node.dirPort = dirPort;
        node.country = country;
        node.folder = m_folder + "/" + nickname;
        m_nodes.push_back(std::move(node));
    };
    add("auth1", Role::Authority, "127.0.0.1", 5001, 7001, "");
    add("auth2", Role::Authority, "127.0.0.1", 5002, 7002, "");
    add("auth3", Role::Authority, "127.0.0.1", 5003, 7003, "");
    add("middle1", Role::Middle, "127.0.0.1", 5004, 0, "");
    add("middle2", Role::Middle, "127.0.0.1", 5005, 0, "");
    add("exitde1", Role::Exit, "127.0.0.2", 5006, 0, "DE");
    add("exitde2", Role::Exit, "127.0.0.3", 5007, 0, "DE");
    add("exitfr", Role::Exit, "127.0.0.4", 5008, 0, "FR");
    add("exitus", Role::Exit, "127.0.0.5", 5009, 0, "US");
}

PrivateTorNetwork::~PrivateTorNetwork() {
    Stop();
}

std::string PrivateTorNetwork::GeoIpFile() const {
    return m_folder + "/geoip";
}

std::vector<const PrivateTorNetwork::Node*> PrivateTorNetwork::Exits(const std::string& country) const {
    std::vector<const Node*> exits;
    for (const auto& node : m_nodes) {
        if (node.role == Role::Exit && (country.empty() || node.country == country)) {
            exits.push_back(&node);
        }
    }
    return exits;
}

bool PrivateTorNetwork::MakeAuthorityKeys(Node& node, std::string& error) {
    const std::string keys = node.folder + "/keys";
    ::mkdir(keys.c_str(), 0700);
    // An empty passphrase on standard input.
    auto made =
        RunAndCapture(kTorGencert,
                      {"--create-identity-key", "-m", "12", "-a", node.address + ":" + std::to_string(node.dirPort),
                       "-i", keys + "/authority_identity_key", "-s", keys + "/authority_signing_key", "-c",
                       keys + "/authority_certificate", "--passphrase-fd", "0"},
                      m_folder, kToolLimit, "\n");
    if (!made) {
        error = "tor-gencert failed for " + node.nickname;
        return false;
    }
    std::istringstream certificate(ReadText(keys + "/authority_certificate"));
    for (std::string line; std::getline(certificate, line);) {
        if (line.rfind("fingerprint ", 0) == 0) {
            node.v3Identity = HexOnly(line.substr(12));
        }
    }
    if (node.v3Identity.size() != 40) {
        error = "no v3 identity in the certificate of " + node.nickname;
        return false;
    }
    return true;
}

bool PrivateTorNetwork::ReadFingerprint(Node& node, std::string& error) {
    // Tor makes the relay's identity key in its data folder and prints "nickname XXXX XXXX ...".
    const std::string empty = m_folder + "/empty-torrc";
    auto printed = RunAndCapture(kTor,
                                 {"--quiet", "--list-fingerprint", "-f", empty, "--DataDirectory", node.folder,
                                  "--ORPort", node.address + ":" + std::to_string(node.orPort), "--Address",
                                  node.address, "--Nickname", node.nickname, "--SocksPort", "0"},
                                 m_folder, kToolLimit);
    if (!printed) {
        error = "tor --list-fingerprint failed for " + node.nickname;
        return false;
    }
    std::istringstream words(*printed);
    std::string nickname;
    words >> nickname;
    std::string rest;
    std::getline(words, rest);
    node.fingerprint = HexOnly(rest);
    if (nickname != node.nickname || node.fingerprint.size() != 40) {
        error = "unexpected fingerprint output for " + node.nickname + ": " + *printed;
        return false;
    }
    return true;
}

std::string PrivateTorNetwork::AuthorityLines() const {
    std::string lines;
    for (const auto& node : m_nodes) {
        if (node.role == Role::Authority) {
            lines += "DirAuthority " + node.nickname + " orport=" + std::to_string(node.orPort) +
                     " no-v2 v3ident=" + node.v3Identity + " " + node.address + ":" + std::to_string(node.dirPort) +
                     " " + node.fingerprint + "\n";
        }
    }
    return lines;
}

std::string PrivateTorNetwork::ClientOptions() const {
    // Without TestingTorNetwork a client refuses relays on loopback and insists on distinct subnets.
    return "TestingTorNetwork 1\n" + AuthorityLines() + "GeoIPFile " + GeoIpFile() + "\n";
}

std::string PrivateTorNetwork::NodeTorrc(const Node& node) const {
    std::ostringstream torrc;
    torrc << "TestingTorNetwork 1\n"
          << "DataDirectory " << node.folder << "\n"
          << "Nickname " << node.nickname << "\n"
          << "ContactInfo e2e@quorvel.invalid\n"
          << "Address " << node.address << "\n"
          << "ORPort " << node.address << ":" << node.orPort << "\n"
          << "SocksPort 0\n"
          << "AssumeReachable 1\n"
          << "PathsNeededToBuildCircuits 0.25\n"
          << "TestingDirAuthVoteGuard *\n"
          << "TestingDirAuthVoteHSDir *\n"
          << "GeoIPFile " << GeoIpFile() << "\n"
          << "Log notice file " << node.folder << "/notice.log\n"
          << AuthorityLines();
    switch (node.role) {
    case Role::Authority: {
        std::string exits;
        for (const Node* exit : Exits()) {
            exits += (exits.empty() ? "" : ",") + exit->fingerprint;
        }
        torrc << "DirPort " << node.address << ":" << node.dirPort << "\n"
              << "AuthoritativeDirectory 1\nV3AuthoritativeDirectory 1\n"
              << "V3AuthVotingInterval 10\nV3AuthVoteDelay 2\nV3AuthDistDelay 2\n"
              << "TestingV3AuthInitialVotingInterval 10\nTestingV3AuthInitialVoteDelay 2\n"
              << "TestingV3AuthInitialDistDelay 2\n"
              << "TestingDirAuthVoteExit " << exits << "\nTestingDirAuthVoteExitIsStrict 1\n"
              << "TestingMinExitFlagThreshold 0\nAuthDirTestReachability 0\n"
              << "ExitPolicy reject *:*\n";
        break;
    }
    case Role::Middle:
        torrc << "DirCache 0\nExitPolicy reject *:*\n";
        break;
    case Role::Exit:
        // An exit policy that accepts only 127.0.0.0/8 is never chosen by clients; the preload shim keeps every
        // destination on loopback instead.
        torrc << "DirCache 0\nExitRelay 1\nExitPolicyRejectPrivate 0\nExitPolicy accept *:*\n"
              << "ServerDNSDetectHijacking 0\n";
        break;
    }
    return torrc.str();
}

bool PrivateTorNetwork::LaunchNode(Node& node, std::string& error) {
    ChildProcess::Options options;
    options.logFile = node.folder + "/stdout.log";
    if (node.role == Role::Exit) {
        options.environment = {"LD_PRELOAD=" + m_exitShim, "QUORVEL_EXIT_ADDRESS=" + node.address};
    }
    node.process = std::make_unique<ChildProcess>();
    // A node that outlives a crashed test ends by itself.
    return node.process->Start(
        kTor, {"-f", node.folder + "/torrc", "__OwningControllerProcess", std::to_string(::getpid())}, options, error);
}

bool PrivateTorNetwork::Start(std::string& error) {
    if (::access(m_exitShim.c_str(), R_OK) != 0) {
        error = "the exit shim is missing: " + m_exitShim;
        return false;
    }
    ::mkdir(m_folder.c_str(), 0700);
    const std::string geoip = "# The private test network's exits\n" + LoopbackNumber(2) + "," + LoopbackNumber(3) +
                              ",DE\n" + LoopbackNumber(4) + "," + LoopbackNumber(4) + ",FR\n" + LoopbackNumber(5) +
                              "," + LoopbackNumber(5) + ",US\n";
    if (!WriteText(GeoIpFile(), geoip) || !WriteText(m_folder + "/empty-torrc", "")) {
        error = "cannot write " + GeoIpFile();
        return false;
    }
    // Making the keys takes a second or two per node, most of it waiting: all nodes at once.
    std::vector<std::future<std::string>> made;
    for (auto& node : m_nodes) {
        ::mkdir(node.folder.c_str(), 0700);
        made.push_back(std::async(std::launch::async, [this, &node] {
            std::string failure;
            if ((node.role == Role::Authority && !MakeAuthorityKeys(node, failure)) ||
                !ReadFingerprint(node, failure)) {
                return failure;
            }
            return std::string();
        }));
    }
    for (auto& result : made) {
        if (std::string failure = result.get(); !failure.empty() && error.empty()) {
            error = failure;
        }
    }
    if (!error.empty()) {
        return false;
    }
    for (auto& node : m_nodes) {
        if (!WriteText(node.folder + "/torrc", NodeTorrc(node))) {
            error = "cannot write the torrc of " + node.nickname;
            return false;
        }
    }
    for (auto& node : m_nodes) {
        if (!LaunchNode(node, error)) {
            return false;
        }
        Log("started " + node.nickname + " (pid " + std::to_string(node.process->Pid()) + ") on " + node.address + ":" +
            std::to_string(node.orPort) + (node.country.empty() ? "" : ", country " + node.country) + ", fingerprint " +
            node.fingerprint);
    }
    return true;
}

std::map<std::string, std::set<std::string>> PrivateTorNetwork::PublishedConsensus() const {
    std::map<std::string, std::set<std::string>> routers;
    // The flavour that clients use.
    std::istringstream lines(ReadText(m_nodes.front().folder + "/cached-microdesc-consensus"));
    std::string current;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "r") {
            words >> current;
            routers[current];
        } else if (keyword == "s" && !current.empty()) {
            for (std::string flag; words >> flag;) {
                routers[current].insert(flag);
            }
        }
    }
    return routers;
}

bool PrivateTorNetwork::WaitForConsensus(std::chrono::milliseconds limit) {
    return WaitUntil(
        [this] {
            const auto routers = PublishedConsensus();
            for (const auto& node : m_nodes) {
                auto found = routers.find(node.nickname);
                if (found == routers.end() || !found->second.count("Running") || !found->second.count("Valid") ||
                    (node.role == Role::Exit && !found->second.count("Exit"))) {
                    return false;
                }
            }
            return true;
        },
        limit, std::chrono::milliseconds(500));
}

bool PrivateTorNetwork::TakeOutExits(const std::string& country, std::chrono::milliseconds limit) {
    const auto exits = Exits(country);
    std::string rejected;
    for (const Node* exit : exits) {
        rejected += "!reject " + exit->fingerprint + "\n";
    }
    // Reading the approved-routers list again makes an authority drop the routers it now rejects at once.
    for (auto& node : m_nodes) {
        if (node.role == Role::Authority) {
            WriteText(node.folder + "/approved-routers", rejected);
            ::kill(node.process->Pid(), SIGHUP);
        }
    }
    for (auto& node : m_nodes) {
        if (node.role == Role::Exit && node.country == country) {
            node.process->Stop();
            Log("stopped " + node.nickname + " and had the authorities reject it");
        }
    }
    return WaitUntil(
        [&] {
            const auto routers = PublishedConsensus();
            for (const Node* exit : exits) {
                if (routers.count(exit->nickname) != 0) {
                    return false;
                }
            }
            return !routers.empty();
        },
        limit, std::chrono::milliseconds(500));
}

void PrivateTorNetwork::Stop() {
    for (auto& node : m_nodes) {
        if (node.process) {
            node.process->Stop();
            node.process.reset();
        }
    }
}

std::string PrivateTorNetwork::Diagnostics() const {
    std::string text;
    for (const auto& node : m_nodes) {
        text += "--- " + node.nickname + " notice log ---\n" + Tail(node.folder + "/notice.log", 8);
    }
    return text;
}

} // namespace quorvel::e2e

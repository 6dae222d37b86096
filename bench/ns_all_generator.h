#pragma once

// A router-status reply as today's Tor gives it for GETINFO ns/all, made up from a seed: per router an "r" line, an
// "a" line (IPv6 address) for many of them, an "s" line of flags and a "w" line of bandwidth. Used by the
// countries benchmark and by tests that need a realistic status.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvel::bench {

struct GeneratedRouter {
    std::string nickname;
    std::string address;
    bool exit = false; // carries Exit or BadExit
    bool ipv6 = false; // has an "a" line
};

struct GeneratedStatus {
    std::string reply; // "250+ns/all=" ... ".", "250 OK", every line ending in CR LF
    std::vector<GeneratedRouter> routers;
};

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= value < bound
    unsigned Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }
    bool Percent(unsigned percent) { return Below(1000) < percent * 10; }

private:
    std::uint64_t m_state;
};

// The country code (lower case, as Tor answers) that the scripted peer gives for an address; "??" for some.
inline std::string CountryCodeFor(std::string_view address) {
    static constexpr const char* kCodes[] = {"de", "us", "fr", "nl", "se", "ch", "gb", "ca", "at", "fi", "ro",
                                             "pl", "cz", "lu", "no", "es", "it", "jp", "sg", "au", "ru", "ua",
                                             "is", "dk", "be", "bg", "md", "hk", "br", "in", "za", "lt"};
    std::uint64_t hash = 1469598103934665603ull;
    for (char c : address) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    if (hash % 97 == 0) {
        return "??";
    }
    return kCodes[(hash >> 8) % (sizeof kCodes / sizeof kCodes[0])];
}

inline GeneratedStatus GenerateStatus(std::size_t routerCount, std::uint64_t seed = 8000) {
    static constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    Random random(seed);
    auto word = [&](std::string_view alphabet, std::size_t length) {
        std::string out;
        // The letters "Exit" anywhere else would make a router look like an exit.
        do {
            out.clear();
            for (std::size_t i = 0; i < length; ++i) {
                out += alphabet[random.Below(static_cast<unsigned>(alphabet.size()))];
            }
        } while (out.find("Exit") != std::string::npos);
        return out;
    };

    GeneratedStatus status;
    status.reply.reserve(routerCount * 200 + 64);
    status.reply += "250+ns/all=\r\n";
    std::unordered_set<std::string> used;
    for (std::size_t i = 0; i < routerCount; ++i) {
        GeneratedRouter router;
        if (random.Percent(2)) {
            router.nickname = "Unnamed";
        } else if (i > 10 && random.Percent(1)) {
            router.nickname = status.routers[random.Below(static_cast<unsigned>(i))].nickname;
        } else {
            do {
                router.nickname = word(kLetters, 5 + random.Below(15));
            } while (!used.insert(router.nickname).second);
        }
        router.address = std::to_string(1 + random.Below(223)) + "." + std::to_string(random.Below(256)) + "." +
                         std::to_string(random.Below(256)) + "." + std::to_string(1 + random.Below(254));
        router.ipv6 = random.Percent(45);
        bool badExit = random.Percent(1);
        router.exit = badExit || random.Percent(30);

        std::string& out = status.reply;
        out += "r " + router.nickname + " " + word(kBase64, 27) + " " + word(kBase64, 27) + " 2038-01-01 00:00:00 " +
               router.address + " " + (random.Percent(50) ? "9001" : "443") + " " +
               (random.Percent(10) ? "9030" : "0") + "\r\n";
        if (router.ipv6) {
            out += "a [2001:db8:" + std::to_string(random.Below(65536)) + "::" + std::to_string(random.Below(65536)) +
                   "]:9001\r\n";
        }
        out += "s";
        if (badExit) {
            out += " BadExit";
        }
        if (router.exit && !badExit) {
            out += " Exit";
        }
        out += " Fast";
        if (random.Percent(40)) {
            out += " Guard";
        }
        out += " HSDir Running Stable V2Dir Valid\r\n";
        out += "w Bandwidth=" + std::to_string(random.Below(200000)) + "\r\n";
        status.routers.push_back(std::move(router));
    }
    status.reply += ".\r\n250 OK\r\n";
    return status;
}

// What the exit-country listing must come to for a generated status: the address of every exit that gets a
// country, in the order its query is sent, and the number of distinct country codes among them.
struct ExpectedExits {
    std::vector<std::string> queriedAddresses; // one ip-to-country query each
    std::size_t exits = 0;                     // exits with a known country
    std::size_t countries = 0;
};

inline ExpectedExits ExpectedExitsOf(const GeneratedStatus& status) {
    ExpectedExits expected;
    std::unordered_set<std::string> listed;
    std::unordered_set<std::string> codes;
    for (const auto& router : status.routers) {
        if (!router.exit || router.nickname == "Unnamed" || listed.contains(router.nickname)) {
            continue;
        }
        expected.queriedAddresses.push_back(router.address);
        std::string code = CountryCodeFor(router.address);
        if (code == "??") {
            continue;
        }
        listed.insert(router.nickname);
        codes.insert(code);
        ++expected.exits;
    }
    expected.countries = codes.size();
    return expected;
}

} // namespace quorvel::bench

// A stand-in for Tor/tor in the program folder, for the start-up benchmark: started the way the program starts
// Tor (-f torrc, __OwningControllerProcess pid), it opens the torrc's ControlPort (9051 when none is given) at once
// and answers there as the scripted peer does; it ends after answering "SIGNAL HALT", when the port is already
// taken (as Tor does), or once the owning process is gone.
//
// With $QUORVEL_BENCH_TOR_LOG set it appends one line per start to that file:
//   tor pid=<pid> started_ns=<monotonic> listening_ns=<monotonic or 0 when the port was taken>

#include "ns_all_generator.h"
#include "scripted_peer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace {

long long MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::uint16_t ControlPortOf(const std::string& torrc) {
    std::ifstream in(torrc);
    std::string line;
    while (std::getline(in, line)) {
        constexpr std::string_view kKey = "ControlPort ";
        if (line.starts_with(kKey)) {
            return static_cast<std::uint16_t>(std::atoi(line.c_str() + kKey.size()));
        }
    }
    return 9051;
}

void Log(long long started, long long listening) {
    if (const char* path = std::getenv("QUORVEL_BENCH_TOR_LOG")) {
        if (std::FILE* log = std::fopen(path, "a")) {
            std::fprintf(log, "tor pid=%d started_ns=%lld listening_ns=%lld\n", static_cast<int>(::getpid()), started,
                         listening);
            std::fclose(log);
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const long long started = MonotonicNs();
    std::string torrc;
    pid_t owner = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-f") {
            torrc = argv[++i];
        } else if (arg == "__OwningControllerProcess") {
            owner = static_cast<pid_t>(std::atoi(argv[++i]));
        }
    }

    quorvel::bench::ScriptedPeer peer("250-ns/all=\r\n250 OK\r\n", ControlPortOf(torrc));
    if (peer.Port() == 0) {
        Log(started, 0);
        std::fprintf(stderr, "stand-in tor: could not bind the control port\n");
        return 1;
    }
    Log(started, MonotonicNs());
    peer.SetHaltHandler([] { std::_Exit(0); });
    if (owner > 0) {
        std::thread([owner] {
            while (::kill(owner, 0) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
            std::_Exit(0);
        }).detach();
    }
    peer.ServeForever();
}

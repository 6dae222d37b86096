// Times the exit-country listing (router status, one country query per exit, counting and sorting) against a
// control port, beside a minimal client that only receives the same status and sends the same queries on the same
// peer. Both are timed on a connection already authenticated, as the user asks for the list while connected: pipelined
// (every query sent back to back, the answers read in order), which is the target, and one query at a time, for
// comparison.
//
//   quorvel-bench-countries [--port N] [--runs N] [--routers N] [--external] [--verbose]
//
// Without --external it starts its own scripted peer (in a child process) serving a generated status of --routers
// routers on --port (0 or none: a free port). With --external it talks to whatever answers on --port, a real Tor
// for example; the minimal client then asks the status first to learn its queries. --verbose prints every run.

#include "ns_all_generator.h"
#include "scripted_peer.h"

#include "app/language_file.h"
#include "app/settings_store.h"
#include "platform/paths.h"
#include "platform/tcp_connection.h"
#include "platform/ui.h"
#include "tor/exit_countries.h"
#include "tor/router_status.h"
#include "tor/tor_controller.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <new>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Live heap bytes and their peak, so the listing's memory can be set against the size of the status reply. They
// are counted in a listing of their own, not in the timed ones, which would otherwise time the counting too.
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_peakBytes{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    if (!g_counting.load(std::memory_order_relaxed)) {
        return p;
    }
    long long live = g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void Release(void* p) noexcept {
    if (p != nullptr && g_counting.load(std::memory_order_relaxed)) {
        g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    }
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}

namespace {

using namespace quorvel;
using Clock = std::chrono::steady_clock;

struct Options {
    std::uint16_t port = 0;
    int runs = 11;
    std::size_t routers = 8000;
    bool external = false;
    bool verbose = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto number = [&](long long low, long long high, long long& out) {
            if (i + 1 >= argc) {
                return false;
            }
            char* end = nullptr;
            out = std::strtoll(argv[++i], &end, 10);
            return *end == '\0' && out >= low && out <= high;
        };
        long long value = 0;
        if (arg == "--port" && number(0, 65535, value)) {
            options.port = static_cast<std::uint16_t>(value);
        } else if (arg == "--runs" && number(1, 1000, value)) {
            options.runs = static_cast<int>(value);
        } else if (arg == "--routers" && number(0, 1000000, value)) {
            options.routers = static_cast<std::size_t>(value);
        } else if (arg == "--external") {
            options.external = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            std::fprintf(stderr, "usage: %s [--port N] [--runs N] [--routers N] [--external] [--verbose]\n", argv[0]);
            return false;
        }
    }
    if (options.external && options.port == 0) {
        std::fprintf(stderr, "--external needs --port\n");
        return false;
    }
    return true;
}

// Shows nothing: a message here means the run went wrong, which the counts show anyway.
class QuietUi final : public Ui {
public:
    MessageResult ShowMessage(const std::string&, const std::string& text, MessageIcon, MessageButtons,
                              MessageOwner) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return MessageResult::Ok;
    }
    void ShowBalloon(const std::string&, const std::string&) override {}
    void UpdateTrayIcon(std::optional<int>, const std::string&) override {}
    ModeChoice AskMode() override { return ModeChoice::Fast; }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override { return std::nullopt; }
};

// Receives until `end` has arrived, searching only the new bytes; false when the connection ends first.
bool ReceiveUntil(TcpConnection& connection, std::string& text, std::string_view end) {
    text.clear();
    char buffer[65536];
    for (;;) {
        std::size_t before = text.size();
        long count = connection.Receive(buffer, sizeof buffer);
        if (count <= 0) {
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
        std::size_t from = before >= end.size() ? before - end.size() + 1 : 0;
        if (text.find(end, from) != std::string::npos) {
            return true;
        }
    }
}

// The unavoidable work once authenticated: receive the whole status, send every query and receive its answer. One
// query at a time, or pipelined: a second thread sends all queries back to back while this one counts the answers.
// `started` is when that work began.
bool MinimalClient(std::uint16_t port, const std::vector<std::string>& queries, bool pipelined,
                   std::size_t& statusBytes, Clock::time_point& started) {
    auto connection = TcpConnection::Connect(port);
    std::string text;
    if (!connection || !connection->Send("AUTHENTICATE \"Vintreal\"\r\n") || !ReceiveUntil(*connection, text, "\r\n")) {
        return false;
    }
    started = Clock::now();
    if (!connection->Send("GETINFO ns/all\r\n") || !ReceiveUntil(*connection, text, "\r\n250 OK\r\n")) {
        return false;
    }
    statusBytes = text.size();
    if (!pipelined) {
        for (const auto& query : queries) {
            if (!connection->Send(query) || !ReceiveUntil(*connection, text, "250 OK\r\n")) {
                return false;
            }
        }
        return true;
    }
    std::string all;
    for (const auto& query : queries) {
        all += query;
    }
    bool sent = false;
    std::thread sender([&] { sent = connection->Send(all); });
    constexpr std::string_view kEnd = "250 OK\r\n";
    std::size_t answers = 0;
    std::string pending;
    char buffer[65536];
    while (answers < queries.size()) {
        long count = connection->Receive(buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        std::size_t from = 0;
        for (std::size_t at; (at = pending.find(kEnd, from)) != std::string::npos; from = at + kEnd.size()) {
            ++answers;
        }
        pending.erase(0, from);
    }
    sender.join();
    return sent && answers == queries.size();
}

// The queries the listing sends for a status text: one per new exit nickname. Only for --external, where the
// status is not known beforehand; it asks for the status once, outside the timing.
std::vector<std::string> QueriesOfStatus(std::uint16_t port) {
    std::vector<std::string> queries;
    auto connection = TcpConnection::Connect(port);
    std::string text;
    if (!connection || !connection->Send("AUTHENTICATE \"Vintreal\"\r\n") || !ReceiveUntil(*connection, text, "\r\n") ||
        !connection->Send("GETINFO ns/all\r\n") || !ReceiveUntil(*connection, text, "\r\n250 OK\r\n")) {
        return queries;
    }
    std::vector<std::string> seen;
    RouterStatusReader routers(text);
    std::string router;
    while (routers.Next(router)) {
        auto nickname = std::string(RouterNickname(router));
        auto address = RouterAddress(router);
        if (IsExitRouter(router) && address && nickname != "Unnamed" && nickname != "TorKServer" &&
            nickname.find('-') == std::string::npos && std::find(seen.begin(), seen.end(), nickname) == seen.end()) {
            seen.push_back(nickname);
            queries.push_back("getinfo ip-to-country/" + std::string(*address) + "\r\n");
        }
    }
    return queries;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }
    // Freed memory stays with the process. Otherwise a client that follows one with a larger peak faults in again
    // what that one gave back to the system (a tick of 10 ms here), and the runs time the order of the clients.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);

    // The controller reads settings and texts from the application-data folder: never the user's own.
    char folder[] = "/tmp/quorvel-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", folder, 1);

    std::uint16_t port = options.port;
    pid_t peerProcess = -1;
    std::vector<std::string> queries;
    bench::ExpectedExits expected;
    std::size_t replyBytes = 0;
    if (!options.external) {
        auto status = bench::GenerateStatus(options.routers);
        expected = bench::ExpectedExitsOf(status);
        for (const auto& address : expected.queriedAddresses) {
            queries.push_back("getinfo ip-to-country/" + address + "\r\n");
        }
        replyBytes = status.reply.size();
        bench::ScriptedPeer peer(std::move(status.reply), options.port);
        if (peer.Port() == 0) {
            std::fprintf(stderr, "cannot listen on 127.0.0.1:%u\n", options.port);
            return 1;
        }
        port = peer.Port();
        // The peer runs in a process of its own, so that its memory and threads do not count as the listing's.
        peerProcess = fork();
        if (peerProcess == 0) {
            peer.ServeForever();
        }
        if (peerProcess < 0) {
            std::perror("fork");
            return 1;
        }
    } else {
        queries = QueriesOfStatus(port);
    }

    LinuxPaths paths;
    SettingsStore settings(paths);
    LanguageFile language(paths, settings);
    QuietUi ui;
    TorTiming timing;
    timing.newIdentityPause = std::chrono::milliseconds(0);

    std::vector<double> listing;
    std::vector<double> minimal;    // pipelined
    std::vector<double> sequential; // one query at a time
    std::size_t exits = 0;
    std::size_t countries = 0;
    std::vector<double> ratios;
    long long peakOverBaseline = 0;
    bool ok = true;
    {
        g_counting = true;
        TorController tor(ui, language, settings, paths, port, timing);
        long long baseline = g_liveBytes.load();
        g_peakBytes.store(baseline);
        ok = tor.ConnectAndWatch();
        LoadExitCountries(tor, nullptr);
        peakOverBaseline = g_peakBytes.load() - baseline;
        g_counting = false;
    }
    auto timeListing = [&] {
        TorController tor(ui, language, settings, paths, port, timing);
        ok = tor.ConnectAndWatch() && ok;
        auto start = Clock::now();
        LoadExitCountries(tor, nullptr);
        listing.push_back(MillisecondsSince(start));
        exits = tor.ExitLists().m_exitNicknames.size();
        countries = tor.ExitLists().m_countryList.size();
    };
    auto timeMinimal = [&](bool pipelined, std::vector<double>& times) {
        std::size_t statusBytes = 0;
        auto start = Clock::now();
        ok = MinimalClient(port, queries, pipelined, statusBytes, start) && ok;
        times.push_back(MillisecondsSince(start));
        if (options.external) {
            replyBytes = statusBytes;
        }
    };
    // Each run times the listing and the pipelined client back to back, each first in turn, so that whatever else
    // the machine does at that moment weighs on both; the ratio is the median of the runs' ratios. The
    // one-at-a-time client runs apart, afterwards: its thousands of round trips slowed whichever client came next.
    for (int run = 0; run < options.runs && ok; ++run) {
        if (run % 2 == 0) {
            timeListing();
            timeMinimal(true, minimal);
        } else {
            timeMinimal(true, minimal);
            timeListing();
        }
        ratios.push_back(minimal.back() > 0 ? listing.back() / minimal.back() : 0.0);
        if (options.verbose) {
            std::printf("run %d: listing_ms=%.2f minimal_ms=%.2f\n", run, listing.back(), minimal.back());
        }
    }
    for (int run = 0; run < options.runs && ok; ++run) {
        timeMinimal(false, sequential);
    }

    if (peerProcess > 0) {
        kill(peerProcess, SIGKILL);
        waitpid(peerProcess, nullptr, 0);
    }
    std::filesystem::remove_all(folder);

    if (!ok) {
        std::fprintf(stderr, "the control port on 127.0.0.1:%u did not answer as expected\n", port);
        return 1;
    }
    if (!options.external && (exits != expected.exits || countries != expected.countries)) {
        std::fprintf(stderr, "wrong result: %zu exits in %zu countries, expected %zu in %zu\n", exits, countries,
                     expected.exits, expected.countries);
        return 1;
    }

    double listingMedian = Median(listing);
    double minimalMedian = Median(minimal);
    std::printf("routers=%zu reply_bytes=%zu queries=%zu runs=%d port=%u\n", options.routers, replyBytes,
                queries.size(), options.runs, port);
    std::printf("minimal client, one query at a time: median_ms=%.2f\n", Median(sequential));
    std::printf("minimal client, pipelined: median_ms=%.2f\n", minimalMedian);
    std::printf("ratio to the one-at-a-time client: %.2f (for comparison; of the medians)\n",
                Median(sequential) > 0 ? listingMedian / Median(sequential) : 0.0);
    std::printf("ratio to minimal client: %.2f (pipelined; median of the runs; target 1.50 or less)\n", Median(ratios));
    std::printf("peak heap: %lld bytes = %.2f x reply (target under 4)\n", peakOverBaseline,
                replyBytes > 0 ? static_cast<double>(peakOverBaseline) / static_cast<double>(replyBytes) : 0.0);
    std::printf("countries: median_ms=%.2f exits=%zu countries=%zu\n", listingMedian, exits, countries);
    return 0;
}

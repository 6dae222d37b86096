#pragma once

#include "platform/manual_reset_event.h"
#include "tor/control_auth.h"
#include "tor/control_socket.h"
#include "tor/exit_countries.h"
#include "tor/reply_readers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quorvel {

class LanguageFile;
class Paths;
class SettingsStore;
class Ui;

// The waits of the control connection. The product keeps the defaults; tests shorten them.
struct TorTiming {
    // For the reply to a command that Tor answers at once.
    std::chrono::milliseconds replyLine = kReplyLineWait;
    // For each part of an address-to-country answer.
    std::chrono::milliseconds reply = kReplyWait;
    // For the first circuit before the router status is asked for.
    std::chrono::milliseconds circuit{60000};
    // After a new identity, so that Tor has switched before the user goes on.
    std::chrono::milliseconds newIdentityPause{3000};
};

// The client side of Tor's control port on 127.0.0.1: connecting and authenticating, the few commands the
// program sends, and the event watcher thread that waits for the first circuit on the command connection.
//
// Once a watcher runs on a connection it is that connection's only reader: a command sent there meanwhile gets
// its reply line handed over by the watcher, and the watcher does not end before every such reply has come, so no
// reply is ever left behind for the wrong reader. Everything else runs on the user-interface thread.
class TorController {
public:
    static constexpr std::uint16_t kControlPort = 9051;

    TorController(Ui& ui, const LanguageFile& language, const SettingsStore& settings, const Paths& paths,
                  std::uint16_t port = kControlPort, TorTiming timing = {});
    ~TorController();
    TorController(const TorController&) = delete;
    TorController& operator=(const TorController&) = delete;

    // Opens a new connection with a new, unset circuit-ready event, and authenticates. True on "250 OK".
    // A peer that is not the user's Tor is refused silently and its connection closed.
    bool Connect();
    // Opens a new connection, authenticates and starts the event watcher on it. True when authenticated. A peer
    // that is not the user's Tor is refused, its connection closed, and the user told.
    bool ConnectAndWatch();
    // SIGNAL NEWNYM; true on "250 OK", after a pause that lets Tor switch circuits.
    bool NewIdentity();
    // SIGNAL RELOAD: Tor reads its torrc again. Always true; without a connection the signal is lost.
    bool Reload();
    // SIGNAL HALT, then closes the command connection. Tor exits by itself.
    void Halt();

    // The connection every command goes to (the newest one), and the circuit-ready event.
    std::shared_ptr<ControlSocket> CommandConnection() const { return m_controlSocket; }
    std::shared_ptr<ManualResetEvent> CircuitEvent() const { return m_hCircuitEvent; }
    const TorTiming& Timing() const { return m_timing; }
    std::uint16_t Port() const { return m_port; }

    // The exit routers and countries of the last LoadExitCountries; they live as long as the program runs.
    ExitCountryLists& ExitLists() { return m_exitLists; }
    const ExitCountryLists& ExitLists() const { return m_exitLists; }

    // The connection for the router-status queries. While the watcher still reads the command connection this
    // waits for the circuit (up to its time limit) and for the watcher to finish; if it is still reading then,
    // a connection of its own is opened, so the two never share one reply. Nothing without a usable connection.
    std::shared_ptr<ControlSocket> ConnectionForQueries();
    // For a connection whose replies can no longer be paired with their commands (an answer did not come in
    // time and may still come, to be taken for the next one): it is closed, and when it was the command
    // connection a fresh one takes its place, so that the commands after it (Stop among them) still reach Tor.
    void DropOutOfStep(const std::shared_ptr<ControlSocket>& socket);

    // True when the circuit-ready event is set for a circuit, and not because the watcher gave up on the exit
    // country (which sets it too, so that nobody waits for a circuit that will not come).
    bool CircuitOpened() const;

    // True while an event watcher reads the command connection.
    bool IsWatching() const;
    // Waits until no watcher reads any more; true when none does within the limit.
    bool WaitWatcherEnded(std::chrono::milliseconds limit) const;

private:
    struct WatcherSession {
        std::shared_ptr<ControlSocket> socket;
        std::shared_ptr<ManualResetEvent> event;
        bool reading = true;
        // Replies to commands that others sent on the watched connection, in order; an empty slot is a reply
        // that nobody waits for.
        std::deque<std::shared_ptr<std::promise<std::optional<std::string>>>> owed;
    };

    // What the user-interface thread and the watcher share, under one lock: the watcher's copies of the
    // connection and event, and the session of the watcher that reads now.
    struct WatcherShared {
        mutable std::mutex mutex;
        mutable std::condition_variable ended;
        std::shared_ptr<ControlSocket> g_watcherSocket;
        std::shared_ptr<ControlSocket> g_controlSocket;
        std::shared_ptr<ManualResetEvent> g_hCircuitEvent;
        std::shared_ptr<WatcherSession> current;
        // The circuit-ready event that the exit-country failure set.
        std::shared_ptr<ManualResetEvent> exitFailedEvent;
    };

    struct WatcherThread {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    enum class ReplyWanted { Wait, DontWait };

    // Sends a command and gives its reply line: read here, or handed over by the watcher that reads the connection.
    std::optional<std::string> Exchange(const std::shared_ptr<ControlSocket>& socket, std::string_view command,
                                        ReplyWanted wanted);
    // Closes the connection when the peer is not the user's Tor.
    ControlAuthResult Authenticate(ControlSocket& socket);
    // Ends the watcher of an earlier connection and joins the threads that have finished.
    void RetireWatcher();
    bool WatcherReadsLocked(const std::shared_ptr<ControlSocket>& socket) const;

    // The watcher thread and what it does on Tor's notices.
    void RunWatcher(std::shared_ptr<WatcherSession> session, std::promise<void> subscribed,
                    std::shared_ptr<std::atomic<bool>> finished);
    // Releases the waiters of the session's circuit-ready event, marking it as no circuit.
    void SetExitFailed(WatcherSession& session);
    // Its messages go to `ui`.
    void HandleExitCountryFailure(const std::shared_ptr<WatcherSession>& session, Ui& ui);
    void ReloadFromWatcher(const std::shared_ptr<WatcherSession>& session);

    Ui& m_ui;
    const LanguageFile& m_language;
    const SettingsStore& m_settings;
    const Paths& m_paths;
    const std::uint16_t m_port;
    const TorTiming m_timing;

    // User-interface thread only.
    std::shared_ptr<ControlSocket> m_controlSocket;
    std::shared_ptr<ManualResetEvent> m_hCircuitEvent;
    ExitCountryLists m_exitLists;
    std::vector<WatcherThread> m_watchers;

    WatcherShared m_shared;
};

} // namespace quorvel

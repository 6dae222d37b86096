#include "tor/tor_controller.h"

#include "app/language_file.h"
#include "platform/ui.h"
#include "tor/control_auth.h"
#include "tor/torrc_file.h"

#include <cstdio>
#include <system_error>

namespace quorvel {

namespace {

constexpr std::string_view kNewIdentity = "SIGNAL NEWNYM\r\n";
constexpr std::string_view kReload = "SIGNAL RELOAD\r\n";
constexpr std::string_view kHalt = "SIGNAL HALT\r\n";
constexpr std::string_view kOk = "250 OK";

void TraceConnecting() {
    std::fputs("Connecting to TOR...\r\n", stdout);
    std::fflush(stdout);
}

} // namespace

TorController::TorController(Ui& ui, const LanguageFile& language, const SettingsStore& settings, const Paths& paths,
                             std::uint16_t port, TorTiming timing)
    : m_ui(ui), m_language(language), m_settings(settings), m_paths(paths), m_port(port), m_timing(timing) {}

TorController::~TorController() {
    {
        std::lock_guard lock(m_shared.mutex);
        if (m_shared.current) {
            m_shared.current->socket->Close();
        }
    }
    for (auto& watcher : m_watchers) {
        watcher.thread.join();
    }
}

bool TorController::Connect() {
    RetireWatcher();
    TraceConnecting();
    // The event exists before the connection is tried, whatever its outcome: waiters always have one to wait on.
    m_hCircuitEvent = std::make_shared<ManualResetEvent>();
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.g_hCircuitEvent = m_hCircuitEvent;
    }
    m_controlSocket = ControlSocket::Connect(m_port);
    if (!m_controlSocket) {
        return false;
    }
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.g_controlSocket = m_controlSocket;
    }
    return Authenticate(*m_controlSocket) == ControlAuthResult::Authenticated;
}

bool TorController::ConnectAndWatch() {
    RetireWatcher();
    TraceConnecting();
    m_controlSocket = ControlSocket::Connect(m_port);
    if (!m_controlSocket) {
        return false;
    }
    auto socket = m_controlSocket;
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.g_watcherSocket = socket;
    }
    switch (Authenticate(*socket)) {
    case ControlAuthResult::Authenticated:
        break;
    case ControlAuthResult::NoAnswer:
        m_ui.ShowMessage(kMessageCaption, "Unable to read command", MessageIcon::Error, MessageButtons::Ok,
                         MessageOwner::MainWindow);
        return false;
    case ControlAuthResult::NotTor:
        // Every Start comes here after its plain connects, which stay silent: one message per Start.
        m_ui.ShowMessage(kMessageCaption,
                         m_language.GetText("Something other than your Tor answers on Tor's control port "
                                            "127.0.0.1:9051: it could not prove that it knows the cookie in your "
                                            "Tor data folder. Quorvel has refused to work with it. Another account "
                                            "on this computer may have taken the port.",
                                            "Messages", "Control port not Tor"),
                         MessageIcon::Error, MessageButtons::Ok, MessageOwner::MainWindow);
        return false;
    case ControlAuthResult::Refused:
        return false;
    }
    // A watcher must be able to signal something, and an event that an earlier watcher already set would
    // announce a circuit that this Tor has not opened.
    if (!m_hCircuitEvent || m_hCircuitEvent->IsSet()) {
        m_hCircuitEvent = std::make_shared<ManualResetEvent>();
    }
    auto session = std::make_shared<WatcherSession>();
    session->socket = socket;
    session->event = m_hCircuitEvent;
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.g_hCircuitEvent = m_hCircuitEvent;
        m_shared.g_controlSocket = socket;
        m_shared.current = session;
    }
    // Returns once the watcher has sent its subscription, so that the replies to its own commands come before
    // those of any command sent after this call.
    std::promise<void> subscribed;
    auto sent = subscribed.get_future();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    try {
        m_watchers.push_back(
            {std::thread(&TorController::RunWatcher, this, session, std::move(subscribed), finished), finished});
    } catch (const std::system_error&) {
        // No thread to be had: the connection stays usable for commands, only the circuit goes unannounced.
        std::lock_guard lock(m_shared.mutex);
        session->reading = false;
        return true;
    }
    sent.wait();
    return true;
}

bool TorController::NewIdentity() {
    auto reply = Exchange(m_controlSocket, kNewIdentity, ReplyWanted::Wait);
    if (!reply || *reply != kOk) {
        return false;
    }
    std::this_thread::sleep_for(m_timing.newIdentityPause);
    return true;
}

bool TorController::Reload() {
    Exchange(m_controlSocket, kReload, ReplyWanted::DontWait);
    return true;
}

void TorController::Halt() {
    Exchange(m_controlSocket, kHalt, ReplyWanted::Wait);
    if (m_controlSocket) {
        m_controlSocket->Close();
    }
}

std::shared_ptr<ControlSocket> TorController::ConnectionForQueries() {
    auto socket = m_controlSocket;
    if (!socket || socket->IsClosed()) {
        return nullptr;
    }
    {
        std::unique_lock lock(m_shared.mutex);
        if (!WatcherReadsLocked(socket)) {
            return socket;
        }
    }
    if (m_hCircuitEvent) {
        m_hCircuitEvent->Wait(m_timing.circuit);
    }
    {
        // After the circuit the watcher ends as soon as the replies it waits for are in.
        std::unique_lock lock(m_shared.mutex);
        if (m_shared.ended.wait_for(lock, m_timing.replyLine, [&] { return !WatcherReadsLocked(socket); })) {
            return socket;
        }
    }
    auto own = ControlSocket::Connect(m_port);
    if (!own || Authenticate(*own) != ControlAuthResult::Authenticated) {
        return nullptr;
    }
    return own;
}

void TorController::DropOutOfStep(const std::shared_ptr<ControlSocket>& socket) {
    socket->Close();
    if (socket != m_controlSocket) {
        return;
    }
    auto fresh = ControlSocket::Connect(m_port);
    if (!fresh || Authenticate(*fresh) != ControlAuthResult::Authenticated) {
        return; // the commands then fail as they would without Tor
    }
    m_controlSocket = fresh;
    std::lock_guard lock(m_shared.mutex);
    if (m_shared.g_controlSocket == socket) {
        m_shared.g_controlSocket = fresh;
    }
}

bool TorController::CircuitOpened() const {
    if (!m_hCircuitEvent || !m_hCircuitEvent->IsSet()) {
        return false;
    }
    std::lock_guard lock(m_shared.mutex);
    return m_shared.exitFailedEvent != m_hCircuitEvent;
}

bool TorController::IsWatching() const {
    std::lock_guard lock(m_shared.mutex);
    return m_shared.current && m_shared.current->reading;
}

bool TorController::WaitWatcherEnded(std::chrono::milliseconds limit) const {
    std::unique_lock lock(m_shared.mutex);
    return m_shared.ended.wait_for(lock, limit, [&] { return !m_shared.current || !m_shared.current->reading; });
}

std::optional<std::string> TorController::Exchange(const std::shared_ptr<ControlSocket>& socket,
                                                   std::string_view command, ReplyWanted wanted) {
    if (!socket) {
        return std::nullopt;
    }
    std::future<std::optional<std::string>> handedOver;
    {
        // Sending and registering under one lock: the watcher cannot end between the two and leave the reply.
        std::lock_guard lock(m_shared.mutex);
        bool watched = WatcherReadsLocked(socket);
        if (!socket->Send(command)) {
            return std::nullopt;
        }
        if (watched) {
            if (wanted == ReplyWanted::DontWait) {
                m_shared.current->owed.push_back(nullptr);
                return std::nullopt;
            }
            auto slot = std::make_shared<std::promise<std::optional<std::string>>>();
            handedOver = slot->get_future();
            m_shared.current->owed.push_back(std::move(slot));
        }
    }
    if (handedOver.valid()) {
        if (handedOver.wait_for(m_timing.replyLine) != std::future_status::ready) {
            return std::nullopt;
        }
        return handedOver.get();
    }
    std::string line;
    if (!ReadCommandReply(*socket, line, m_timing.replyLine)) {
        return std::nullopt;
    }
    return line;
}

ControlAuthResult TorController::Authenticate(ControlSocket& socket) {
    // The torrc, not the peer, says whether Tor must prove the cookie: a peer that merely offers the password
    // cannot talk the program out of the proof.
    std::string torrc;
    const bool cookieRequired = TorrcFile(m_paths).Load(torrc) && TorrcAsksForCookie(torrc);
    const auto result = AuthenticateControl(socket, cookieRequired, m_timing.replyLine);
    if (result == ControlAuthResult::NotTor) {
        // Nothing more goes to it: every command sent here later finds the connection closed.
        socket.Close();
    }
    return result;
}

void TorController::RetireWatcher() {
    {
        std::lock_guard lock(m_shared.mutex);
        if (m_shared.current) {
            // Its Tor is being replaced; what that connection still says concerns nobody.
            m_shared.current->socket->Close();
            m_shared.current = nullptr;
        }
    }
    // A watcher that is still busy (its failure message may be open) is joined later, never waited for here.
    for (auto it = m_watchers.begin(); it != m_watchers.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = m_watchers.erase(it);
        } else {
            ++it;
        }
    }
}

bool TorController::WatcherReadsLocked(const std::shared_ptr<ControlSocket>& socket) const {
    return m_shared.current && m_shared.current->reading && m_shared.current->socket == socket;
}

} // namespace quorvel

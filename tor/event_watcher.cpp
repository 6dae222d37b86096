// The event watcher thread of TorController.
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "tor/country_selection.h"
#include "tor/tor_controller.h"
#include "tor/tor_notices.h"
#include "tor/torrc_file.h"

#include <vector>

namespace quorvel {

namespace {

constexpr std::string_view kSubscribe = "SETEVENTS NOTICE WARN\r\n";

// The failure handling's messages, held until the watcher no longer reads: a box waits for the user-interface
// thread, and that thread may be waiting for the watcher to hand it a reply. Only OK boxes come from there.
class HeldMessages final : public Ui {
public:
    explicit HeldMessages(Ui& ui) : m_ui(ui) {}

    MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                              MessageButtons buttons, MessageOwner owner) override {
        m_held.push_back({caption, text, icon, buttons, owner});
        return MessageResult::Ok;
    }
    void ShowBalloon(const std::string& title, const std::string& text) override { m_ui.ShowBalloon(title, text); }
    void UpdateTrayIcon(std::optional<int> iconId, const std::string& tip) override {
        m_ui.UpdateTrayIcon(iconId, tip);
    }
    ModeChoice AskMode() override { return m_ui.AskMode(); }
    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override {
        return m_ui.PickFolder(title, startFolder);
    }

    void ShowAll() {
        for (const Held& box : m_held) {
            m_ui.ShowMessage(box.caption, box.text, box.icon, box.buttons, box.owner);
        }
        m_held.clear();
    }

private:
    struct Held {
        std::string caption;
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
        MessageOwner owner;
    };
    Ui& m_ui;
    std::vector<Held> m_held;
};
// Tor announces its first circuit only once; a watcher that subscribes later learns of it from this question.
constexpr std::string_view kAskCircuit = "GETINFO status/circuit-established\r\n";

} // namespace

void TorController::RunWatcher(std::shared_ptr<WatcherSession> session, std::promise<void> subscribed,
                               std::shared_ptr<std::atomic<bool>> finished) {
    ControlSocket& socket = *session->socket;
    // The replies to the watcher's own two commands come first on the connection.
    int ownReplies = 0;
    for (std::string_view command : {kSubscribe, kAskCircuit}) {
        if (socket.Send(command)) {
            ++ownReplies;
        }
    }
    subscribed.set_value();

    HeldMessages held(m_ui);
    bool done = false; // the circuit or a failure has been seen
    std::string line;
    for (;;) {
        {
            std::lock_guard lock(m_shared.mutex);
            if (done && ownReplies == 0 && session->owed.empty()) {
                session->reading = false;
                break;
            }
        }
        // No time limit: events come whenever Tor has something to say. The read fails when Tor closes the
        // connection or when it is closed here (Halt, a new Start, the end of the program).
        if (!ReadWholeLine(socket, line, std::nullopt)) {
            std::lock_guard lock(m_shared.mutex);
            session->reading = false;
            for (auto& slot : session->owed) {
                if (slot) {
                    slot->set_value(std::nullopt);
                }
            }
            session->owed.clear();
            break;
        }
        if (!done) {
            switch (ClassifyWatcherLine(line)) {
            case WatcherNotice::CircuitReady:
                session->event->Set();
                done = true;
                break;
            case WatcherNotice::ExitCountryFailed:
                SetExitFailed(*session);
                done = true;
                HandleExitCountryFailure(session, held);
                break;
            case WatcherNotice::NoUsableExit:
                // Only an exit country of ours explains this; without one it is none of the program's business.
                if (!m_settings.ReadString(settings::kCountrySelection, settings::kCurrentCountry, "").empty()) {
                    SetExitFailed(*session);
                    done = true;
                    HandleExitCountryFailure(session, held);
                }
                break;
            case WatcherNotice::None:
                break;
            }
        }
        if (IsFinalReplyLine(line)) {
            if (ownReplies > 0) {
                --ownReplies;
            } else {
                std::shared_ptr<std::promise<std::optional<std::string>>> slot;
                {
                    std::lock_guard lock(m_shared.mutex);
                    if (!session->owed.empty()) {
                        slot = std::move(session->owed.front());
                        session->owed.pop_front();
                    }
                }
                if (slot) {
                    slot->set_value(line);
                }
            }
        }
    }
    m_shared.ended.notify_all();
    held.ShowAll();
    finished->store(true);
}

void TorController::SetExitFailed(WatcherSession& session) {
    {
        // Marked before the event is set, so that whoever the event wakes sees that it is no circuit.
        std::lock_guard lock(m_shared.mutex);
        m_shared.exitFailedEvent = session.event;
    }
    session.event->Set();
}

void TorController::HandleExitCountryFailure(const std::shared_ptr<WatcherSession>& session, Ui& ui) {
    TorrcFile torrc(m_paths);
    OnExitCountryFailed(torrc, m_settings, m_language, ui, [this, &session] { ReloadFromWatcher(session); });
}

void TorController::ReloadFromWatcher(const std::shared_ptr<WatcherSession>& session) {
    std::lock_guard lock(m_shared.mutex);
    // A watcher whose Tor has been replaced meanwhile has nothing to reload.
    if (m_shared.current != session || !m_shared.g_controlSocket) {
        return;
    }
    if (m_shared.g_controlSocket->Send("SIGNAL RELOAD\r\n") && m_shared.g_controlSocket == session->socket) {
        // The reply comes on the connection this thread reads; it is taken there before the watcher ends.
        session->owed.push_back(nullptr);
    }
}

} // namespace quorvel

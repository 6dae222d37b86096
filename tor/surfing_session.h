#pragma once

#include "platform/process_launcher.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

class AnonymityMode;
class IdentityMasking;
class LanguageFile;
class ManualResetEvent;
class Paths;
class ProgramRedirector;
class SettingsStore;
class TorController;
class Ui;

// Every long wait of the user-interface thread goes through this, so the tray program can keep painting (the
// icon docks, the waiting balloon shows) while it takes no user input.
class SessionWaiter {
public:
    virtual ~SessionWaiter() = default;
    // Waits until the event is set or the limit has passed; true when it is set.
    virtual bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) = 0;
    // Lets the time pass.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

// Waits by blocking the calling thread, for callers without an event loop.
class BlockingWaiter final : public SessionWaiter {
public:
    bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) override;
    void Pause(std::chrono::milliseconds duration) override;
};

// What the session works with. The controller is expected to leave the pause after a new identity to the session
// (its newIdentityPause zero), so that the pause, too, goes through the waiter.
struct SessionParts {
    const Paths& paths;
    const SettingsStore& settings;
    const LanguageFile& language;
    Ui& ui;
    ProcessLauncher& launcher;
    TorController& tor;
    AnonymityMode& mode;
    ProgramRedirector& redirector;
    IdentityMasking& masking;
    SessionWaiter& waiter;
    // The program's own process: every Tor it starts ends by itself once this process is gone, whatever way it
    // went (a crash included). Nothing: Tor is not tied to any process.
    std::optional<ProcessId> owner;
};

// Anonymous surfing switched on and off from the tray menu: Start launches Tor and connects to it, applies the
// mode, redirects the chosen programs and waits for the first circuit; Stop halts Tor and puts the programs back;
// Change false IP asks Tor for a new identity. All three run on the user-interface thread.
class SurfingSession {
public:
    // Icons of the notification area.
    static constexpr int kStoppedIcon = 181;
    static constexpr int kRunningIcon = 130;

    // The longest wait for the first circuit.
    static constexpr std::chrono::milliseconds kCircuitWait{60000};
    // The pause after a new identity, so that Tor has switched before the user goes on.
    static constexpr std::chrono::milliseconds kNewIdentityPause{3000};
    // A Tor just launched opens its control port a moment later; connects wait for it this long at most.
    static constexpr std::chrono::milliseconds kControlPortWait{10000};
    // A halted Tor exits at once; the next one is launched when it has, or after this long.
    static constexpr std::chrono::milliseconds kExitWait{5000};
    static constexpr std::chrono::milliseconds kRetryInterval{100};

    explicit SurfingSession(const SessionParts& parts);

    void StartSurfing();
    void StopSurfing();
    void ChangeFalseIp();
    // Stop and Start as one operation (a new exit country): a browser restart is asked for once, not twice.
    void RestartSurfing();

    // At program start, before the first Start: a session that was never stopped (the program crashed or was
    // killed) left the client programs pointed at a Tor that is gone. They are put back from their backups, so
    // that the next Start backs up the user's own settings and not the redirection. That Start asks for the
    // browser restart. True when such a session was found.
    bool RecoverUnfinishedSession();

    // The circuit-ready message: sets the circuit-ready event of the current connection.
    void OnCircuitReady();

    bool IsRunning() const { return m_bRunning; }
    // The Tor that the last Start launched (its second launch), while the session runs.
    std::optional<ProcessId> TorProcess() const { return m_torProcess; }

    // The command line Tor is started with.
    std::vector<std::string> TorArguments() const;

private:
    // StopSurfing; with `deferRestartNotice` the browser restart is left to the Start that follows.
    void Stop(bool deferRestartNotice);
    std::optional<ProcessId> LaunchTor();
    void TorNotFound();
    // Waits until something answers on the control port; gives up early when `process` has ended.
    bool WaitForControlPort(ProcessId process);
    bool WaitForExit(ProcessId process, std::chrono::milliseconds limit);
    // After a halt: waits until the Tor of `launched` has ended and the port was free (bounded); true when that Tor
    // has ended.
    bool WaitForHaltedTor(ProcessId launched);
    // Tells whatever Tor answers on the control port to halt, and waits until the Tor of `launched` has ended and
    // the port is free.
    void HaltPreviousTor(ProcessId launched);
    bool BalloonsOn() const;
    void ShowBalloon(const char* english, const char* key);
    void UpdateIcon(std::optional<int> icon);

    const SessionParts m_parts;
    bool m_bRunning = false;
    std::optional<ProcessId> m_torProcess;
    // The Tor that the last Stop halted: the next Start lets it go before launching, so two Tors never fight
    // over the port or the data directory.
    std::optional<ProcessId> m_haltedTor;
};

} // namespace quorvel

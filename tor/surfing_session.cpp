#include "tor/surfing_session.h"

#include "app/language_file.h"
#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_masking.h"
#include "platform/manual_reset_event.h"
#include "platform/tcp_connection.h"
#include "platform/ui.h"
#include "redirect/program_redirector.h"
#include "tor/anonymity_mode.h"
#include "tor/tor_controller.h"

#include <thread>

namespace quorvel {

bool BlockingWaiter::WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) {
    return event.Wait(limit);
}

void BlockingWaiter::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

namespace {

constexpr const char* kTip = "Quorvel";

using Clock = std::chrono::steady_clock;

} // namespace

SurfingSession::SurfingSession(const SessionParts& parts) : m_parts(parts) {}

std::vector<std::string> SurfingSession::TorArguments() const {
    // Tor on this platform does not look for its torrc in the application-data folder by itself.
    std::vector<std::string> args = {"-f", TorrcPath(m_parts.paths)};
    if (m_parts.owner) {
        // Tor checks on that process now and then and ends once it is gone, so a crash leaves no Tor behind.
        args.emplace_back("__OwningControllerProcess");
        args.push_back(std::to_string(*m_parts.owner));
    }
    return args;
}

std::optional<ProcessId> SurfingSession::LaunchTor() {
    return m_parts.launcher.Launch(TorExecutablePath(m_parts.paths), TorArguments());
}

void SurfingSession::TorNotFound() {
    m_parts.ui.ShowMessage(kMessageCaption, "Tor not found!", MessageIcon::Error, MessageButtons::Ok,
                           MessageOwner::MainWindow);
}

bool SurfingSession::WaitForControlPort(ProcessId process) {
    const auto deadline = Clock::now() + kControlPortWait;
    for (;;) {
        if (TcpConnection::Connect(m_parts.tor.Port())) {
            return true;
        }
        if (!m_parts.launcher.IsRunning(process) || Clock::now() >= deadline) {
            return false;
        }
        m_parts.waiter.Pause(kRetryInterval);
    }
}

bool SurfingSession::WaitForExit(ProcessId process, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (m_parts.launcher.IsRunning(process)) {
        if (Clock::now() >= deadline) {
            return false;
        }
        m_parts.waiter.Pause(kRetryInterval);
    }
    return true;
}

bool SurfingSession::WaitForHaltedTor(ProcessId launched) {
    // The halted Tor may not be ours but one left from earlier, still holding the port for a moment: a launch
    // before it has gone would lose the port to it, and the session would talk to a Tor on its way out. Once the
    // port was seen free that Tor is gone; whatever listens later came after it.
    const auto deadline = Clock::now() + kExitWait;
    bool portLeft = false;
    for (;;) {
        portLeft = portLeft || !TcpConnection::Connect(m_parts.tor.Port());
        const bool ended = !m_parts.launcher.IsRunning(launched);
        if ((ended && portLeft) || Clock::now() >= deadline) {
            return ended;
        }
        m_parts.waiter.Pause(kRetryInterval);
    }
}

void SurfingSession::HaltPreviousTor(ProcessId launched) {
    // The first answer may come from a Tor left running from earlier; ours then cannot take the port and ends,
    // or takes it the moment the old one is gone, in which case it is halted on the second round.
    for (int round = 0; round < 2; ++round) {
        WaitForControlPort(launched);
        m_parts.tor.Connect();
        m_parts.tor.Halt();
        if (WaitForHaltedTor(launched)) {
            return;
        }
    }
}

bool SurfingSession::BalloonsOn() const {
    return m_parts.settings.ReadBool(settings::kOptionsDialog, settings::kShowBalloonTips, true);
}

void SurfingSession::ShowBalloon(const char* english, const char* key) {
    m_parts.ui.ShowBalloon(kMessageCaption, m_parts.language.GetText(english, "Messages", key));
}

void SurfingSession::UpdateIcon(std::optional<int> icon) {
    m_parts.ui.UpdateTrayIcon(icon, kTip);
}

void SurfingSession::StartSurfing() {
    UpdateIcon(std::nullopt);
    m_torProcess.reset();
    if (m_haltedTor) {
        WaitForExit(*m_haltedTor, kExitWait);
        m_haltedTor.reset();
    }

    bool readyBalloonDue = false;
    std::shared_ptr<ManualResetEvent> circuit;
    if (auto first = LaunchTor(); !first) {
        TorNotFound();
    } else {
        HaltPreviousTor(*first);
        if (auto second = LaunchTor(); !second) {
            TorNotFound();
        } else {
            m_torProcess = second;
            WaitForControlPort(*second);
            m_parts.tor.Connect();
            if (BalloonsOn()) {
                ShowBalloon("Please wait while Tor builds a circuit.", "Circuit building");
            }
            // Only a watcher can set the circuit-ready event; without one there is nothing to wait for.
            if (m_parts.tor.ConnectAndWatch()) {
                circuit = m_parts.tor.CircuitEvent();
            }
            readyBalloonDue = true;
        }
        m_bRunning = true;
        m_parts.settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, true);
    }

    if (m_parts.settings.ReadBool(settings::kOptionsDialog, settings::kFirstStart, true)) {
        m_parts.masking.BackupIeUserAgentExtras();
        m_parts.masking.BackupIeLanguage();
        m_parts.mode.SelectMode();
        m_parts.settings.WriteBool(settings::kOptionsDialog, settings::kFirstStart, false);
        m_parts.ui.ShowMessage(kMessageCaption,
                               m_parts.language.GetText("Now your Internet Explorer works anonymously.\nYou can setup "
                                                        "OTHER PROGRAMS for anonymous work in menu \"Options\".",
                                                        "Messages", "First start"),
                               MessageIcon::Information, MessageButtons::Ok, MessageOwner::MainWindow);
    }

    m_parts.mode.ApplyAnonymityMode(m_parts.settings.ReadInt(settings::kMainMenu, settings::kMode, kFastMode),
                                    MessageOwner::MainWindow);
    m_parts.redirector.RedirectAll(MessageOwner::MainWindow);

    // The ready balloon tells that Tor can carry traffic: only when it said so, never after a mere time-out.
    const bool circuitReady = circuit && m_parts.waiter.WaitFor(*circuit, kCircuitWait) && m_parts.tor.CircuitOpened();
    if (readyBalloonDue && circuitReady && BalloonsOn()) {
        ShowBalloon("Tor has successfully opened a circuit. Now you can start surfing the net.",
                    "Circuit building finished");
    }
    UpdateIcon(m_bRunning ? kRunningIcon : kStoppedIcon);
}

void SurfingSession::StopSurfing() {
    Stop(false);
}

void SurfingSession::RestartSurfing() {
    Stop(true);
    StartSurfing();
}

void SurfingSession::Stop(bool deferRestartNotice) {
    m_bRunning = false;
    UpdateIcon(kStoppedIcon);
    m_parts.tor.Halt();
    m_haltedTor = m_torProcess;
    m_torProcess.reset();
    m_parts.settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, m_bRunning);
    m_parts.redirector.RestoreAll(MessageOwner::MainWindow, deferRestartNotice ? ProgramRedirector::RestartNotice::Defer
                                                                               : ProgramRedirector::RestartNotice::Ask);
}

void SurfingSession::ChangeFalseIp() {
    UpdateIcon(kStoppedIcon);
    const bool balloons = BalloonsOn();
    if (balloons) {
        ShowBalloon("Please wait while Tor builds a circuit.", "Circuit building");
    }
    const bool changed = m_parts.tor.NewIdentity();
    if (changed) {
        m_parts.waiter.Pause(kNewIdentityPause);
        if (balloons) {
            ShowBalloon("Tor has successfully opened a circuit. Now you can start surfing the net.",
                        "Circuit building finished");
        }
    }
    // Without a new identity nothing changed: the icon shows the session as it is.
    UpdateIcon(changed || m_bRunning ? kRunningIcon : kStoppedIcon);
}

bool SurfingSession::RecoverUnfinishedSession() {
    if (!m_parts.settings.ReadBool(settings::kTorSettings, settings::kIsTorRunning, false)) {
        return false;
    }
    // The Start that follows redirects the same programs again and asks for the one browser restart.
    m_parts.redirector.RestoreAll(MessageOwner::MainWindow, ProgramRedirector::RestartNotice::Defer);
    m_parts.settings.WriteBool(settings::kTorSettings, settings::kIsTorRunning, false);
    return true;
}

void SurfingSession::OnCircuitReady() {
    if (auto event = m_parts.tor.CircuitEvent()) {
        event->Set();
    }
}

} // namespace quorvel

#pragma once

// What the session tests share: a temporary home and program folder, the real settings, language, registry and
// redirection on those folders, a recording Ui, and a waiter that records what the session asks for.

#include "app/language_file.h"
#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_masking.h"
#include "platform/internet_options_store.h"
#include "platform/manual_reset_event.h"
#include "platform/paths.h"
#include "platform/process_launcher.h"
#include "platform/registry_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "tor/anonymity_mode.h"
#include "tor/surfing_session.h"
#include "tor/tor_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace quorvel::test {

// Asks nothing of a person: records the waits the session asks for and shortens them.
class RecordingWaiter : public SessionWaiter {
public:
    bool WaitFor(const ManualResetEvent& event, std::chrono::milliseconds limit) override {
        {
            std::lock_guard lock(m_mutex);
            m_waits.push_back(limit);
        }
        return event.Wait(std::min(limit, waitCap));
    }
    void Pause(std::chrono::milliseconds duration) override {
        {
            std::lock_guard lock(m_mutex);
            m_pauses.push_back(duration);
        }
        std::this_thread::sleep_for(std::min(duration, pauseCap));
    }
    std::vector<std::chrono::milliseconds> Waits() const {
        std::lock_guard lock(m_mutex);
        return m_waits;
    }
    std::vector<std::chrono::milliseconds> Pauses() const {
        std::lock_guard lock(m_mutex);
        return m_pauses;
    }

    std::chrono::milliseconds waitCap{300};
    std::chrono::milliseconds pauseCap{20};

private:
    mutable std::mutex m_mutex;
    std::vector<std::chrono::milliseconds> m_waits;
    std::vector<std::chrono::milliseconds> m_pauses;
};

// One line per thing shown, for comparing orders: "icon 130 Quorvel", "balloon <text>", "mode", "message <text>".
inline std::vector<std::string> Shown(const RecordingUi& ui) {
    std::vector<std::string> out;
    for (const auto& e : ui.Events()) {
        switch (e.kind) {
        case RecordingUi::Event::Kind::TrayIcon:
            out.push_back("icon " + (e.iconId ? std::to_string(*e.iconId) : std::string("-")) + " " + e.text);
            break;
        case RecordingUi::Event::Kind::Balloon:
            out.push_back("balloon " + e.text);
            break;
        case RecordingUi::Event::Kind::ModeDialog:
            out.emplace_back("mode");
            break;
        case RecordingUi::Event::Kind::Message:
            out.push_back("message " + e.text);
            break;
        case RecordingUi::Event::Kind::FolderPicker:
            out.emplace_back("folder");
            break;
        }
    }
    return out;
}

inline constexpr const char* kWaitingBalloon = "balloon Please wait while Tor builds a circuit.";
inline constexpr const char* kReadyBalloon =
    "balloon Tor has successfully opened a circuit. Now you can start surfing the net.";
inline constexpr const char* kFirstStartMessage =
    "message Now your Internet Explorer works anonymously.\nYou can setup OTHER PROGRAMS for anonymous work in "
    "menu \"Options\".";

// Everything a session needs, on the temporary folders, talking to the control port `port`.
class SessionRig {
public:
    explicit SessionRig(std::uint16_t port, std::optional<ProcessId> owner = std::nullopt) {
        // The settings folder exists from start-up on.
        MakeFolders(SettingsFolder(paths));
        TorTiming timing;
        timing.replyLine = std::chrono::milliseconds(3000);
        timing.reply = std::chrono::milliseconds(3000);
        timing.circuit = std::chrono::milliseconds(3000);
        timing.newIdentityPause = std::chrono::milliseconds(0);
        tor = std::make_unique<TorController>(ui, language, settings, paths, port, timing);
        mode = std::make_unique<AnonymityMode>(*tor, ui, language, settings, paths);
        session = std::make_unique<SurfingSession>(
            SessionParts{paths, settings, language, ui, launcher, *tor, *mode, redirector, masking, waiter, owner});
    }

    // The LAN's proxy as Internet Explorer would see it.
    ConnectionProxy LanProxy() {
        ConnectionProxy proxy;
        internetOptions.QueryConnectionProxy(std::nullopt, proxy);
        return proxy;
    }

    LinuxPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RecordingUi ui;
    RecordingWaiter waiter;
    LinuxProcessLauncher launcher;
    RegistryStore registry{RegistryFolder(paths)};
    InternetOptionsStore internetOptions{registry};
    ProcessState state;
    IeProxy ie{internetOptions, settings, state};
    MozillaProxy mozilla{settings, language, ui};
    MessengerProxy messengers{registry, settings};
    ProgramRedirector redirector{settings, language, ui, state, ie, mozilla, messengers};
    IdentityMasking masking{settings, language, registry, ui, state};
    std::unique_ptr<TorController> tor;
    std::unique_ptr<AnonymityMode> mode;
    std::unique_ptr<SurfingSession> session;
};

// Writes an executable script.
inline void WriteScript(const std::string& path, const std::string& body) {
    WriteFileBytes(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

} // namespace quorvel::test

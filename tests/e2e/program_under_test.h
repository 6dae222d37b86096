#pragma once

#include "app/quorvel_app.h"
#include "masking/identity_masking.h"
#include "platform/internet_options_store.h"
#include "platform/paths.h"
#include "platform/process_launcher.h"
#include "platform/registry_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "support/recording_ui.h"
#include "tor/anonymity_mode.h"
#include "tor/country_selection.h"
#include "tor/surfing_session.h"
#include "tor/tor_controller.h"

#include <mutex>
#include <vector>

namespace quorvel::e2e {

// The real launcher, keeping the number of every process it starts, so that the test can see Tor end and can
// stop whatever is left at the end.
class RecordingLauncher final : public ProcessLauncher {
public:
    std::optional<ProcessId> Launch(const std::string& program, const std::vector<std::string>& args) override;
    bool IsRunning(ProcessId pid) override { return m_real.IsRunning(pid); }
    bool WaitForExit(ProcessId pid, std::chrono::milliseconds limit) override { return m_real.WaitForExit(pid, limit); }

    std::vector<ProcessId> Launched() const;
    // Stops every launched process that still runs, by its number.
    void StopAll();

private:
    LinuxProcessLauncher m_real;
    mutable std::mutex m_mutex;
    std::vector<ProcessId> m_launched;
};

// The program's core put together the way the tray program does it, on the real platform layer, with a
// recording Ui that answers every box as a user would (OK, Yes, fast mode) in place of the Qt one.
struct ProgramUnderTest {
    explicit ProgramUnderTest(const Paths& paths);
    ~ProgramUnderTest();

    const Paths& paths;
    CQuorvelApp app;
    test::RecordingUi ui;
    RecordingLauncher launcher;
    RegistryStore registry;
    InternetOptionsStore internetOptions;
    TorController tor;
    AnonymityMode mode;
    IeProxy ieProxy;
    MozillaProxy mozillaProxy;
    MessengerProxy messengerProxy;
    ProgramRedirector redirector;
    IdentityMasking masking;
    BlockingWaiter waiter;
    SurfingSession session;
    CountrySelection countries;
};

} // namespace quorvel::e2e

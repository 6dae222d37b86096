#include "e2e/program_under_test.h"

#include "app/locations.h"
#include "e2e/e2e_support.h"

#include <csignal>
#include <unistd.h>

namespace quorvel::e2e {

namespace {

TorTiming ControllerTiming() {
    TorTiming timing;
    // As in the tray program: the session pauses after a new identity itself.
    timing.newIdentityPause = std::chrono::milliseconds(0);
    return timing;
}

} // namespace

std::optional<ProcessId> RecordingLauncher::Launch(const std::string& program, const std::vector<std::string>& args) {
    auto pid = m_real.Launch(program, args);
    std::string line = "the program launched " + program;
    for (const auto& arg : args) {
        line += " " + arg;
    }
    Log(line + (pid ? " (pid " + std::to_string(*pid) + ")" : " - failed"));
    if (pid) {
        std::lock_guard lock(m_mutex);
        m_launched.push_back(*pid);
    }
    return pid;
}

std::vector<ProcessId> RecordingLauncher::Launched() const {
    std::lock_guard lock(m_mutex);
    return m_launched;
}

void RecordingLauncher::StopAll() {
    for (ProcessId pid : Launched()) {
        if (m_real.IsRunning(pid)) {
            ::kill(pid, SIGTERM);
            if (!m_real.WaitForExit(pid, std::chrono::seconds(5))) {
                ::kill(pid, SIGKILL);
                m_real.WaitForExit(pid, std::chrono::seconds(5));
            }
            Log("stopped process " + std::to_string(pid) + ", which the program had left running");
        }
    }
}

ProgramUnderTest::ProgramUnderTest(const Paths& paths_)
    : paths(paths_), app(paths), registry(RegistryFolder(paths)), internetOptions(registry),
      tor(ui, app.Language(), app.Settings(), paths, TorController::kControlPort, ControllerTiming()),
      mode(tor, ui, app.Language(), app.Settings(), paths), ieProxy(internetOptions, app.Settings(), app.State()),
      mozillaProxy(app.Settings(), app.Language(), ui), messengerProxy(registry, app.Settings()),
      redirector(app.Settings(), app.Language(), ui, app.State(), ieProxy, mozillaProxy, messengerProxy),
      masking(app.Settings(), app.Language(), registry, ui, app.State()),
      session(SessionParts{paths, app.Settings(), app.Language(), ui, launcher, tor, mode, redirector, masking, waiter,
                           ::getpid()}),
      countries(tor, ui, app.Language(), app.Settings(), paths) {}

ProgramUnderTest::~ProgramUnderTest() {
    launcher.StopAll();
}

} // namespace quorvel::e2e

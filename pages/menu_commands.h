#pragma once

#include "pages/options_sheet_model.h"

#include <functional>
#include <map>

namespace quorvel {

class AnonymityMode;
class CQuorvelApp;
class SurfingSession;
class TrackCleaner;
class UrlOpener;

// The tray menu's commands, whatever toolkit draws the menu: run one at a time, and what Exit and the end of the
// desktop session do with them. What a command does is plugged in by id; one without a handler is not offered.
// About and Exit belong to the tray itself: About shows the toolkit's box, Exit runs Stop once and then leaves.
class MenuCommands {
public:
    using Handler = std::function<void()>;

    // What only the toolkit can do.
    struct Hooks {
        Handler about;
        // Removes the icon and ends the event loop.
        Handler leave;
        // Cuts the running command's waits short, and later ones, until the toolkit resumes its waiter.
        Handler interrupt;
        // Runs after a Stop that was put off until the running command returned.
        Handler stoppedLate;
    };

    explicit MenuCommands(Hooks hooks) : m_hooks(std::move(hooks)) {}

    void Set(int id, Handler handler);
    bool Has(int id) const;

    // Runs a command now. One that arrives while another runs is dropped: the menu could not have opened then.
    void Run(int id);

    // Stops the session once, then leaves. While a command runs, its waits are cut short and the exit follows as
    // soon as it returns.
    void Exit();
    // Stops for the end of the desktop session, unless that Stop already ran and no Start came after it. While a
    // command runs, its waits are cut short and Stop follows once it returns; false then.
    bool StopForEnd();
    // The same, but now even inside a running command: the system may end the process as soon as it is told.
    void StopForEndNow();

    bool IsBusy() const { return m_busy; }
    bool HasExited() const { return m_exited; }
    bool StoppedForEnd() const { return m_stoppedForEnd; }

private:
    void Stop();
    void Call(const Handler& handler) const;

    Hooks m_hooks;
    std::map<int, Handler> m_handlers;
    bool m_busy = false;
    bool m_exited = false;
    bool m_exitPending = false;
    bool m_stopPending = false;
    bool m_stoppedForEnd = false;
};

// Everything the menu's commands act on.
struct MenuCommandParts {
    CQuorvelApp& app;
    Ui& ui;
    ProgramRedirector& redirector;
    IdentityMasking& masking;
    TorController& tor;
    SurfingSession& session;
    AnonymityMode& mode;
    TrackCleaner& cleaner;
    UrlOpener& opener;
    // Shows the toolkit's options sheet until it is closed.
    std::function<void(const OptionsParts&)> showOptions;
};

// Plugs every command of the menu but About and Exit into `commands`.
void BindMenuCommands(MenuCommands& commands, const MenuCommandParts& parts);

} // namespace quorvel

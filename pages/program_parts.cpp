#include "pages/program_parts.h"

namespace quorvel {

TorTiming ProgramParts::ControllerTiming() {
    TorTiming timing;
    // The session pauses after a new identity itself, through its waiter, so the program keeps painting.
    timing.newIdentityPause = std::chrono::milliseconds(0);
    return timing;
}

ProgramParts::ProgramParts(const Paths& paths, CQuorvelApp& app, Ui& ui, SessionWaiter& waiter, PlatformParts platform,
                           Options options)
    : m_app(app), m_ui(ui), m_opener(platform.opener),
      m_tor(ui, app.Language(), app.Settings(), paths, options.controlPort, ControllerTiming()),
      m_mode(m_tor, ui, app.Language(), app.Settings(), paths),
      m_ieProxy(platform.internetOptions, app.Settings(), app.State()),
      m_mozillaProxy(app.Settings(), app.Language(), ui), m_messengerProxy(platform.registry, app.Settings()),
      m_redirector(app.Settings(), app.Language(), ui, app.State(), m_ieProxy, m_mozillaProxy, m_messengerProxy),
      m_masking(app.Settings(), app.Language(), platform.registry, ui, app.State()),
      m_cleaner(paths, app.Settings(), app.Language(), ui, platform.registry, platform.urlCache, platform.urlHistory,
                platform.trackFiles),
      m_session(SessionParts{paths, app.Settings(), app.Language(), ui, platform.launcher, m_tor, m_mode, m_redirector,
                             m_masking, waiter, options.owner}) {}

void ProgramParts::BindMenu(MenuCommands& commands, std::function<void(const OptionsParts&)> showOptions) {
    BindMenuCommands(commands, {m_app, m_ui, m_redirector, m_masking, m_tor, m_session, m_mode, m_cleaner, m_opener,
                                std::move(showOptions)});
}

} // namespace quorvel

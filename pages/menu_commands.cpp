#include "pages/menu_commands.h"

#include "app/quorvel_app.h"
#include "cleaning/track_cleaner.h"
#include "pages/tray_commands.h"
#include "pages/web_pages.h"
#include "tor/anonymity_mode.h"
#include "tor/surfing_session.h"

namespace quorvel {

void MenuCommands::Set(int id, Handler handler) {
    m_handlers[id] = std::move(handler);
}

bool MenuCommands::Has(int id) const {
    return id == command::kAbout || id == command::kExit || m_handlers.count(id) != 0;
}

void MenuCommands::Call(const Handler& handler) const {
    if (handler) {
        handler();
    }
}

void MenuCommands::Run(int id) {
    if (m_busy || m_exited) {
        return;
    }
    if (id == command::kExit) {
        Exit();
        return;
    }
    m_busy = true;
    if (id == command::kAbout) {
        Call(m_hooks.about);
    } else if (auto it = m_handlers.find(id); it != m_handlers.end()) {
        if (id == command::kStart) {
            // Before, not after: a session end that stops inside this Start is not forgotten when it returns.
            m_stoppedForEnd = false;
        }
        it->second();
    }
    m_busy = false;

    if (m_exitPending) {
        Exit();
    } else if (m_stopPending) {
        m_stopPending = false;
        Stop();
        m_stoppedForEnd = true;
        Call(m_hooks.stoppedLate);
    }
}

void MenuCommands::Exit() {
    if (m_exited) {
        return;
    }
    if (m_busy) {
        m_exitPending = true;
        Call(m_hooks.interrupt);
        return;
    }
    m_exited = true;
    m_exitPending = false;
    if (!m_stoppedForEnd) {
        Stop();
        m_stoppedForEnd = true;
    }
    Call(m_hooks.leave);
}

bool MenuCommands::StopForEnd() {
    if (m_exited || m_stoppedForEnd) {
        return true;
    }
    if (m_busy) {
        m_stopPending = true;
        Call(m_hooks.interrupt);
        return false;
    }
    Stop();
    m_stoppedForEnd = true;
    return true;
}

void MenuCommands::StopForEndNow() {
    if (m_exited || m_stoppedForEnd) {
        return;
    }
    Call(m_hooks.interrupt);
    Stop();
    m_stoppedForEnd = true;
}

void MenuCommands::Stop() {
    if (auto it = m_handlers.find(command::kStop); it != m_handlers.end()) {
        it->second();
    }
}

void BindMenuCommands(MenuCommands& commands, const MenuCommandParts& parts) {
    SurfingSession& session = parts.session;
    AnonymityMode& mode = parts.mode;
    UrlOpener& opener = parts.opener;
    const SettingsStore& settings = parts.app.Settings();
    TrackCleaner& cleaner = parts.cleaner;
    commands.Set(command::kStart, [&session] { session.StartSurfing(); });
    commands.Set(command::kStop, [&session] { session.StopSurfing(); });
    commands.Set(command::kChangeIp, [&session] { session.ChangeFalseIp(); });
    commands.Set(command::kPrivacyTest, [&opener, &settings] { OpenWebPage(opener, PrivacyTestAddress(settings)); });
    commands.Set(command::kSupport, [&opener, &settings] { OpenWebPage(opener, SupportAddress(settings)); });
    commands.Set(command::kClean, [&cleaner] { cleaner.CleanTracks(); });
    commands.Set(command::kFastMode, [&mode] { mode.OnFastMode(); });
    commands.Set(command::kStrongMode, [&mode] { mode.OnStrongMode(); });
    const OptionsParts sheet{parts.app.GetPaths(),
                             parts.app.Settings(),
                             parts.app.Language(),
                             parts.ui,
                             parts.app.State(),
                             parts.redirector,
                             parts.masking,
                             parts.tor,
                             [&session] { session.RestartSurfing(); },
                             kDefaultShowMyIpPage};
    commands.Set(command::kOptions, [sheet, show = parts.showOptions] { show(sheet); });
}

} // namespace quorvel

#pragma once

#include "platform/ui.h"
#include "redirect/mozilla_browser.h"
#include "redirect/program_kind.h"

#include <array>
#include <optional>
#include <string>

namespace quorvel {

class IeProxy;
class LanguageFile;
class MessengerProxy;
class MozillaProxy;
class SettingsStore;
struct ProcessState;

// Points the selected client programs at Tor's SOCKS proxy and back, with the messages that go with it: a
// failed backup is a warning (the program is redirected all the same), a browser must be restarted, ICQ must be
// closed before its values change.
class ProgramRedirector {
public:
    ProgramRedirector(const SettingsStore& settings, const LanguageFile& language, Ui& ui, ProcessState& state,
                      IeProxy& ie, MozillaProxy& mozilla, MessengerProxy& messengers)
        : m_settings(settings), m_language(language), m_ui(ui), m_state(state), m_ie(ie), m_mozilla(mozilla),
          m_messengers(messengers) {}

    // Whether a restore asks for a browser restart itself, or leaves that to the RedirectAll that follows as part
    // of the same operation (a restart of the session, the launch after a crash).
    enum class RestartNotice { Ask, Defer };

    // At Start: takes the SOCKS port from the Tor settings, then backs up and redirects every selected program.
    // A browser restart is asked for when its files changed here or in a restore that deferred its notice.
    void RedirectAll(MessageOwner owner);
    // At Stop: puts every selected program back. A browser restart is asked for only when its files change:
    // before the rewrite while the browser is redirected (the user closes it first), else after a change.
    void RestoreAll(MessageOwner owner, RestartNotice notice = RestartNotice::Ask);

    // One program, for the profiles center. A browser whose backup failed is left alone when the user says so
    // (false); a messenger gives its backup's result; Internet Explorer true.
    bool RedirectProgram(ProgramKind kind);
    // The restore's result.
    bool RestoreProgram(ProgramKind kind);

    // The profiles center's OK step, first part: every program with a pending choice ("2" redirect, "-1"
    // restore) is acted on and then stored as selected or not, whatever the outcome.
    void ActOnPendingSelections();
    // Its last part: asks for a restart of each browser whose profile was edited.
    void ShowRestartMessages(MessageOwner owner);

    // The port in a stored text: leading blanks, a sign and the digits up to the first other character; 0 when
    // there are none.
    static int ParsePort(const std::string& text);

private:
    bool IsSelected(ProgramKind kind) const;
    std::string Message(const char* english, const char* key) const;
    void Warn(const std::string& text, MessageOwner owner);
    void WarnSaveFailed(ProgramKind kind, MessageOwner owner);
    void WarnRestoreFailed(ProgramKind kind, MessageOwner owner);
    void AskToRestart(MozillaBrowser browser, MessageOwner owner);
    void AskToCloseIcq(MessageOwner owner);
    bool RestoreOne(ProgramKind kind);
    // The browser's user.js as it is now; nothing without a profile or a file.
    std::optional<std::string> UserJs(MozillaBrowser browser) const;
    bool& RestartOwed(MozillaBrowser browser) { return m_restartOwed[static_cast<std::size_t>(browser)]; }

    const SettingsStore& m_settings;
    const LanguageFile& m_language;
    Ui& m_ui;
    ProcessState& m_state;
    IeProxy& m_ie;
    MozillaProxy& m_mozilla;
    MessengerProxy& m_messengers;
    // A restore changed the browser's files and left the restart notice to the redirect that follows.
    std::array<bool, 2> m_restartOwed{};
};

} // namespace quorvel

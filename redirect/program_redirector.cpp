#include "redirect/program_redirector.h"

#include "app/language_file.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>

namespace quorvel {

namespace {

constexpr const char* kMessages = "Messages";
// The SOCKS host line of the redirection: a user.js holding it still points the browser at Tor.
constexpr const char* kRedirectedSocksLine = "user_pref(\"network.proxy.socks\", \"127.0.0.1\");";

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int ProgramRedirector::ParsePort(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t\r\n\v\f");
    if (i == std::string::npos) {
        return 0;
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1; // clamped below, and no overflow on long inputs
        }
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

bool ProgramRedirector::IsSelected(ProgramKind kind) const {
    const ProgramInfo& program = Program(kind);
    return m_settings.ReadBool(settings::kAnonymization, program.selectionKey, program.selectedByDefault);
}

std::string ProgramRedirector::Message(const char* english, const char* key) const {
    return m_language.GetText(english, kMessages, key);
}

void ProgramRedirector::Warn(const std::string& text, MessageOwner owner) {
    m_ui.ShowMessage(kMessageCaption, text, MessageIcon::Warning, MessageButtons::Ok, owner);
}

void ProgramRedirector::WarnSaveFailed(ProgramKind kind, MessageOwner owner) {
    Warn(Program(kind).messagePrefix + Message("failed to save proxy settings!", "failed to save proxy settings"),
         owner);
}

void ProgramRedirector::WarnRestoreFailed(ProgramKind kind, MessageOwner owner) {
    Warn(Program(kind).messagePrefix +
             Message("failed to restore the proxy settings!", "failed to restore the proxy settings"),
         owner);
}

void ProgramRedirector::AskToRestart(MozillaBrowser browser, MessageOwner owner) {
    const std::string text =
        Message("Please restart Firefox to make new settings take effect. All Firefox windows must be closed.",
                "Restart Firefox");
    Warn(WithBrowserName(text, browser), owner);
}

void ProgramRedirector::AskToCloseIcq(MessageOwner owner) {
    Warn(Message("Close ICQ and click OK!", "Close ICQ"), owner);
}

void ProgramRedirector::RedirectAll(MessageOwner owner) {
    m_state.torPort = ParsePort(m_settings.ReadString(settings::kTorSettings, settings::kTorPort, "9050"));
    const int port = m_state.torPort;
    for (ProgramKind kind : kAllPrograms) {
        if (!IsSelected(kind)) {
            continue;
        }
        if (kind == ProgramKind::InternetExplorer) {
            if (!m_ie.BackupIeProxy()) {
                WarnSaveFailed(kind, owner);
            }
            m_ie.ApplyIeProxy(port);
        } else if (const auto browser = MozillaBrowserOf(kind)) {
            const auto before = UserJs(*browser);
            if (!m_mozilla.BackupMozillaProxy(*browser, port)) {
                WarnSaveFailed(kind, owner);
            }
            m_mozilla.ApplyMozillaProxy(*browser, port, MozillaLineStyle::Start);
            if (UserJs(*browser) != before || RestartOwed(*browser)) {
                RestartOwed(*browser) = false;
                AskToRestart(*browser, owner);
            }
        } else {
            if (!m_messengers.BackupMessengerProxy(kind)) {
                WarnSaveFailed(kind, owner);
            }
            if (kind == ProgramKind::Icq) {
                AskToCloseIcq(owner); // ICQ must not be running while its values change
            }
            m_messengers.ApplyMessengerProxy(kind, port);
        }
    }
    // A browser no longer selected still gets the notice its restore owed.
    for (MozillaBrowser browser : {MozillaBrowser::Firefox, MozillaBrowser::Netscape}) {
        if (RestartOwed(browser)) {
            RestartOwed(browser) = false;
            AskToRestart(browser, owner);
        }
    }
}

std::optional<std::string> ProgramRedirector::UserJs(MozillaBrowser browser) const {
    const auto folder = ConfiguredProfileFolder(m_settings, browser);
    return folder ? ReadWhole(*folder + "/user.js") : std::nullopt;
}

bool ProgramRedirector::RestoreOne(ProgramKind kind) {
    if (kind == ProgramKind::InternetExplorer) {
        return m_ie.RestoreIeProxy();
    }
    if (const auto browser = MozillaBrowserOf(kind)) {
        return m_mozilla.RestoreMozillaProxy(*browser);
    }
    return m_messengers.RestoreMessengerProxy(kind);
}

void ProgramRedirector::RestoreAll(MessageOwner owner, RestartNotice notice) {
    for (ProgramKind kind : kAllPrograms) {
        if (!IsSelected(kind)) {
            continue;
        }
        const auto browser = MozillaBrowserOf(kind);
        const auto before = browser ? UserJs(*browser) : std::nullopt;
        // The browser and ICQ are closed by the user before their files and values are rewritten.
        bool asked = false;
        if (browser && notice == RestartNotice::Ask && before &&
            before->find(kRedirectedSocksLine) != std::string::npos) {
            AskToRestart(*browser, owner);
            asked = true;
        } else if (kind == ProgramKind::Icq) {
            AskToCloseIcq(owner);
        }
        if (!RestoreOne(kind)) {
            WarnRestoreFailed(kind, owner);
        }
        if (browser && !asked && UserJs(*browser) != before) {
            if (notice == RestartNotice::Ask) {
                AskToRestart(*browser, owner);
            } else {
                RestartOwed(*browser) = true;
            }
        }
    }
}

bool ProgramRedirector::RedirectProgram(ProgramKind kind) {
    const MessageOwner owner = MessageOwner::None;
    const int port = m_state.torPort;
    if (kind == ProgramKind::InternetExplorer) {
        if (!m_ie.BackupIeProxy()) {
            WarnSaveFailed(kind, owner);
        }
        m_ie.ApplyIeProxy(port);
        return true;
    }
    if (const auto browser = MozillaBrowserOf(kind)) {
        (*browser == MozillaBrowser::Firefox ? m_state.mozillaSettingsChanged : m_state.netscapeSettingsChanged) = true;
        if (!m_mozilla.BackupMozillaProxy(*browser, port)) {
            const std::string question =
                Program(kind).messagePrefix +
                Message("failed to save proxy settings! If you will continue you must restore proxy options manually "
                        "at the end of this anonymous surfing session. Continue anyway?",
                        "failed to save proxy settings question");
            if (m_ui.ShowMessage(kMessageCaption, question, MessageIcon::Warning, MessageButtons::YesNo, owner) !=
                MessageResult::Yes) {
                return false;
            }
        }
        m_mozilla.ApplyMozillaProxy(*browser, port, MozillaLineStyle::Page);
        return true;
    }
    const bool saved = m_messengers.BackupMessengerProxy(kind);
    if (!saved) {
        WarnSaveFailed(kind, owner);
    }
    if (kind == ProgramKind::Icq) {
        AskToCloseIcq(owner);
    }
    m_messengers.ApplyMessengerProxy(kind, port);
    return saved;
}

bool ProgramRedirector::RestoreProgram(ProgramKind kind) {
    const MessageOwner owner = MessageOwner::None;
    if (const auto browser = MozillaBrowserOf(kind)) {
        (*browser == MozillaBrowser::Firefox ? m_state.mozillaSettingsChanged : m_state.netscapeSettingsChanged) = true;
    } else if (kind == ProgramKind::Icq) {
        AskToCloseIcq(owner);
    }
    const bool restored = RestoreOne(kind);
    if (!restored) {
        WarnRestoreFailed(kind, owner);
    }
    return restored;
}

void ProgramRedirector::ActOnPendingSelections() {
    for (ProgramKind kind : kAllPrograms) {
        const ProgramInfo& program = Program(kind);
        const int pending =
            m_settings.ReadInt(settings::kAnonymization, program.selectionKey, program.selectedByDefault ? 1 : 0);
        if (pending == 2) {
            RedirectProgram(kind);
            m_settings.WriteBool(settings::kAnonymization, program.selectionKey, true);
        } else if (pending == -1) {
            RestoreProgram(kind);
            m_settings.WriteBool(settings::kAnonymization, program.selectionKey, false);
        }
    }
}

void ProgramRedirector::ShowRestartMessages(MessageOwner owner) {
    if (m_state.mozillaSettingsChanged) {
        AskToRestart(MozillaBrowser::Firefox, owner);
    }
    if (m_state.netscapeSettingsChanged) {
        AskToRestart(MozillaBrowser::Netscape, owner);
    }
}

} // namespace quorvel

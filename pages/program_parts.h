#pragma once

#include "app/quorvel_app.h"
#include "cleaning/track_cleaner.h"
#include "masking/identity_masking.h"
#include "pages/menu_commands.h"
#include "platform/internet_options.h"
#include "platform/paths.h"
#include "platform/process_launcher.h"
#include "platform/registry_store.h"
#include "platform/track_files.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"
#include "platform/url_opener.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "tor/anonymity_mode.h"
#include "tor/surfing_session.h"
#include "tor/tor_controller.h"

#include <cstdint>
#include <optional>

namespace quorvel {

// What the operating system gives the program, each toolkit's own.
struct PlatformParts {
    ProcessLauncher& launcher;
    UrlOpener& opener;
    RegistryStore& registry;
    InternetOptions& internetOptions;
    UrlCache& urlCache;
    UrlHistory& urlHistory;
    TrackFiles& trackFiles;
};

// The subsystems of the tray program wired to one another, the same under every toolkit: the toolkit brings the
// application object, its side of the Ui port, its waiter and the platform, and shows the menu.
class ProgramParts {
public:
    struct Options {
        std::uint16_t controlPort = TorController::kControlPort;
        // The process whose end also ends every Tor the program starts; normally the program itself.
        std::optional<ProcessId> owner;
    };

    ProgramParts(const Paths& paths, CQuorvelApp& app, Ui& ui, SessionWaiter& waiter, PlatformParts platform,
                 Options options);

    // Plugs every command of the menu but About and Exit into `commands`.
    void BindMenu(MenuCommands& commands, std::function<void(const OptionsParts&)> showOptions);

    SurfingSession& Session() { return m_session; }
    TorController& Tor() { return m_tor; }

private:
    static TorTiming ControllerTiming();

    CQuorvelApp& m_app;
    Ui& m_ui;
    UrlOpener& m_opener;
    TorController m_tor;
    AnonymityMode m_mode;
    IeProxy m_ieProxy;
    MozillaProxy m_mozillaProxy;
    MessengerProxy m_messengerProxy;
    ProgramRedirector m_redirector;
    IdentityMasking m_masking;
    TrackCleaner m_cleaner;
    SurfingSession m_session;
};

} // namespace quorvel

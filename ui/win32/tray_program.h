#pragma once

#include "app/quorvel_app.h"
#include "cleaning/track_cleaner.h"
#include "masking/identity_masking.h"
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
#include "ui/win32/message_waiter.h"
#include "ui/win32/tray_window.h"
#include "ui/win32/win32_ui.h"

#include <windows.h>

#include <cstdint>
#include <optional>

namespace quorvel::win32 {

// The Windows calls the program is made of, handed in so that tests can name their own.
struct PlatformParts {
    ProcessLauncher& launcher;
    UrlOpener& opener;
    InternetOptions& internetOptions;
    UrlCache& urlCache;
    UrlHistory& urlHistory;
    TrackFiles& trackFiles;
};

// The Windows tray program put together: the application object, every subsystem, the Win32 side of the Ui port
// and the hidden tray window with its commands.
class TrayProgram {
public:
    struct Options {
        std::uint16_t controlPort = TorController::kControlPort;
        // The process whose end also ends every Tor the program starts; normally the program itself.
        std::optional<ProcessId> owner;
    };

    TrayProgram(HINSTANCE instance, const Paths& paths, PlatformParts platform, Options options);

    // Start-up in its order: the common controls, the settings folder and the single instance, then the tray
    // window with its icon and the first Start. False when another instance runs (the process then ends silently).
    bool InitInstance();
    // The message loop, until Exit; its exit code.
    static int Run();

    CTrayWnd& Tray() { return m_tray; }
    SurfingSession& Session() { return m_session; }
    CQuorvelApp& App() { return m_app; }

private:
    static TorTiming ControllerTiming();

    HINSTANCE m_instance;
    CQuorvelApp m_app;
    MessageWaiter m_waiter;
    Win32Ui m_ui;
    RegistryStore m_registry;
    TorController m_tor;
    AnonymityMode m_mode;
    IeProxy m_ieProxy;
    MozillaProxy m_mozillaProxy;
    MessengerProxy m_messengerProxy;
    ProgramRedirector m_redirector;
    IdentityMasking m_masking;
    TrackCleaner m_cleaner;
    SurfingSession m_session;
    CTrayWnd m_tray;
};

} // namespace quorvel::win32

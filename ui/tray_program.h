#pragma once

#include "app/quorvel_app.h"
#include "cleaning/track_cleaner.h"
#include "masking/identity_masking.h"
#include "platform/internet_options_store.h"
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
#include "ui/event_loop_waiter.h"
#include "ui/qt_ui.h"
#include "ui/tray_wnd.h"

#include <QObject>

#include <cstdint>
#include <optional>

namespace quorvel {

// The tray program put together: the application object, the real platform layer, every subsystem, the Qt side
// of the Ui port and the tray window with its commands. Needs a QApplication.
class TrayProgram : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::uint16_t controlPort = TorController::kControlPort;
        // The process whose end also ends every Tor the program starts; normally the program itself.
        std::optional<ProcessId> owner;
    };

    TrayProgram(const Paths& paths, Options options, UrlOpener* opener = nullptr);
    ~TrayProgram() override;

    // Start-up: the settings folder and the single instance, then the tray icon and the first Start (run as the
    // first thing the event loop does, so that its waits can paint). False when another instance runs.
    bool InitInstance();

    CTrayWnd& Tray() { return m_tray; }
    SurfingSession& Session() { return m_session; }
    CQuorvelApp& App() { return m_app; }
    QtUi& GuiPort() { return m_ui; }
    TorController& Tor() { return m_tor; }

signals:
    // The program has stopped and removed its icon; the event loop may end.
    void finished();

private:
    static TorTiming ControllerTiming();
    void TellNoNotificationArea();

    CQuorvelApp m_app;
    EventLoopWaiter m_waiter;
    QtUi m_ui;
    LinuxProcessLauncher m_launcher;
    XdgUrlOpener m_xdgOpener;
    UrlOpener& m_opener;
    RegistryStore m_registry;
    InternetOptionsStore m_internetOptions;
    LinuxUrlCache m_urlCache;
    LinuxUrlHistory m_urlHistory;
    LinuxTrackFiles m_trackFiles;
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

} // namespace quorvel

#pragma once

#include "app/quorvel_app.h"
#include "pages/program_parts.h"
#include "platform/internet_options_store.h"
#include "platform/paths.h"
#include "platform/process_launcher.h"
#include "platform/registry_store.h"
#include "platform/track_files.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"
#include "platform/url_opener.h"
#include "ui/event_loop_waiter.h"
#include "ui/qt_ui.h"
#include "ui/tray_wnd.h"

#include <QObject>

namespace quorvel {

// The tray program put together: the application object, the real platform layer, every subsystem, the Qt side
// of the Ui port and the tray window with its commands. Needs a QApplication.
class TrayProgram : public QObject {
    Q_OBJECT
public:
    using Options = ProgramParts::Options;

    TrayProgram(const Paths& paths, Options options, UrlOpener* opener = nullptr);
    ~TrayProgram() override;

    // Start-up: the settings folder and the single instance, then the tray icon and the first Start (run as the
    // first thing the event loop does, so that its waits can paint). False when another instance runs.
    bool InitInstance();

    CTrayWnd& Tray() { return m_tray; }
    SurfingSession& Session() { return m_parts.Session(); }
    CQuorvelApp& App() { return m_app; }
    QtUi& GuiPort() { return m_ui; }
    TorController& Tor() { return m_parts.Tor(); }

signals:
    // The program has stopped and removed its icon; the event loop may end.
    void finished();

private:
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
    ProgramParts m_parts;
    CTrayWnd m_tray;
};

} // namespace quorvel

#pragma once

#include "app/quorvel_app.h"
#include "pages/program_parts.h"
#include "ui/win32/message_waiter.h"
#include "ui/win32/tray_window.h"
#include "ui/win32/win32_ui.h"

#include <windows.h>

namespace quorvel::win32 {

// The Windows tray program put together: the application object, the subsystems, the Win32 side of the Ui port
// and the hidden tray window with its commands. The Windows calls are handed in, so that tests can name their own.
class TrayProgram {
public:
    using Options = ProgramParts::Options;

    TrayProgram(HINSTANCE instance, const Paths& paths, PlatformParts platform, Options options);

    // Start-up in its order: the common controls, the settings folder and the single instance, then the tray
    // window with its icon and the first Start. False when another instance runs (the process then ends silently).
    bool InitInstance();
    // The message loop, until Exit; its exit code.
    static int Run();

    CTrayWnd& Tray() { return m_tray; }
    SurfingSession& Session() { return m_parts.Session(); }
    CQuorvelApp& App() { return m_app; }

private:
    HINSTANCE m_instance;
    CQuorvelApp m_app;
    MessageWaiter m_waiter;
    Win32Ui m_ui;
    ProgramParts m_parts;
    CTrayWnd m_tray;
};

} // namespace quorvel::win32

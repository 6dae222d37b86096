#include "ui/win32/tray_program.h"

#include "app/locations.h"
#include "app/settings_keys.h"
#include "pages/menu_commands.h"
#include "pages/tray_commands.h"
#include "ui/win32/options_sheet.h"
#include "ui/win32/ui_thread.h"

#include <commctrl.h>

namespace quorvel::win32 {

TorTiming TrayProgram::ControllerTiming() {
    TorTiming timing;
    // The session pauses after a new identity itself, through its waiter, so the program keeps painting.
    timing.newIdentityPause = std::chrono::milliseconds(0);
    return timing;
}

TrayProgram::TrayProgram(HINSTANCE instance, const Paths& paths, PlatformParts platform, Options options)
    : m_instance(instance), m_app(paths),
      m_ui(instance, m_app.Language(),
           [this] {
               return m_app.Settings().ReadInt(settings::kMainMenu, settings::kMode, kFastMode) == kFastMode
                          ? ModeChoice::Fast
                          : ModeChoice::Strong;
           }),
      m_registry(RegistryFolder(paths)),
      m_tor(m_ui, m_app.Language(), m_app.Settings(), paths, options.controlPort, ControllerTiming()),
      m_mode(m_tor, m_ui, m_app.Language(), m_app.Settings(), paths),
      m_ieProxy(platform.internetOptions, m_app.Settings(), m_app.State()),
      m_mozillaProxy(m_app.Settings(), m_app.Language(), m_ui), m_messengerProxy(m_registry, m_app.Settings()),
      m_redirector(m_app.Settings(), m_app.Language(), m_ui, m_app.State(), m_ieProxy, m_mozillaProxy,
                   m_messengerProxy),
      m_masking(m_app.Settings(), m_app.Language(), m_registry, m_ui, m_app.State()),
      m_cleaner(paths, m_app.Settings(), m_app.Language(), m_ui, m_registry, platform.urlCache, platform.urlHistory,
                platform.trackFiles),
      m_session(SessionParts{paths, m_app.Settings(), m_app.Language(), m_ui, platform.launcher, m_tor, m_mode,
                             m_redirector, m_masking, m_waiter, options.owner}),
      m_tray(instance, m_app.Language(), m_app.Settings(), m_ui, m_waiter) {
    m_tray.SetRunningQuery([this] { return m_session.IsRunning(); });
    m_tray.SetCircuitReadyHandler([this] { m_session.OnCircuitReady(); });
    BindMenuCommands(m_tray.Commands(), {m_app, m_ui, m_redirector, m_masking, m_tor, m_session, m_mode, m_cleaner,
                                         platform.opener, [this](const OptionsParts& parts) {
                                             RunOptionsCommand(m_instance, parts, m_tray.Window(), &m_waiter);
                                         }});
}

bool TrayProgram::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    return m_app.InitInstance([this] {
        m_tray.Create();
        // A session that was never stopped left the programs redirected: put them back before anything else.
        m_session.RecoverUnfinishedSession();
        m_tray.RunCommand(command::kStart);
    });
}

int TrayProgram::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UiThread::Detach();
    return static_cast<int>(msg.wParam);
}

} // namespace quorvel::win32

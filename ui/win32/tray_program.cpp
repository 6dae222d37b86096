#include "ui/win32/tray_program.h"

#include "app/settings_keys.h"
#include "pages/tray_commands.h"
#include "ui/win32/options_sheet.h"
#include "ui/win32/ui_thread.h"

#include <commctrl.h>

namespace quorvel::win32 {

TrayProgram::TrayProgram(HINSTANCE instance, const Paths& paths, PlatformParts platform, Options options)
    : m_instance(instance), m_app(paths),
      m_ui(instance, m_app.Language(),
           [this] {
               return m_app.Settings().ReadInt(settings::kMainMenu, settings::kMode, kFastMode) == kFastMode
                          ? ModeChoice::Fast
                          : ModeChoice::Strong;
           }),
      m_parts(paths, m_app, m_ui, m_waiter, platform, options),
      m_tray(instance, m_app.Language(), m_app.Settings(), m_ui, m_waiter) {
    m_tray.SetRunningQuery([this] { return m_parts.Session().IsRunning(); });
    m_tray.SetCircuitReadyHandler([this] { m_parts.Session().OnCircuitReady(); });
    m_parts.BindMenu(m_tray.Commands(), [this](const OptionsParts& parts) {
        RunOptionsCommand(m_instance, parts, m_tray.Window(), &m_waiter);
    });
}

bool TrayProgram::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    return m_app.InitInstance([this] {
        m_tray.Create();
        // A session that was never stopped left the programs redirected: put them back before anything else.
        m_parts.Session().RecoverUnfinishedSession();
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

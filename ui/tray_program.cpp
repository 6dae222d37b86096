#include "ui/tray_program.h"

#include "app/locations.h"
#include "app/settings_keys.h"
#include "pages/tray_commands.h"
#include "platform/resident_memory.h"
#include "ui/options_command.h"

#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>

namespace quorvel {

TrayProgram::TrayProgram(const Paths& paths, Options options, UrlOpener* opener)
    : m_app(paths),
      m_ui(m_app.Language(),
           [this] {
               return m_app.Settings().ReadInt(settings::kMainMenu, settings::kMode, kFastMode) == kFastMode
                          ? ModeChoice::Fast
                          : ModeChoice::Strong;
           }),
      m_xdgOpener(m_launcher), m_opener(opener != nullptr ? *opener : m_xdgOpener), m_registry(RegistryFolder(paths)),
      m_internetOptions(m_registry),
      m_parts(paths, m_app, m_ui, m_waiter,
              {m_launcher, m_opener, m_registry, m_internetOptions, m_urlCache, m_urlHistory, m_trackFiles}, options),
      m_tray(m_app.Language(), m_app.Settings(), m_ui, m_waiter) {
    m_tray.SetRunningQuery([this] { return m_parts.Session().IsRunning(); });
    m_tray.SetCircuitReadyHandler([this] { m_parts.Session().OnCircuitReady(); });
    m_parts.BindMenu(m_tray.Commands(), [this](const OptionsParts& parts) { RunOptionsCommand(parts, &m_waiter); });
    connect(&m_tray, &CTrayWnd::exited, this, &TrayProgram::finished);
}

TrayProgram::~TrayProgram() = default;

bool TrayProgram::InitInstance() {
    return m_app.InitInstance([this] {
        m_tray.AddIcon();
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            TellNoNotificationArea();
        }
        QTimer::singleShot(0, this, [this] {
            // A session that was never stopped left the programs redirected: put them back before anything else.
            m_parts.Session().RecoverUnfinishedSession();
            m_tray.RunCommand(command::kStart);
            // Once the ready balloon has gone too, start-up is over: the program at rest keeps only what it uses.
            QTimer::singleShot(QtUi::kBalloonMilliseconds + 1000, this, [] { TrimResidentMemory(); });
        });
    });
}

void TrayProgram::TellNoNotificationArea() {
    // Not modal: surfing starts all the same, and the icon shows up once the desktop offers a notification area.
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(kMessageCaption),
                                QStringLiteral("This desktop has no notification area, so the Quorvel icon cannot be "
                                               "shown yet. Quorvel keeps running and its icon appears as soon as a "
                                               "notification area is there."),
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace quorvel

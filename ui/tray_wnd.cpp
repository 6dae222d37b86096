#include "ui/tray_wnd.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/tray_commands.h"
#include "platform/shutdown_request.h"
#include "ui/about_dialog.h"
#include "ui/artwork.h"
#include "ui/event_loop_waiter.h"
#include "ui/qt_ui.h"
#include "ui/tray_menu.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMetaObject>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

namespace quorvel {

CTrayWnd::CTrayWnd(const LanguageFile& language, const SettingsStore& settings, QtUi& ui, EventLoopWaiter& waiter,
                   QObject* parent)
    : QObject(parent), m_language(language), m_settings(settings), m_ui(ui), m_waiter(waiter),
      m_commands({.about =
                      [] {
                          CAbout about;
                          about.exec();
                      },
                  .leave = [this] { Leave(); },
                  .interrupt = [this] { m_waiter.Interrupt(); },
                  .stoppedLate =
                      [this] {
                          m_waiter.Resume();
                          m_ui.EndEnding();
                      }}) {
    setObjectName(QStringLiteral("Quorvel"));
    m_icon = new QSystemTrayIcon(TrayIcon(art::kIconStopped), this);
    m_icon->setToolTip(QString::fromLatin1(kMessageCaption));
    m_menu = new QMenu;
    m_menu->setObjectName(QStringLiteral("main menu"));
    // Never seen by a person; lets desktop tools (and the smoke test) tell the menu from other windows.
    m_menu->setWindowTitle(QStringLiteral("Quorvel menu"));
    // Built at every opening, so the state, the mode and a new language show at once.
    connect(m_menu, &QMenu::aboutToShow, this, &CTrayWnd::RebuildMenu);
    m_icon->setContextMenu(m_menu);
    m_ui.SetTrayIcon(m_icon);

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SessionEnding(); });
        connect(app, &QCoreApplication::aboutToQuit, this, &CTrayWnd::OnAboutToQuit);
    }
}

CTrayWnd::~CTrayWnd() {
    m_ui.SetTrayIcon(nullptr);
    m_icon->setContextMenu(nullptr);
    delete m_menu;
}

void CTrayWnd::SetRunningQuery(std::function<bool()> running) {
    m_running = std::move(running);
}

void CTrayWnd::SetCircuitReadyHandler(Handler handler) {
    m_circuitReady = std::move(handler);
}

void CTrayWnd::AddIcon() {
    m_icon->show();
}

void CTrayWnd::PostCircuitReady() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_circuitReady) {
                m_circuitReady();
            }
        },
        Qt::QueuedConnection);
}

void CTrayWnd::RequestExit() {
    if (m_commands.HasExited()) {
        return;
    }
    // Whatever box or dialog is open is closed, and none waits for a person any more: the programs are put back
    // before the desktop kills the program.
    m_ui.BeginEnding();
    m_commands.Exit();
}

void CTrayWnd::WatchShutdownRequests(ShutdownRequestSource& source) {
    delete m_shutdownNotifier;
    m_shutdownNotifier = new QSocketNotifier(source.ReadFd(), QSocketNotifier::Read, this);
    connect(m_shutdownNotifier, &QSocketNotifier::activated, this, [this, &source] {
        if (source.TakeRequest()) {
            RequestExit();
        }
    });
}

QMenu* CTrayWnd::Menu() {
    RebuildMenu();
    return m_menu;
}

void CTrayWnd::RebuildMenu() {
    if (m_commands.IsBusy() || m_commands.HasExited()) {
        // Nothing to choose while a command runs.
        FillMenu(*m_menu, {}, {});
        return;
    }
    const bool running = m_running && m_running();
    const int mode = m_settings.ReadInt(settings::kMainMenu, settings::kMode, 0);
    FillMenu(*m_menu, MainMenuEntries(running, mode, m_language, [this](int id) { return HasCommand(id); }),
             [this](int id) { ChooseLater(id); });
}

void CTrayWnd::ChooseLater(int id) {
    // The command runs once the menu has closed, like a command message after the menu's own loop.
    QMetaObject::invokeMethod(
        this, [this, id] { RunCommand(id); }, Qt::QueuedConnection);
}

void CTrayWnd::SessionEnding() {
    if (m_commands.HasExited() || m_commands.StoppedForEnd()) {
        return;
    }
    m_ui.BeginEnding();
    if (m_commands.StopForEnd()) {
        m_ui.EndEnding();
    }
}

void CTrayWnd::OnAboutToQuit() {
    // The loop is ending: a running command cannot return to a Stop put off until then.
    if (!m_commands.HasExited() && !m_commands.StoppedForEnd() && !m_commands.IsBusy()) {
        m_ui.BeginEnding();
        m_commands.StopForEnd();
    }
}

void CTrayWnd::Leave() {
    m_icon->hide();
    emit exited();
}

} // namespace quorvel

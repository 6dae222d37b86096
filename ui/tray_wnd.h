#pragma once

#include "pages/menu_commands.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;
class QSocketNotifier;
class QSystemTrayIcon;

namespace quorvel {

class EventLoopWaiter;
class LanguageFile;
class QtUi;
class SettingsStore;
class ShutdownRequestSource;

// The program's hidden main window: owns the notification icon, opens the menu on the icon's right button
// (built anew at every opening), and runs the menu's commands one at a time on the user-interface thread.
// What a command does is plugged in by id; a command without a handler is not offered. About and Exit are
// its own: Exit runs the Stop command, removes the icon and ends the event loop.
class CTrayWnd : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    CTrayWnd(const LanguageFile& language, const SettingsStore& settings, QtUi& ui, EventLoopWaiter& waiter,
             QObject* parent = nullptr);
    ~CTrayWnd() override;

    void SetCommand(int id, Handler handler) { m_commands.Set(id, std::move(handler)); }
    MenuCommands& Commands() { return m_commands; }
    // Whether the session runs: the menu offers Stop instead of Start.
    void SetRunningQuery(std::function<bool()> running);
    // What the circuit-ready message does (sets the circuit-ready event).
    void SetCircuitReadyHandler(Handler handler);

    // Adds the icon (181) to the notification area; the icon's callback and the menu work from then on.
    void AddIcon();
    bool HasCommand(int id) const { return m_commands.Has(id); }

    // Runs a menu command now. A command that arrives while another one runs is dropped, since the menu could
    // not have been opened then.
    void RunCommand(int id) { m_commands.Run(id); }
    bool IsBusy() const { return m_commands.IsBusy(); }

    // The circuit-ready message: safe from any thread, handled on the user-interface thread in turn.
    void PostCircuitReady();

    // The end of the desktop session or a termination signal: open dialogs and boxes are closed, then Stop runs
    // without waiting on any box, and the program ends. While a command runs, its waits are cut short and the exit
    // follows as soon as it returns.
    void RequestExit();
    // Turns termination signals into RequestExit on this thread.
    void WatchShutdownRequests(ShutdownRequestSource& source);
    // The session manager asks the program to save its state before the desktop session ends: open dialogs are
    // closed and Stop runs without waiting on any box, now or as soon as the running command returns. The program
    // keeps running, in case the end is called off.
    void SessionEnding();

    QSystemTrayIcon* Icon() const { return m_icon; }
    // The menu as it would open now (rebuilt by this call).
    QMenu* Menu();

signals:
    // Emitted when the Exit command or a session end has stopped the session and removed the icon.
    void exited();

private:
    void RebuildMenu();
    void ChooseLater(int id);
    void OnAboutToQuit();
    void Leave();

    const LanguageFile& m_language;
    const SettingsStore& m_settings;
    QtUi& m_ui;
    EventLoopWaiter& m_waiter;
    MenuCommands m_commands;
    std::function<bool()> m_running;
    Handler m_circuitReady;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
    QSocketNotifier* m_shutdownNotifier = nullptr;
};

} // namespace quorvel

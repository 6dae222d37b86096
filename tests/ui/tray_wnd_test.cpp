// The tray window: the menu as it opens in each state and language, and how commands, Exit and the end of the
// session run.

#include "app/language_file.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "pages/tray_commands.h"
#include "platform/manual_reset_event.h"
#include "platform/paths.h"
#include "platform/shutdown_request.h"
#include "qt_test_support.h"
#include "support/test_environment.h"
#include "ui/artwork.h"
#include "ui/event_loop_waiter.h"
#include "ui/qt_ui.h"
#include "ui/tray_wnd.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <csignal>
#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;

class TrayWndTest : public QtTest {
protected:
    TrayWndTest() {
        MakeFolders(env.AppData() + "/Quorvel");
        for (int id : {command::kStart, command::kStop, command::kChangeIp, command::kPrivacyTest, command::kClean,
                       command::kFastMode, command::kStrongMode, command::kSupport}) {
            tray.SetCommand(id, [this, id] { ran.push_back(id); });
        }
        tray.SetRunningQuery([this] { return running; });
    }

    // Texts of the main menu's entries, "-" for a separator, "Mode>" for the submenu.
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (QAction* action : tray.Menu()->actions()) {
            if (action->isSeparator()) {
                out.emplace_back("-");
            } else if (action->menu() != nullptr) {
                out.push_back(action->text().toStdString() + ">");
            } else {
                out.push_back(action->text().toStdString());
            }
        }
        return out;
    }
    QMenu* ModeMenu() {
        for (QAction* action : tray.Menu()->actions()) {
            if (action->menu() != nullptr) {
                return action->menu();
            }
        }
        return nullptr;
    }
    QAction* Command(QMenu* menu, int id) {
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == id && !action->isSeparator()) {
                return action;
            }
        }
        return nullptr;
    }
    static QImage Picture(const QAction* action) {
        return action->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    }
    static QImage Bitmap(int id) { return MenuBitmap(id).toImage().convertToFormat(QImage::Format_ARGB32); }

    TestEnvironment env;
    LinuxPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    EventLoopWaiter waiter;
    QtUi ui{language, [] { return ModeChoice::Fast; }};
    CTrayWnd tray{language, settings, ui, waiter};
    bool running = false;
    std::vector<int> ran;
};

TEST_F(TrayWndTest, TheMenuFollowsTheSessionsState) {
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Start anonymous surfing", "Change false IP", "-", "Privacy test", "-",
                                                 "Mode>", "Clean internet tracks", "-", "Support", "About", "Exit"}));
    EXPECT_EQ(tray.Menu()->actions().front()->data().toInt(), command::kStart);
    EXPECT_EQ(Picture(tray.Menu()->actions().front()), Bitmap(168));

    running = true;
    EXPECT_EQ(Texts().front(), "Stop anonymous surfing");
    QAction* first = tray.Menu()->actions().front();
    EXPECT_EQ(first->data().toInt(), command::kStop);
    EXPECT_EQ(Picture(first), Bitmap(169));
}

TEST_F(TrayWndTest, EveryItemCarriesItsBitmapAndCommand) {
    const std::vector<std::pair<int, int>> expected = {
        {command::kStart, 168},   {command::kChangeIp, 192}, {command::kPrivacyTest, 167}, {command::kClean, 171},
        {command::kSupport, 173}, {command::kAbout, 174},    {command::kExit, 175}};
    for (auto [id, bitmap] : expected) {
        QAction* action = Command(tray.Menu(), id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->objectName().toInt(), id);
        EXPECT_EQ(Picture(action), Bitmap(bitmap)) << id;
    }
    QAction* mode = tray.Menu()->actions().at(5);
    EXPECT_EQ(Picture(mode), Bitmap(194));
}

TEST_F(TrayWndTest, OptionsIsOfferedOnceSomethingHandlesIt) {
    EXPECT_EQ(Command(tray.Menu(), command::kOptions), nullptr);
    tray.SetCommand(command::kOptions, [] {});
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[6], "Options");
    EXPECT_EQ(Picture(Command(tray.Menu(), command::kOptions)), Bitmap(170));
}

TEST_F(TrayWndTest, TheModeSubmenuShowsTheStoredModeByItsBitmap) {
    const struct {
        int mode;
        int fast;
        int strong;
    } cases[] = {{0, 202, 196}, {1, 195, 203}, {2, 195, 196}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        settings.WriteInt(settings::kMainMenu, settings::kMode, c.mode);
        QMenu* mode = ModeMenu();
        ASSERT_NE(mode, nullptr);
        ASSERT_EQ(mode->actions().size(), 2);
        QAction* fast = mode->actions().at(0);
        QAction* strong = mode->actions().at(1);
        EXPECT_EQ(fast->text(), "Fast mode");
        EXPECT_EQ(strong->text(), "Strong anonymity mode");
        EXPECT_EQ(fast->data().toInt(), command::kFastMode);
        EXPECT_EQ(strong->data().toInt(), command::kStrongMode);
        EXPECT_FALSE(fast->isChecked());
        EXPECT_FALSE(strong->isChecked());
        EXPECT_EQ(Picture(fast), Bitmap(c.fast));
        EXPECT_EQ(Picture(strong), Bitmap(c.strong));
    }
}

TEST_F(TrayWndTest, TextsComeFromTheLanguageFileAtEveryOpening) {
    WriteFileBytes(env.ProgramFolder() + "/lang/Deutsch.ini",
                   "[Main menu]\nStart=Anonym surfen\nMode=Modus\nFast mode=Schnell\nExit=Beenden\n");
    EXPECT_EQ(Texts().front(), "Start anonymous surfing");
    settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Deutsch");
    auto texts = Texts();
    EXPECT_EQ(texts.front(), "Anonym surfen");
    EXPECT_EQ(texts[5], "Modus>");
    EXPECT_EQ(texts.back(), "Beenden");
    EXPECT_EQ(texts[1], "Change false IP"); // not in the file: English
    EXPECT_EQ(ModeMenu()->actions().at(0)->text(), "Schnell");
}

TEST_F(TrayWndTest, AChosenCommandRunsOnceTheMenuHasClosed) {
    Command(tray.Menu(), command::kChangeIp)->trigger();
    EXPECT_TRUE(ran.empty());
    ProcessEvents();
    EXPECT_EQ(ran, (std::vector<int>{command::kChangeIp}));

    ModeMenu()->actions().at(1)->trigger();
    ProcessEvents();
    EXPECT_EQ(ran, (std::vector<int>{command::kChangeIp, command::kStrongMode}));
}

TEST_F(TrayWndTest, ClicksOtherThanTheRightButtonDoNothing) {
    emit tray.Icon()->activated(QSystemTrayIcon::Trigger);
    emit tray.Icon()->activated(QSystemTrayIcon::DoubleClick);
    emit tray.Icon()->activated(QSystemTrayIcon::MiddleClick);
    ProcessEvents();
    EXPECT_TRUE(ran.empty());
    EXPECT_FALSE(tray.Menu()->isVisible());
}

TEST_F(TrayWndTest, NothingElseRunsWhileACommandRuns) {
    bool menuEmpty = false;
    tray.SetCommand(command::kStart, [&] {
        tray.RunCommand(command::kStop);
        menuEmpty = tray.Menu()->actions().isEmpty();
    });
    tray.RunCommand(command::kStart);
    EXPECT_TRUE(menuEmpty);
    EXPECT_TRUE(ran.empty());
    EXPECT_FALSE(tray.Menu()->actions().isEmpty());
}

TEST_F(TrayWndTest, ExitStopsRemovesTheIconAndEndsOnce) {
    int exited = 0;
    QObject::connect(&tray, &CTrayWnd::exited, [&] { ++exited; });
    tray.AddIcon();
    EXPECT_TRUE(tray.Icon()->isVisible());
    tray.RunCommand(command::kExit);
    EXPECT_EQ(ran, (std::vector<int>{command::kStop}));
    EXPECT_FALSE(tray.Icon()->isVisible());
    EXPECT_EQ(exited, 1);

    tray.RunCommand(command::kExit);
    tray.RunCommand(command::kStart);
    tray.RequestExit();
    EXPECT_EQ(ran, (std::vector<int>{command::kStop}));
    EXPECT_EQ(exited, 1);
}

TEST_F(TrayWndTest, AnExitRequestedDuringStartCutsItsWaitShortAndFollowsIt) {
    int exited = 0;
    QObject::connect(&tray, &CTrayWnd::exited, [&] { ++exited; });
    ManualResetEvent never;
    qint64 waited = -1;
    tray.SetCommand(command::kStart, [&] {
        QTimer::singleShot(50, [&] { tray.RequestExit(); });
        QElapsedTimer clock;
        clock.start();
        waiter.WaitFor(never, 60s);
        waited = clock.elapsed();
        ran.push_back(command::kStart);
    });
    tray.RunCommand(command::kStart);
    EXPECT_LT(waited, 5000);
    EXPECT_EQ(ran, (std::vector<int>{command::kStart, command::kStop}));
    EXPECT_EQ(exited, 1);
}

TEST_F(TrayWndTest, TheEndOfTheDesktopSessionStopsAfterTheRunningCommand) {
    ManualResetEvent never;
    tray.SetCommand(command::kStart, [&] {
        QTimer::singleShot(50, [&] { tray.SessionEnding(); });
        waiter.WaitFor(never, 60s);
        ran.push_back(command::kStart);
    });
    tray.RunCommand(command::kStart);
    EXPECT_EQ(ran, (std::vector<int>{command::kStart, command::kStop}));
    // The program goes on (the end may be called off), and its waits work again.
    EXPECT_FALSE(waiter.IsInterrupted());
    tray.SessionEnding();
    EXPECT_EQ(ran.size(), 2u) << "no second Stop without a Start in between";
    tray.SetCommand(command::kStart, [&] { ran.push_back(command::kStart); });
    tray.RunCommand(command::kStart);
    tray.SessionEnding();
    EXPECT_EQ(ran, (std::vector<int>{command::kStart, command::kStop, command::kStart, command::kStop}));
}

TEST_F(TrayWndTest, ATerminationSignalEndsTheProgramLikeExit) {
    int exited = 0;
    QObject::connect(&tray, &CTrayWnd::exited, [&] { ++exited; });
    tray.WatchShutdownRequests(ShutdownRequestSource::Install());
    std::raise(SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (exited == 0 && !clock.hasExpired(5000)) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(exited, 1);
    EXPECT_EQ(ran, (std::vector<int>{command::kStop}));
}

// A termination request while About, a message box or the mode dialog is open closes it and runs Stop at once;
// Stop's restart box then waits for nobody and follows as a notice.
TEST_F(TrayWndTest, ATerminationRequestClosesOpenDialogsAndStopsWithoutWaitingOnABox) {
    const std::string restart = "Please restart Firefox to make new settings take effect.";
    auto exitWhileOpen = [&](int commandId, const std::function<void(QtUi&)>& open) {
        QtUi caseUi{language, [] { return ModeChoice::Fast; }};
        EventLoopWaiter caseWaiter;
        CTrayWnd caseTray{language, settings, caseUi, caseWaiter};
        std::vector<std::string> steps;
        caseTray.SetCommand(command::kClean, [&] {
            open(caseUi);
            steps.emplace_back("closed");
        });
        caseTray.SetCommand(command::kStop, [&] {
            caseUi.ShowMessage("Quorvel", restart, MessageIcon::Warning, MessageButtons::Ok, MessageOwner::MainWindow);
            steps.emplace_back("restored");
        });
        // A box still waiting for a person is closed here after a while, and counted.
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                steps.emplace_back("blocked");
                modal->close();
            }
        });
        guard.start(3000);
        WhenModalShown([&](QWidget*) { caseTray.RequestExit(); });
        caseTray.RunCommand(commandId);
        ProcessEvents();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box != nullptr && box->isVisible() && !box->isModal() && box->text().toStdString() == restart) {
                steps.emplace_back("notice");
                box->close();
            }
        }
        return steps;
    };

    EXPECT_EQ(exitWhileOpen(command::kAbout, [](QtUi&) {}), (std::vector<std::string>{"restored", "notice"}));
    EXPECT_EQ(exitWhileOpen(command::kClean,
                            [](QtUi& open) {
                                open.ShowMessage("Clean report", "Firefox Cookies     removed",
                                                 MessageIcon::Information, MessageButtons::Ok,
                                                 MessageOwner::MainWindow);
                            }),
              (std::vector<std::string>{"closed", "restored", "notice"}));
    EXPECT_EQ(exitWhileOpen(command::kClean, [](QtUi& open) { open.AskMode(); }),
              (std::vector<std::string>{"closed", "restored", "notice"}));
}

TEST_F(TrayWndTest, TheCircuitReadyMessageIsHandledOnTheUserInterfaceThread) {
    std::thread::id handledOn;
    tray.SetCircuitReadyHandler([&] { handledOn = std::this_thread::get_id(); });
    std::thread watcher([&] { tray.PostCircuitReady(); });
    watcher.join();
    EXPECT_EQ(handledOn, std::thread::id());
    ProcessEvents();
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

} // namespace
} // namespace quorvel::test
